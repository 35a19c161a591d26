#pragma once
// Column widths fitted to the texts of a list, for a list whose rows are all at hand before it is
// drawn (the report command's PDF): each shown column as wide as its caption and its widest cell
// text where the page has room for all of them; otherwise the columns that need no more than an
// equal share of what is left keep their need and the others share the rest equally, so that
// numbers and dates stay whole and only the widest texts are cut. The widths are the list's
// stored column widths, which the renderer takes as proportions of the page's width.
//
// Needs a QGuiApplication (fonts). Never fails.
#include "spool/ListDescription.h"

#include <vector>

namespace gs {

// The widths of columns needing the widths given, on a page of the width given (any one unit).
std::vector<double> FitColumnWidths(const std::vector<double>& needs, double pageWidth);

// Sets the shown columns' widths of the list to fit their captions and cell texts (the grid's
// FieldText of every row) across the width of its page.
void FitColumnsToTexts(ListDescription& list);

} // namespace gs
