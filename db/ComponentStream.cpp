// The value model of component streams, the collection helpers and the 80-bit float conversion.
// The reader and the writer live in ComponentStreamReader.cpp and ComponentStreamWriter.cpp.
#include "db/ComponentStream.h"

#include "base/Text.h"

#include <cmath>
#include <cstring>
#include <limits>

namespace gs {

// --- StreamItem ------------------------------------------------------------------------------------

namespace {

const StreamValue* FindProperty(const std::vector<StreamProperty>& properties, std::string_view name)
{
    const StreamValue* found = nullptr;
    for (const StreamProperty& p : properties)
        if (EqualsNoCase(p.name, name))
            found = &p.value;
    return found;
}

} // namespace

const StreamValue* StreamItem::Find(std::string_view name) const { return FindProperty(properties, name); }

std::string StreamItem::Text(std::string_view name, std::string_view fallback) const
{
    const StreamValue* v = Find(name);
    if (v == nullptr)
        return std::string(fallback);
    if (v->ValueKind() != StreamValue::Kind::Text)
        throw StreamError("Ungültiger Eigenschaftswert: " + std::string(name) + " ist kein Text");
    return v->AsText();
}

std::string StreamItem::Identifier(std::string_view name, std::string_view fallback) const
{
    const StreamValue* v = Find(name);
    if (v == nullptr)
        return std::string(fallback);
    if (v->ValueKind() != StreamValue::Kind::Identifier)
        throw StreamError("Ungültiger Eigenschaftswert: " + std::string(name) + " ist kein Bezeichner");
    return v->AsText();
}

long long StreamItem::Integer(std::string_view name, long long fallback) const
{
    const StreamValue* v = Find(name);
    return v == nullptr ? fallback : v->AsInteger();
}

bool StreamItem::Boolean(std::string_view name, bool fallback) const
{
    const StreamValue* v = Find(name);
    return v == nullptr ? fallback : v->AsBoolean();
}

StreamItem& StreamItem::Add(std::string name, StreamValue value)
{
    properties.push_back(StreamProperty{std::move(name), std::move(value)});
    return *this;
}

// --- StreamValue -----------------------------------------------------------------------------------

StreamValue StreamValue::Nil() { return StreamValue(); }

StreamValue StreamValue::Boolean(bool b)
{
    StreamValue v;
    v.kind_ = Kind::Boolean;
    v.integer_ = b ? 1 : 0;
    return v;
}

StreamValue StreamValue::Integer(long long i)
{
    StreamValue v;
    v.kind_ = Kind::Integer;
    v.integer_ = i;
    return v;
}

StreamValue StreamValue::Float(double d)
{
    StreamValue v;
    v.kind_ = Kind::Float;
    v.number_ = d;
    return v;
}

StreamValue StreamValue::CurrencyRaw(long long tenThousandths)
{
    StreamValue v;
    v.kind_ = Kind::Currency;
    v.integer_ = tenThousandths;
    return v;
}

StreamValue StreamValue::Date(double dayNumber)
{
    StreamValue v;
    v.kind_ = Kind::Date;
    v.number_ = dayNumber;
    return v;
}

StreamValue StreamValue::Text(std::string utf8)
{
    StreamValue v;
    v.kind_ = Kind::Text;
    v.text_ = std::move(utf8);
    return v;
}

StreamValue StreamValue::Identifier(std::string utf8)
{
    StreamValue v;
    v.kind_ = Kind::Identifier;
    v.text_ = std::move(utf8);
    return v;
}

StreamValue StreamValue::Binary(std::string bytes)
{
    StreamValue v;
    v.kind_ = Kind::Binary;
    v.text_ = std::move(bytes);
    return v;
}

StreamValue StreamValue::Set(std::vector<std::string> identifiers)
{
    StreamValue v;
    v.kind_ = Kind::Set;
    v.set_ = std::move(identifiers);
    return v;
}

StreamValue StreamValue::List(std::vector<StreamValue> values)
{
    StreamValue v;
    v.kind_ = Kind::List;
    v.list_ = std::move(values);
    return v;
}

StreamValue StreamValue::Collection(std::vector<StreamItem> items)
{
    StreamValue v;
    v.kind_ = Kind::Collection;
    v.items_ = std::move(items);
    return v;
}

void StreamValue::Expect(Kind kind, const char* what) const
{
    if (kind_ != kind)
        throw StreamError(std::string("Ungültiger Eigenschaftswert: ") + what + " erwartet");
}

bool StreamValue::AsBoolean() const
{
    Expect(Kind::Boolean, "Wahrheitswert");
    return integer_ != 0;
}

long long StreamValue::AsInteger() const
{
    Expect(Kind::Integer, "Ganzzahl");
    return integer_;
}

double StreamValue::AsDouble() const
{
    switch (kind_) {
    case Kind::Float:
    case Kind::Date:
        return number_;
    case Kind::Currency:
        return static_cast<double>(integer_) / 10000.0;
    case Kind::Integer:
        return static_cast<double>(integer_);
    default:
        throw StreamError("Ungültiger Eigenschaftswert: Zahl erwartet");
    }
}

long long StreamValue::CurrencyRaw() const
{
    Expect(Kind::Currency, "Währungswert");
    return integer_;
}

const std::string& StreamValue::AsText() const
{
    if (kind_ != Kind::Text && kind_ != Kind::Identifier && kind_ != Kind::Binary)
        throw StreamError("Ungültiger Eigenschaftswert: Text erwartet");
    return text_;
}

const std::vector<std::string>& StreamValue::SetMembers() const
{
    Expect(Kind::Set, "Menge");
    return set_;
}

const std::vector<StreamValue>& StreamValue::AsList() const
{
    Expect(Kind::List, "Liste");
    return list_;
}

const std::vector<StreamItem>& StreamValue::AsCollection() const
{
    Expect(Kind::Collection, "Sammlung");
    return items_;
}

bool StreamValue::operator==(const StreamValue& o) const
{
    if (kind_ != o.kind_)
        return false;
    switch (kind_) {
    case Kind::Nil:
        return true;
    case Kind::Boolean:
    case Kind::Integer:
    case Kind::Currency:
        return integer_ == o.integer_;
    case Kind::Float:
    case Kind::Date:
        // Bitwise, so that NaN equals itself and 0 differs from -0 (round trips compare exactly).
        return std::memcmp(&number_, &o.number_, sizeof number_) == 0;
    case Kind::Text:
    case Kind::Identifier:
    case Kind::Binary:
        return text_ == o.text_;
    case Kind::Set:
        return set_ == o.set_;
    case Kind::List:
        return list_ == o.list_;
    case Kind::Collection:
        return items_ == o.items_;
    }
    return false;
}

// --- StreamComponent and the collection helpers ----------------------------------------------------

const StreamValue* StreamComponent::Find(std::string_view propertyName) const
{
    return FindProperty(properties, propertyName);
}

std::vector<StreamItem> StreamComponent::Collection(std::string_view propertyName) const
{
    const StreamValue* v = Find(propertyName);
    if (v == nullptr)
        return {};
    if (v->ValueKind() != StreamValue::Kind::Collection)
        throw StreamError("Ungültiger Eigenschaftswert: " + std::string(propertyName) + " ist keine Sammlung");
    return v->AsCollection();
}

std::vector<StreamItem> ReadCollectionProperty(std::string_view bytes, std::string_view propertyName)
{
    if (bytes.empty())
        return {};
    return ReadComponentStream(bytes).Collection(propertyName);
}

std::string WriteCollectionComponent(std::string_view className, std::string_view propertyName,
                                     const std::vector<StreamItem>& items,
                                     const std::vector<StreamProperty>& furtherProperties)
{
    StreamComponent c;
    c.className = std::string(className);
    c.properties.push_back(StreamProperty{std::string(propertyName), StreamValue::Collection(items)});
    c.properties.insert(c.properties.end(), furtherProperties.begin(), furtherProperties.end());
    return WriteComponentStream(c);
}

// --- 80-bit extended floats ------------------------------------------------------------------------
// Layout: 64-bit significand with an explicit integer bit (bytes 0-7), then 15-bit biased exponent
// (bias 16383) and the sign in bytes 8-9.

double DecodeExtended(const unsigned char b[10])
{
    std::uint64_t mantissa = 0;
    for (int i = 7; i >= 0; --i)
        mantissa = (mantissa << 8) | b[i];
    const unsigned signExp = static_cast<unsigned>(b[8]) | (static_cast<unsigned>(b[9]) << 8);
    const bool negative = (signExp & 0x8000u) != 0;
    const int exponent = static_cast<int>(signExp & 0x7FFFu);
    double value;
    if (exponent == 0x7FFF) {
        // Infinity when the fraction below the integer bit is zero, NaN otherwise.
        value = (mantissa & 0x7FFFFFFFFFFFFFFFull) == 0 ? std::numeric_limits<double>::infinity()
                                                         : std::numeric_limits<double>::quiet_NaN();
    } else {
        // value = mantissa * 2^(exponent - 16383 - 63); denormals use the exponent 1.
        const int e = (exponent == 0 ? 1 : exponent) - 16383 - 63;
        value = std::ldexp(static_cast<double>(mantissa), e);
    }
    return negative ? -value : value;
}

void EncodeExtended(double value, unsigned char b[10])
{
    std::uint64_t mantissa = 0;
    unsigned exponent = 0;
    const bool negative = std::signbit(value);
    if (std::isnan(value)) {
        exponent = 0x7FFF;
        mantissa = 0xC000000000000000ull;
    } else if (std::isinf(value)) {
        exponent = 0x7FFF;
        mantissa = 0x8000000000000000ull;
    } else if (value != 0) {
        int e = 0;
        const double m = std::frexp(std::fabs(value), &e); // 0.5 <= m < 1, exact
        mantissa = static_cast<std::uint64_t>(std::ldexp(m, 64)); // integer bit set, < 2^64
        exponent = static_cast<unsigned>(e + 16382); // every double is a normal extended
    }
    for (int i = 0; i < 8; ++i)
        b[i] = static_cast<unsigned char>(mantissa >> (8 * i));
    const unsigned signExp = exponent | (negative ? 0x8000u : 0u);
    b[8] = static_cast<unsigned char>(signExp & 0xFF);
    b[9] = static_cast<unsigned char>(signExp >> 8);
}

} // namespace gs
