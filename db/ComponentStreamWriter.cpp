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

    void component(const StreamComponent& c, int depth)
    {
        enter(depth);
        const std::optional<std::string> className = ExactCp1252(c.className);
        if (c.className.empty())
            fail("Klassenname fehlt");
        // A class name of 240 bytes or more would look like a prefix byte: write an empty prefix.
        const std::uint8_t flags = c.flags & 0x0F;
        if (flags != 0 || (className && className->size() >= 0xF0))
            tag(0xF0 | flags);
        if (flags & StreamComponent::kFlagChildPosition)
            integer(c.childPosition.value_or(0));
        name(c.className, "Klassenname");
        name(c.name, "Komponentenname");
        properties(c.properties, depth);
        for (const StreamComponent& child : c.children)
            component(child, depth + 1);
        tag(0);
    }

private:
    [[noreturn]] static void fail(const std::string& what)
    {
        throw StreamError("Komponentenstrom nicht schreibbar: " + what);
    }

    static void enter(int depth)
    {
        if (depth > kMaxStreamDepth)
            fail("zu tief verschachtelt");
    }

    void tag(unsigned b) { out += static_cast<char>(b); }
    void tag(StreamTag t) { tag(static_cast<unsigned>(t)); }

    void little(std::uint64_t v, int bytes)
    {
        for (int i = 0; i < bytes; ++i)
            out += static_cast<char>((v >> (8 * i)) & 0xFF);
    }

    void length(size_t n)
    {
        if (n > std::numeric_limits<std::uint32_t>::max())
            fail("Wert zu lang");
        little(n, 4);
    }

    // Names and identifiers: a short string in Windows-1252.
    void name(std::string_view utf8, const char* what)
    {
        const std::optional<std::string> bytes = ExactCp1252(utf8);
        if (!bytes)
            fail(std::string(what) + " mit Zeichen außerhalb von Windows-1252");
        if (bytes->size() > 255)
            fail(std::string(what) + " länger als 255 Zeichen");
        tag(static_cast<unsigned>(bytes->size()));
        out += *bytes;
    }

    void integer(long long v)
    {
        if (v >= std::numeric_limits<std::int8_t>::min() && v <= std::numeric_limits<std::int8_t>::max()) {
            tag(StreamTag::Int8);
            little(static_cast<std::uint64_t>(v), 1);
        } else if (v >= std::numeric_limits<std::int16_t>::min() && v <= std::numeric_limits<std::int16_t>::max()) {
            tag(StreamTag::Int16);
            little(static_cast<std::uint64_t>(v), 2);
        } else if (v >= std::numeric_limits<std::int32_t>::min() && v <= std::numeric_limits<std::int32_t>::max()) {
            tag(StreamTag::Int32);
            little(static_cast<std::uint64_t>(v), 4);
        } else {
            tag(StreamTag::Int64);
            little(static_cast<std::uint64_t>(v), 8);
        }
    }

    void text(const std::string& utf8)
    {
        const std::optional<std::string> bytes = ExactCp1252(utf8);
        if (!bytes) {
            tag(StreamTag::Utf8String);
            length(utf8.size());
            out += utf8;
        } else if (bytes->size() <= 255) {
            tag(StreamTag::String);
            tag(static_cast<unsigned>(bytes->size()));
            out += *bytes;
        } else {
            tag(StreamTag::LongString);
            length(bytes->size());
            out += *bytes;
        }
    }

    void doubleBits(double d)
    {
        std::uint64_t bits;
        std::memcpy(&bits, &d, sizeof bits);
        little(bits, 8);
    }

    void value(const StreamValue& v, int depth)
    {
        enter(depth);
        switch (v.kind()) {
        case StreamValue::Kind::Nil:
            tag(StreamTag::Nil);
            break;
        case StreamValue::Kind::Boolean:
            tag(v.asBoolean() ? StreamTag::True : StreamTag::False);
            break;
        case StreamValue::Kind::Integer:
            integer(v.asInteger());
            break;
        case StreamValue::Kind::Float: {
            unsigned char b[10];
            EncodeExtended(v.asDouble(), b);
            tag(StreamTag::Extended);
            out.append(reinterpret_cast<const char*>(b), sizeof b);
            break;
        }
        case StreamValue::Kind::Currency:
            tag(StreamTag::Currency);
            little(static_cast<std::uint64_t>(v.currencyRaw()), 8);
            break;
        case StreamValue::Kind::Date:
            tag(StreamTag::Date);
            doubleBits(v.asDouble());
            break;
        case StreamValue::Kind::Text:
            text(v.asText());
            break;
        case StreamValue::Kind::Identifier:
            tag(StreamTag::Identifier);
            name(v.asText(), "Bezeichner");
            break;
        case StreamValue::Kind::Binary:
            tag(StreamTag::Binary);
            length(v.asText().size());
            out += v.asText();
            break;
        case StreamValue::Kind::Set:
            tag(StreamTag::Set);
            for (const std::string& member : v.setMembers()) {
                if (member.empty())
                    fail("leerer Mengenbezeichner");
                name(member, "Mengenbezeichner");
            }
            tag(0);
            break;
        case StreamValue::Kind::List:
            tag(StreamTag::List);
            for (const StreamValue& element : v.asList())
                value(element, depth + 1);
            tag(StreamTag::EndOfList);
            break;
        case StreamValue::Kind::Collection:
            tag(StreamTag::Collection);
            enter(depth + 1);
            for (const StreamItem& item : v.asCollection()) {
                tag(StreamTag::List);
                properties(item.properties, depth + 2);
            }
            tag(StreamTag::EndOfList);
            break;
        }
    }

    void properties(const std::vector<StreamProperty>& props, int depth)
    {
        for (const StreamProperty& p : props) {
            if (p.name.empty())
                fail("leerer Eigenschaftsname");
            name(p.name, "Eigenschaftsname");
            value(p.value, depth);
        }
        tag(StreamTag::EndOfList);
    }
};

} // namespace

std::string WriteComponentStream(const StreamComponent& component)
{
    Writer w;
    w.out = "TPF0";
    w.component(component, 0);
    return std::move(w.out);
}

} // namespace gs
