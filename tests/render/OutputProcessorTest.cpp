// The output processors on jobs written by the spooler: the PDF appears at the computed path with
// every row, the marker is left, the job is gone; a job that cannot be rendered stays, is logged
// and retried; other kinds of jobs are left alone; the lock, the close request and the idle time.
#include "PdfText.h"
#include "support/SpoolTestSupport.h"

#include "base/Cp1252.h"
#include "app/Runtime.h"
#include "settings/Settings.h"
#include "spool/ProcessorContract.h"
#include "spool/SpoolTables.h"
#include "spool/TextToRtf.h"
#include "spool/render/ListRenderer.h"
#include "spool/render/OutputProcessor.h"
#include "spool/render/ProcessorUpkeep.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <set>
#include <thread>

#include <sys/wait.h>
#include <unistd.h>

namespace gs {
namespace {

using test::SpoolFixture;
using test::TestGrid;

// The list print of the statistics window in small: its columns, n documents.
TestGrid ProfitGrid(int documents)
{
    TestGrid g({"ID_ORDER", "ADRESSNAME", "DATE", "printp", "WW_NETTO", "GEWINN", "PROVISION"});
    g.grid.columns = {{"ID_ORDER", "Auftrag", 86, 0, 1},   {"ADRESSNAME", "Adresse", 81, 0, 0},
                      {"DATE", "Datum", 103, 0, 0},        {"printp", " /bWarnung", 77, 0, 0},
                      {"WW_NETTO", "Nettowert", 85, 0, 0}, {"GEWINN", "Gewinn", 54, 0, 0},
                      {"PROVISION", "Provsion", 70, 0, 0}};
    for (int i = 1; i <= documents; ++i)
        g.data.addRow({std::to_string(500000 + i), "Kunde Nr. " + std::to_string(i), "02.05.2026",
                       i % 3 ? "Gewinnzone" : "", std::to_string(i) + ",25 €", std::to_string(i % 50) + ",10 €",
                       "0,00 €"});
    return g;
}

struct PdfSpool {
    SpoolFixture f;
    std::filesystem::path base;

    explicit PdfSpool(const std::string& backupDir = {})
    {
        base = backupDir.empty() ? f.rt.dir() / "pdf" : std::filesystem::path(backupDir);
        std::filesystem::create_directories(f.rt.dir() / "pdf");
        setBackupDir(base.string() + "/");
        f.rt.runtime().settings->DatabaseName = "Firma";
    }
    void setBackupDir(const std::string& dir)
    {
        f.rt.runtime().settings->PrinterDef.BackupDir = dir;
        test::WriteFile(f.rt.dir() / "TOVIK.INI", "[PDF]\r\nBackupDir=" + dir + "\r\n");
    }
    TStandardTableSpoolResult spool(TestGrid& g, int jobKind, int pdfMode = 1)
    {
        ListDescription list;
        list.name = "GEWINN";
        list.grid = g.grid;
        list.landscape = true;
        list.cellMode = 2;
        list.fileStem = "GEWINN-10.12.2026 13:05:00-";
        list.textSize = 10;
        list.title = "Gewinne, erstellt 10.12.2026 13:05:00";
        list.footer = "Netto: 45.150,00 €\t\tProvision: 0,00\t\tGewinn: 7,50";
        SpoolJobOptions options;
        options.JobKind = jobKind;
        options.PdfMode = pdfMode;
        options.PrintName = list.fileStem;
        options.Settings = f.rt.runtime().settings.get();
        return f.spooler->SpoolGrid(list, options);
    }
    // The job as another program would have written it: no announced path, so the processor takes
    // the PDF folder of TOVIK.INI.
    void forgetAnnouncedPath(std::int64_t id) { f.spooler->Store().UpdateJob(id, {{"DESTADRESS", SpoolBytes{}}}); }
    ProcessorOptions options(ProcessorKind kind = ProcessorKind::Pdf) const
    {
        ProcessorOptions o;
        o.kind = kind;
        o.spoolDir = f.spoolDir();
        o.programDir = f.rt.dir();
        o.opener.clear();
        o.poll = std::chrono::milliseconds(10);
        o.firstRetry = std::chrono::milliseconds(0);
        return o;
    }
};

TEST(PdfProcessor, RendersASpooledListToTheComputedPathAndRemovesTheJob)
{
    PdfSpool s;
    TestGrid g = ProfitGrid(300);
    const TStandardTableSpoolResult job = s.spool(g, JobKindPdf);
    ASSERT_GT(job.JobId, 0) << job.error;
    const std::filesystem::path pdf = job.FilePath;
    EXPECT_EQ(pdf.parent_path(), s.base / "Firma" / "GEWINN");
    EXPECT_FALSE(std::filesystem::exists(pdf));

    OutputProcessor processor(s.options());
    EXPECT_EQ(processor.ProcessDueJobs(), 1);

    ASSERT_TRUE(std::filesystem::exists(pdf)) << pdf;
    EXPECT_TRUE(std::filesystem::exists(s.f.spoolDir() / PdfMarkerDirectoryName / pdf.filename()));
    EXPECT_EQ(s.f.count("SPOOL"), 0);
    EXPECT_EQ(s.f.count("DET"), 0);

    const auto pages = test::PdfPages(pdf);
    ASSERT_GE(pages.size(), 6u);
    EXPECT_NE(pages[0].find("Gewinne, erstellt 10.12.2026 13:05:00"), std::string::npos);
    std::string all;
    for (size_t p = 0; p < pages.size(); ++p) {
        EXPECT_NE(pages[p].find("Auftrag"), std::string::npos) << "captions on page " << p + 1;
        EXPECT_NE(pages[p].find("Warnung"), std::string::npos) << "caption without its markup, page " << p + 1;
        EXPECT_NE(pages[p].find(PageNumberText(p + 1, pages.size())), std::string::npos);
        all += pages[p];
    }
    // Every row in grid order, with its amount on the same line.
    size_t at = 0;
    for (int i = 1; i <= 300; ++i) {
        const size_t found = all.find(std::to_string(500000 + i), at);
        ASSERT_NE(found, std::string::npos) << "row " << i << " missing or out of order";
        const std::string line = all.substr(found, all.find('\n', found) - found);
        EXPECT_NE(line.find(std::to_string(i) + ",25 €"), std::string::npos) << line;
        at = found;
    }
    EXPECT_NE(pages.back().find("Netto: 45.150,00 €"), std::string::npos);
}

TEST(PdfProcessor, LeavesPrintAndMailJobsAlone)
{
    PdfSpool s;
    TestGrid g = ProfitGrid(3);
    const auto print = s.spool(g, JobKindPrint);
    ASSERT_GT(print.JobId, 0) << print.error;
    const std::int64_t mail = s.f.spooler->Store().InsertJob({{"ISMAIL", true}, {"DEST", std::string("Mail")}});
    s.f.spooler->Store().UpdateJob(mail, {{"PRIO", std::int64_t{PrioMail}}});
    const auto unfinished = s.f.spooler->Store().InsertJob({{"ISMAIL", true}, {"DataGrid", true}});

    OutputProcessor processor(s.options());
    EXPECT_EQ(processor.ProcessDueJobs(), 0);
    EXPECT_FALSE(processor.WorkWaiting());
    EXPECT_EQ(s.f.count("SPOOL"), 3);
    EXPECT_EQ(s.f.count("DET", "idmain=" + std::to_string(print.JobId)), 3);
    EXPECT_EQ(s.f.job(unfinished, "PRIO"), "0");
    EXPECT_FALSE(std::filesystem::exists(ProcessorLogFile(s.f.spoolDir(), ProcessorKind::Pdf)));
}

TEST(PdfProcessor, AJobForAnUnwritableFolderStaysIsLoggedAndRetried)
{
    PdfSpool s;
    // A file where the database folder of the PDF path belongs: the folder cannot be made.
    test::WriteFile(s.base / "Firma", "kein Ordner");
    TestGrid g = ProfitGrid(5);
    const auto job = s.spool(g, JobKindPdf);
    ASSERT_GT(job.JobId, 0) << job.error;

    ProcessorOptions options = s.options();
    options.firstRetry = std::chrono::hours(1);
    OutputProcessor processor(options);
    EXPECT_EQ(processor.ProcessDueJobs(), 0);
    EXPECT_EQ(processor.FailedAttempts(job.JobId), 1);
    EXPECT_EQ(s.f.count("SPOOL"), 1) << "the job is never deleted";
    EXPECT_EQ(s.f.count("DET"), 5);
    const std::string log = test::ReadFile(ProcessorLogFile(s.f.spoolDir(), ProcessorKind::Pdf));
    EXPECT_NE(log.find("Auftrag " + std::to_string(job.JobId) + ": "), std::string::npos) << log;
    EXPECT_NE(log.find("Firma"), std::string::npos) << "the reason names the folder: " << log;
    EXPECT_FALSE(std::filesystem::exists(s.f.spoolDir() / PdfMarkerDirectoryName / job.FilePath));

    EXPECT_EQ(processor.ProcessDueJobs(), 0);
    EXPECT_EQ(processor.FailedAttempts(job.JobId), 1) << "not again before its pause is over";
    EXPECT_TRUE(processor.WorkWaiting());

    // Once the cause is gone, the next attempt after the pause succeeds.
    std::filesystem::remove(s.base / "Firma");
    OutputProcessor retrying(s.options());
    EXPECT_EQ(retrying.ProcessDueJobs(), 1);
    EXPECT_TRUE(std::filesystem::exists(job.FilePath));
    EXPECT_EQ(s.f.count("SPOOL"), 0);
}

TEST(PdfProcessor, OpensAnAutopdfWithTheDesktopOpener)
{
    PdfSpool s;
    TestGrid g = ProfitGrid(2);
    const auto job = s.spool(g, JobKindPdf, 2);
    ASSERT_GT(job.JobId, 0) << job.error;
    ASSERT_EQ(s.f.job(job.JobId, "MAILTYPE"), "autopdf");
    // An opener that notes what it was asked to open.
    const auto opened = s.f.rt.dir() / "opened.txt";
    const auto opener = s.f.rt.dir() / "opener.sh";
    // Written aside and moved, so the file is whole when it appears.
    test::WriteFile(opener, "#!/bin/sh\nprintf '%s' \"$1\" > '" + opened.string() + ".part' && mv '" + opened.string() +
                                ".part' '" + opened.string() + "'\n");
    std::filesystem::permissions(opener, std::filesystem::perms::owner_all);
    ProcessorOptions options = s.options();
    options.opener = opener.string();
    OutputProcessor processor(options);
    EXPECT_EQ(processor.ProcessDueJobs(), 1);
    // The opener runs on its own: wait a bounded while (long enough for a busy machine).
    for (int i = 0; i < 2000 && !std::filesystem::exists(opened); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    ASSERT_TRUE(std::filesystem::exists(opened));
    EXPECT_EQ(test::ReadFile(opened), job.FilePath);

    // A plain PDF job (MAILTYPE empty) is not opened.
    std::filesystem::remove(opened);
    const auto plain = s.spool(g, JobKindPdf, 1);
    EXPECT_EQ(processor.ProcessDueJobs(), 1);
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    EXPECT_FALSE(std::filesystem::exists(opened));
    EXPECT_TRUE(std::filesystem::exists(plain.FilePath));
}

TEST(PrintProcessor, AJobForAnUnknownPrinterStaysAndIsLogged)
{
    PdfSpool s;
    s.f.rt.runtime().settings->PrinterDef.DEFAULT = "Kein_solcher_Drucker";
    TestGrid g = ProfitGrid(4);
    const auto print = s.spool(g, JobKindPrint);
    ASSERT_GT(print.JobId, 0) << print.error;
    const auto pdf = s.spool(g, JobKindPdf);

    OutputProcessor processor(s.options(ProcessorKind::Print));
    EXPECT_EQ(processor.ProcessDueJobs(), 0);
    EXPECT_EQ(processor.FailedAttempts(print.JobId), 1);
    EXPECT_EQ(s.f.count("SPOOL"), 2) << "neither the failed print job nor the PDF job is removed";
    EXPECT_EQ(s.f.count("DET", "idmain=" + std::to_string(print.JobId)), 4);
    const std::string log = test::ReadFile(ProcessorLogFile(s.f.spoolDir(), ProcessorKind::Print));
    EXPECT_NE(log.find("Auftrag " + std::to_string(print.JobId) + ": Der Drucker \"Kein_solcher_Drucker\" ist nicht bekannt"),
              std::string::npos)
        << log;
    EXPECT_EQ(log.find("Auftrag " + std::to_string(pdf.JobId)), std::string::npos) << "the PDF job is not its kind";
}

TEST(PdfProcessor, AnOpenerThatFailsLeavesAReportForTheWindow)
{
    struct Case {
        const char* opener;
        const char* cause;
    };
    for (const Case& c : {Case{"/bin/false", "/bin/false endete mit 1"},
                          Case{"/nonexistent/xdg-open", "/nonexistent/xdg-open ist nicht vorhanden"}}) {
        SCOPED_TRACE(c.opener);
        PdfSpool s;
        TestGrid g = ProfitGrid(2);
        const auto job = s.spool(g, JobKindPdf, 2); // to be opened when done
        ASSERT_GT(job.JobId, 0) << job.error;
        ProcessorOptions options = s.options();
        options.opener = c.opener;
        OutputProcessor processor(options);
        EXPECT_EQ(processor.ProcessDueJobs(), 1) << "the PDF is written and the job done all the same";
        EXPECT_TRUE(std::filesystem::exists(job.FilePath));
        const auto report =
            s.f.spoolDir() / JobReportDirectoryName / (std::to_string(job.JobId) + JobReportOpenSuffix);
        ASSERT_TRUE(std::filesystem::exists(report));
        EXPECT_EQ(test::ReadFile(report).rfind(c.cause, 0), 0u) << test::ReadFile(report);
    }
}

TEST(PrintProcessor, AFailingJobIsReportedHeldBackAfterItsAttemptsAndTriedAgainWhenTheUserPrintsAgain)
{
    PdfSpool s;
    s.f.rt.runtime().settings->PrinterDef.DEFAULT = "Kein_solcher_Drucker";
    TestGrid g = ProfitGrid(3);
    const auto print = s.spool(g, JobKindPrint);
    ASSERT_GT(print.JobId, 0) << print.error;
    const std::string id = std::to_string(print.JobId);
    const auto report = s.f.spoolDir() / JobReportDirectoryName / (id + ".TXT");

    ProcessorOptions options = s.options(ProcessorKind::Print);
    options.maxAttempts = 2;
    OutputProcessor processor(options);
    EXPECT_EQ(processor.ProcessDueJobs(), 0);
    // The cause waits for the window that spooled the job.
    EXPECT_EQ(test::ReadFile(report), "Der Drucker \"Kein_solcher_Drucker\" ist nicht bekannt.");
    EXPECT_EQ(s.f.job(print.JobId, "PRIO"), "2");
    EXPECT_EQ(processor.ProcessDueJobs(), 0);
    // Given up after two attempts: held back, nothing deleted, no more attempts.
    EXPECT_EQ(s.f.job(print.JobId, "PRIO"), "-2");
    EXPECT_EQ(s.f.count("DET", "idmain=" + id), 3);
    EXPECT_FALSE(processor.WorkWaiting());
    EXPECT_EQ(processor.ProcessDueJobs(), 0);
    const std::string log = test::ReadFile(ProcessorLogFile(s.f.spoolDir(), ProcessorKind::Print));
    EXPECT_NE(log.find("Auftrag " + id + ": Der Drucker \"Kein_solcher_Drucker\" ist nicht bekannt. (Versuch 2; zurückgestellt"),
              std::string::npos)
        << log;

    // The user prints again: the held job is tried again with the new one.
    const auto again = s.spool(g, JobKindPrint);
    ASSERT_GT(again.JobId, 0) << again.error;
    EXPECT_EQ(s.f.job(print.JobId, "PRIO"), "2");
    EXPECT_TRUE(processor.WorkWaiting());
}

TEST(Processor, PausesGrowBetweenAttempts)
{
    using std::chrono::milliseconds;
    using std::chrono::seconds;
    const struct {
        int attempts;
        milliseconds pause;
    } cases[] = {{1, seconds(5)}, {2, seconds(10)}, {3, seconds(20)}, {6, seconds(160)}, {7, seconds(300)},
                 {1000, seconds(300)}};
    for (const auto& c : cases)
        EXPECT_EQ(RetryPause(c.attempts, seconds(5), std::chrono::minutes(5)).count(), c.pause.count()) << c.attempts;
}

TEST(PdfProcessor, WithoutPdfDirectoryTheJobWaits)
{
    PdfSpool s;
    s.setBackupDir("");
    TestGrid g = ProfitGrid(2);
    s.f.rt.runtime().settings->PrinterDef.BackupDir = (s.base.string() + "/"); // the spooler's view
    const auto job = s.spool(g, JobKindPdf);
    ASSERT_GT(job.JobId, 0) << job.error;
    s.forgetAnnouncedPath(job.JobId);
    ProcessorOptions options = s.options();
    options.firstRetry = std::chrono::milliseconds(0);
    OutputProcessor processor(options);
    for (int i = 0; i < 3; ++i)
        processor.ProcessDueJobs();
    EXPECT_EQ(processor.FailedAttempts(job.JobId), 3);
    const std::string log = test::ReadFile(ProcessorLogFile(s.f.spoolDir(), ProcessorKind::Pdf));
    EXPECT_NE(log.find("Kein PDF-Verzeichnis"), std::string::npos) << log;
    EXPECT_EQ(s.f.count("SPOOL"), 1);
}

TEST(Processor, LockCloseRequestAndIdleTime)
{
    PdfSpool s;
    ProcessorOptions options = s.options();
    options.idleClose = std::chrono::hours(1);
    std::filesystem::create_directories(s.f.spoolDir());
    {
        ProcessorLock other(s.f.spoolDir(), ProcessorKind::Pdf);
        ASSERT_TRUE(other.held());
        OutputProcessor second(options);
        EXPECT_EQ(second.Run(), TProcessorEnd::AlreadyRunning);
    }
    // A stale request from before the start does not end the run; one made while it runs does.
    ASSERT_TRUE(RequestProcessorClose(s.f.spoolDir(), ProcessorKind::Pdf));
    int polls = 0;
    OutputProcessor processor(options);
    const TProcessorEnd end = processor.Run([&] {
        if (++polls == 3) {
            EXPECT_TRUE(ProcessorRunning(s.f.spoolDir(), ProcessorKind::Pdf)) << "the lock is held while running";
            RequestProcessorClose(s.f.spoolDir(), ProcessorKind::Pdf);
        }
        return polls > 500;
    });
    EXPECT_EQ(end, TProcessorEnd::CloseRequested);
    EXPECT_EQ(polls, 3);
    EXPECT_FALSE(ProcessorRunning(s.f.spoolDir(), ProcessorKind::Pdf));

    options.idleClose = std::chrono::milliseconds(50);
    OutputProcessor idle(options);
    EXPECT_EQ(idle.Run([] { return false; }), TProcessorEnd::IdleTimeout);
}

TEST(Processor, WorkWaitingKeepsItAwakeDespiteACloseRequest)
{
    PdfSpool s;
    s.setBackupDir("");
    TestGrid g = ProfitGrid(2);
    s.f.rt.runtime().settings->PrinterDef.BackupDir = s.base.string() + "/";
    const auto job = s.spool(g, JobKindPdf);
    ASSERT_GT(job.JobId, 0);
    s.forgetAnnouncedPath(job.JobId);
    ProcessorOptions options = s.options();
    options.idleClose = std::chrono::milliseconds(1);
    options.maxAttempts = 0; // tried again at every poll, never held back
    int polls = 0;
    OutputProcessor processor(options);
    const TProcessorEnd end = processor.Run([&] {
        if (++polls == 2)
            RequestProcessorClose(s.f.spoolDir(), ProcessorKind::Pdf);
        return polls > 5;
    });
    EXPECT_EQ(end, TProcessorEnd::Stopped) << "a waiting (failing) job is not idle";
}

TEST(Processor, OutputtingJobsIsNotIdleTime)
{
    // Jobs come one by one and each is output at the poll that finds it: the processor never
    // finds one waiting after its poll, yet it is busy and must not end by its idle time.
    PdfSpool s;
    TestGrid g = ProfitGrid(2);
    ProcessorOptions options = s.options();
    options.idleClose = std::chrono::milliseconds(1);
    int polls = 0;
    OutputProcessor processor(options);
    const TProcessorEnd end = processor.Run([&] {
        if (++polls <= 3) {
            EXPECT_GT(s.spool(g, JobKindPdf).JobId, 0);
        }
        return polls > 50;
    });
    EXPECT_EQ(end, TProcessorEnd::IdleTimeout);
    EXPECT_GT(polls, 3);
    EXPECT_EQ(s.f.count("SPOOL"), 0) << "every job output";
}

TEST(PdfProcessor, WritesThePathItAnnouncedAndEveryJobInAFileOfItsOwn)
{
    PdfSpool s;
    TestGrid g = ProfitGrid(3);
    // Twelve lists in the same second (the print name has the time to the second only).
    std::vector<TStandardTableSpoolResult> jobs;
    for (int i = 0; i < 12; ++i) {
        jobs.push_back(s.spool(g, JobKindPdf));
        ASSERT_GT(jobs.back().JobId, 0) << jobs.back().error;
    }
    // The PDF folder of TOVIK.INI changes after the jobs were spooled: they keep their paths.
    std::filesystem::create_directories(s.f.rt.dir() / "neu");
    s.setBackupDir((s.f.rt.dir() / "neu").string() + "/");
    OutputProcessor processor(s.options());
    EXPECT_EQ(processor.ProcessDueJobs(), 12);
    std::set<std::string> files;
    for (const auto& job : jobs) {
        EXPECT_TRUE(std::filesystem::is_regular_file(job.FilePath)) << job.FilePath;
        EXPECT_NE(job.FilePath.find("-" + std::to_string(job.JobId) + ".PDF"), std::string::npos) << job.FilePath;
        files.insert(job.FilePath);
    }
    EXPECT_EQ(files.size(), 12u);
    EXPECT_TRUE(std::filesystem::is_empty(s.f.rt.dir() / "neu"));
}

TEST(PdfProcessor, AHostileRowIsRefusedHeldBackAndWritesNothing)
{
    const struct {
        const char* what;
        SpoolFields change;
        const char* logged;
    } cases[] = {
        {"X5 climbs", {{"X5", std::string(" 0 ..")}}, "Datenbankordner"},
        {"SubPath climbs", {{"SubPath", std::string("../../")}}, "SubPath"},
        {"SubPath absolute", {{"SubPath", std::string("/tmp/")}}, "SubPath"},
        {"announced elsewhere", {{"DESTADRESS", SpoolBytes{"/tmp/Firma/GEWINN/x.PDF"}}}, "PDF-Pfad"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        PdfSpool s;
        TestGrid g = ProfitGrid(2);
        const auto job = s.spool(g, JobKindPdf);
        ASSERT_GT(job.JobId, 0) << job.error;
        s.f.spooler->Store().UpdateJob(job.JobId, c.change);
        OutputProcessor processor(s.options());
        EXPECT_EQ(processor.ProcessDueJobs(), 0);
        EXPECT_EQ(s.f.job(job.JobId, "PRIO"), std::to_string(HeldPrio(PrioPdf))) << "held back at the first refusal";
        const std::string log = test::ReadFile(ProcessorLogFile(s.f.spoolDir(), ProcessorKind::Pdf));
        EXPECT_NE(log.find("Auftrag " + std::to_string(job.JobId) + ": "), std::string::npos) << log;
        EXPECT_NE(log.find(c.logged), std::string::npos) << log;
        // No PDF anywhere: neither announced nor beside the spool nor in /tmp.
        for (const auto& e : std::filesystem::recursive_directory_iterator(s.f.rt.dir()))
            EXPECT_NE(e.path().extension(), ".PDF") << e.path();
        EXPECT_FALSE(std::filesystem::exists("/tmp/Firma/GEWINN/x.PDF"));
    }
}

TEST(PdfProcessor, HugeCellsAndTitlesInTheSpoolAreDrawnCut)
{
    PdfSpool s;
    TestGrid g = ProfitGrid(3);
    const auto job = s.spool(g, JobKindPdf);
    ASSERT_GT(job.JobId, 0) << job.error;
    const std::string id = std::to_string(job.JobId);
    // Written past the spooler, as another program or a damaged file might: a cell of 10 MB and a
    // title of 5 MB in 50,000 lines.
    test::ExecSql(s.f.detailFile(),
                  "UPDATE DET SET d2 = 'Anfang' || replace(zeroblob(10000000), x'00', 'M') WHERE idmain=" + id);
    test::ExecSql(s.f.spoolFile(), "UPDATE SPOOL SET HTEXT = CAST('{\\rtf1 Kopf' || "
                                   "replace(zeroblob(50000), x'00', replace(zeroblob(99), x'00', 'x') || '\\par ') || '}' AS BLOB) "
                                   "WHERE ID=" + id);
    OutputProcessor processor(s.options());
    EXPECT_EQ(processor.ProcessDueJobs(), 1) << test::ReadFile(ProcessorLogFile(s.f.spoolDir(), ProcessorKind::Pdf));
    const auto pages = test::PdfPages(job.FilePath);
    ASSERT_FALSE(pages.empty());
    EXPECT_NE(pages[0].find("Kopf"), std::string::npos);
    EXPECT_NE(pages.back().find("Anfang"), std::string::npos);
    std::string all;
    for (const auto& p : pages)
        all += p;
    EXPECT_LT(all.size(), 200000u) << "only what the layout shows is drawn";
    EXPECT_NE(all.find("…"), std::string::npos);
}

TEST(PdfProcessor, RemovesTheTemporaryPdfsOfAKilledRunAtItsStart)
{
    PdfSpool s;
    const auto folder = s.base / "Firma" / "GEWINN";
    std::filesystem::create_directories(folder);
    // A process ID that is gone: a child that has ended.
    const pid_t gone = ::fork();
    if (gone == 0)
        ::_exit(0);
    ::waitpid(gone, nullptr, 0);
    const std::string dead = ".tmp" + std::to_string(gone);
    const std::string alive = ".tmp" + std::to_string(::getpid());
    const struct {
        std::filesystem::path file;
        bool stays;
    } files[] = {
        {folder / ("GEWINN-1.PDF" + dead), false},
        {s.base / "Firma" / ("Liste-2.PDF" + dead), false},
        {s.base / ("Liste-3.PDF" + dead), false},
        {folder / ("GEWINN-4.PDF" + alive), true},          // a PDF being written right now
        {folder / "GEWINN-5.PDF", true},                      // a finished PDF
        {folder / ("notiz.txt" + dead), true},                // not a PDF of this processor
        {s.base / "a" / "b" / "c" / ("tief.PDF" + dead), true}, // deeper than the processor writes
    };
    for (const auto& f : files) {
        std::filesystem::create_directories(f.file.parent_path());
        test::WriteFile(f.file, "%PDF-1.4 halb");
    }
    std::filesystem::create_directories(s.f.spoolDir());
    OutputProcessor processor(s.options());
    processor.StartUp();
    for (const auto& f : files)
        EXPECT_EQ(std::filesystem::exists(f.file), f.stays) << f.file;
    const std::string log = test::ReadFile(ProcessorLogFile(s.f.spoolDir(), ProcessorKind::Pdf));
    EXPECT_NE(log.find("3 unvollständige PDF-Datei(en)"), std::string::npos) << log;
}

TEST(PrintProcessor, MakesItsTemporaryFilesInTheSpoolAndRemovesLeftoversAtItsStart)
{
    PdfSpool s;
    const auto folder = PrintTemporaryFolder(s.f.spoolDir());
    std::filesystem::create_directories(folder);
    test::WriteFile(folder / "qt_Ab12Cd", "Kundendaten eines abgebrochenen Drucks");
    test::WriteFile(s.f.spoolDir() / "SPOOL.ADT.keep", "not the print processor's");
    const char* before = std::getenv("TMPDIR");
    const std::string saved = before ? before : "";
    OutputProcessor processor(s.options(ProcessorKind::Print));
    processor.StartUp();
    EXPECT_FALSE(std::filesystem::exists(folder / "qt_Ab12Cd"));
    EXPECT_TRUE(std::filesystem::exists(s.f.spoolDir() / "SPOOL.ADT.keep"));
    EXPECT_EQ(std::filesystem::path(std::getenv("TMPDIR")), folder) << "the print system's files go here";
    EXPECT_EQ(std::filesystem::status(folder).permissions() & std::filesystem::perms::all,
              std::filesystem::perms::owner_all);
    if (before)
        ::setenv("TMPDIR", saved.c_str(), 1);
    else
        ::unsetenv("TMPDIR");
}

TEST(PdfProcessor, AFullDiskIsLoggedWithItsCauseAndLeavesNothing)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "a small tmpfs needs root";
    PdfSpool s;
    const auto disk = s.f.rt.dir() / "voll";
    std::filesystem::create_directories(disk);
    if (std::system(("mount -t tmpfs -o size=64k tmpfs '" + disk.string() + "' 2>/dev/null").c_str()) != 0)
        GTEST_SKIP() << "no tmpfs here";
    struct Unmount {
        std::filesystem::path dir;
        ~Unmount() { [[maybe_unused]] const int rc = std::system(("umount '" + dir.string() + "'").c_str()); }
    } unmount{disk};
    s.setBackupDir(disk.string() + "/");
    TestGrid g = ProfitGrid(2000);
    const auto job = s.spool(g, JobKindPdf);
    ASSERT_GT(job.JobId, 0) << job.error;
    OutputProcessor processor(s.options());
    EXPECT_EQ(processor.ProcessDueJobs(), 0);
    const std::string log = test::ReadFile(ProcessorLogFile(s.f.spoolDir(), ProcessorKind::Pdf));
    EXPECT_NE(log.find("Auftrag " + std::to_string(job.JobId) + ": Die PDF-Datei " + job.FilePath +
                       " konnte nicht geschrieben werden: Kein Speicherplatz auf dem Gerät"),
              std::string::npos)
        << log;
    EXPECT_EQ(s.f.count("SPOOL"), 1) << "the job stays";
    for (const auto& e : std::filesystem::recursive_directory_iterator(disk))
        EXPECT_FALSE(e.is_regular_file()) << "left behind: " << e.path();
}

TEST(Processor, AnUnusableSpoolIsLoggedWithItsCauseAndCountsAsWorkWaiting)
{
    const struct {
        const char* what;
        std::function<void(const std::filesystem::path&)> spoil;
        const char* cause;
    } cases[] = {
        {"job table missing", [](const std::filesystem::path& d) { std::filesystem::remove(d / SpoolTableName); },
         "SPOOL.ADT fehlt"},
        {"detail table a folder",
         [](const std::filesystem::path& d) {
             std::filesystem::remove(d / DetailTableName);
             std::filesystem::create_directory(d / DetailTableName);
         },
         "DET.ADT ist ein Verzeichnis"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        PdfSpool s;
        TestGrid g = ProfitGrid(2);
        ASSERT_GT(s.spool(g, JobKindPdf).JobId, 0);
        s.f.spooler->Shutdown();
        c.spoil(s.f.spoolDir());
        OutputProcessor processor(s.options());
        EXPECT_EQ(processor.ProcessDueJobs(), 0);
        EXPECT_TRUE(processor.WorkWaiting()) << "jobs may wait that cannot be read";
        EXPECT_TRUE(processor.SpoolUnusable());
        processor.ProcessDueJobs();
        const std::string log = test::ReadFile(ProcessorLogFile(s.f.spoolDir(), ProcessorKind::Pdf));
        EXPECT_NE(log.find(c.cause), std::string::npos) << log;
        EXPECT_EQ(log.find(c.cause), log.rfind(c.cause)) << "logged once, not at every poll";
    }
    // A spool nobody has written to yet is not unusable: nothing waits.
    PdfSpool fresh;
    std::filesystem::create_directories(fresh.f.rt.dir() / "leer");
    ProcessorOptions options = fresh.options();
    options.spoolDir = fresh.f.rt.dir() / "leer";
    OutputProcessor idle(options);
    EXPECT_FALSE(idle.WorkWaiting());
    EXPECT_FALSE(idle.SpoolUnusable());
}

} // namespace
} // namespace gs
