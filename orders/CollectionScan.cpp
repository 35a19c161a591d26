#include "orders/CollectionScan.h"

#include "base/Cp1252.h"
#include "base/Text.h"
#include "db/ComponentStream.h"

namespace gs {

namespace {

// Far below the full reader's limit of values, so that every stream scanned here is within it.
constexpr size_t kMaxScanValues = 65536;

class Scanner {
public:
    Scanner(std::string_view in, size_t pos) : in_(in), pos_(pos) {}

    bool byte(std::uint8_t& b)
    {
        if (pos_ >= in_.size())
            return false;
        b = static_cast<std::uint8_t>(in_[pos_++]);
        return true;
    }
    bool take(size_t n, std::string_view& out)
    {
        if (n > in_.size() - pos_)
            return false;
        out = in_.substr(pos_, n);
        pos_ += n;
        return true;
    }
    bool shortString(std::string_view& out)
    {
        std::uint8_t n = 0;
        return byte(n) && take(n, out);
    }
    bool little(int bytes, std::uint64_t& v)
    {
        std::string_view s;
        if (!take(static_cast<size_t>(bytes), s))
            return false;
        v = 0;
        for (int i = bytes - 1; i >= 0; --i)
            v = (v << 8) | static_cast<unsigned char>(s[static_cast<size_t>(i)]);
        return true;
    }
    // An 8-, 16- or 32-bit integer after its tag.
    bool integer(std::uint8_t tag, long long& v)
    {
        std::uint64_t u = 0;
        switch (static_cast<StreamTag>(tag)) {
        case StreamTag::Int8:
            if (!little(1, u))
                return false;
            v = static_cast<std::int8_t>(u);
            return true;
        case StreamTag::Int16:
            if (!little(2, u))
                return false;
            v = static_cast<std::int16_t>(u);
            return true;
        case StreamTag::Int32:
            if (!little(4, u))
                return false;
            v = static_cast<std::int32_t>(u);
            return true;
        default: return false;
        }
    }
    // A text, integer or boolean value after its tag; false for every other kind.
    bool plainValue(std::uint8_t tag, ScanValue& v)
    {
        switch (static_cast<StreamTag>(tag)) {
        case StreamTag::String:
            v.kind = ScanValue::Kind::Text;
            return shortString(v.bytes);
        case StreamTag::LongString: {
            std::uint64_t n = 0;
            v.kind = ScanValue::Kind::Text;
            return little(4, n) && take(static_cast<size_t>(n), v.bytes);
        }
        case StreamTag::Int8:
        case StreamTag::Int16:
        case StreamTag::Int32:
            v.kind = ScanValue::Kind::Integer;
            return integer(tag, v.integer);
        case StreamTag::False:
        case StreamTag::True:
            v.kind = ScanValue::Kind::Boolean;
            v.integer = tag == static_cast<std::uint8_t>(StreamTag::True) ? 1 : 0;
            return true;
        default: return false;
        }
    }
    bool peek(std::uint8_t& b) const
    {
        if (pos_ >= in_.size())
            return false;
        b = static_cast<std::uint8_t>(in_[pos_]);
        return true;
    }

private:
    std::string_view in_;
    size_t pos_;
};

} // namespace

std::string ScanValue::text() const { return Cp1252ToUtf8(bytes); }

bool CollectionScan::scan(std::string_view bytes, std::string_view collection)
{
    props_.clear();
    itemBegin_.clear();
    root_.clear();
    if (bytes.size() < 4 || bytes.substr(0, 4) != "TPF0")
        return false;
    Scanner s(bytes, 4);
    std::uint8_t first = 0;
    if (!s.peek(first) || (first & 0xF0) == 0xF0)
        return false; // prefix flags: left to the full reader
    std::string_view className, componentName;
    if (!s.shortString(className) || className.empty() || !s.shortString(componentName))
        return false;
    size_t values = 1;
    bool haveCollection = false;
    for (;;) {
        ScanProperty p;
        if (!s.shortString(p.name))
            return false;
        if (p.name.empty())
            break;
        std::uint8_t tag = 0;
        if (!s.byte(tag))
            return false;
        values += 2;
        if (tag == static_cast<std::uint8_t>(StreamTag::Collection)) {
            if (haveCollection || !EqualsNoCase(p.name, collection))
                return false;
            haveCollection = true;
            itemBegin_.push_back(0);
            for (;;) {
                std::uint8_t itemTag = 0;
                if (!s.byte(itemTag))
                    return false;
                if (itemTag == static_cast<std::uint8_t>(StreamTag::EndOfList))
                    break;
                ++values;
                long long order = 0;
                if (s.integer(itemTag, order) && !s.byte(itemTag))
                    return false;
                if (itemTag != static_cast<std::uint8_t>(StreamTag::List))
                    return false;
                for (;;) {
                    ScanProperty ip;
                    if (!s.shortString(ip.name))
                        return false;
                    if (ip.name.empty())
                        break;
                    std::uint8_t valueTag = 0;
                    if (!s.byte(valueTag) || !s.plainValue(valueTag, ip.value))
                        return false;
                    values += 2;
                    props_.push_back(ip);
                }
                itemBegin_.push_back(props_.size());
                if (values > kMaxScanValues)
                    return false;
            }
            p.value.kind = ScanValue::Kind::Collection;
        } else if (EqualsNoCase(p.name, collection) || !s.plainValue(tag, p.value)) {
            return false;
        }
        root_.push_back(p);
        if (values > kMaxScanValues)
            return false;
    }
    std::uint8_t end = 0;
    if (!s.byte(end) || end != static_cast<std::uint8_t>(StreamTag::EndOfList))
        return false; // child components, or the stream ends early
    if (itemBegin_.empty())
        itemBegin_.push_back(0);
    return true;
}

const ScanValue* CollectionScan::Find(std::span<const ScanProperty> properties, std::string_view name)
{
    const ScanValue* found = nullptr;
    for (const ScanProperty& p : properties) {
        if (EqualsNoCase(p.name, name))
            found = &p.value;
    }
    return found;
}

namespace {

// The last text property of the name; nullptr when there is none; raises when it holds no text.
const ScanValue* TextValue(std::span<const ScanProperty> properties, std::string_view name)
{
    const ScanValue* v = CollectionScan::Find(properties, name);
    if (v != nullptr && v->kind != ScanValue::Kind::Text)
        throw StreamError("Ungültiger Eigenschaftswert: " + std::string(name) + " ist kein Text");
    return v;
}

} // namespace

std::string ScanText(std::span<const ScanProperty> properties, std::string_view name)
{
    const ScanValue* v = TextValue(properties, name);
    return v ? v->text() : std::string();
}

void CheckScanText(std::span<const ScanProperty> properties, std::string_view name) { TextValue(properties, name); }

long long ScanInteger(std::span<const ScanProperty> properties, std::string_view name, long long fallback)
{
    const ScanValue* v = CollectionScan::Find(properties, name);
    if (v == nullptr)
        return fallback;
    if (v->kind != ScanValue::Kind::Integer)
        throw StreamError("Ungültiger Eigenschaftswert: Ganzzahl erwartet");
    return v->integer;
}

bool ScanBoolean(std::span<const ScanProperty> properties, std::string_view name, bool fallback)
{
    const ScanValue* v = CollectionScan::Find(properties, name);
    if (v == nullptr)
        return fallback;
    if (v->kind != ScanValue::Kind::Boolean)
        throw StreamError("Ungültiger Eigenschaftswert: Wahrheitswert erwartet");
    return v->integer != 0;
}

} // namespace gs
