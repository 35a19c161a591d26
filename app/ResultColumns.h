#pragma once
// The columns of the document list, in their design order: the field of KM they show, the title
// (in the grid's markup: "/b" makes the rest bold), the width in pixels at 96 dpi and the cell font.
// The list, its printout, its CSV export and the report command all show these columns.
#include <array>

namespace gs {

struct ResultColumn {
    const char* field;
    const char* title;
    int width;
    const char* cellFont;   // empty: the grid font ("Tahoma" 8 pt)
    bool cellBold;
};

inline constexpr std::array<ResultColumn, 7> ResultListColumns = {{
    {"ID_ORDER", "Auftrag", 86, "Arial", false},
    {"ADRESSNAME", "Adresse", 81, "Arial", true},
    {"DATE", "Datum", 103, "Arial", false},
    {"printp", " /bWarnung", 77, "", false},
    {"WW_NETTO", "Nettowert", 85, "", false},
    {"GEWINN", "Gewinn", 54, "", false},
    {"PROVISION", "Provsion", 70, "Arial", false},
}};

} // namespace gs
