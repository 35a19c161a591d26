#include "app/ReportSpool.h"

#include "app/ReportOutput.h"
#include "app/ResultColumns.h"
#include "base/Cp1252.h"
#include "base/Dates.h"
#include "base/Error.h"
#include "base/Runtime.h"
#include "settings/Settings.h"
#include "spool/ExtSpooler.h"
#include "spool/ListCellText.h"
#include "spool/TextToRtf.h"

#include <system_error>

namespace gs {

std::optional<std::string> KmGridDataSet::FieldText(int row, std::string_view field) const
{
    if (row < 0 || row >= RecordCount())
        return std::nullopt;
    return KmFieldText(tables_.KM[static_cast<size_t>(row)], field);
}

TGridDescription ResultListGrid(KmGridDataSet& data)
{
    TGridDescription grid;
    grid.dataSet = &data;
    for (const ResultColumn& c : ResultListColumns) {
        if (!c.shownByDefault)
            continue;
        // Cells stand as the list shows them (host alignment codes: 0 left, 1 right).
        const int cellAlignment = c.alignment == ListCellAlignment::Right ? 1 : 0;
        grid.columns.push_back({c.field, c.title, c.width, 0, cellAlignment});
    }
    return grid;
}

ReportSpoolResult SpoolReportList(Runtime& runtime, const TResultTables& tables, const std::string& totalsLine,
                                  SpoolTarget target, double now)
{
    ReportSpoolResult result;
    try {
        if (!runtime.spooler || !runtime.settings) {
            result.error = "Der Ausgabespooler ist nicht eingerichtet.";
            return result;
        }
        TExtSpooler& spooler = *runtime.spooler;
        TUserPrinterDef& def = runtime.settings->PrinterDef;
        if (target == SpoolTarget::Pdf) {
            std::error_code ec;
            if (def.BackupDir.empty()) {
                result.error = "Kein PDF-Verzeichnis eingerichtet (TOVIK.INI, Abschnitt PDF, Schlüssel BackupDir).";
                return result;
            }
            if (!std::filesystem::is_directory(def.BackupDir, ec)) {
                result.error = "Das PDF-Verzeichnis " + def.BackupDir + " existiert nicht (TOVIK.INI, PDF/BackupDir).";
                return result;
            }
        }
        if (!spooler.Ready()) {
            result.error = "Der Ausgabespooler ist nicht bereit: die Tabellen in " + spooler.SpoolDirectory().string() +
                           " können nicht benutzt werden.";
            return result;
        }
        const std::string t = DateTimeToText(now);
        KmGridDataSet data(tables);
        const TGridDescription grid = ResultListGrid(data);
        TSpoolGridRequest request;
        request.Grid = &grid;
        // The column range the print dialog gives a list: from the second column to the last shown.
        request.LeftStart = 2;
        request.RightEnd = std::max(3, grid.shownColumnCount());
        request.Landscape = true;
        request.CellMode = CellModeOrderList;
        request.Header = Utf8ToCp1252(TextToRtf("Gewinne, erstellt " + t));
        request.Footer = Utf8ToCp1252(TextToRtf(totalsLine));
        if (target == SpoolTarget::Pdf) {
            request.JobKind = JobKindPdf;
            request.PdfMode = 1;
            request.PrintName = "GEWINN-" + t + "-";
            spooler.JobName = "GEWINN";
        }
        // No dialogs: the printer of TOVIK.INI, whatever the printer-dialog option says.
        const bool usePrinterDialog = def.UsePrinterDialog;
        def.UsePrinterDialog = false;
        TStandardTableSpoolResult written;
        try {
            written = spooler.SpoolGrid(request);
        } catch (...) {
            def.UsePrinterDialog = usePrinterDialog;
            throw;
        }
        def.UsePrinterDialog = usePrinterDialog;
        if (written.Code == 0) {
            result.error = written.error.empty() ? "Der Auftrag wurde nicht geschrieben." : written.error;
            return result;
        }
        result.jobId = written.JobId;
        if (target == SpoolTarget::Pdf)
            result.pdfPath = written.FilePath;
    } catch (const std::exception& e) {
        if (!isOrdinaryError(e))
            throw;
        result.error = e.what();
    }
    return result;
}

} // namespace gs
