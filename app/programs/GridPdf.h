#pragma once
// The report command's PDF of any grid it writes besides the plain document list: the group table,
// the list of one group. Drawn by the list renderer as a grid print of the window would give it
// (the grid's shown columns with captions, widths and alignments, the title and the totals line as
// footer, landscape).
//
// Raises gs::Error with the file and the reason when the PDF cannot be written. Needs a
// QGuiApplication.
#include "base/Dates.h"
#include "spool/GridSource.h"

#include <filesystem>
#include <string>

namespace gs {

struct TRenderResult;

TRenderResult WriteGridPdf(const TGridDescription& grid, const std::string& title, const std::string& footer,
                           TDateTime now, const std::filesystem::path& file);

} // namespace gs
