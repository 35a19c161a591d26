#pragma once
// The additional info lines of a document, kept by the host uncompressed in the memo column
// Endtext as a component stream of one TAddInfoLinesWrapper: the collection AddInfoLines and the
// properties Info1 (text) and Info2 (number).
#include <string>
#include <string_view>
#include <vector>

namespace gs {

struct TAddInfoLine {
    int ORG_ID = 0;
    std::string _1, _2, _3, _4, _5, _6, _7, _8;
    bool Forcedelete = false;

    bool operator==(const TAddInfoLine&) const = default;
};

class TAddInfoLines {
public:
    std::vector<TAddInfoLine> Lines;
    std::string Info1;
    int Info2 = 0;

    // No lines, Info1 empty, Info2 0.
    void Clear();
    void Assign(const TAddInfoLines& source) { *this = source; }
    size_t Count() const { return Lines.size(); }

    // Clear, then the lines of the stream sorted by ORG_ID, and Info1 and Info2. A stream that
    // cannot be read (a compressed one, too) leaves everything cleared; never raises for ordinary
    // errors.
    void LoadFromStream(std::string_view stream);
    // The component stream of the lines, Info1 and Info2.
    std::string SaveToStream() const;
    // Sorts the lines ascending by ORG_ID (quicksort around the middle line's ORG_ID; lines of equal
    // ORG_ID end in no defined order).
    void SortByOrgId();

    bool operator==(const TAddInfoLines&) const = default;
};

} // namespace gs
