// A PDF job is output exactly once whatever step a processor was stopped at: the record of the
// job's steps decides at the next start whether it is drawn, only marked or only removed; jobs whose
// rows or columns do not match what the spooler wrote are refused and kept; a stop abandons the job
// being drawn whole.
#include "PdfText.h"
#include "support/SpoolTestSupport.h"

#include "app/Runtime.h"
#include "settings/Settings.h"
#include "spool/SpoolJobState.h"
#include "spool/SpoolTables.h"
#include "spool/render/OutputProcessor.h"
#include "spool/render/PdfOutput.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace gs {
namespace {

using test::SpoolFixture;
using test::TestGrid;

std::string AllText(const std::filesystem::path& pdf)
{
    std::string all;
    for (const std::string& page : test::PdfPages(pdf))
        all += page;
    return all;
}

TestGrid Rows(int n)
{
    TestGrid g({"A", "B", "C"});
    g.grid.columns = {{"A", "Nummer", 80, 0, 1}, {"B", "Name", 120, 0, 0}, {"C", "Betrag", 80, 0, 1}};
    for (int i = 1; i <= n; ++i)
        g.data.addRow({std::to_string(700000 + i), "Kunde " + std::to_string(i), std::to_string(i) + ",50 €"});
    return g;
}

struct Spool {
    SpoolFixture f;
    std::filesystem::path pdfDir = f.rt.dir() / "pdf";

    Spool()
    {
        std::filesystem::create_directories(pdfDir);
        f.rt.runtime().settings->PrinterDef.BackupDir = pdfDir.string() + "/";
        f.rt.runtime().settings->DatabaseName = "Firma";
        test::WriteFile(f.rt.dir() / "TOVIK.INI", "[PDF]\r\nBackupDir=" + pdfDir.string() + "/\r\n");
    }
    TStandardTableSpoolResult spool(TestGrid& g)
    {
        ListDescription list;
        list.name = "LISTE";
        list.grid = g.grid;
        list.fileStem = "LISTE-01.02.2026 10:00:00-";
        list.title = "Liste";
        SpoolJobOptions options;
        options.JobKind = JobKindPdf;
        options.PdfMode = 1;
        options.PrintName = list.fileStem;
        options.Settings = f.rt.runtime().settings.get();
        return f.spooler->SpoolGrid(list, options);
    }
    ProcessorOptions options() const
    {
        ProcessorOptions o;
        o.kind = ProcessorKind::Pdf;
        o.spoolDir = f.spoolDir();
        o.programDir = f.rt.dir();
        o.opener.clear();
        o.poll = std::chrono::milliseconds(10);
        o.firstRetry = std::chrono::milliseconds(0);
        return o;
    }
    std::filesystem::path stateFile() const { return f.spoolDir() / JobStateFileName; }
    std::string state(long long id, const std::string& column) const
    {
        return test::QueryValue(stateFile(), "SELECT " + column + " FROM jobstand WHERE id=" + std::to_string(id));
    }
    // Files in the PDF folder (any depth) whose name contains part.
    int filesWith(const std::string& part) const
    {
        int n = 0;
        for (const auto& e : std::filesystem::recursive_directory_iterator(pdfDir))
            n += e.is_regular_file() && e.path().filename().string().find(part) != std::string::npos;
        return n;
    }
    std::string log() const
    {
        const auto file = ProcessorLogFile(f.spoolDir(), ProcessorKind::Pdf);
        return std::filesystem::exists(file) ? test::ReadFile(file) : std::string();
    }
};

TEST(JobRecord, TheSpoolerRecordsRowsAndColumnsAndTheRemovalForgetsThem)
{
    Spool s;
    TestGrid g = Rows(7);
    const auto job = s.spool(g);
    ASSERT_GT(job.JobId, 0) << job.error;
    EXPECT_EQ(s.state(job.JobId, "rows"), "7");
    EXPECT_EQ(s.state(job.JobId, "columns"), "3");
    EXPECT_EQ(s.state(job.JobId, "step"), "0");

    OutputProcessor processor(s.options());
    EXPECT_EQ(processor.ProcessDueJobs(), 1);
    EXPECT_EQ(s.f.count("SPOOL"), 0);
    EXPECT_EQ(s.f.count("DET"), 0);
    EXPECT_EQ(test::QueryValue(s.stateFile(), "SELECT count(*) FROM jobstand"), "0");
}

TEST(JobRecord, APdfCarriesItsJobMarkOnlyWhenComplete)
{
    Spool s;
    TestGrid g = Rows(3);
    ListDescription list;
    list.grid = g.grid;
    VectorRowSource rows({{"1", "a", "b"}});
    const auto file = s.pdfDir / "mark.PDF";
    WriteListPdf(list, {"01.02.2026 10:00", "mark"}, rows, file, "17-4711-abcdef");
    EXPECT_TRUE(PdfCarriesJobMark(file, "17-4711-abcdef"));
    EXPECT_FALSE(PdfCarriesJobMark(file, "17-4711-abcdee"));
    EXPECT_FALSE(PdfCarriesJobMark(file, ""));
    const std::string bytes = test::ReadFile(file);
    test::WriteFile(file, bytes.substr(0, bytes.size() - 200)); // cut off: not complete
    EXPECT_FALSE(PdfCarriesJobMark(file, "17-4711-abcdef"));
    EXPECT_FALSE(PdfCarriesJobMark(s.pdfDir / "none.PDF", "17-4711-abcdef"));
}

// A processor stopped after a step: what the next one does with the job.
TEST(JobRecord, TheNextProcessorContinuesAfterTheLastRecordedStep)
{
    enum class Left { Done, TakenFileComplete, TakenFileOfOtherAttempt, TakenTempOnly };
    struct Case {
        const char* name;
        Left left;
        bool drawn;  // the next processor draws the job (a new file)
    };
    const Case cases[] = {
        {"done: only removed", Left::Done, false},
        {"taken, file complete: marked and removed", Left::TakenFileComplete, false},
        {"taken, the file is an older one of the same name: drawn anew", Left::TakenFileOfOtherAttempt, true},
        {"taken, only a temporary file: removed and drawn anew", Left::TakenTempOnly, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Spool s;
        TestGrid g = Rows(40);
        const auto job = s.spool(g);
        ASSERT_GT(job.JobId, 0) << job.error;
        const std::filesystem::path pdf = job.FilePath;
        std::filesystem::create_directories(pdf.parent_path());
        SpoolJobState state;
        state.Open(s.f.spoolDir());
        ListDescription list;
        list.grid = g.grid;
        VectorRowSource one({{"1", "x", "y"}});
        switch (c.left) {
        case Left::Done:
            state.Take(job.JobId, "t1", pdf.string(), 0);
            state.Done(job.JobId, 0);
            break;
        case Left::TakenFileComplete:
            state.Take(job.JobId, "t1", pdf.string(), 0);
            WriteListPdf(list, {"", "x"}, one, pdf, "t1");
            break;
        case Left::TakenFileOfOtherAttempt:
            state.Take(job.JobId, "t2", pdf.string(), 0);
            WriteListPdf(list, {"", "x"}, one, pdf, "t1");
            break;
        case Left::TakenTempOnly:
            state.Take(job.JobId, "t1", pdf.string(), 0);
            test::WriteFile(pdf.string() + ".tmp99999", "%PDF-1.4 half");
            break;
        }
        state.Close();
        const auto before = std::filesystem::exists(pdf) ? std::filesystem::last_write_time(pdf)
                                                         : std::filesystem::file_time_type{};

        OutputProcessor processor(s.options());
        EXPECT_EQ(processor.ProcessDueJobs(), 1);
        EXPECT_EQ(s.f.count("SPOOL"), 0);
        EXPECT_EQ(s.filesWith(".tmp"), 0);
        if (c.left == Left::Done) {
            EXPECT_FALSE(std::filesystem::exists(pdf));
            continue;
        }
        ASSERT_TRUE(std::filesystem::exists(pdf));
        EXPECT_EQ(std::filesystem::last_write_time(pdf) != before, c.drawn);
        EXPECT_EQ(AllText(pdf).find("700040") != std::string::npos, c.drawn);
        EXPECT_TRUE(std::filesystem::exists(s.f.spoolDir() / PdfMarkerDirectoryName / pdf.filename()));
    }
}

TEST(JobRecord, AJobWhoseRowsOrColumnsDoNotMatchIsRefusedAndKept)
{
    struct Case {
        const char* name;
        const char* detailSql;  // on DET.ADT, %ID% the job
        const char* spoolSql;   // on SPOOL.ADT
        const char* logged;
    };
    const Case cases[] = {
        {"a detail row missing", "DELETE FROM DET WHERE id=(SELECT min(id) FROM DET WHERE idmain=%ID%)", nullptr,
         "9 von 10 Zeilen"},
        {"every detail row missing", "DELETE FROM DET WHERE idmain=%ID%", nullptr, "0 von 10 Zeilen"},
        {"a row too many", "INSERT INTO DET(idmain, d1) VALUES(%ID%, 'x')", nullptr, "11 von 10 Zeilen"},
        {"a column lost", nullptr, "UPDATE SPOOL SET h3='', hw3=0 WHERE ID=%ID%", "2 Spalten im Spooler, 3 geschrieben"},
        {"no columns", nullptr, "UPDATE SPOOL SET h1='', hw1=0 WHERE ID=%ID%", "keine Spalten"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Spool s;
        TestGrid g = Rows(10);
        const auto job = s.spool(g);
        ASSERT_GT(job.JobId, 0) << job.error;
        auto withId = [&](std::string sql) {
            const auto at = sql.find("%ID%");
            return sql.replace(at, 4, std::to_string(job.JobId));
        };
        if (c.detailSql)
            test::ExecSql(s.f.detailFile(), withId(c.detailSql));
        if (c.spoolSql)
            test::ExecSql(s.f.spoolFile(), withId(c.spoolSql));

        OutputProcessor processor(s.options());
        EXPECT_EQ(processor.ProcessDueJobs(), 0);
        EXPECT_EQ(s.f.count("SPOOL"), 1);
        EXPECT_FALSE(std::filesystem::exists(job.FilePath));
        EXPECT_NE(s.log().find("Auftrag " + std::to_string(job.JobId) + ": "), std::string::npos) << s.log();
        EXPECT_NE(s.log().find(c.logged), std::string::npos) << s.log();
    }
}

TEST(JobRecord, AStopAbandonsTheJobBeingDrawnWholeAndTheNextStartOutputsIt)
{
    Spool s;
    TestGrid g = Rows(20000);
    const auto job = s.spool(g);
    ASSERT_GT(job.JobId, 0) << job.error;
    const std::filesystem::path pdf = job.FilePath;

    std::atomic<bool> stop{false};
    ProcessorOptions options = s.options();
    options.stop = &stop;
    std::thread stopper([&] {
        // Stopped once the drawing has begun (its temporary file is there).
        for (int i = 0; i < 2000 && !stop; ++i) {
            if (std::filesystem::exists(pdf.parent_path()) && s.filesWith(".tmp") > 0)
                stop = true;
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        stop = true;
    });
    OutputProcessor processor(options);
    const auto started = std::chrono::steady_clock::now();
    EXPECT_EQ(processor.ProcessDueJobs(), 0);
    stopper.join();
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(30));
    EXPECT_EQ(s.f.count("SPOOL"), 1);
    EXPECT_EQ(s.filesWith(".tmp"), 0);
    EXPECT_FALSE(std::filesystem::exists(pdf));
    EXPECT_EQ(processor.FailedAttempts(job.JobId), 0);
    EXPECT_FALSE(std::filesystem::exists(s.f.spoolDir() / JobReportDirectoryName /
                                         (std::to_string(job.JobId) + JobReportFailedSuffix)));
    EXPECT_NE(s.log().find("abgebrochen"), std::string::npos);

    OutputProcessor next(s.options());
    EXPECT_EQ(next.ProcessDueJobs(), 1);
    EXPECT_TRUE(std::filesystem::exists(pdf));
    EXPECT_EQ(s.f.count("SPOOL"), 0);
}

} // namespace
} // namespace gs
