// Writing component streams in the forms the host writes itself: short strings where they fit,
// the smallest integer form, 80-bit floats.
#include "db/ComponentStream.h"

#include "base/Cp1252.h"

#include <cstring>
#include <limits>

namespace gs {

namespace {

// The Windows-1252 bytes of a text, or nothing when the text holds a character the code page lacks
// (or is no valid UTF-8).
std::optional<std::string> ExactCp1252(std::string_view utf8)
{
    std::string bytes = Utf8ToCp1252(utf8);
    if (Cp1252ToUtf8(bytes) != utf8)
        return std::nullopt;
    return bytes;
}

class Writer {
public:
    std::string out;

    void Component(const StreamComponent& c, int depth)
    {
        Enter(depth);
        const std::optional<std::string> className = ExactCp1252(c.className);
        if (c.className.empty())
            Fail("Klassenname fehlt");
        // A class name of 240 bytes or more would look like a prefix byte: write an empty prefix.
        const std::uint8_t flags = c.flags & 0x0F;
        if (flags != 0 || (className && className->size() >= 0xF0))
            Tag(0xF0 | flags);
        if (flags & StreamComponent::kFlagChildPosition)
            Integer(c.childPosition.value_or(0));
        Name(c.className, "Klassenname");
        Name(c.name, "Komponentenname");
        Properties(c.properties, depth);
        for (const StreamComponent& child : c.children)
            Component(child, depth + 1);
        Tag(0);
    }

private:
    [[noreturn]] static void Fail(const std::string& what)
    {
        throw StreamError("Komponentenstrom nicht schreibbar: " + what);
    }

    static void Enter(int depth)
    {
        if (depth > kMaxStreamDepth)
            Fail("zu tief verschachtelt");
    }

    void Tag(unsigned b) { out += static_cast<char>(b); }
    void Tag(StreamTag t) { Tag(static_cast<unsigned>(t)); }

    void Little(std::uint64_t v, int bytes)
    {
        for (int i = 0; i < bytes; ++i)
            out += static_cast<char>((v >> (8 * i)) & 0xFF);
    }

    void Length(size_t n)
    {
        if (n > std::numeric_limits<std::uint32_t>::max())
            Fail("Wert zu lang");
        Little(n, 4);
    }

    // Names and identifiers: a short string in Windows-1252.
    void Name(std::string_view utf8, const char* what)
    {
        const std::optional<std::string> bytes = ExactCp1252(utf8);
        if (!bytes)
            Fail(std::string(what) + " mit Zeichen außerhalb von Windows-1252");
        if (bytes->size() > 255)
            Fail(std::string(what) + " länger als 255 Zeichen");
        Tag(static_cast<unsigned>(bytes->size()));
        out += *bytes;
    }

    void Integer(long long v)
    {
        if (v >= std::numeric_limits<std::int8_t>::min() && v <= std::numeric_limits<std::int8_t>::max()) {
            Tag(StreamTag::Int8);
            Little(static_cast<std::uint64_t>(v), 1);
        } else if (v >= std::numeric_limits<std::int16_t>::min() && v <= std::numeric_limits<std::int16_t>::max()) {
            Tag(StreamTag::Int16);
            Little(static_cast<std::uint64_t>(v), 2);
        } else if (v >= std::numeric_limits<std::int32_t>::min() && v <= std::numeric_limits<std::int32_t>::max()) {
            Tag(StreamTag::Int32);
            Little(static_cast<std::uint64_t>(v), 4);
        } else {
            Tag(StreamTag::Int64);
            Little(static_cast<std::uint64_t>(v), 8);
        }
    }

    void Text(const std::string& utf8)
    {
        const std::optional<std::string> bytes = ExactCp1252(utf8);
        if (!bytes) {
            Tag(StreamTag::Utf8String);
            Length(utf8.size());
            out += utf8;
        } else if (bytes->size() <= 255) {
            Tag(StreamTag::String);
            Tag(static_cast<unsigned>(bytes->size()));
            out += *bytes;
        } else {
            Tag(StreamTag::LongString);
            Length(bytes->size());
            out += *bytes;
        }
    }

    void DoubleBits(double d)
    {
        std::uint64_t bits;
        std::memcpy(&bits, &d, sizeof bits);
        Little(bits, 8);
    }

    void Value(const StreamValue& v, int depth)
    {
        Enter(depth);
        switch (v.ValueKind()) {
        case StreamValue::Kind::Nil:
            Tag(StreamTag::Nil);
            break;
        case StreamValue::Kind::Boolean:
            Tag(v.AsBoolean() ? StreamTag::True : StreamTag::False);
            break;
        case StreamValue::Kind::Integer:
            Integer(v.AsInteger());
            break;
        case StreamValue::Kind::Float: {
            unsigned char b[10];
            EncodeExtended(v.AsDouble(), b);
            Tag(StreamTag::Extended);
            out.append(reinterpret_cast<const char*>(b), sizeof b);
            break;
        }
        case StreamValue::Kind::Currency:
            Tag(StreamTag::Currency);
            Little(static_cast<std::uint64_t>(v.CurrencyRaw()), 8);
            break;
        case StreamValue::Kind::Date:
            Tag(StreamTag::Date);
            DoubleBits(v.AsDouble());
            break;
        case StreamValue::Kind::Text:
            Text(v.AsText());
            break;
        case StreamValue::Kind::Identifier:
            Tag(StreamTag::Identifier);
            Name(v.AsText(), "Bezeichner");
            break;
        case StreamValue::Kind::Binary:
            Tag(StreamTag::Binary);
            Length(v.AsText().size());
            out += v.AsText();
            break;
        case StreamValue::Kind::Set:
            Tag(StreamTag::Set);
            for (const std::string& member : v.SetMembers()) {
                if (member.empty())
                    Fail("leerer Mengenbezeichner");
                Name(member, "Mengenbezeichner");
            }
            Tag(0);
            break;
        case StreamValue::Kind::List:
            Tag(StreamTag::List);
            for (const StreamValue& element : v.AsList())
                Value(element, depth + 1);
            Tag(StreamTag::EndOfList);
            break;
        case StreamValue::Kind::Collection:
            Tag(StreamTag::Collection);
            Enter(depth + 1);
            for (const StreamItem& item : v.AsCollection()) {
                Tag(StreamTag::List);
                Properties(item.properties, depth + 2);
            }
            Tag(StreamTag::EndOfList);
            break;
        }
    }

    void Properties(const std::vector<StreamProperty>& props, int depth)
    {
        for (const StreamProperty& p : props) {
            if (p.name.empty())
                Fail("leerer Eigenschaftsname");
            Name(p.name, "Eigenschaftsname");
            Value(p.value, depth);
        }
        Tag(StreamTag::EndOfList);
    }
};

} // namespace

std::string WriteComponentStream(const StreamComponent& component)
{
    Writer w;
    w.out = "TPF0";
    w.Component(component, 0);
    return std::move(w.out);
}

} // namespace gs
