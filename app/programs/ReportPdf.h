#pragma once
// The report command's PDF: what the view shows drawn by the list renderer, as the list print of
// the window would give it (columns, captions and alignments of the list, fitted to their texts
// across the page; the title "Gewinne, erstellt " + date and time with the range on a second line;
// the totals line as footer, with the change to the previous year when compared; landscape). With
// --group-by the group table ("Gewinne nach Kunde, erstellt ..."), with --filter the group's list,
// its title naming the group.
//
// Raises gs::Error with the file and the reason when the PDF cannot be written. Needs a
// QGuiApplication (the caller makes one, offscreen without a display).
#include "app/ReportView.h"
#include "base/Dates.h"

#include <filesystem>

namespace gs {

struct RenderResult;

// file "-": the PDF goes to standard output.
RenderResult WriteReportPdf(const ReportView& view, TDateTime now, const std::filesystem::path& file);

} // namespace gs
