#pragma once
// The report command's list print: the period's document list as one job in the output spool,
// exactly as the list print of the window writes it (name "GEWINN", the title "Gewinne, erstellt "
// + date and time as rich text, the totals line as footer, the file stem "GEWINN-" + date and time
// + "-", cell mode 2, landscape, printer and copies from TOVIK.INI), with no dialog.
//
// Returns the job or why there is none; never shows a message and never raises for ordinary
// errors.
#include "app/ResultTables.h"
#include "spool/GridSource.h"

#include <cstdint>
#include <string>

namespace gs {

class Runtime;

// The document list KM as a grid's row source, with the texts the list shows.
class KmGridDataSet : public TGridDataSet {
public:
    explicit KmGridDataSet(const TResultTables& tables) : tables_(tables) {}
    int RecordCount() const override { return static_cast<int>(tables_.KM.size()); }
    std::optional<std::string> FieldText(int row, std::string_view field) const override;

private:
    const TResultTables& tables_;
};

// The columns of the document list as the grid shows them by default (widths, alignments).
TGridDescription ResultListGrid(KmGridDataSet& data);

enum class SpoolTarget { Print, Pdf };

struct ReportSpoolResult {
    std::int64_t jobId = 0;   // 0: no job written
    std::string pdfPath;      // for PDF jobs: the file the PDF processor will write
    std::string error;        // why no job was written
};

// now: the date and time for the title and the file stem (a day number with fraction).
ReportSpoolResult SpoolReportList(Runtime& runtime, const TResultTables& tables, const std::string& totalsLine,
                                  SpoolTarget target, double now);

} // namespace gs
