#pragma once
// A fast reader for the form in which the host writes its single-collection component streams
// (EXTB, Endtext): "TPF0", a class and a component name, properties whose values are texts (short
// or long strings), integers (8, 16 or 32 bit), booleans or the one collection, whose items carry
// such values; no child components. It views the bytes instead of building a model, so reading an
// order's blobs costs little.
//
// For anything beyond that form (other value kinds, prefixes, children, damage) scan() declines,
// and the caller reads the stream with ReadComponentStream, which accepts or rejects it as always:
// whenever scan() succeeds, the full reader would have read the same properties and values.
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace gs {

struct ScanValue {
    enum class Kind : std::uint8_t { Text, Integer, Boolean, Collection };
    Kind kind = Kind::Text;
    std::string_view bytes; // Text: the Windows-1252 bytes as stored
    long long integer = 0;  // Integer; Boolean 0 or 1

    // Text as UTF-8.
    std::string text() const;
};

struct ScanProperty {
    std::string_view name; // Windows-1252 bytes as stored
    ScanValue value;
};

class CollectionScan {
public:
    // Reads bytes whose collection property (name compared without regard to case) holds the items.
    // False when the stream is not of the common form; then nothing here is valid.
    bool scan(std::string_view bytes, std::string_view collection);

    size_t itemCount() const { return itemBegin_.empty() ? 0 : itemBegin_.size() - 1; }
    std::span<const ScanProperty> item(size_t index) const
    {
        return std::span<const ScanProperty>(props_).subspan(itemBegin_[index],
                                                              itemBegin_[index + 1] - itemBegin_[index]);
    }
    // The component's properties (the collection itself with kind Collection).
    std::span<const ScanProperty> root() const { return root_; }

    // The last property of the name (without regard to case), as the full reader's lookups take it;
    // nullptr when there is none.
    static const ScanValue* Find(std::span<const ScanProperty> properties, std::string_view name);

private:
    std::vector<ScanProperty> props_;
    std::vector<size_t> itemBegin_;
    std::vector<ScanProperty> root_;
};

// Typed access as the full reader's item helpers give it: a missing property gives the fallback, one
// of another kind raises StreamError.
std::string ScanText(std::span<const ScanProperty> properties, std::string_view name);
// Raises as ScanText would, without converting the text.
void CheckScanText(std::span<const ScanProperty> properties, std::string_view name);
long long ScanInteger(std::span<const ScanProperty> properties, std::string_view name, long long fallback);
bool ScanBoolean(std::span<const ScanProperty> properties, std::string_view name, bool fallback);

} // namespace gs
