// The job protocol of the spooler: one grid list becomes one job row and its detail rows.
#include "spool/ExtSpooler.h"

#include "base/Cp1252.h"
#include "base/Dialogs.h"
#include "base/Error.h"
#include "base/FindFile.h"
#include "base/Text.h"
#include "db/AdsError.h"
#include "db/AdsConnection.h"
#include "db/AdsTable.h"
#include "db/BlobFields.h"
#include "settings/HostPath.h"
#include "settings/PrinterDef.h"
#include "settings/Settings.h"
#include "settings/SettingsTable.h"
#include "spool/ListCellText.h"
#include "spool/PdfPath.h"
#include "spool/SpoolTables.h"

#include <fstream>
#include <sstream>
#include <system_error>

namespace gs {

namespace {

// Settings items of the list layout: 31 the report layout of list prints, 32 the list layout lines
// used when the database directory has no LST_SLAYB.DA.
constexpr int ItemListReportLayout = 31;
constexpr int ItemListGridLayout = 32;

// The printer options of the job's settings, or the defaults without settings.
const TUserPrinterDef& PrinterDef(const SpoolJobOptions& options)
{
    static const TUserPrinterDef defaults;
    return options.Settings ? options.Settings->PrinterDef : defaults;
}

std::string Quoted(const std::string& s) { return "\"" + s + "\""; }

// The wait cursor for a scope; the normal cursor again on every way out.
class WaitScope {
public:
    explicit WaitScope(const std::function<void(bool)>& show) : show_(show)
    {
        if (show_)
            show_(true);
    }
    ~WaitScope()
    {
        if (show_)
            show_(false);
    }
    WaitScope(const WaitScope&) = delete;
    WaitScope& operator=(const WaitScope&) = delete;

private:
    const std::function<void(bool)>& show_;
};

std::string ReadWholeFile(const std::filesystem::path& file)
{
    std::ifstream in(file, std::ios::binary);
    if (!in)
        throw Error("Datei kann nicht gelesen werden: " + file.string());
    std::ostringstream s;
    s << in.rdbuf();
    if (in.bad())
        throw Error("Datei kann nicht gelesen werden: " + file.string());
    return s.str();
}

} // namespace

bool TExtSpooler::setDestination(const SpoolJobOptions& options, int& copies, SpoolFields& row)
{
    const TUserPrinterDef& def = PrinterDef(options);
    ExtraAddresses.clear();
    PrinterName = def.DEFAULT;
    BinName = def.DBIN;
    Duplex = def.DuplexType;
    CopiesCaption = def.Copies_Caption_op[0];

    const bool active = ApplicationActive && ApplicationActive();
    const bool shiftOnly = ShiftOnlyHeld && ShiftOnlyHeld();
    if (options.Seam && active && (shiftOnly || options.PrinterSelection)) {
        PrintTargetRequest request;
        request.printerName = PrinterName;
        request.binName = BinName;
        request.copies = copies;
        request.duplex = Duplex >= 0 && Duplex <= 2 ? Duplex : 0;
        request.showPdfChoices = false; // list jobs have no PDF choices
        const std::optional<PrintTargetChoice> choice = options.Seam->choosePrintTarget(request);
        if (!choice)
            return false;
        PrinterName = choice->printerName;
        if (choice->binName)
            BinName = *choice->binName;
        copies = std::max(1, choice->copies);
        Duplex = choice->duplex;
    }

    row.emplace_back("SMTP_S_INI", SmtpIniName);
    SmtpIniName.clear();
    row.emplace_back("AFTERMSG", AfterMessage);
    AfterMessage = false;
    row.emplace_back("DESTINFO", std::string("Printer"));
    row.emplace_back("PRINTERNAME", PrinterName);
    row.emplace_back("PRINTERBIN1", Quoted(BinName));
    row.emplace_back("PRINTERBIN2", def.defaultprinterBinName2);
    row.emplace_back("BinFirstPrinterPage2_Name", Quoted(def.BinFirstPrinterPage2_Name));
    row.emplace_back("BinSecondPrinterPage2_Name", Quoted(def.BinSecondPrinterPage2_Name));
    row.emplace_back("Caption", CopiesCaption);
    row.emplace_back("RTPID", std::to_string(Duplex));
    row.emplace_back("MAILTYPE", std::string("html"));
    row.emplace_back("Faxnumber", std::string());
    row.emplace_back("DESTADRESS", ExtraAddresses);
    row.emplace_back("DEST", std::string("Print"));
    row.emplace_back("ISMAIL", false);
    if (def.mailMAPI)
        row.emplace_back("X4", def.mailMAPI_Index + "\r\n" + std::to_string(def.mailMAPI_Kind) + "\r\n" +
                                   def.mailMAPI_Profil + "\r\n" + def.mailMAPI_ProfilePassword);
    return true;
}

void TExtSpooler::storeReportLayout(SpoolFields& row)
{
    std::string report;
    std::string listLayout;
    try {
        if (setupTable_ && setupTable_->Active()) {
            std::vector<std::string> lines;
            ReadLogo(*setupTable_, ItemListReportLayout, lines);
            report = Utf8ToCp1252(JoinLinesCrLf(lines));
            bool fromFile = false;
            const TAdsConnection* connection = setupTable_->AdsConnection();
            if (connection) {
                const std::filesystem::path file =
                    FindFileNoCase(WithTrailingDelimiter(connection->ConnectPath()), "LST_SLAYB.DA");
                std::error_code ec;
                if (std::filesystem::is_regular_file(file, ec)) {
                    try {
                        listLayout = ReadWholeFile(file);
                        fromFile = true;
                    } catch (const std::exception& e) {
                        if (!isOrdinaryError(e))
                            throw;
                    }
                }
            }
            if (!fromFile) {
                std::vector<std::string> layoutLines;
                ReadLogo(*setupTable_, ItemListGridLayout, layoutLines);
                listLayout = Utf8ToCp1252(JoinLinesCrLf(layoutLines));
            }
        }
        row.emplace_back("RPT", SpoolBytes{CompressBlob(report)});
        row.emplace_back("DATAGRIDDATA", SpoolBytes{listLayout});
    } catch (const std::exception& e) {
        if (!isOrdinaryError(e))
            throw;
    }
}

std::string TExtSpooler::PreparePdfDirectory(const SpoolJobOptions& options, const std::string& jobName,
                                             const std::string& x5, std::string& subPath)
{
    subPath = PdfSubPath(jobName);
    if (options.JobKind == JobKindPdf && options.Settings)
        EnsurePdfDirectory(*options.Settings); // asks for a folder when none is set; the answer is not needed here
    const std::string folder = PdfFolderOfX5(x5);
    if (const std::string problem = PdfFolderProblem(folder); !problem.empty())
        throw Error(problem);
    const std::string& base = PrinterDef(options).BackupDir;
    const std::string dir = PdfDirectory(base, folder, subPath);
    std::error_code ec;
    if (!base.empty())
        std::filesystem::create_directories(dir, ec);
    return dir;
}

std::string TExtSpooler::PdfFileOfJob(const std::string& directory, const std::string& printName, long long idOrder,
                                      std::int64_t jobId)
{
    // The job's ID makes the name its own; a file left under it (IDs start again after the spool
    // tables are made anew) is never replaced: the next counter is taken.
    std::string fileName = PdfJobFileName(printName, idOrder, jobId);
    std::error_code ec;
    for (int counter = 2; std::filesystem::symlink_status(directory + fileName, ec).type() !=
                              std::filesystem::file_type::not_found && counter < 1000;
         ++counter)
        fileName = PdfJobFileName(printName, idOrder, jobId, counter);
    // The print dialog waits for the processor's marker of this name: an old one must not count.
    const std::filesystem::path markers = spoolDir_ / PdfMarkerDirectoryName;
    std::filesystem::create_directories(markers, ec);
    std::filesystem::remove(markers / fileName, ec);
    return directory + fileName;
}

std::string TExtSpooler::BuildPdfPath(const SpoolJobOptions& options, const std::string& jobName,
                                      const std::string& printName, long long idOrder, const std::string& x5,
                                      std::string& subPath, std::int64_t jobId)
{
    return PdfFileOfJob(PreparePdfDirectory(options, jobName, x5, subPath), printName, idOrder, jobId);
}

TStandardTableSpoolResult TExtSpooler::SpoolGrid(const ListDescription& list, const SpoolJobOptions& options)
{
    TStandardTableSpoolResult result;
    {
        WaitScope wait(ShowWait);
        EnsureSpoolTables(options.PdfMode != 0);
    }
    if (!ready_) {
        result.error = "Die Ausgabetabellen sind nicht bereit.";
        return result;
    }
    if (!list.grid.dataSet) {
        result.error = "Keine Liste angegeben.";
        return result;
    }
    const GridDescription& grid = list.grid;
    GridDataSet& data = *grid.dataSet;
    if (grid.shownColumnCount() > SpoolMaxColumns) {
        result.error = TooManyColumnsText;
        return result;
    }

    int copies = options.Copies == -1 ? PrinterDef(options).List : options.Copies;
    const int pdfMode = options.PdfMode;

    SpoolFields row;
    if (options.JobKind == JobKindPrint && !setDestination(options, copies, row))
        return result; // cancelled in the printer selection: no row, no error
    WaitScope wait(ShowWait); // after the printer selection, until the job is written
    if (options.JobKind > 0)
        row.emplace_back("ISMAIL", true);
    storeReportLayout(row);
    row.emplace_back("LANDSCAPE", list.landscape);
    if (list.landscape)
        row.emplace_back("SECONDPAGE", std::int64_t{0});
    // The rich-text title and footer, made here once, in the code page the processors read; a list
    // without a title (or footer) has no header (or footer).
    row.emplace_back("Header", !list.title.empty());
    if (!list.title.empty())
        row.emplace_back("HTEXT", SpoolBytes{Utf8ToCp1252(list.richTitle())});
    row.emplace_back("Footer", !list.footer.empty());
    if (!list.footer.empty())
        row.emplace_back("FTEXT", SpoolBytes{Utf8ToCp1252(list.richFooter())});
    row.emplace_back("DataGrid", true);
    for (const char* name : {"Title", "DocHeader", "Summe", "InfoSumme", "Endt", "ZZ", "USESK"})
        row.emplace_back(name, false);

    std::vector<const GridColumn*> shown;
    std::vector<char> cellRule; // per shown column: does the cell-text rule change its texts?
    for (const GridColumn& c : grid.columns) {
        if (c.width <= 0)
            continue;
        shown.push_back(&c);
        cellRule.push_back(ListCellTextApplies(c.fieldName, list.cellMode) ? 1 : 0);
        const std::string n = std::to_string(shown.size());
        row.emplace_back("h" + n, CaptionWithoutMarkup(c.title));
        row.emplace_back("hw" + n, std::int64_t{c.width});
        row.emplace_back("aligh" + n, std::int64_t{c.titleAlignment});
        row.emplace_back("aligd" + n, std::int64_t{c.cellAlignment});
    }
    row.emplace_back("RightEndSecond", std::int64_t{list.rightEnd()});
    row.emplace_back("LeftStartSecond", std::int64_t{list.leftStart()});
    row.emplace_back("COPIES", std::int64_t{copies});
    const std::string printName =
        options.PrintName ? *options.PrintName
                          : (options.JobKind == JobKindPdf ? list.fileStem : std::string("Listendruck"));
    row.emplace_back("PrintName", printName);
    // A blank where document jobs put their kind and number prefix, then the database folder.
    const std::string x5 = std::string(" 0 ") + (options.Settings ? options.Settings->DatabaseName : std::string());
    row.emplace_back("X5", x5);
    std::string subPath;
    std::string pdfDirectory;
    // Only PDF jobs go into the list's own subfolder; a database folder that cannot be a folder
    // name refuses a PDF job and leaves a print job without a path.
    try {
        pdfDirectory =
            PreparePdfDirectory(options, options.JobKind == JobKindPdf ? list.name : std::string(), x5, subPath);
    } catch (const Error& e) {
        if (options.JobKind == JobKindPdf) {
            result.error = std::string("Der Auftrag konnte nicht geschrieben werden: ") + e.what();
            return result;
        }
    }
    row.emplace_back("SubPath", subPath);
    const int finalPrio = options.JobKind == JobKindPrint ? PrioPrint : options.JobKind;

    const int current = data.CurrentRow();
    // Another program writing the spool at the same moment is waited for (the busy time-out of
    // every write); a job refused even so is written anew from the start, a few times.
    for (int attempt = 1;; ++attempt) {
        std::int64_t id = 0;
        bool controlsDisabled = false;
        try {
            id = store_.InsertJob(row);
            if (!pdfDirectory.empty())
                result.FilePath = PdfFileOfJob(pdfDirectory, printName, 0, id);

            std::string footer;
            if (list.footerCallback)
                list.footerCallback(nullptr, footer, 0);

            data.DisableControls();
            controlsDisabled = true;
            const bool writeDetails = options.DetailMode == 0;
            if (writeDetails)
                store_.BeginDetails(id);
            std::vector<std::string> cells;
            cells.reserve(shown.size());
            const int last = list.currentRecordOnly ? current : data.RecordCount() - 1;
            const int first = list.currentRecordOnly ? current : 0;
            // Element 0 of the list's line callbacks gives each spooled line's extra text.
            const TLineCallback lineCallback = list.lineCallbacks.empty() ? TLineCallback() : list.lineCallbacks[0];
            std::int64_t written = 0;
            for (int r = last; r >= first && r >= 0; --r) {
                const GridRecord record(data, r);
                cells.clear();
                for (size_t k = 0; k < shown.size(); ++k) {
                    const GridColumn* c = shown[k];
                    std::string text;
                    try {
                        if (!c->fieldName.empty())
                            text = record.field(c->fieldName).value_or(std::string());
                        if (list.cellTextProvider)
                            list.cellTextProvider(record, c->fieldName, text);
                        else if (cellRule[k])
                            ListCellText(record, c->fieldName, text, list.cellMode, options.Settings);
                    } catch (const std::exception& e) {
                        if (!isOrdinaryError(e))
                            throw;
                    }
                    // An empty cell is stored as one carriage return, as the processors expect.
                    cells.push_back(text.empty() ? std::string("\r") : std::move(text));
                }
                std::string ds;
                if (options.DetailMode != 1 && lineCallback)
                    lineCallback(&record, 0, ds);
                if (writeDetails) {
                    store_.AddDetail(cells, ds);
                    ++written;
                }
                if (list.footerCallback)
                    list.footerCallback(&record, footer, 1);
                if (options.Progress && options.Progress())
                    break;
            }
            if (writeDetails)
                store_.CommitDetails();
            data.EnableControls();
            controlsDisabled = false;
            data.SetCurrentRow(current);

            // What the processors check the job against before they output it.
            store_.RecordCounts(id, written, static_cast<int>(shown.size()));
            SpoolFields finish;
            if (list.footerCallback) {
                list.footerCallback(nullptr, footer, 2);
                finish.emplace_back("FTEXT", SpoolBytes{footer});
                finish.emplace_back("Footer", true);
            }
            if (finalPrio == PrioPdf && pdfMode == 2)
                finish.emplace_back("MAILTYPE", std::string("autopdf"));
            // The PDF processor writes the path announced here, whatever TOVIK.INI says by then.
            if (finalPrio == PrioPdf)
                finish.emplace_back("DESTADRESS", SpoolBytes{result.FilePath});
            if (!ComputerTag().empty())
                finish.emplace_back("COMPUTER", ComputerTag());
            finish.emplace_back("PRIO", std::int64_t{finalPrio});
            store_.UpdateJob(id, finish);
            // The user outputs again: jobs of this kind held back after failed attempts are tried again.
            try {
                store_.ReleaseHeldJobs(finalPrio);
            } catch (const std::exception& e) {
                if (!isOrdinaryError(e))
                    throw;
            }
            result.JobId = id;
            break;
        } catch (const std::exception& e) {
            if (!isOrdinaryError(e))
                throw;
            store_.RollbackDetails();
            if (controlsDisabled) {
                data.EnableControls();
                data.SetCurrentRow(current);
            }
            // A failed job leaves nothing: neither its job row nor rows written before the failure.
            if (id != 0) {
                try {
                    store_.DeleteJob(id);
                } catch (const std::exception& e2) {
                    if (!isOrdinaryError(e2))
                        throw;
                    // Still PRIO 0: the next purge removes it, no processor takes it.
                }
            }
            const auto* table = dynamic_cast<const AdsError*>(&e);
            if (table && SpoolBusy(table->EngineCode()) && attempt < SpoolWriteAttempts)
                continue;
            result.error = std::string("Der Auftrag konnte nicht geschrieben werden: ") + e.what();
            return result;
        }
    }
    result.Code = copies;
    return result;
}

} // namespace gs
