#pragma once
// A grid's column set as the user arranged it: the columns in their shown order, each with its
// field name, width and visibility. The grid keeps it in a small layout file beside the program and
// loads it back by field name, so a layout survives columns being added to or removed from the grid.
//
// Text form (one column a line, in shown order, after a header line):
//     GSCOLUMNS 1
//     ID_ORDER;86;1
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace gs {

struct GridColumnState {
    std::string field;
    int width = 0;
    bool visible = true;
    friend bool operator==(const GridColumnState&, const GridColumnState&) = default;
};

using GridColumnSet = std::vector<GridColumnState>;

std::string FormatColumnSet(const GridColumnSet& columns);
// Reads the text form; lines that do not fit (no field, a width that is no number) are skipped, and
// a text without the header line gives an empty set.
GridColumnSet ParseColumnSet(std::string_view text);

// The grid's layout file: the program file's full name, the grid's name, the layout suffix and
// ".COL" joined without separators ("/opt/gs/gewinnstatistikDBGrid_CURRGW1.COL").
std::filesystem::path GridLayoutFile(const std::filesystem::path& programFile, const std::string& gridName,
                                     const std::string& suffix);

// Writes the set atomically; raises gs::Error when it cannot be written.
void SaveColumnSetFile(const std::filesystem::path& file, const GridColumnSet& columns);
// The set in the file; empty when the file is missing or cannot be read.
GridColumnSet LoadColumnSetFile(const std::filesystem::path& file);

// Arranges the grid's present columns by a saved set: the saved fields first, in the saved order
// and with the saved width and visibility (a width below 1 keeps the present one), then the present
// columns the set does not name, in their present order. Fields the grid no longer has are ignored.
GridColumnSet ArrangeColumns(const GridColumnSet& present, const GridColumnSet& saved);

} // namespace gs
