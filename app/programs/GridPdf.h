#pragma once
// The report command's PDF of a list it writes: the document list, the group table, the list of one
// group. Drawn by the list renderer as a grid print of the window would give it (the grid's shown
// columns with captions and alignments and the rows' texts as the grid shows them, the title and
// the totals line as footer, landscape, the title in the print dialog's default size), with the
// columns fitted to their texts across the page's width (spool/render/ColumnFit.h).
//
// Raises gs::Error with the file and the reason when the PDF cannot be written. Needs a
// QGuiApplication.
#include "base/Dates.h"
#include "spool/GridSource.h"
#include "spool/ListDescription.h"

#include <filesystem>
#include <string>

namespace gs {

struct RenderResult;

RenderResult WriteListDescriptionPdf(const ListDescription& list, TDateTime now, const std::filesystem::path& file);

// A list named "GEWINN" of the grid with this title and footer.
RenderResult WriteGridPdf(const GridDescription& grid, const std::string& title, const std::string& footer,
                          TDateTime now, const std::filesystem::path& file);

} // namespace gs
