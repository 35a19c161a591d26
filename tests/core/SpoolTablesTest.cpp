// The spool tables: layouts as the processors read them, creation without and with force, the start
// check with its recovery and compaction.
#include "spool/ExtSpooler.h"
#include "spool/ProcessorContract.h"
#include "spool/SpoolJobState.h"
#include "spool/SpoolTables.h"
#include "support/SpoolTestSupport.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

namespace gs {
namespace {

using test::QuerySql;
using test::QueryValue;

std::string Golden(const std::string& name)
{
    const char* dir = std::getenv("GS_TEST_DATA");
    return test::ReadFile(std::filesystem::path(dir ? dir : "tests/data") / "spool" / name);
}

// "name TYPE" per line, as the table file declares its columns.
std::string DeclaredFields(const std::filesystem::path& file, const std::string& table)
{
    std::string out;
    for (const auto& row : QuerySql(file, "SELECT name, type FROM pragma_table_info('" + table + "')"))
        out += row[0] + " " + row[1] + "\n";
    return out;
}

TEST(SpoolTables, LayoutsAreThoseTheProcessorsRead)
{
    test::TempDir dir;
    CreateSpoolTables(dir.path() / "SPOOLER", false);
    const auto spool = dir.path() / "SPOOLER" / "SPOOL.ADT";
    const auto det = dir.path() / "SPOOLER" / "DET.ADT";
    EXPECT_EQ(DeclaredFields(spool, "SPOOL"), Golden("SPOOL.fields"));
    EXPECT_EQ(DeclaredFields(det, "DET"), Golden("DET.fields"));
    EXPECT_EQ(SpoolTableFields().size(), 236u);
    EXPECT_EQ(DetailTableFields().size(), 20u);

    using Rows = std::vector<std::vector<std::string>>;
    EXPECT_EQ(QuerySql(spool, "SELECT tag, expression, options FROM ads_index ORDER BY rowid"),
              (Rows{{"ID", "ID", "1"}, {"PRIO", "PRIO", "0"}, {"ISMAIL", "ISMAIL", "0"}, {"COMPUTER", "COMPUTER", "0"}}));
    EXPECT_EQ(QuerySql(det, "SELECT tag, expression, options FROM ads_index ORDER BY rowid"),
              (Rows{{"ID", "id", "1"}, {"IDMAIN", "idmain", "0"}}));
    // Real SQL indexes behind the tags, the unique one unique.
    EXPECT_EQ(QueryValue(spool, "SELECT count(*) FROM pragma_index_list('SPOOL')"), "4");
    EXPECT_EQ(QueryValue(det, "SELECT \"unique\" FROM pragma_index_list('DET') WHERE name='ads_idx_id'"), "1");
}

TEST(SpoolTables, WithoutForceExistingTablesKeepTheirRowsAndMissingOnesAreMade)
{
    test::TempDir dir;
    CreateSpoolTables(dir.path(), false);
    test::ExecSql(dir / "SPOOL.ADT", "INSERT INTO SPOOL(ID, PRIO) VALUES(7, 2)");
    std::filesystem::remove(dir / "DET.ADT");
    CreateSpoolTables(dir.path(), false);
    EXPECT_EQ(QueryValue(dir / "SPOOL.ADT", "SELECT PRIO FROM SPOOL WHERE ID=7"), "2");
    EXPECT_EQ(QueryValue(dir / "DET.ADT", "SELECT count(*) FROM DET"), "0");
}

TEST(SpoolTables, ForceKeepsTheOldFilesAsideNeverDeletesThem)
{
    test::TempDir dir;
    CreateSpoolTables(dir.path(), false);
    test::ExecSql(dir / "SPOOL.ADT", "INSERT INTO SPOOL(ID, PRIO) VALUES(7, 2)");
    CreateSpoolTables(dir.path(), true);
    EXPECT_EQ(QueryValue(dir / "SPOOL.ADT", "SELECT count(*) FROM SPOOL"), "0");
    int kept = 0;
    for (const auto& e : std::filesystem::directory_iterator(dir.path())) {
        const std::string name = e.path().filename().string();
        if (name.rfind("SPOOL.ADT.", 0) == 0 && name.size() > 7 && name.substr(name.size() - 7) == ".defekt") {
            ++kept;
            EXPECT_EQ(QueryValue(e.path(), "SELECT PRIO FROM SPOOL WHERE ID=7"), "2");
        }
    }
    EXPECT_EQ(kept, 1);
}

TEST(SpoolTables, ForceSetsTheJobRecordAsideWithTheTables)
{
    // Fresh tables number their jobs from 1 again: a record of old job 1 ("done") must not meet
    // the new job 1.
    test::TempDir dir;
    CreateSpoolTables(dir.path(), false);
    {
        SpoolJobState state;
        state.Open(dir.path());
        state.Take(1, "t", "/x.PDF", 0);
        state.Done(1, 0);
    }
    CreateSpoolTables(dir.path(), true);
    SpoolJobState state;
    state.Open(dir.path());
    EXPECT_FALSE(state.Get(1).has_value());
    int kept = 0;
    for (const auto& e : std::filesystem::directory_iterator(dir.path()))
        kept += e.path().filename().string().rfind(std::string(JobStateFileName) + ".", 0) == 0 &&
                e.path().extension() == ".defekt";
    EXPECT_EQ(kept, 1);
}

TEST(SpoolTables, OnlyDamagedFilesCountAsDamaged)
{
    test::TempDir dir;
    EXPECT_FALSE(SpoolFilesDamaged(dir.path())); // nothing there yet: nothing to set aside
    CreateSpoolTables(dir.path(), false);
    EXPECT_FALSE(SpoolFilesDamaged(dir.path()));
    std::filesystem::rename(dir / "DET.ADT", dir / "DET.OLD");
    EXPECT_TRUE(SpoolFilesDamaged(dir.path())); // a job table without its detail table
    std::filesystem::rename(dir / "DET.OLD", dir / "DET.ADT");
    std::string bytes = test::ReadFile(dir / "DET.ADT");
    bytes.replace(0, 16, "not a table file");
    test::WriteFile(dir / "DET.ADT", bytes);
    EXPECT_TRUE(SpoolFilesDamaged(dir.path()));
}

TEST(SpoolTables, SizeProbeStopsAtTheFirstLargeFile)
{
    test::TempDir dir;
    EXPECT_EQ(ProbeSpoolSize(dir.path()), -1);
    auto sized = [&](const std::string& name, std::int64_t size) {
        std::ofstream(dir / name).close();
        std::filesystem::resize_file(dir / name, static_cast<std::uintmax_t>(size));
    };
    sized("SPOOL.ADT", SpoolCompactionSize);
    sized("DET.ADT", 20'000'000);
    EXPECT_EQ(ProbeSpoolSize(dir.path()), SpoolCompactionSize); // exactly the limit ends the probe
    sized("SPOOL.ADT", 100);
    EXPECT_EQ(ProbeSpoolSize(dir.path()), 20'000'000);
    sized("DET.ADT", 200);
    EXPECT_EQ(ProbeSpoolSize(dir.path()), -1); // DET's log stands last and does not exist
}

TEST(EnsureSpoolTables, CreatesTheDirectoryAndTablesAndStartsThePrintProcessor)
{
    test::SpoolFixture f;
    f.spooler->EnsureSpoolTables(false);
    EXPECT_TRUE(f.spooler->Ready());
    EXPECT_TRUE(std::filesystem::exists(f.spoolFile()));
    EXPECT_TRUE(std::filesystem::exists(f.detailFile()));
    f.spooler->Shutdown();
    ASSERT_EQ(f.launched.size(), 1u);
    EXPECT_EQ(f.launched[0].filename(), ProcessorFor(ProcessorKind::Print).programName);
    EXPECT_TRUE(f.rt.dialogs().messages.empty());
}

TEST(EnsureSpoolTables, BrokenTableIsMovedAsideAndFreshOnesMade)
{
    test::SpoolFixture f;
    std::filesystem::create_directories(f.spoolDir());
    test::WriteFile(f.spoolFile(), "this is no table file, it was cut by a crash");
    CreateSpoolTables(f.spoolDir(), false); // DET.ADT healthy, SPOOL.ADT broken
    f.spooler->EnsureSpoolTables(false);
    ASSERT_TRUE(f.spooler->Ready());
    EXPECT_EQ(f.count("SPOOL"), 0);
    bool keptBroken = false;
    for (const auto& e : std::filesystem::directory_iterator(f.spoolDir()))
        keptBroken |= e.path().filename().string().rfind("SPOOL.ADT.", 0) == 0 &&
                      test::ReadFile(e.path()).find("cut by a crash") != std::string::npos;
    EXPECT_TRUE(keptBroken);
    EXPECT_TRUE(f.rt.dialogs().messages.empty());
}

TEST(EnsureSpoolTables, UnusableSpoolShowsTheMessageOnceAndWritesNoJob)
{
    test::SpoolFixture f;
    test::WriteFile(f.spoolDir(), "a file where the directory should be");
    f.spooler->EnsureSpoolTables(false);
    EXPECT_FALSE(f.spooler->Ready());
    ASSERT_EQ(f.rt.dialogs().messages.size(), 1u); // one rebuild, one retry, then the message
    EXPECT_EQ(f.rt.dialogs().messages[0].text, SpoolUnusableText);
    EXPECT_EQ(f.rt.dialogs().messages[0].help, SpoolUnusableHelp);
    EXPECT_EQ(f.rt.dialogs().messages[0].caption, "Gewinn-Statistik");

    test::TestGrid g({"A"});
    g.grid.columns = {{"A", "A", 50, 0, 0}};
    g.data.addRow({"x"});
    ListDescription list;
    list.grid = g.grid;
    const TStandardTableSpoolResult r = f.spooler->SpoolGrid(list, SpoolJobOptions{});
    EXPECT_EQ(r.Code, 0);
    EXPECT_FALSE(r.error.empty());
}

TEST(EnsureSpoolTables, InstallStartRebuildsOnTheFirstCallOnly)
{
    test::SpoolFixture f;
    CreateSpoolTables(f.spoolDir(), false);
    test::ExecSql(f.spoolFile(), "INSERT INTO SPOOL(ID, PRIO) VALUES(3, 2)");
    f.spooler->InstallStart = true;
    f.spooler->EnsureSpoolTables(false);
    ASSERT_TRUE(f.spooler->Ready());
    EXPECT_EQ(f.count("SPOOL"), 0);
    test::ExecSql(f.spoolFile(), "INSERT INTO SPOOL(ID, PRIO) VALUES(4, 2)");
    f.spooler->EnsureSpoolTables(false);
    EXPECT_EQ(f.count("SPOOL"), 1);
}

TEST(EnsureSpoolTables, CompactionKeepsWaitingJobs)
{
    test::SpoolFixture f;
    CreateSpoolTables(f.spoolDir(), false);
    // A large memo written and deleted again: its pages stay in the file until the compaction.
    test::ExecSql(f.detailFile(), "INSERT INTO DET(id, idmain, ds) VALUES(1, 1, zeroblob(12000000));"
                                  "DELETE FROM DET; PRAGMA wal_checkpoint(TRUNCATE);");
    test::ExecSql(f.spoolFile(), "INSERT INTO SPOOL(ID, PRIO, ISMAIL) VALUES(5, 2, 0), (6, 560, 1)");
    test::ExecSql(f.detailFile(), "INSERT INTO DET(id, idmain, d1) VALUES(2, 5, 'waiting print row')");
    ASSERT_GT(ProbeSpoolSize(f.spoolDir()), SpoolCompactionSize);
    f.spooler->EnsureSpoolTables(false);
    ASSERT_TRUE(f.spooler->Ready());
    EXPECT_LT(std::filesystem::file_size(f.detailFile()), 1'000'000u);
    EXPECT_EQ(f.count("SPOOL", "PRIO>0"), 2);
    EXPECT_EQ(QueryValue(f.detailFile(), "SELECT d1 FROM DET WHERE idmain=5"), "waiting print row");
}

TEST(EnsureSpoolTables, UnfinishedJobsOfDeadWritersArePurgedButNotThoseOfLiveOnes)
{
    test::SpoolFixture f;
    CreateSpoolTables(f.spoolDir(), false);
    test::ExecSql(f.spoolFile(), "INSERT INTO SPOOL(ID, PRIO) VALUES(1, 0), (2, 2)");
    test::ExecSql(f.detailFile(), "INSERT INTO DET(id, idmain) VALUES(1, 1), (2, 1), (3, 2)");
    {
        SpoolWritersLock otherWriter(f.spoolDir()); // another module still writing
        test::SpoolFixture other;
        auto spooler = std::make_shared<TExtSpooler>(f.spoolDir(), other.rt.dir());
        spooler->LaunchProgram = [](const std::filesystem::path&) { return true; };
        spooler->EnsureSpoolTables(false);
        EXPECT_EQ(f.count("SPOOL", "PRIO=0"), 1);
        spooler->Shutdown();
    }
    f.spooler->EnsureSpoolTables(false);
    EXPECT_EQ(f.count("SPOOL", "PRIO=0"), 0);
    EXPECT_EQ(f.count("DET", "idmain=1"), 0);
    EXPECT_EQ(f.count("DET", "idmain=2"), 1); // the finished job is untouched
}

} // namespace
} // namespace gs
