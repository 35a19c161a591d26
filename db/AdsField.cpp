#include "db/AdsField.h"

#include "base/Cp1252.h"
#include "base/Error.h"
#include "base/Text.h"
#include "db/AdsConnection.h"
#include "db/AdsError.h"
#include "db/AdsTable.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>

namespace gs {

namespace {

constexpr double kMinDay = -693593.0; // 01.01.0001
constexpr double kMaxDay = 2958466.0; // 01.01.10000

std::string FormatFloat(double v, char sep)
{
    char buf[40];
    std::snprintf(buf, sizeof buf, "%.15g", v);
    std::string s = buf;
    for (char& c : s) {
        if (c == '.')
            c = sep;
    }
    return s;
}

// Decimal text with "." or "," as the decimal point.
bool ParseFloatText(std::string_view text, double& out)
{
    std::string t = Trim(text);
    if (t.empty())
        return false;
    if (t.find('.') == std::string::npos) {
        for (char& c : t) {
            if (c == ',')
                c = '.';
        }
    }
    const char* b = t.data();
    if (*b == '+')
        ++b;
    auto r = std::from_chars(b, t.data() + t.size(), out);
    return r.ec == std::errc() && r.ptr == t.data() + t.size() && std::isfinite(out);
}

bool ParseBoolText(std::string_view text, bool& out)
{
    const std::string t = UpperAscii(Trim(text));
    for (const char* s : {"", "0", "F", "FALSE", "N", "NO", "NEIN"}) {
        if (t == s) {
            out = false;
            return true;
        }
    }
    for (const char* s : {"1", "T", "TRUE", "Y", "YES", "J", "JA"}) {
        if (t == s) {
            out = true;
            return true;
        }
    }
    double d = 0;
    if (ParseFloatText(t, d)) {
        out = d != 0;
        return true;
    }
    return false;
}

// True when bytes are well-formed UTF-8 (no overlong forms, no surrogates, at most U+10FFFF).
bool IsUtf8(std::string_view bytes)
{
    size_t i = 0;
    const size_t n = bytes.size();
    while (i < n) {
        const unsigned char c = static_cast<unsigned char>(bytes[i]);
        if (c < 0x80) {
            ++i;
            continue;
        }
        size_t len = 0;
        unsigned char lo = 0x80, hi = 0xBF; // range of the second byte
        if (c >= 0xC2 && c <= 0xDF)
            len = 2;
        else if (c >= 0xE0 && c <= 0xEF) {
            len = 3;
            lo = c == 0xE0 ? 0xA0 : 0x80;
            hi = c == 0xED ? 0x9F : 0xBF;
        } else if (c >= 0xF0 && c <= 0xF4) {
            len = 4;
            lo = c == 0xF0 ? 0x90 : 0x80;
            hi = c == 0xF4 ? 0x8F : 0xBF;
        } else
            return false;
        if (i + len > n)
            return false;
        const unsigned char c1 = static_cast<unsigned char>(bytes[i + 1]);
        if (c1 < lo || c1 > hi)
            return false;
        for (size_t k = 2; k < len; ++k) {
            if ((static_cast<unsigned char>(bytes[i + k]) & 0xC0) != 0x80)
                return false;
        }
        i += len;
    }
    return true;
}

// Text of a CHAR column: UTF-8 as stored; bytes that are no UTF-8 (written by the host's own
// tools) are read in the host's code page, so every text the layer gives is valid UTF-8.
std::string StoredCharText(std::string_view bytes)
{
    return IsUtf8(bytes) ? std::string(bytes) : Cp1252ToUtf8(bytes);
}

bool IsDateType(TAdsFieldType t) { return t == TAdsFieldType::Date || t == TAdsFieldType::Timestamp; }

} // namespace

Field::Field(TAdsTable& table, int index, std::string name, TAdsFieldType type, int size)
    : table_(table), index_(index), name_(std::move(name)), type_(type), size_(size)
{
}

char Field::DecimalSeparator() const
{
    const TAdsConnection* connection = table_.AdsConnection();
    return connection ? connection->DecimalSeparator() : TAdsSettings{}.DecimalSeparator;
}

ValueRef Field::Value() const { return table_.FieldValue(index_); }

bool Field::IsNull() const { return Value().IsNull(); }

bool Field::ReadsWithoutFail(FieldRead read) const { return table_.ReadsWithoutFail(index_, read); }

void Field::ConversionError(const std::string& what, const ValueRef& v) const
{
    std::string shown;
    if (v.kind == StorageKind::Text || v.kind == StorageKind::Blob)
        shown = Utf8Left(v.kind == StorageKind::Blob ? Cp1252ToUtf8(v.s) : StoredCharText(v.s), 40);
    else if (v.kind == StorageKind::Integer)
        shown = std::to_string(v.i);
    else if (v.kind == StorageKind::Real)
        shown = FormatFloat(v.d, DecimalSeparator());
    throw FieldConvertError("Ungültiger Wert in Spalte " + name_ + ": \"" + shown + "\" " + what + " (Tabelle " +
                                table_.DisplayName() + ")",
                            table_.DisplayName(), name_);
}

// The value as text, for conversions: memo bytes decoded, numbers formatted.
std::string Field::StoredText(const ValueRef& v) const
{
    switch (v.kind) {
    case StorageKind::Null: return {};
    case StorageKind::Integer: return std::to_string(v.i);
    case StorageKind::Real: return FormatFloat(v.d, DecimalSeparator());
    case StorageKind::Text: return type_ == TAdsFieldType::Binary ? std::string(v.s) : StoredCharText(v.s);
    case StorageKind::Blob: return type_ == TAdsFieldType::Memo ? Cp1252ToUtf8(v.s) : std::string(v.s);
    }
    return {};
}

// --- reading ---------------------------------------------------------------------------------------

std::string Field::AsString() const
{
    const ValueRef v = Value();
    if (v.IsNull())
        return {};
    switch (type_) {
    case TAdsFieldType::Logical: {
        bool b = false;
        if (v.kind == StorageKind::Integer || v.kind == StorageKind::Real)
            return (v.kind == StorageKind::Integer ? v.i != 0 : v.d != 0) ? "True" : "False";
        return ParseBoolText(StoredText(v), b) ? (b ? "True" : "False") : StoredText(v);
    }
    case TAdsFieldType::Date:
    case TAdsFieldType::Timestamp: {
        TDateTime d = 0;
        if (v.kind == StorageKind::Integer || v.kind == StorageKind::Real)
            d = v.kind == StorageKind::Integer ? static_cast<double>(v.i) : v.d;
        else if (!IsoToDateTime(Trim(v.s), d) && !TryTextToDate(v.s, d))
            return StoredCharText(v.s); // shown as stored; AsDateTime reports it
        if (d < kMinDay || d >= kMaxDay)
            return StoredText(v);
        return type_ == TAdsFieldType::Date ? DateToText(d) : DateTimeToText(d);
    }
    default: return StoredText(v);
    }
}

std::int64_t Field::AsLargeInt() const
{
    const ValueRef v = Value();
    switch (v.kind) {
    case StorageKind::Null: return 0;
    case StorageKind::Integer: return v.i;
    case StorageKind::Real:
        if (!(std::fabs(v.d) < 9.2e18))
            ConversionError("liegt außerhalb des Zahlenbereichs", v);
        return static_cast<std::int64_t>(std::nearbyint(v.d));
    default: break;
    }
    if (IsDateType(type_))
        return static_cast<std::int64_t>(std::floor(AsDateTime()));
    const std::string t = Trim(StoredText(v));
    if (t.empty())
        return 0;
    long long i = 0;
    if (TryParseInt64(t, i))
        return i;
    double d = 0;
    if (ParseFloatText(t, d) && std::fabs(d) < 9.2e18)
        return static_cast<std::int64_t>(std::nearbyint(d));
    bool b = false;
    if (type_ == TAdsFieldType::Logical && ParseBoolText(t, b))
        return b ? 1 : 0;
    ConversionError("ist keine Zahl", v);
}

int Field::AsInteger() const
{
    const std::int64_t v = AsLargeInt();
    if (v < std::numeric_limits<int>::min() || v > std::numeric_limits<int>::max())
        ConversionError("liegt außerhalb des Zahlenbereichs", Value());
    return static_cast<int>(v);
}

double Field::AsFloat() const
{
    const ValueRef v = Value();
    switch (v.kind) {
    case StorageKind::Null: return 0;
    case StorageKind::Integer: return static_cast<double>(v.i);
    case StorageKind::Real: return v.d;
    default: break;
    }
    if (IsDateType(type_))
        return AsDateTime();
    const std::string t = Trim(StoredText(v));
    if (t.empty())
        return 0;
    double d = 0;
    if (ParseFloatText(t, d))
        return d;
    bool b = false;
    if (type_ == TAdsFieldType::Logical && ParseBoolText(t, b))
        return b ? 1 : 0;
    ConversionError("ist keine Zahl", v);
}

TDateTime Field::AsDateTime() const
{
    const ValueRef v = Value();
    TDateTime d = 0;
    switch (v.kind) {
    case StorageKind::Null: return 0;
    case StorageKind::Integer: d = static_cast<double>(v.i); break;
    case StorageKind::Real: d = v.d; break;
    default: {
        const std::string t = Trim(StoredText(v));
        if (t.empty())
            return 0;
        if (!IsoToDateTime(t, d) && !TryTextToDate(t, d))
            ConversionError("ist kein gültiges Datum", v);
    }
    }
    if (!(d >= kMinDay && d < kMaxDay))
        ConversionError("ist kein gültiges Datum", v);
    return type_ == TAdsFieldType::Date ? std::floor(d) : d;
}

bool Field::AsBoolean() const
{
    const ValueRef v = Value();
    switch (v.kind) {
    case StorageKind::Null: return false;
    case StorageKind::Integer: return v.i != 0;
    case StorageKind::Real: return v.d != 0;
    default: break;
    }
    bool b = false;
    if (!ParseBoolText(StoredText(v), b))
        ConversionError("ist kein Wahrheitswert", v);
    return b;
}

std::string Field::AsBytes() const
{
    const ValueRef v = Value();
    switch (v.kind) {
    case StorageKind::Null: return {};
    case StorageKind::Blob: return std::string(v.s);
    case StorageKind::Text: return type_ == TAdsFieldType::Memo ? Utf8ToCp1252(v.s) : std::string(v.s);
    default: return AsString();
    }
}

// --- writing ---------------------------------------------------------------------------------------

void Field::Store(DbValue v) { table_.SetFieldValue(index_, std::move(v)); }

void Field::Clear() { Store(DbValue{}); }

void Field::SetString(std::string_view text)
{
    auto bad = [&](const char* what) { ConversionError(what, ValueRef{StorageKind::Text, 0, 0, text}); };
    switch (type_) {
    case TAdsFieldType::Char: Store(DbValue::Text(size_ > 0 ? Utf8Left(text, static_cast<size_t>(size_)) : std::string(text))); return;
    case TAdsFieldType::Memo: Store(DbValue::Blob(Utf8ToCp1252(text))); return;
    case TAdsFieldType::Binary: Store(DbValue::Blob(std::string(text))); return;
    default: break;
    }
    const std::string t = Trim(text);
    if (t.empty() && type_ != TAdsFieldType::Logical) {
        Clear();
        return;
    }
    switch (type_) {
    case TAdsFieldType::ShortInt:
    case TAdsFieldType::Integer:
    case TAdsFieldType::AutoInc: {
        long long i = 0;
        double d = 0;
        if (TryParseInt64(t, i))
            SetInteger(i);
        else if (ParseFloatText(t, d))
            SetFloat(d);
        else
            bad("ist keine Zahl");
        return;
    }
    case TAdsFieldType::Double: {
        double d = 0;
        if (!ParseFloatText(t, d))
            bad("ist keine Zahl");
        Store(DbValue::Real(d));
        return;
    }
    case TAdsFieldType::Logical: {
        bool b = false;
        if (!ParseBoolText(t, b))
            bad("ist kein Wahrheitswert");
        SetBoolean(b);
        return;
    }
    default: { // dates
        TDateTime d = 0;
        if (!TryTextToDate(t, d) && !IsoToDateTime(t, d))
            bad("ist kein gültiges Datum");
        SetDateTime(d);
        return;
    }
    }
}

void Field::SetInteger(std::int64_t value)
{
    const ValueRef shown{StorageKind::Integer, value, 0, {}};
    switch (type_) {
    case TAdsFieldType::Char:
    case TAdsFieldType::Memo:
    case TAdsFieldType::Binary: SetString(std::to_string(value)); return;
    case TAdsFieldType::ShortInt:
        if (value < -32768 || value > 32767)
            ConversionError("liegt außerhalb des Zahlenbereichs", shown);
        Store(DbValue::Integer(value));
        return;
    case TAdsFieldType::Integer:
    case TAdsFieldType::AutoInc:
        if (value < std::numeric_limits<int>::min() || value > std::numeric_limits<int>::max())
            ConversionError("liegt außerhalb des Zahlenbereichs", shown);
        Store(DbValue::Integer(value));
        return;
    case TAdsFieldType::Double: Store(DbValue::Real(static_cast<double>(value))); return;
    case TAdsFieldType::Logical: Store(DbValue::Integer(value != 0 ? 1 : 0)); return;
    default: SetDateTime(static_cast<double>(value)); return;
    }
}

void Field::SetFloat(double value)
{
    const ValueRef shown{StorageKind::Real, 0, value, {}};
    if (!std::isfinite(value))
        ConversionError("ist keine Zahl", shown);
    switch (type_) {
    case TAdsFieldType::Char:
    case TAdsFieldType::Memo:
    case TAdsFieldType::Binary: SetString(FormatFloat(value, DecimalSeparator())); return;
    case TAdsFieldType::ShortInt:
    case TAdsFieldType::Integer:
    case TAdsFieldType::AutoInc:
        if (!(std::fabs(value) < 9.2e18))
            ConversionError("liegt außerhalb des Zahlenbereichs", shown);
        SetInteger(static_cast<std::int64_t>(std::nearbyint(value)));
        return;
    case TAdsFieldType::Double: Store(DbValue::Real(value)); return;
    case TAdsFieldType::Logical: Store(DbValue::Integer(value != 0 ? 1 : 0)); return;
    default: SetDateTime(value); return;
    }
}

void Field::SetDateTime(TDateTime value)
{
    const ValueRef shown{StorageKind::Real, 0, value, {}};
    if (!(value >= kMinDay && value < kMaxDay))
        ConversionError("ist kein gültiges Datum", shown);
    switch (type_) {
    case TAdsFieldType::Date: Store(DbValue::Text(DateToIso(std::floor(value)))); return;
    case TAdsFieldType::Timestamp: Store(DbValue::Text(TimestampToIso(value))); return;
    case TAdsFieldType::Char:
    case TAdsFieldType::Memo:
    case TAdsFieldType::Binary:
        SetString(value == std::floor(value) ? DateToText(value) : DateTimeToText(value));
        return;
    case TAdsFieldType::Double: Store(DbValue::Real(value)); return;
    case TAdsFieldType::Logical: ConversionError("ist kein Wahrheitswert", shown);
    default: SetInteger(static_cast<std::int64_t>(std::floor(value))); return;
    }
}

void Field::SetBoolean(bool value)
{
    switch (type_) {
    case TAdsFieldType::Char:
    case TAdsFieldType::Memo:
    case TAdsFieldType::Binary: SetString(value ? "True" : "False"); return;
    case TAdsFieldType::Double: Store(DbValue::Real(value ? 1 : 0)); return;
    case TAdsFieldType::Date:
    case TAdsFieldType::Timestamp:
        ConversionError("ist kein gültiges Datum", ValueRef{StorageKind::Text, 0, 0, value ? "True" : "False"});
    default: Store(DbValue::Integer(value ? 1 : 0)); return;
    }
}

void Field::SetBytes(std::string_view bytes)
{
    if (IsBlob())
        Store(DbValue::Blob(std::string(bytes)));
    else
        SetString(bytes);
}

} // namespace gs
