#pragma once
// The report command's PDF: the document list of a run drawn by the list renderer, as the list
// print of the window would give it (columns, captions, widths and alignments of the list; title
// "Gewinne, erstellt " + date and time; the totals line as footer; landscape).
//
// Raises gs::Error with the file and the reason when the PDF cannot be written. Needs a
// QGuiApplication (the caller makes one, offscreen without a display).
#include "app/ResultTables.h"
#include "app/StatisticsRun.h"
#include "base/Dates.h"

#include <filesystem>

namespace gs {

struct RenderResult;

// file "-": the PDF goes to standard output.
RenderResult WriteReportPdf(const ResultTables& tables, const RunOutcome& outcome, TDateTime now,
                             const std::filesystem::path& file);

} // namespace gs
