// The job protocol: one grid list becomes one complete job, or nothing.
#include "app/Runtime.h"
#include "app/ProcessObjects.h"
#include "db/BlobFields.h"
#include "settings/Settings.h"
#include "spool/ExtSpooler.h"
#include "spool/ProcessorContract.h"
#include "spool/SpoolTables.h"
#include "spool/TextToRtf.h"
#include "support/SettingsTestSupport.h"
#include "support/SpoolTestSupport.h"

#include <gtest/gtest.h>

#include <csignal>
#include <sys/wait.h>
#include <unistd.h>

namespace gs {
namespace {

using test::SpoolFixture;
using test::TestGrid;
using Rows = std::vector<std::vector<std::string>>;

// Eight columns, the fourth hidden; three rows. Captions carry the bold markup.
TestGrid SevenColumnGrid()
{
    TestGrid g({"A", "B", "C", "HID", "D", "E", "F", "G"});
    g.grid.columns = {{"A", "/bAuftrag", 86, 0, 1}, {"B", "Adresse", 81, 1, 0},  {"C", "Datum", 103, 2, 2},
                      {"HID", "Versteckt", 0, 0, 0}, {"D", " /bWarnung", 77, 0, 0}, {"E", "Netto/B", 85, 1, 1},
                      {"F", "Gewinn", 54, 1, 1},     {"G", "Provsion", 70, 0, 2}};
    g.data.addRow({"1001", "Müller", "01.04.2006", "x", "Gewinnzone", "100,00 €", "10,00 €", "1,00 €"});
    g.data.addRow({"1002", "", "02.04.2006", "x", "kein Gewinn", "200,00 €", "0,00 €", "2,00 €"});
    g.data.addRow({"1003", "Schulz", "03.04.2006", "x", "Verlustzone", "300,00 €", "-5,00 €", "3,00 €"});
    return g;
}

// The list of a grid as the spooler takes it.
ListDescription ListOf(const TestGrid& g)
{
    ListDescription list;
    list.grid = g.grid;
    list.landscape = false;
    list.cellMode = 0;
    return list;
}

// A job's options with the fixture's settings and dialog seam.
SpoolJobOptions OptionsFor(SpoolFixture& f, int jobKind = JobKindPrint)
{
    SpoolJobOptions options;
    options.JobKind = jobKind;
    options.Settings = f.rt.runtime().settings.get();
    options.Seam = &f.rt.runtime().dialogs();
    return options;
}

struct KindCase {
    int jobKind;
    int pdfMode;
    const char* prio;
    const char* isMail;
    const char* mailType;
    const char* subPath; // only PDF jobs go into the list's subfolder
};

class SpoolGridKinds : public ::testing::TestWithParam<KindCase> {};

TEST_P(SpoolGridKinds, SevenShownColumnsThreeRowsLastRowFirst)
{
    const KindCase c = GetParam();
    SpoolFixture f;
    f.rt.runtime().settings->DatabaseName = "Firma";
    f.rt.runtime().settings->PrinterDef.List = 2;
    f.rt.runtime().settings->PrinterDef.DEFAULT = "Laser";
    TestGrid g = SevenColumnGrid();
    g.data.SetCurrentRow(1);
    ListDescription list = ListOf(g);
    list.name = "GEWINN";
    list.fileStem = "GEWINN-1-";
    list.landscape = true;
    list.cellMode = 2;
    list.title = std::string(RtfMarker) + " title}";
    SpoolJobOptions options = OptionsFor(f, c.jobKind);
    options.PdfMode = c.pdfMode;
    const TStandardTableSpoolResult r = f.spooler->SpoolGrid(list, options);
    ASSERT_EQ(r.Code, 2) << r.error; // the list copies of TOVIK.INI
    EXPECT_EQ(f.count("SPOOL"), 1);
    const long long id = r.JobId;
    EXPECT_EQ(f.job(id, "PRIO"), c.prio);
    EXPECT_EQ(f.job(id, "ISMAIL"), c.isMail);
    EXPECT_EQ(f.job(id, "MAILTYPE"), c.mailType);
    EXPECT_EQ(f.job(id, "PrintName"), c.jobKind == JobKindPdf ? "GEWINN-1-" : "Listendruck") << "a PDF job: the file stem";
    EXPECT_EQ(f.job(id, "DataGrid"), "1");
    EXPECT_EQ(f.job(id, "LANDSCAPE"), "1");
    EXPECT_EQ(f.job(id, "SECONDPAGE"), "0");
    EXPECT_EQ(f.job(id, "Header"), "1");
    EXPECT_EQ(f.job(id, "HTEXT"), std::string(RtfMarker) + " title}") << "rich text stays as it is";
    EXPECT_EQ(f.job(id, "Footer"), "0");
    EXPECT_EQ(f.job(id, "X5"), " 0 Firma");
    EXPECT_EQ(f.job(id, "SubPath"), c.subPath);
    EXPECT_EQ(f.job(id, "LeftStartSecond"), "2");
    EXPECT_EQ(f.job(id, "RightEndSecond"), "7");
    EXPECT_EQ(f.job(id, "COMPUTER"), ComputerTag());
    const std::vector<std::string> captions = {"Auftrag", "Adresse", "Datum", " Warnung", "Netto", "Gewinn", "Provsion"};
    const std::vector<std::string> widths = {"86", "81", "103", "77", "85", "54", "70"};
    const std::vector<std::string> aligh = {"0", "1", "2", "0", "1", "1", "0"};
    const std::vector<std::string> aligd = {"1", "0", "2", "0", "1", "1", "2"};
    for (int k = 1; k <= 7; ++k) {
        const std::string n = std::to_string(k);
        EXPECT_EQ(f.job(id, "h" + n), captions[k - 1]) << k;
        EXPECT_EQ(f.job(id, "hw" + n), widths[k - 1]) << k;
        EXPECT_EQ(f.job(id, "aligh" + n), aligh[k - 1]) << k;
        EXPECT_EQ(f.job(id, "aligd" + n), aligd[k - 1]) << k;
    }
    EXPECT_EQ(f.job(id, "h8"), "<null>");
    // Detail rows: written last row first, so their ids descend with the grid's order.
    EXPECT_EQ(f.details(id, "d1, d2, d4, d7, d8"),
              (Rows{{"1001", "Müller", "Gewinnzone", "1,00 €", "<null>"},
                    {"1002", "\r", "kein Gewinn", "2,00 €", "<null>"},
                    {"1003", "Schulz", "Verlustzone", "3,00 €", "<null>"}}));
    EXPECT_EQ(test::QueryValue(f.detailFile(), "SELECT max(id) - min(id) FROM DET"), "2");
    EXPECT_EQ(g.data.CurrentRow(), 1); // the grid is back on its row
    if (c.jobKind == JobKindPdf) {
        EXPECT_EQ(f.job(id, "DEST"), "<null>");
    } else {
        EXPECT_EQ(f.job(id, "DEST"), "Print");
        EXPECT_EQ(f.job(id, "PRINTERNAME"), "Laser");
        EXPECT_EQ(f.job(id, "PRINTERBIN1"), "\"\"");
        EXPECT_EQ(f.job(id, "DESTINFO"), "Printer");
        EXPECT_EQ(f.job(id, "RTPID"), "0");
    }
}

INSTANTIATE_TEST_SUITE_P(Kinds, SpoolGridKinds,
                         ::testing::Values(KindCase{JobKindPrint, 0, "2", "0", "html", ""},
                                           KindCase{JobKindPdf, 1, "560", "1", "<null>", "GEWINN/"},
                                           KindCase{JobKindPdf, 2, "560", "1", "autopdf", "GEWINN/"}));

TEST(SpoolGrid, SixteenShownColumnsAreRefusedBeforeAnythingIsWritten)
{
    SpoolFixture f;
    TestGrid g({});
    for (int i = 0; i < 16; ++i)
        g.grid.columns.push_back({"F" + std::to_string(i), "T", 20, 0, 0});
    g.grid.columns.push_back({"H", "hidden", 0, 0, 0});
    g.data.addRow({});
    f.spooler->ApplicationActive = [] { return true; };
    SpoolJobOptions options = OptionsFor(f);
    options.PrinterSelection = true;
    const auto r = f.spooler->SpoolGrid(ListOf(g), options);
    EXPECT_EQ(r.Code, 0);
    EXPECT_EQ(r.error, TooManyColumnsText);
    EXPECT_TRUE(f.rt.dialogs().printTargetRequests.empty()); // not even the printer was asked for
    EXPECT_EQ(f.count("SPOOL"), 0);
    g.grid.columns.pop_back();
    g.grid.columns.pop_back(); // fifteen shown columns fit
    options.PrinterSelection = false;
    EXPECT_EQ(f.spooler->SpoolGrid(ListOf(g), options).Code, 1);
}

TEST(SpoolGrid, AFailureInTheMiddleLeavesNothingAndReturnsZero)
{
    SpoolFixture f;
    TestGrid g = SevenColumnGrid();
    ListDescription list = ListOf(g);
    int lines = 0;
    list.lineCallbacks.push_back([&](const GridRecord*, int, std::string& text) {
        if (++lines == 2)
            throw Error("Datenträger voll");
        text = "line";
    });
    std::string waits;
    f.spooler->ShowWait = [&](bool on) { waits += on ? "+" : "-"; };
    const auto r = f.spooler->SpoolGrid(list, OptionsFor(f));
    EXPECT_EQ(r.Code, 0);
    EXPECT_NE(r.error.find("Datenträger voll"), std::string::npos);
    EXPECT_EQ(waits, "+-+-"); // the normal cursor is back after the failure
    EXPECT_EQ(f.count("SPOOL"), 0);
    EXPECT_EQ(f.count("DET"), 0);
    EXPECT_EQ(g.data.CurrentRow(), 0);
    list.lineCallbacks.clear(); // the spooler goes on working
    EXPECT_EQ(f.spooler->SpoolGrid(list, OptionsFor(f)).Code, 1);
}

TEST(SpoolGrid, CallbacksProgressAndCurrentRecordOnly)
{
    SpoolFixture f;
    TestGrid g = SevenColumnGrid();
    ListDescription list = ListOf(g);
    std::string phases;
    list.footerCallback = [&](const GridRecord* record, std::string& footer, int phase) {
        phases += std::to_string(phase);
        if (record)
            footer += record->field("A").value_or("?") + ";";
    };
    list.lineCallbacks.push_back([](const GridRecord* record, int number, std::string& text) {
        text = "extra " + record->field("C").value_or("?") + " " + std::to_string(number);
    });
    auto r = f.spooler->SpoolGrid(list, OptionsFor(f));
    ASSERT_EQ(r.Code, 1);
    EXPECT_EQ(phases, "01112");
    EXPECT_EQ(f.job(r.JobId, "FTEXT"), "1003;1002;1001;");
    EXPECT_EQ(f.job(r.JobId, "Footer"), "1");
    EXPECT_EQ(f.details(r.JobId, "ds"), (Rows{{"extra 01.04.2006 0"}, {"extra 02.04.2006 0"}, {"extra 03.04.2006 0"}}));

    // Cancel after the first row: the job is still finished, with that row.
    SpoolJobOptions cancelled = OptionsFor(f);
    int calls = 0;
    cancelled.Progress = [&] { return ++calls == 1; };
    r = f.spooler->SpoolGrid(ListOf(g), cancelled);
    EXPECT_EQ(r.Code, 1);
    EXPECT_EQ(f.job(r.JobId, "PRIO"), "2");
    EXPECT_EQ(f.details(r.JobId, "d1"), (Rows{{"1003"}}));

    // Only the current row; detail mode 1 writes no rows at all.
    g.data.SetCurrentRow(1);
    ListDescription one = ListOf(g);
    one.currentRecordOnly = true;
    SpoolJobOptions named = OptionsFor(f);
    named.PrintName = std::string("Einzeln");
    r = f.spooler->SpoolGrid(one, named);
    EXPECT_EQ(f.details(r.JobId, "d1"), (Rows{{"1002"}}));
    EXPECT_EQ(f.job(r.JobId, "PrintName"), "Einzeln");
    named.DetailMode = 1;
    r = f.spooler->SpoolGrid(one, named);
    EXPECT_EQ(f.details(r.JobId, "d1"), Rows{});
}

TEST(SpoolGrid, PrinterSelectionByOptionOrShiftAndItsCancel)
{
    SpoolFixture f;
    auto& def = f.rt.runtime().settings->PrinterDef;
    def.DEFAULT = "Laser";
    def.DBIN = "Schacht 1";
    def.DuplexType = 7; // not a duplex choice: the window preselects "kein"
    def.Copies_Caption_op[0] = "Original\r\nKopie";
    def.mailMAPI = true;
    def.mailMAPI_Index = "3";
    def.mailMAPI_Kind = 1;
    def.mailMAPI_Profil = "Outlook";
    def.mailMAPI_ProfilePassword = "geheim";
    TestGrid g = SevenColumnGrid();
    const ListDescription list = ListOf(g);
    SpoolJobOptions request = OptionsFor(f);

    // Without an active window of the program nothing is asked, whatever the option says.
    request.PrinterSelection = true;
    auto r = f.spooler->SpoolGrid(list, request);
    EXPECT_EQ(r.Code, 1);
    EXPECT_TRUE(f.rt.dialogs().printTargetRequests.empty());
    request.PrinterSelection = false;
    f.spooler->ApplicationActive = [] { return true; };

    // Neither the option nor Shift: no window, the defaults of TOVIK.INI.
    r = f.spooler->SpoolGrid(list, request);
    EXPECT_TRUE(f.rt.dialogs().printTargetRequests.empty());
    EXPECT_EQ(f.job(r.JobId, "PRINTERBIN1"), "\"Schacht 1\"");
    EXPECT_EQ(f.job(r.JobId, "Caption"), "Original\r\nKopie");
    EXPECT_EQ(f.job(r.JobId, "X4"), "3\r\n1\r\nOutlook\r\ngeheim");

    // Shift alone asks even without the option; a cancel writes nothing.
    f.spooler->ShiftOnlyHeld = [] { return true; };
    r = f.spooler->SpoolGrid(list, request);
    EXPECT_EQ(r.Code, 0);
    EXPECT_TRUE(r.error.empty());
    ASSERT_EQ(f.rt.dialogs().printTargetRequests.size(), 1u);
    const PrintTargetRequest& asked = f.rt.dialogs().printTargetRequests[0];
    EXPECT_EQ(asked.printerName, "Laser");
    EXPECT_EQ(asked.binName, "Schacht 1");
    EXPECT_EQ(asked.duplex, 0);
    EXPECT_FALSE(asked.showPdfChoices);
    EXPECT_EQ(f.count("SPOOL"), 2);

    f.spooler->ShiftOnlyHeld = nullptr;
    request.PrinterSelection = true;
    f.rt.dialogs().printTargetAnswers.push_back(PrintTargetChoice{"Tinte", std::string("Fach 2"), 0, 2});
    r = f.spooler->SpoolGrid(list, request);
    EXPECT_EQ(r.Code, 1); // at least one copy
    EXPECT_EQ(f.job(r.JobId, "PRINTERNAME"), "Tinte");
    EXPECT_EQ(f.job(r.JobId, "PRINTERBIN1"), "\"Fach 2\"");
    EXPECT_EQ(f.job(r.JobId, "RTPID"), "2");
    EXPECT_EQ(f.job(r.JobId, "COPIES"), "1");
}

TEST(SpoolGrid, ReportLayoutFromTheSettingsAndTheLayoutFile)
{
    test::SettingsDb db;
    CreateSettings(db.rt.runtime());
    CreateSpooler(db.rt.runtime());
    TExtSpooler& spooler = *db.rt.runtime().spooler;
    spooler.LaunchProgram = [](const std::filesystem::path&) { return true; };
    db.putLogo(31, CompressBlob("Bericht Zeile 1\r\nZeile 2"));
    db.putLogo(32, CompressBlob("aus den Einstellungen"));
    spooler.AttachConnection(db.db.conn);
    TestGrid g = SevenColumnGrid();
    SpoolJobOptions options;
    options.Settings = db.rt.runtime().settings.get();
    auto r = spooler.SpoolGrid(ListOf(g), options);
    ASSERT_EQ(r.Code, 1);
    const auto spoolFile = spooler.SpoolDirectory() / SpoolTableName;
    auto field = [&](const char* name) {
        return test::QueryValue(spoolFile, std::string("SELECT ") + name + " FROM SPOOL WHERE ID=" + std::to_string(r.JobId));
    };
    EXPECT_EQ(DecompressOrCopy(field("RPT")), "Bericht Zeile 1\r\nZeile 2\r\n"); // a text list, each line ended
    EXPECT_EQ(field("DATAGRIDDATA"), "aus den Einstellungen\r\n");

    test::WriteFile(db.db / "LST_SLAYB.DA", "aus der Datei\r\n");
    r = spooler.SpoolGrid(ListOf(g), options);
    EXPECT_EQ(field("DATAGRIDDATA"), "aus der Datei\r\n");
    spooler.Shutdown();
}

TEST(SpoolGrid, TheHostsSettingsTableIsOnlyReadForItsLayouts)
{
    // A host whose settings table keeps a rollback journal: reading a layout from it must leave the
    // file byte for byte as it was, in its journal mode, and no side file beside it.
    test::SettingsDb db;
    CreateSettings(db.rt.runtime());
    CreateSpooler(db.rt.runtime());
    TExtSpooler& spooler = *db.rt.runtime().spooler;
    spooler.LaunchProgram = [](const std::filesystem::path&) { return true; };
    db.putLogo(31, CompressBlob("Bericht Zeile 1\r\nZeile 2"));
    db.table.Close();
    const auto setup = db.db / "setup.ADT";
    test::ExecSql(setup, "PRAGMA journal_mode=DELETE");
    const std::string before = test::ReadFile(setup);
    spooler.AttachConnection(db.db.conn);
    TestGrid g = SevenColumnGrid();
    SpoolJobOptions options;
    options.Settings = db.rt.runtime().settings.get();
    const auto r = spooler.SpoolGrid(ListOf(g), options);
    ASSERT_EQ(r.Code, 1);
    EXPECT_EQ(DecompressOrCopy(test::QueryValue(spooler.SpoolDirectory() / SpoolTableName,
                                                "SELECT RPT FROM SPOOL WHERE ID=" + std::to_string(r.JobId))),
              "Bericht Zeile 1\r\nZeile 2\r\n");
    EXPECT_FALSE(std::filesystem::exists(db.db / "setup.ADT-wal")) << "no side file while open";
    EXPECT_FALSE(std::filesystem::exists(db.db / "setup.ADT-shm"));
    spooler.Shutdown();
    EXPECT_EQ(test::ReadFile(setup), before) << "not one byte changed";
    EXPECT_EQ(test::QueryValue(setup, "PRAGMA journal_mode"), "delete");
}

TEST(SpoolGrid, KillingTheWriterLeavesNoVisibleHalfJob)
{
    SpoolFixture f;
    CreateSpoolTables(f.spoolDir(), false);
    int pipeFds[2];
    ASSERT_EQ(::pipe(pipeFds), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        // The writer: stops in the middle of a large job and waits to be killed.
        ::close(pipeFds[0]);
        TExtSpooler writer(f.spoolDir(), f.rt.dir());
        writer.LaunchProgram = [](const std::filesystem::path&) { return true; };
        TestGrid g({"A"});
        g.grid.columns = {{"A", "A", 40, 0, 0}};
        for (int i = 0; i < 5000; ++i)
            g.data.addRow({std::to_string(i)});
        SpoolJobOptions options;
        int rows = 0;
        options.Progress = [&] {
            if (++rows == 2500) {
                (void)!::write(pipeFds[1], "x", 1);
                ::pause();
            }
            return false;
        };
        writer.SpoolGrid(ListOf(g), options);
        ::_exit(0);
    }
    ::close(pipeFds[1]);
    char c = 0;
    ASSERT_EQ(::read(pipeFds[0], &c, 1), 1);
    ::kill(child, SIGKILL);
    int status = 0;
    ::waitpid(child, &status, 0);
    ::close(pipeFds[0]);

    EXPECT_EQ(f.count("SPOOL", "PRIO>0"), 0); // nothing a processor would take
    EXPECT_EQ(f.count("DET"), 0);            // the rows were never committed
    f.spooler->EnsureSpoolTables(false);     // the next start removes the unfinished job
    EXPECT_EQ(f.count("SPOOL"), 0);
}

TEST(Shutdown, PurgesUnfinishedJobsAndClosesAnIdlePrintProcessor)
{
    SpoolFixture f;
    f.spooler->EnsureSpoolTables(false);
    test::ExecSql(f.spoolFile(), "INSERT INTO SPOOL(ID, PRIO, ISMAIL) VALUES(90, 0, 0), (91, 560, 1)");
    {
        ProcessorLock processor(f.spoolDir(), ProcessorKind::Print);
        ASSERT_TRUE(processor.held());
        f.spooler->Shutdown();
        EXPECT_TRUE(TakeCloseRequest(f.spoolDir(), ProcessorKind::Print));
    }
    EXPECT_EQ(f.count("SPOOL"), 1); // the PDF job waits for its processor
}

TEST(Shutdown, TheLastWindowClosesAnIdlePdfProcessorAnotherWindowKeepsIt)
{
    SpoolFixture f;
    f.spooler->EnsureSpoolTables(false);
    ProcessorLock processor(f.spoolDir(), ProcessorKind::Pdf);
    ASSERT_TRUE(processor.held());
    {
        // Another program of the module still has the spool open.
        TExtSpooler other(f.spoolDir(), f.rt.dir());
        other.LaunchProgram = [](const std::filesystem::path&) { return true; };
        other.EnsureSpoolTables(false);
        f.spooler->Shutdown();
        EXPECT_FALSE(TakeCloseRequest(f.spoolDir(), ProcessorKind::Pdf)) << "the other window may still need it";
        // The other one is the last; a PDF job still waiting keeps the processor too.
        test::ExecSql(f.spoolFile(), "INSERT INTO SPOOL(ID, PRIO, ISMAIL) VALUES(93, 560, 1)");
        other.Shutdown();
        EXPECT_FALSE(TakeCloseRequest(f.spoolDir(), ProcessorKind::Pdf));
    }
    test::ExecSql(f.spoolFile(), "DELETE FROM SPOOL WHERE ID=93");
    TExtSpooler last(f.spoolDir(), f.rt.dir());
    last.LaunchProgram = [](const std::filesystem::path&) { return true; };
    last.EnsureSpoolTables(false);
    last.Shutdown();
    EXPECT_TRUE(TakeCloseRequest(f.spoolDir(), ProcessorKind::Pdf));
}

TEST(Shutdown, LeavesAPrintProcessorWithWorkRunning)
{
    SpoolFixture f;
    f.spooler->EnsureSpoolTables(false);
    test::ExecSql(f.spoolFile(), "INSERT INTO SPOOL(ID, PRIO, ISMAIL) VALUES(92, 2, 0)");
    ProcessorLock processor(f.spoolDir(), ProcessorKind::Print);
    f.spooler->Shutdown();
    EXPECT_FALSE(TakeCloseRequest(f.spoolDir(), ProcessorKind::Print));
}

} // namespace
} // namespace gs
