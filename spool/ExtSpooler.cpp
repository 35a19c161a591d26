#include "spool/ExtSpooler.h"

#include "base/Dialogs.h"
#include "base/Error.h"
#include "base/FindFile.h"
#include "base/Process.h"
#include "db/AdsConnection.h"
#include "db/AdsTable.h"
#include "spool/ProcessorContract.h"
#include "spool/SpoolTables.h"

#include <pwd.h>
#include <sys/wait.h>
#include <unistd.h>
#include <fcntl.h>

#include <chrono>
#include <system_error>

namespace gs {

namespace {

constexpr auto kProcessorWait = std::chrono::milliseconds(5000);
constexpr auto kProcessorPoll = std::chrono::milliseconds(50);

std::string WithoutTagCharacters(const std::string& name)
{
    std::string out;
    for (char c : name) {
        switch (c) {
        case ' ': case '\\': case '/': case ':': case '?': case '*': case '<': case '>': case ',': case '|':
        case '\'': case '"':
            break;
        default:
            out += c;
        }
    }
    return out;
}

std::string UserName()
{
    if (const passwd* pw = ::getpwuid(::geteuid()); pw && pw->pw_name)
        return pw->pw_name;
    if (const char* user = ::getenv("USER"))
        return user;
    return {};
}

std::string ComputerName()
{
    char buf[256] = {};
    if (::gethostname(buf, sizeof buf - 1) != 0)
        return {};
    return buf;
}

// A processor program beside the module, started detached in its own directory.
bool LaunchDetached(const std::filesystem::path& program)
{
    std::error_code ec;
    if (!std::filesystem::is_regular_file(program, ec) || ::access(program.c_str(), X_OK) != 0)
        return false;
    return StartDetached({program.string()}, program.parent_path());
}

ProcessorKind KindOfItem(size_t item) { return item == 0 ? ProcessorKind::Print : ProcessorKind::Pdf; }

} // namespace

std::string MakeComputerTag(const std::string& userName, const std::string& computerName)
{
    return WithoutTagCharacters(userName) + "-" + WithoutTagCharacters(computerName);
}

const std::string& ComputerTag()
{
    static const std::string tag = MakeComputerTag(UserName(), ComputerName());
    return tag;
}

TExtSpooler::TExtSpooler(std::filesystem::path spoolDirectory, std::filesystem::path programDir)
    : spoolDir_(std::move(spoolDirectory)), programDir_(std::move(programDir))
{
    // The host's window class names stand for the processor kinds.
    runItems_.push_back({"TF_OP", ProcessorFor(ProcessorKind::Print).programName, true, true});
    runItems_.push_back({"TF_OPM", ProcessorFor(ProcessorKind::Pdf).programName, true, true});
    LaunchProgram = LaunchDetached;
}

TExtSpooler::~TExtSpooler()
{
    stopLaunchers_ = true;
    joinLaunchers();
    setupTable_.reset();
    store_.Close();
}

void TExtSpooler::AttachConnection(TAdsConnection& connection)
{
    try {
        setupTable_.reset();
        auto table = std::make_unique<TAdsTable>(&connection);
        if (connection.IsConnected()) {
            // The host's settings table: the spooler only reads its layouts, and reading never
            // writes the host's files (journal mode, side files).
            table->SetTableName("setup.adt");
            table->SetReadOnly(true);
            table->Open();
            table->SetIndexName("IDENT");
        }
        setupTable_ = std::move(table);
    } catch (const std::exception& e) {
        if (!isOrdinaryError(e))
            throw;
        setupTable_.reset();
    }
}

void TExtSpooler::EnsureSpoolTables(bool startMailProcessor)
{
    if (!ready_) {
        const bool firstCall = !installMarkUsed_;
        bool ok = openTables(firstCall);
        if (!ok) {
            // One rebuild and one more attempt. Only damaged files (and the first call of an
            // installation) are replaced, and the old files are kept aside, never deleted; healthy
            // tables that could not be opened this moment are simply tried again.
            store_.Close();
            try {
                CreateSpoolTables(spoolDir_, rebuildRequested_ || SpoolFilesDamaged(spoolDir_));
                rebuildRequested_ = false;
                ok = openTables(false);
            } catch (const std::exception& e) {
                if (!isOrdinaryError(e))
                    throw;
                ok = false;
            }
        }
        if (!ok) {
            store_.Close();
            ShowMessageBox(SpoolUnusableText, SpoolUnusableHelp, ApplicationTitle);
            return;
        }
    }
    ClosePreviewWindow();
    StartOutputProcessors(startMailProcessor);
}

bool TExtSpooler::openTables(bool firstCall)
{
    try {
        std::filesystem::create_directories(spoolDir_);
        const std::int64_t probed = ProbeSpoolSize(spoolDir_);
        std::error_code ec;
        const bool haveSpool = std::filesystem::exists(FindFileNoCase(spoolDir_, SpoolTableName), ec);
        const bool haveDetail = std::filesystem::exists(FindFileNoCase(spoolDir_, DetailTableName), ec);
        // One table without the other: fresh job numbers would meet old detail rows.
        if (haveSpool != haveDetail)
            return false;
        if (!haveSpool)
            CreateSpoolTables(spoolDir_, false);
        if (!writersLock_)
            writersLock_ = std::make_unique<SpoolWritersLock>(spoolDir_);
        store_.Open(spoolDir_);
        if (firstCall && InstallStart) {
            installMarkUsed_ = true;
            rebuildRequested_ = true;
            store_.Close();
            return false;
        }
        installMarkUsed_ = true;
        purgeIfAlone();
        compactIfLarge(probed);
        ready_ = store_.IsOpen();
        return ready_;
    } catch (const std::exception& e) {
        if (!isOrdinaryError(e))
            throw;
        store_.Close();
        return false;
    }
}

bool TExtSpooler::purgeIfAlone()
{
    // Jobs left at PRIO 0 belong to a writer that died; a live writer's are still being written.
    if (!writersLock_ || !writersLock_->tryExclusive())
        return false;
    try {
        store_.PurgeUnfinished();
    } catch (const std::exception& e) {
        if (!isOrdinaryError(e)) {
            writersLock_->share();
            throw;
        }
    }
    writersLock_->share();
    return true;
}

void TExtSpooler::compactIfLarge(std::int64_t probedSize)
{
    if (probedSize <= SpoolCompactionSize)
        return;
    // Compaction keeps every row (waiting print and mail jobs alike); a failure leaves the tables as
    // they are.
    store_.Close();
    CompactSpoolTable(FindFileNoCase(spoolDir_, SpoolTableName));
    CompactSpoolTable(FindFileNoCase(spoolDir_, DetailTableName));
    store_.Open(spoolDir_);
}

void TExtSpooler::StartOutputProcessors(bool startMailProcessor)
{
    ProcessLauncherReports();
    for (size_t item = 0; item < runItems_.size(); ++item) {
        if (item == 1 && !startMailProcessor)
            continue;
        if (runItems_[item].Enabled && !ProcessorRunning(spoolDir_, KindOfItem(item)))
            launch(item);
    }
}

void TExtSpooler::report(std::function<void()> fn)
{
    if (PostToMainThread) {
        PostToMainThread(std::move(fn));
        return;
    }
    std::lock_guard<std::mutex> lock(reportsMutex_);
    reports_.push_back(std::move(fn));
}

void TExtSpooler::ProcessLauncherReports()
{
    std::vector<std::function<void()>> pending;
    {
        std::lock_guard<std::mutex> lock(reportsMutex_);
        pending.swap(reports_);
    }
    for (auto& fn : pending)
        fn();
}

namespace {

// The launcher thread of one run item: starts the processor program, or, after the first start in
// the process, first gives a processor that is coming up 5 seconds to take its lock. It works on a
// copy of the run item and reports back through calls that run on the main thread.
struct TSpoolerRun {
    TSpoolerRunItem item;
    ProcessorKind kind;
    std::filesystem::path program;
    std::filesystem::path spoolDir;
    std::function<bool(const std::filesystem::path&)> launchProgram;
    const std::atomic<bool>* stop;
    std::function<void()> firstStartDone;
    std::function<void()> done;

    void Execute()
    {
        try {
            if (item.FirstStart) {
                if (!ProcessorRunning(spoolDir, kind) && launchProgram)
                    launchProgram(program);
                firstStartDone();
            } else {
                const auto until = std::chrono::steady_clock::now() + kProcessorWait;
                bool running = ProcessorRunning(spoolDir, kind);
                while (!running && !*stop && std::chrono::steady_clock::now() < until) {
                    std::this_thread::sleep_for(kProcessorPoll);
                    running = ProcessorRunning(spoolDir, kind);
                }
                if (!running && !*stop && launchProgram)
                    launchProgram(program);
            }
        } catch (...) {
            // A launcher never takes the program down; the job waits in the table.
        }
        done();
    }
};

} // namespace

void TExtSpooler::launch(size_t item)
{
    // Marked busy on the main thread before the thread exists: at most one launcher per item.
    runItems_[item].Enabled = false;
    TSpoolerRun run{runItems_[item],
                    KindOfItem(item),
                    programDir_ / runItems_[item].ExeName,
                    spoolDir_,
                    LaunchProgram,
                    &stopLaunchers_,
                    [this, item] { report([this, item] { runItems_[item].FirstStart = false; }); },
                    [this, item] { report([this, item] { runItems_[item].Enabled = true; }); }};
    launchers_.emplace_back([run = std::move(run)]() mutable { run.Execute(); });
}

void TExtSpooler::joinLaunchers() noexcept
{
    for (std::thread& t : launchers_) {
        if (t.joinable())
            t.join();
    }
    launchers_.clear();
    ProcessLauncherReports();
}

void TExtSpooler::Shutdown()
{
    if (shutDown_)
        return;
    shutDown_ = true;
    stopLaunchers_ = true;
    joinLaunchers();
    try {
        if (store_.IsOpen()) {
            const bool lastWriter = purgeIfAlone();
            if (store_.WaitingJobs(false) == 0 && ProcessorRunning(spoolDir_, ProcessorKind::Print))
                RequestProcessorClose(spoolDir_, ProcessorKind::Print);
            // The PDF processor ends with the last window of the module that may need it, once no
            // job of its kind waits; another window still running keeps it.
            if (lastWriter && store_.WaitingJobs(true) == 0 && ProcessorRunning(spoolDir_, ProcessorKind::Pdf))
                RequestProcessorClose(spoolDir_, ProcessorKind::Pdf);
        }
    } catch (const std::exception& e) {
        if (!isOrdinaryError(e))
            throw;
    }
    setupTable_.reset();
    store_.Close();
    writersLock_.reset();
    ready_ = false;
}

} // namespace gs
