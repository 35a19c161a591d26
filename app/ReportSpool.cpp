#include "app/ReportSpool.h"

#include "app/GroupColumns.h"

#include "app/ProfitListRows.h"
#include "base/Error.h"
#include "app/Runtime.h"
#include "settings/Settings.h"
#include "spool/ExtSpooler.h"

#include <system_error>

namespace gs {

ReportSpoolResult SpoolReportList(Runtime& runtime, const ResultTables& tables, const std::string& totalsLine,
                                  SpoolTarget target, double now, const std::string& filterText)
{
    ReportSpoolResult result;
    try {
        if (!runtime.spooler || !runtime.settings) {
            result.error = "Der Ausgabespooler ist nicht eingerichtet.";
            return result;
        }
        TExtSpooler& spooler = *runtime.spooler;
        const TUserPrinterDef& def = runtime.settings->PrinterDef;
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
        KmGridDataSet rows(tables);
        ListDescription list = ProfitListDescription(rows, totalsLine, now, tables.RangeText);
        if (!filterText.empty()) {
            // One group's list says which group it is, as the window's filtered list prints.
            list.title = FilteredListTitle(filterText, DateTimeToText(now));
            if (!tables.RangeText.empty())
                list.title += "\r\n" + tables.RangeText;
        }
        // No dialogs: the printer of TOVIK.INI, never the printer selection.
        SpoolJobOptions options;
        options.JobKind = target == SpoolTarget::Pdf ? JobKindPdf : JobKindPrint;
        options.PdfMode = target == SpoolTarget::Pdf ? 1 : 0;
        options.Settings = runtime.settings.get();
        options.Seam = &runtime.dialogs();
        const TStandardTableSpoolResult written = spooler.SpoolGrid(list, options);
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
