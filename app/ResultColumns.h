#pragma once
// The columns of the document list, in their design order, and the text of a KM field as the list
// shows it. This is the one home of both: the list's model (app/widgets/ProfitList), the report
// command's text table and CSV (app/ReportOutput) and the list's printout all take their columns
// and cell texts from here. Plain data without Qt; never fails.
#include "app/ResultTables.h"

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace gs {

// The font a column's cells are drawn in; the warning bar is painted instead of text.
enum class ListCellFont { Arial, ArialBold, Grid, WarningBar };
enum class ListCellAlignment { Left, Right };

struct ResultColumn {
    const char* field;           // the KM field the column shows
    const char* title;           // the caption in the grid's markup: "/b" makes the rest bold
    int width;                   // pixels at 96 dpi
    ListCellFont font;           // Grid: the grid font ("Tahoma" 8 pt)
    ListCellAlignment alignment; // how the list stands the cell text: numbers right, texts left
    bool amount;                 // a money display text: the report's text table stands it right
    // Shown unless the user hides it. A column hidden by default stays out of the report's table,
    // its CSV and its printed list, and out of the window's until the column chooser shows it.
    bool shownByDefault = true;
};

inline constexpr std::array<ResultColumn, 8> ResultListColumns = {{
    {"ID_ORDER", "Auftrag", 86, ListCellFont::Arial, ListCellAlignment::Right, false},
    {"ADRESSNAME", "Adresse", 81, ListCellFont::ArialBold, ListCellAlignment::Left, false},
    {"DATE", "Datum", 103, ListCellFont::Arial, ListCellAlignment::Left, false},
    {"printp", " /bWarnung", 77, ListCellFont::WarningBar, ListCellAlignment::Left, false},
    // Amounts stand right, so that their digits line up on screen, on paper and in the PDF.
    {"WW_NETTO", "Nettowert", 85, ListCellFont::Grid, ListCellAlignment::Right, true},
    {"GEWINN", "Gewinn", 54, ListCellFont::Grid, ListCellAlignment::Right, true},
    {"PROVISION", "Provsion", 70, ListCellFont::Arial, ListCellAlignment::Right, true},
    {"MARGE", "Marge", 56, ListCellFont::Grid, ListCellAlignment::Right, false, false},
}};

// The position of the warning bar's column in ResultListColumns.
int WarningBarColumn();

// An amount in the host's whole-euro fields (GEWINN_INT, PROVISION_INT, WW_NETTO_INT): rounded halves
// to even, as the host does. The run has checked that every document's amounts fit.
int WholeEuros(double amount);

// The text of a KM field as the list shows it: numbers in decimal, DATE as "DD.MM.YYYY", money in the
// money display format (cut to the host's field length), the zone as its text, the computed MARGE
// as "21,4 %" (empty where the net is 0), an empty field as empty text; nullopt for a field KM does not have. Each view formats through this, once.
std::optional<std::string> KmFieldText(const KmRow& row, std::string_view field);

} // namespace gs
