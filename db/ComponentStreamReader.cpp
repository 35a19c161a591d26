// Reading component streams. Every length is checked against the bytes that remain, nesting and
// the number of values are bounded, so damaged or hostile input ends in StreamError.
#include "db/ComponentStream.h"

#include "base/Cp1252.h"
#include "base/Text.h"

#include <cmath>
#include <cstring>
#include <limits>

namespace gs {

namespace {

constexpr char32_t kReplacement = 0xFFFD;

// UTF-16 little-endian units to UTF-8; unpaired surrogates become U+FFFD.
std::string Utf16ToUtf8(std::string_view bytes)
{
    std::string out;
    out.reserve(bytes.size());
    const size_t n = bytes.size() / 2;
    auto unit = [&](size_t i) {
        return static_cast<char16_t>(static_cast<unsigned char>(bytes[2 * i]) |
                                     (static_cast<unsigned char>(bytes[2 * i + 1]) << 8));
    };
    for (size_t i = 0; i < n; ++i) {
        const char16_t u = unit(i);
        if (u >= 0xD800 && u <= 0xDBFF && i + 1 < n) {
            const char16_t low = unit(i + 1);
            if (low >= 0xDC00 && low <= 0xDFFF) {
                AppendUtf8(out, 0x10000 + ((static_cast<char32_t>(u) - 0xD800) << 10) + (low - 0xDC00));
                ++i;
                continue;
            }
        }
        AppendUtf8(out, (u >= 0xD800 && u <= 0xDFFF) ? kReplacement : static_cast<char32_t>(u));
    }
    return out;
}

// Well-formed UTF-8 stays as it is; every byte of a malformed sequence (overlong forms, surrogates,
// code points beyond U+10FFFF, cut sequences) becomes U+FFFD.
std::string SanitizeUtf8(std::string_view s)
{
    std::string out;
    out.reserve(s.size());
    size_t i = 0;
    while (i < s.size()) {
        const unsigned char b = static_cast<unsigned char>(s[i]);
        size_t len = 0;
        char32_t cp = 0, min = 0;
        if (b < 0x80) {
            out += static_cast<char>(b);
            ++i;
            continue;
        } else if ((b & 0xE0) == 0xC0) {
            len = 2, cp = b & 0x1F, min = 0x80;
        } else if ((b & 0xF0) == 0xE0) {
            len = 3, cp = b & 0x0F, min = 0x800;
        } else if ((b & 0xF8) == 0xF0) {
            len = 4, cp = b & 0x07, min = 0x10000;
        }
        bool ok = len != 0 && i + len <= s.size();
        for (size_t k = 1; ok && k < len; ++k) {
            const unsigned char c = static_cast<unsigned char>(s[i + k]);
            ok = (c & 0xC0) == 0x80;
            cp = (cp << 6) | (c & 0x3F);
        }
        ok = ok && cp >= min && cp <= 0x10FFFF && !(cp >= 0xD800 && cp <= 0xDFFF);
        if (ok) {
            out.append(s.substr(i, len));
            i += len;
        } else {
            AppendUtf8(out, kReplacement);
            ++i;
        }
    }
    return out;
}

class Reader {
public:
    explicit Reader(std::string_view in) : in_(in) {}

    StreamComponent Root()
    {
        if (in_.size() < 4 || in_.substr(0, 4) != "TPF0")
            throw StreamError("Ungültiger Komponentenstrom: Kennung \"TPF0\" fehlt");
        pos_ = 4;
        return Component(0);
    }

private:
    [[noreturn]] void Fail(const std::string& what) const
    {
        throw StreamError("Ungültiger Komponentenstrom: " + what + " (Position " + std::to_string(pos_) + ")");
    }

    std::string_view Take(std::uint64_t n)
    {
        if (n > in_.size() - pos_)
            Fail("Daten enden vorzeitig");
        const std::string_view s = in_.substr(pos_, static_cast<size_t>(n));
        pos_ += static_cast<size_t>(n);
        return s;
    }

    std::uint8_t Byte() { return static_cast<std::uint8_t>(Take(1)[0]); }

    std::uint8_t Peek()
    {
        if (pos_ >= in_.size())
            Fail("Daten enden vorzeitig");
        return static_cast<std::uint8_t>(in_[pos_]);
    }

    std::uint64_t Little(int bytes)
    {
        const std::string_view s = Take(static_cast<std::uint64_t>(bytes));
        std::uint64_t v = 0;
        for (int i = bytes - 1; i >= 0; --i)
            v = (v << 8) | static_cast<unsigned char>(s[static_cast<size_t>(i)]);
        return v;
    }

    std::uint32_t Length() { return static_cast<std::uint32_t>(Little(4)); }

    std::string ShortString() { return Cp1252ToUtf8(Take(Byte())); }

    void Count()
    {
        if (++values_ > kMaxStreamValues)
            Fail("zu viele Werte");
    }

    void Enter(int depth)
    {
        if (depth > kMaxStreamDepth)
            Fail("zu tief verschachtelt");
    }

    static bool IsIntegerTag(std::uint8_t tag)
    {
        return tag == static_cast<std::uint8_t>(StreamTag::Int8) || tag == static_cast<std::uint8_t>(StreamTag::Int16) ||
               tag == static_cast<std::uint8_t>(StreamTag::Int32) || tag == static_cast<std::uint8_t>(StreamTag::Int64);
    }

    long long IntegerOf(std::uint8_t tag)
    {
        switch (static_cast<StreamTag>(tag)) {
        case StreamTag::Int8:
            return static_cast<std::int8_t>(Little(1));
        case StreamTag::Int16:
            return static_cast<std::int16_t>(Little(2));
        case StreamTag::Int32:
            return static_cast<std::int32_t>(Little(4));
        case StreamTag::Int64:
            return static_cast<std::int64_t>(Little(8));
        default:
            Fail("Ganzzahl erwartet");
        }
    }

    double DoubleOf(std::uint64_t bits)
    {
        double d;
        std::memcpy(&d, &bits, sizeof d);
        return d;
    }

    StreamValue Value(int depth)
    {
        Enter(depth);
        Count();
        const std::uint8_t tag = Byte();
        switch (static_cast<StreamTag>(tag)) {
        case StreamTag::List: {
            std::vector<StreamValue> values;
            while (Peek() != static_cast<std::uint8_t>(StreamTag::EndOfList))
                values.push_back(Value(depth + 1));
            ++pos_;
            return StreamValue::List(std::move(values));
        }
        case StreamTag::Int8:
        case StreamTag::Int16:
        case StreamTag::Int32:
        case StreamTag::Int64:
            return StreamValue::Integer(IntegerOf(tag));
        case StreamTag::Extended: {
            const std::string_view s = Take(10);
            unsigned char b[10];
            std::memcpy(b, s.data(), 10);
            return StreamValue::Float(DecodeExtended(b));
        }
        case StreamTag::Single: {
            const auto bits = static_cast<std::uint32_t>(Little(4));
            float f;
            std::memcpy(&f, &bits, sizeof f);
            // Any NaN payload becomes the one quiet NaN, as the 80-bit form carries no payload either.
            if (std::isnan(f))
                return StreamValue::Float(std::copysign(std::numeric_limits<double>::quiet_NaN(), f));
            return StreamValue::Float(static_cast<double>(f));
        }
        case StreamTag::Currency:
            return StreamValue::CurrencyRaw(static_cast<std::int64_t>(Little(8)));
        case StreamTag::Date:
            return StreamValue::Date(DoubleOf(Little(8)));
        case StreamTag::String:
            return StreamValue::Text(ShortString());
        case StreamTag::LongString:
            return StreamValue::Text(Cp1252ToUtf8(Take(Length())));
        case StreamTag::WideString:
            return StreamValue::Text(Utf16ToUtf8(Take(std::uint64_t{Length()} * 2)));
        case StreamTag::Utf8String:
            return StreamValue::Text(SanitizeUtf8(Take(Length())));
        case StreamTag::Identifier:
            return StreamValue::Identifier(ShortString());
        case StreamTag::False:
            return StreamValue::Boolean(false);
        case StreamTag::True:
            return StreamValue::Boolean(true);
        case StreamTag::Binary:
            return StreamValue::Binary(std::string(Take(Length())));
        case StreamTag::Set: {
            std::vector<std::string> members;
            for (std::string member = ShortString(); !member.empty(); member = ShortString()) {
                Count();
                members.push_back(std::move(member));
            }
            return StreamValue::Set(std::move(members));
        }
        case StreamTag::Nil:
            return StreamValue::Nil();
        case StreamTag::Collection:
            return StreamValue::Collection(Collection(depth + 1));
        case StreamTag::EndOfList:
            --pos_;
            Fail("Wert erwartet");
        }
        --pos_;
        Fail("unbekannter Werttyp " + std::to_string(tag));
    }

    std::vector<StreamItem> Collection(int depth)
    {
        Enter(depth);
        std::vector<StreamItem> items;
        for (std::uint8_t tag = Byte(); tag != static_cast<std::uint8_t>(StreamTag::EndOfList); tag = Byte()) {
            Count();
            if (IsIntegerTag(tag)) { // the item's order, not needed
                IntegerOf(tag);
                tag = Byte();
            }
            if (tag != static_cast<std::uint8_t>(StreamTag::List)) {
                --pos_;
                Fail("Sammlungseintrag erwartet");
            }
            items.push_back(StreamItem{Properties(depth + 1)});
        }
        return items;
    }

    std::vector<StreamProperty> Properties(int depth)
    {
        std::vector<StreamProperty> props;
        for (std::string name = ShortString(); !name.empty(); name = ShortString()) {
            Count();
            StreamValue v = Value(depth);
            props.push_back(StreamProperty{std::move(name), std::move(v)});
        }
        return props;
    }

    StreamComponent Component(int depth)
    {
        Enter(depth);
        Count();
        StreamComponent c;
        const std::uint8_t first = Peek();
        if ((first & 0xF0) == 0xF0) {
            ++pos_;
            c.flags = first & 0x0F;
            if (c.flags & StreamComponent::kFlagChildPosition)
                c.childPosition = IntegerOf(Byte());
        }
        c.className = ShortString();
        if (c.className.empty())
            Fail("Klassenname fehlt");
        c.name = ShortString();
        c.properties = Properties(depth);
        while (Peek() != static_cast<std::uint8_t>(StreamTag::EndOfList))
            c.children.push_back(Component(depth + 1));
        ++pos_;
        return c;
    }

    std::string_view in_;
    size_t pos_ = 0;
    size_t values_ = 0;
};

} // namespace

StreamComponent ReadComponentStream(std::string_view bytes) { return Reader(bytes).Root(); }

} // namespace gs
