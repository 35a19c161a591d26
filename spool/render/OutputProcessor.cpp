#include "spool/render/OutputProcessor.h"

#include "base/AtomicFile.h"
#include "base/Error.h"
#include "base/Process.h"
#include "db/AdsError.h"
#include "settings/PrinterDef.h"
#include "spool/PdfPath.h"
#include "spool/SpoolTables.h"
#include "spool/render/PdfOutput.h"
#include "spool/render/PrintOutput.h"
#include "spool/render/ProcessorUpkeep.h"
#include "spool/render/SpoolJobs.h"

#include <QDateTime>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <optional>
#include <cerrno>
#include <cstring>
#include <thread>

namespace gs {

namespace {

// The print file of a job in the spool folder: "DRUCK-<ID>.pdf.tmp<pid>".
constexpr const char* PrintFilePrefix = "DRUCK-";

std::string NowText(const char* format)
{
    return QDateTime::currentDateTime().toString(QString::fromLatin1(format)).toStdString();
}

// The opener's exit status; an opener still running after a few seconds is taken as the viewer.
int RunOpener(const std::string& opener, const std::string& file) { return RunAndWait({opener, file}, 5000); }

} // namespace

std::chrono::milliseconds RetryPause(int attempts, std::chrono::milliseconds first, std::chrono::milliseconds max)
{
    auto pause = first;
    for (int i = 1; i < attempts && pause < max; ++i)
        pause *= 2;
    return std::min(pause, max);
}

std::filesystem::path ProcessorLogFile(const std::filesystem::path& spoolDir, ProcessorKind kind)
{
    return spoolDir / (kind == ProcessorKind::Pdf ? "PDFPROC.LOG" : "PRINTPROC.LOG");
}

OutputProcessor::OutputProcessor(ProcessorOptions options)
    : options_(std::move(options)), jobs_(std::make_unique<SpoolJobs>())
{
}

OutputProcessor::~OutputProcessor() = default;

int OutputProcessor::FailedAttempts(std::int64_t id) const
{
    const auto it = retries_.find(id);
    return it == retries_.end() ? 0 : it->second.attempts;
}

void OutputProcessor::log(const std::string& line)
{
    // One line per event, appended; several processes may write, so each line goes in one write.
    const std::string text = NowText("dd.MM.yyyy HH:mm:ss") + " " + line + "\n";
    const int fd = ::open(ProcessorLogFile(options_.spoolDir, options_.kind).c_str(),
                          O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0666);
    if (fd < 0)
        return; // nowhere to write: the job still stays and is retried
    [[maybe_unused]] const ssize_t n = ::write(fd, text.data(), text.size());
    ::close(fd);
}

bool OutputProcessor::ensureOpen()
{
    if (jobs_->IsOpen())
        return true;
    auto unusable = [&](const std::string& cause) {
        // The same trouble is logged once, not every poll; while it lasts, jobs may wait unseen.
        if (cause != lastOpenError_)
            log("Die Spooltabellen in " + options_.spoolDir.string() + " können nicht benutzt werden: " + cause);
        lastOpenError_ = cause;
        jobs_->Close();
        return false;
    };
    const std::string problem = SpoolTablesProblem(options_.spoolDir);
    if (!problem.empty())
        return unusable(problem);
    try {
        if (jobs_->Open(options_.spoolDir)) {
            lastOpenError_.clear();
            return true;
        }
        lastOpenError_.clear();
        return false; // no tables yet: nothing can be waiting
    } catch (const std::exception& e) {
        return unusable(e.what());
    }
}

bool OutputProcessor::WorkWaiting()
{
    if (!ensureOpen())
        return SpoolUnusable(); // jobs may wait that cannot be read
    const bool pdf = options_.kind == ProcessorKind::Pdf;
    try {
        return !jobs_->WaitingJobs(pdf ? PrioPdf : PrioPrint, pdf).empty();
    } catch (const std::exception&) {
        jobs_->Close();
        return true; // unknown: stay awake and look again
    }
}

int OutputProcessor::ProcessDueJobs()
{
    if (!ensureOpen())
        return 0;
    tidyOnFirstOpen();
    const bool pdf = options_.kind == ProcessorKind::Pdf;
    std::vector<std::int64_t> ids;
    try {
        ids = jobs_->WaitingJobs(pdf ? PrioPdf : PrioPrint, pdf);
    } catch (const std::exception& e) {
        log(std::string("Die Spooltabellen können nicht gelesen werden: ") + e.what());
        jobs_->Close();
        return 0;
    }
    // Retry records of jobs that are gone (done elsewhere, purged) are dropped.
    for (auto it = retries_.begin(); it != retries_.end();)
        it = std::find(ids.begin(), ids.end(), it->first) == ids.end() ? retries_.erase(it) : std::next(it);
    int done = 0;
    const auto now = std::chrono::steady_clock::now();
    for (const std::int64_t id : ids) {
        const auto retry = retries_.find(id);
        if (retry != retries_.end() && retry->second.next > now)
            continue;
        if (stopping())
            break;
        if (!jobs_->IsOpen())
            break; // a table error closed them; the next poll opens them afresh
        const int before = FailedAttempts(id);
        if (handle(id)) {
            ++done;
            if (before > 0)
                log("Auftrag " + std::to_string(id) + ": erledigt nach " + std::to_string(before + 1) + " Versuchen.");
        }
    }
    return done;
}

void OutputProcessor::failed(std::int64_t id, const std::string& reason)
{
    Retry& r = retries_[id];
    ++r.attempts;
    report(id, reason, JobReportFailedSuffix);
    const bool pdf = options_.kind == ProcessorKind::Pdf;
    if (options_.maxAttempts > 0 && r.attempts >= options_.maxAttempts) {
        // Given up for now: the job stays in the spool, held back until the user outputs again.
        try {
            jobs_->HoldJob(id, HeldPrio(pdf ? PrioPdf : PrioPrint));
            log("Auftrag " + std::to_string(id) + ": " + reason + " (Versuch " + std::to_string(r.attempts) +
                "; zurückgestellt: der Auftrag bleibt im Spooler und wird beim nächsten Ausdruck erneut versucht)");
            retries_.erase(id);
            return;
        } catch (const std::exception& e) {
            log("Auftrag " + std::to_string(id) + ": kann nicht zurückgestellt werden: " + e.what());
        }
    }
    const auto pause = RetryPause(r.attempts, options_.firstRetry, options_.maxRetry);
    r.next = std::chrono::steady_clock::now() + pause;
    log("Auftrag " + std::to_string(id) + ": " + reason + " (Versuch " + std::to_string(r.attempts) +
        ", nächster Versuch in " + std::to_string(std::chrono::duration_cast<std::chrono::seconds>(pause).count()) +
        " s; der Auftrag bleibt im Spooler)");
}

void OutputProcessor::report(std::int64_t id, const std::string& reason, const char* suffix)
{
    // The window that spooled the job shows this; a report it did not see is replaced by the next.
    try {
        const std::filesystem::path dir = options_.spoolDir / JobReportDirectoryName;
        std::filesystem::create_directories(dir);
        WriteFileAtomically(dir / (std::to_string(id) + suffix), reason);
    } catch (const std::exception& e) {
        log("Auftrag " + std::to_string(id) + ": die Meldung für das Fenster kann nicht geschrieben werden: " + e.what());
    }
}

bool OutputProcessor::stopping() const { return options_.stop && options_.stop->load(); }

void OutputProcessor::tidyOnFirstOpen()
{
    if (tidiedUp_)
        return;
    tidiedUp_ = true;
    try {
        const auto ids = jobs_->AllJobs();
        jobs_->State().ForgetMissing(ids, ids.empty() ? 0 : ids.back());
    } catch (const std::exception& e) {
        log(std::string("Die Auftragsverwaltung kann nicht aufgeräumt werden: ") + e.what());
    }
    if (options_.kind != ProcessorKind::Print)
        return;
    // Print files of a print processor that was killed (only one runs per spool: they are all left over).
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(options_.spoolDir, ec)) {
        const std::string name = entry.path().filename().string();
        if (name.rfind(PrintFilePrefix, 0) == 0 && name.find(".tmp") != std::string::npos && entry.is_regular_file(ec))
            std::filesystem::remove(entry.path(), ec);
    }
}

bool OutputProcessor::finish(std::int64_t id)
{
    try {
        jobs_->DeleteJob(id);
        retries_.erase(id);
        return true;
    } catch (const std::exception& e) {
        // The output is done and recorded: the next poll only removes the job, it never outputs it
        // again, and the window gets no report.
        log("Auftrag " + std::to_string(id) + ": ausgegeben, aber noch nicht aus dem Spooler entfernt: " + e.what() +
            " (wird beim nächsten Durchlauf entfernt)");
        if (dynamic_cast<const AdsError*>(&e))
            jobs_->Close();
        return false;
    }
}

void OutputProcessor::checkComplete(const SpoolJob& job, const JobState* state)
{
    const auto columns = static_cast<int>(job.list.grid.columns.size());
    if (columns == 0)
        throw Error("Der Auftrag hat keine Spalten; er wird nicht ausgegeben.");
    if (!state)
        return; // written by another program: nothing to compare with
    if (state->columns && *state->columns != columns)
        throw Error("Der Auftrag ist unvollständig: " + std::to_string(columns) + " Spalten im Spooler, " +
                    std::to_string(*state->columns) + " geschrieben; er wird nicht ausgegeben.");
    if (state->rows) {
        const std::int64_t found = jobs_->DetailCount(job.id);
        if (found != *state->rows)
            throw Error("Der Auftrag ist unvollständig: " + std::to_string(found) + " von " +
                        std::to_string(*state->rows) + " Zeilen im Spooler; er wird nicht ausgegeben.");
    }
}

void OutputProcessor::leaveMarker(const std::filesystem::path& file)
{
    // The print dialog waits for a file of the PDF's name in PDFX.
    const std::filesystem::path markers = options_.spoolDir / PdfMarkerDirectoryName;
    std::error_code ec;
    std::filesystem::create_directories(markers, ec);
    const int marker = ::open((markers / file.filename()).c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (marker < 0)
        throw Error("Die Fertigmeldung " + (markers / file.filename()).string() + " kann nicht angelegt werden: " +
                    SystemErrorText(errno));
    ::close(marker);
}

bool OutputProcessor::recoverPdf(const SpoolJob& job, const JobState& state)
{
    const std::filesystem::path file = state.target;
    if (!file.empty() && PdfCarriesJobMark(file, state.token)) {
        leaveMarker(file);
        jobs_->State().Done(job.id, 0);
        log("Auftrag " + std::to_string(job.id) + ": " + file.string() +
            " war schon vollständig geschrieben; nicht erneut erzeugt.");
        return true;
    }
    // The attempt's temporary files ("<name>.tmp<pid>" beside the target) go; the job is drawn anew.
    std::error_code ec;
    const std::string stem = file.filename().string() + ".tmp";
    if (!file.empty()) {
        for (const auto& entry : std::filesystem::directory_iterator(file.parent_path(), ec)) {
            if (entry.path().filename().string().rfind(stem, 0) == 0 && entry.is_regular_file(ec))
                std::filesystem::remove(entry.path(), ec);
        }
    }
    return false;
}

bool OutputProcessor::recoverPrint(const SpoolJob& job, const JobState& state)
{
    if (state.target.empty())
        return false;
    // Raises when CUPS cannot be asked: the job then waits rather than being printed twice.
    const std::int64_t cups = FindCupsJob(state.target, job.documentName(), state.cupsBefore);
    if (cups == 0)
        return false;
    jobs_->State().Done(job.id, cups);
    log("Auftrag " + std::to_string(job.id) + ": das Drucksystem hatte ihn schon als Druckauftrag " +
        std::to_string(cups) + " auf " + state.target + " angenommen; nicht erneut gedruckt.");
    return true;
}

bool OutputProcessor::handle(std::int64_t id)
{
    try {
        const std::optional<JobState> state = jobs_->State().Get(id);
        if (state && state->step == JobStep::Done)
            return finish(id);
        SpoolJob job = jobs_->ReadJob(id);
        if (!job.dataGrid)
            throw Error("kein Listenauftrag; Dokumentlayouts kann dieses Ausgabemodul nicht drucken");
        checkComplete(job, state ? &*state : nullptr);
        const bool pdf = options_.kind == ProcessorKind::Pdf;
        if (state && state->step == JobStep::Taken && (pdf ? recoverPdf(job, *state) : recoverPrint(job, *state)))
            return finish(id);
        const ListPrint print{NowText("dd.MM.yyyy HH:mm"), job.documentName()};
        if (pdf)
            renderPdf(job, print);
        else
            renderPrint(job, print);
    } catch (const std::exception& e) {
        if (stopping()) {
            log("Auftrag " + std::to_string(id) + ": beim Beenden des Ausgabemoduls abgebrochen; er bleibt im Spooler.");
            return false;
        }
        // A job that can never be output (a path outside the PDF folder) is held back at once.
        if (dynamic_cast<const JobRefused*>(&e) && options_.maxAttempts > 0)
            retries_[id].attempts = std::max(retries_[id].attempts, options_.maxAttempts - 1);
        failed(id, e.what());
        // A table error may leave the tables unusable; they are opened afresh at the next poll.
        if (dynamic_cast<const AdsError*>(&e))
            jobs_->Close();
        return false;
    }
    return finish(id);
}

std::filesystem::path OutputProcessor::pdfBase() const
{
    TUserPrinterDef def;
    LoadIniSettings(def, options_.programDir / "TOVIK.INI");
    return def.BackupDir;
}

void OutputProcessor::renderPdf(SpoolJob& job, const ListPrint& print)
{
    // The path the spooler announced, checked against the job's own values; only a job without
    // one (written by another program) takes the PDF folder of TOVIK.INI.
    const std::string base = job.pdfPath.empty() ? pdfBase().string() : std::string();
    if (job.pdfPath.empty() && base.empty()) // waits until one is set
        throw Error("Kein PDF-Verzeichnis eingerichtet (TOVIK.INI, Abschnitt PDF, Schlüssel BackupDir)");
    const PdfTarget target =
        PdfTargetOfJob({job.id, job.x5, job.subPath, job.printName, job.idOrder, job.pdfPath}, base);
    if (!target.problem.empty())
        throw JobRefused(target.problem + "; der Auftrag wird nicht ausgegeben");
    const std::filesystem::path file = target.file;
    std::error_code ec;
    if (!std::filesystem::is_directory(target.baseDir, ec))
        throw Error("Der PDF-Ordner " + target.baseDir.string() + " ist nicht vorhanden" +
                    (ec && ec != std::errc::no_such_file_or_directory ? ": " + SystemErrorText(ec.value())
                                                                       : std::string()));
    std::filesystem::create_directories(file.parent_path(), ec);
    if (ec)
        throw Error("Der Ordner " + file.parent_path().string() + " kann nicht angelegt werden: " + SystemErrorText(ec.value()));
    const std::string token = NewJobToken(job.id);
    jobs_->State().Take(job.id, token, file.string(), 0);
    auto rows = jobs_->DetailRows(job.id, static_cast<int>(job.list.grid.columns.size()), options_.stop);
    WriteListPdf(job.list, print, *rows, file, token);
    rows.reset();
    leaveMarker(file);
    jobs_->State().Done(job.id, 0);
    log("Auftrag " + std::to_string(job.id) + ": ausgegeben als " + file.string());

    if (job.mailType == "autopdf" && !options_.opener.empty()) {
        const int status = RunOpener(options_.opener, file.string());
        if (status > 0) {
            const std::string cause = status == 127 ? options_.opener + " ist nicht vorhanden"
                                                    : options_.opener + " endete mit " + std::to_string(status) +
                                                          " (kein Programm zum Anzeigen von PDF-Dateien?)";
            log("Auftrag " + std::to_string(job.id) + ": " + file.string() + " kann nicht geöffnet werden: " + cause);
            // The job is done; the window that asked for the opening tells the user where the file is.
            report(job.id, cause, JobReportOpenSuffix);
        }
    }
}

void OutputProcessor::renderPrint(SpoolJob& job, const ListPrint& print)
{
    PrintSettings settings;
    settings.printerName = job.printerName;
    settings.copies = job.copies;
    settings.duplex = job.duplex;
    settings.paperBin = job.printerBin;
    settings.printFile =
        options_.spoolDir / (PrintFilePrefix + std::to_string(job.id) + ".pdf.tmp" + std::to_string(::getpid()));
    const std::string queue = PrintQueue(job.printerName);
    // The highest job number before this one is sent: after an interruption, a job of this title
    // above it is this one.
    jobs_->State().Take(job.id, NewJobToken(job.id), queue, HighestCupsJob());
    auto rows = jobs_->DetailRows(job.id, static_cast<int>(job.list.grid.columns.size()), options_.stop);
    const PrintResult printed = PrintList(job.list, print, *rows, settings);
    jobs_->State().Done(job.id, printed.cupsJob);
    log("Auftrag " + std::to_string(job.id) + ": ausgegeben als Druckauftrag " + std::to_string(printed.cupsJob) +
        " auf " + printed.printer);
    if (!settings.paperBin.empty() && !printed.binApplied)
        log("Auftrag " + std::to_string(job.id) + ": der Drucker " + printed.printer + " bietet den Schacht \"" +
            settings.paperBin + "\" nicht an; gedruckt aus dem Standardschacht");
}

void OutputProcessor::StartUp()
{
    if (options_.kind == ProcessorKind::Pdf) {
        const int removed = RemovePdfLeftovers(pdfBase());
        if (removed > 0)
            log(std::to_string(removed) + " unvollständige PDF-Datei(en) eines abgebrochenen Laufs entfernt.");
    } else {
        const int removed = PreparePrintTemporaryFolder(options_.spoolDir);
        if (removed > 0)
            log(std::to_string(removed) + " Druckdatei(en) eines abgebrochenen Laufs entfernt.");
    }
}

TProcessorEnd OutputProcessor::Run(const std::function<bool()>& stop)
{
    std::error_code ec;
    std::filesystem::create_directories(options_.spoolDir, ec);
    ProcessorLock lock(options_.spoolDir, options_.kind);
    if (!lock.held())
        return TProcessorEnd::AlreadyRunning;
    // A close request nobody took (the processor was not running) must not end this run at once.
    TakeCloseRequest(options_.spoolDir, options_.kind);
    StartUp();
    auto idleSince = std::chrono::steady_clock::now();
    for (;;) {
        if (stopping() || (stop && stop()))
            return TProcessorEnd::Stopped;
        // A processor that output a job in this poll is busy, not idle, though nothing waits now.
        const int done = ProcessDueJobs();
        const auto now = std::chrono::steady_clock::now();
        if (done > 0 || WorkWaiting()) {
            idleSince = now;
        } else {
            if (TakeCloseRequest(options_.spoolDir, options_.kind))
                return TProcessorEnd::CloseRequested;
            if (now - idleSince >= options_.idleClose)
                return TProcessorEnd::IdleTimeout;
        }
        // Slept in short steps: a stop is seen within a moment.
        const auto until = std::chrono::steady_clock::now() + options_.poll;
        while (std::chrono::steady_clock::now() < until && !stopping() && !(stop && stop()))
            std::this_thread::sleep_for(std::min<std::chrono::milliseconds>(
                options_.poll, std::chrono::milliseconds(50)));
    }
}

} // namespace gs
