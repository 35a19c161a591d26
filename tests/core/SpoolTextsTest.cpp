// The texts the spooler derives: PDF paths, rich-text titles, the workstation tag, the processor
// lock contract.
#include "settings/Settings.h"
#include "settings/UserMode.h"
#include "spool/ExtSpooler.h"
#include "spool/PdfPath.h"
#include "spool/ProcessorContract.h"
#include "spool/TextToRtf.h"
#include "support/SpoolTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace gs {
namespace {

TEST(PdfPath, JobNamesAndFileNamesAreMadeSafe)
{
    struct Case {
        const char* jobName;
        const char* subPath;
    } subPaths[] = {{"GEWINN", "GEWINN/"}, {"Gewinn/Verlust 2006", "GewinnVerlust2006/"}, {"", ""},
                    {"../..", ""}, {"Größe?#+*~!\"§&()[]{}:;,=<>|\\.ä", "Grße/"}};
    for (const Case& c : subPaths)
        EXPECT_EQ(PdfSubPath(c.jobName), c.subPath) << c.jobName;

    EXPECT_EQ(PdfFileName("GEWINN-10.12.2026 13:05:09-", 0), "GEWINN-10_12_2026_13_05_09-.PDF");
    EXPECT_EQ(PdfFileName("Rechnung ", 4711), "Rechnung_4711.PDF");
    EXPECT_EQ(PdfFileName("a\r\nb\tc", -3), "abc.PDF");
    EXPECT_EQ(PdfFileName("Ärger/ärger", 0), "Ärger__rger.PDF"); // only ASCII letters are lowered
    EXPECT_EQ(PdfFolderOfX5(" 0 Firma"), "Firma");
    EXPECT_EQ(PdfFolderOfX5("R12  Firma  "), "Firma");
    EXPECT_EQ(PdfPathOfJob("/pdf", " 0 Firma", "GEWINN/", "Liste", 0), "/pdf/Firma/GEWINN/Liste.PDF");
    EXPECT_EQ(PdfPathOfJob("/pdf/", " 0 ", "", "Liste", 0), "/pdf/Liste.PDF");
}

TEST(PdfPath, SpoolerCreatesTheDirectoryAndRemovesAnOldMarker)
{
    test::SpoolFixture f;
    f.rt.runtime().settings->PrinterDef.BackupDir = (f.rt.dir() / "pdf").string() + "/";
    std::filesystem::create_directories(f.spoolDir() / "PDFX");
    test::WriteFile(f.spoolDir() / "PDFX" / "Liste-7.PDF", "old marker");
    std::string subPath;
    SpoolJobOptions options;
    options.Settings = f.rt.runtime().settings.get();
    const std::string path = f.spooler->BuildPdfPath(options, "Gewinn Liste", "Liste", 0, " 0 Firma", subPath, 7);
    EXPECT_EQ(path, (f.rt.dir() / "pdf" / "Firma" / "GewinnListe" / "Liste-7.PDF").string());
    EXPECT_EQ(subPath, "GewinnListe/");
    EXPECT_TRUE(std::filesystem::is_directory(f.rt.dir() / "pdf" / "Firma" / "GewinnListe"));
    EXPECT_FALSE(std::filesystem::exists(f.spoolDir() / "PDFX" / "Liste-7.PDF"));

    // A file (or a link) already under the job's name is never taken over: the next counter is.
    test::WriteFile(path, "older list of a job 7 before the tables were made anew");
    std::filesystem::create_symlink("/nowhere", f.rt.dir() / "pdf" / "Firma" / "GewinnListe" / "Liste-7_2.PDF");
    EXPECT_EQ(f.spooler->BuildPdfPath(options, "Gewinn Liste", "Liste", 0, " 0 Firma", subPath, 7),
              (f.rt.dir() / "pdf" / "Firma" / "GewinnListe" / "Liste-7_3.PDF").string());

    // A database folder that is no folder name gives no path at all.
    EXPECT_THROW(f.spooler->BuildPdfPath(options, "Gewinn", "Liste", 0, " 0 ..", subPath, 8), Error);
}

TEST(PdfPath, EveryJobHasANameOfItsOwn)
{
    const struct {
        const char* printName;
        long long idOrder;
        std::int64_t job;
        int counter;
        std::string name;
    } cases[] = {
        {"GEWINN-10.12.2026 13:05:09-", 0, 123, 1, "GEWINN-10_12_2026_13_05_09-123.PDF"},
        {"GEWINN-10.12.2026 13:05:09-", 0, 124, 1, "GEWINN-10_12_2026_13_05_09-124.PDF"},
        {"Rechnung ", 4711, 9, 1, "Rechnung_4711-9.PDF"},
        {"Liste", 0, 5, 3, "Liste-5_3.PDF"},
        {"", 0, 5, 1, "5.PDF"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(PdfJobFileName(c.printName, c.idOrder, c.job, c.counter), c.name) << c.printName;
    // A print name of 100 characters of two bytes each still gives a name of at most 255 bytes,
    // cut between characters.
    std::string wide;
    for (int i = 0; i < 100; ++i)
        wide += "Ü";
    const std::string name = PdfJobFileName(wide, 0, 2147483647, 999);
    EXPECT_LE(name.size(), 255u);
    EXPECT_TRUE(name.ends_with("-2147483647_999.PDF")) << name;
    EXPECT_EQ(name.rfind("ÜÜ", 0), 0u);
    EXPECT_EQ(name.find("Ü-"), name.size() - std::string("Ü-2147483647_999.PDF").size()) << "cut between characters";
}

TEST(PdfPath, HostileSpoolRowsAreRefused)
{
    // The values of a job row as a processor reads them, and where its PDF goes: into the announced
    // file below the PDF folder, or nowhere (the refusal names the field).
    const std::string own = "/pdf/Firma/GEWINN/Liste-42.PDF";
    const struct {
        const char* what;
        std::string x5, subPath, printName, announced, backupDir;
        std::string file;    // empty: refused
        const char* because; // part of the refusal
    } cases[] = {
        {"announced path", " 0 Firma", "GEWINN/", "Liste", own, "/anderswo/", own, ""},
        {"announced with a counter", " 0 Firma", "GEWINN/", "Liste", "/pdf/Firma/GEWINN/Liste-42_2.PDF", "",
         "/pdf/Firma/GEWINN/Liste-42_2.PDF", ""},
        {"no announced path: TOVIK.INI", " 0 Firma", "GEWINN/", "Liste", "", "/ini/", "/ini/Firma/GEWINN/Liste-42.PDF", ""},
        {"no folder, no subfolder", " 0 ", "", "Liste", "/pdf/Liste-42.PDF", "", "/pdf/Liste-42.PDF", ""},
        {"print name with separators", " 0 Firma", "", "../../x", "/pdf/Firma/______x-42.PDF", "",
         "/pdf/Firma/______x-42.PDF", ""},
        {"X5 climbs", " 0 ..", "GEWINN/", "Liste", "", "/pdf/", "", "Datenbankordner"},
        {"X5 with a separator", " 0 ../etc", "", "Liste", "", "/pdf/", "", "Trennzeichen"},
        {"X5 with a backslash", " 0 a\\b", "", "Liste", "", "/pdf/", "", "Trennzeichen"},
        {"X5 with a line break", " 0 a\nb", "", "Liste", "", "/pdf/", "", "Steuerzeichen"},
        {"SubPath climbs", " 0 Firma", "../", "Liste", "", "/pdf/", "", "SubPath"},
        {"SubPath absolute", " 0 Firma", "/etc/", "Liste", "", "/pdf/", "", "SubPath"},
        {"SubPath two levels", " 0 Firma", "a/b/", "Liste", "", "/pdf/", "", "SubPath"},
        {"SubPath only a separator", " 0 Firma", "/", "Liste", "", "/pdf/", "", "SubPath"},
        {"SubPath too long", " 0 Firma", std::string(254, 'a') + "aa/", "Liste", "", "/pdf/", "", "zu lang"},
        {"announced relative", " 0 Firma", "GEWINN/", "Liste", "Firma/GEWINN/Liste-42.PDF", "", "", "absolut"},
        {"announced climbs", " 0 Firma", "GEWINN/", "Liste", "/pdf/../etc/Firma/GEWINN/Liste-42.PDF", "", "",
         "anderen Ordner"},
        {"announced elsewhere", " 0 Firma", "GEWINN/", "Liste", "/pdf/Andere/GEWINN/Liste-42.PDF", "", "",
         "Ordner des Auftrags"},
        {"announced other job", " 0 Firma", "GEWINN/", "Liste", "/pdf/Firma/GEWINN/Liste-41.PDF", "", "", "Dateinamen"},
        {"announced other name", " 0 Firma", "GEWINN/", "Liste", "/pdf/Firma/GEWINN/.bashrc", "", "", "Dateinamen"},
        {"announced counter not a number", " 0 Firma", "GEWINN/", "Liste", "/pdf/Firma/GEWINN/Liste-42_x.PDF", "", "",
         "Dateinamen"},
        {"announced at the root", " 0 Firma", "GEWINN/", "Liste", "/Firma/GEWINN/Liste-42.PDF", "", "", "PDF-Ordner"},
        {"no path and no PDF folder", " 0 Firma", "GEWINN/", "Liste", "", "", "", "Kein PDF-Verzeichnis"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const PdfTarget t = PdfTargetOfJob({42, c.x5, c.subPath, c.printName, 0, c.announced}, c.backupDir);
        EXPECT_EQ(t.file.string(), c.file);
        if (c.file.empty()) {
            EXPECT_NE(t.problem.find(c.because), std::string::npos) << t.problem;
            EXPECT_EQ(t.problem.find('\n'), std::string::npos) << "one log line";
        } else {
            EXPECT_EQ(t.problem, "");
            EXPECT_EQ(t.file.parent_path().string().rfind(t.baseDir.string(), 0), 0u);
        }
    }
}

TEST(TextToRtf, WrapsPlainTextAsTheHostDoes)
{
    test::TestRuntime rt;
    const std::string head10 =
        "{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1031{\\fonttbl{\\f0\\fswiss\\fprq2\\fcharset0 Arial;}"
        "{\\f1\\fswiss\\fcharset0 Arial;}}{\\*\\generator Kvelt;}\\viewkind4\\uc1\\pard\\b\\f0\\fs20\\par";
    EXPECT_EQ(TextToRtf("Gewinne"), head10 + "\r\nGewinne\\bo\\fa\\fs20\\par}");
    EXPECT_EQ(ReadModeInteger("TFGridPrinterClass.Text2RtfSize.Size", -1), 10); // written back
    EXPECT_EQ(TextToRtf("Größe Über\r\nÄrger"),
              head10 + "\r\nGr\\'f6\\'dfe \\'dcber\\par\r\n\\'c4rger\\bo\\fa\\fs20\\par}");
    WriteModeInteger("TFGridPrinterClass.Text2RtfSize.Size", 12);
    const std::string rtf12 = TextToRtf("x");
    EXPECT_NE(rtf12.find("\\f0\\fs24\\par\r\nx"), std::string::npos);
    EXPECT_EQ(rtf12.substr(rtf12.size() - 16), "\\bo\\fa\\fs20\\par}"); // the closing group stays
    EXPECT_EQ(TextToRtf(rtf12), rtf12);
}

TEST(ComputerTag, DropsTheCharactersThatCannotStandInATag)
{
    EXPECT_EQ(MakeComputerTag("Max Muster", "PC:01/\\?*<>,|'\""), "MaxMuster-PC01");
    EXPECT_EQ(MakeComputerTag("", "pc"), "-pc");
    EXPECT_FALSE(ComputerTag().empty());
}

TEST(ProcessorContract, TheLockTellsWhetherAProcessorRuns)
{
    test::TempDir dir;
    EXPECT_FALSE(ProcessorRunning(dir.path(), ProcessorKind::Pdf));
    {
        ProcessorLock first(dir.path(), ProcessorKind::Pdf);
        ASSERT_TRUE(first.held());
        ProcessorLock second(dir.path(), ProcessorKind::Pdf);
        EXPECT_FALSE(second.held()); // a second copy exits
        EXPECT_TRUE(ProcessorRunning(dir.path(), ProcessorKind::Pdf));
        EXPECT_FALSE(ProcessorRunning(dir.path(), ProcessorKind::Print));
    }
    EXPECT_FALSE(ProcessorRunning(dir.path(), ProcessorKind::Pdf));
    EXPECT_FALSE(TakeCloseRequest(dir.path(), ProcessorKind::Print));
    EXPECT_TRUE(RequestProcessorClose(dir.path(), ProcessorKind::Print));
    EXPECT_FALSE(TakeCloseRequest(dir.path(), ProcessorKind::Pdf));
    EXPECT_TRUE(TakeCloseRequest(dir.path(), ProcessorKind::Print));
    EXPECT_FALSE(TakeCloseRequest(dir.path(), ProcessorKind::Print));
}

TEST(StartOutputProcessors, LaunchesOnlyMissingProcessorsOneLauncherAtATime)
{
    test::SpoolFixture f;
    std::filesystem::create_directories(f.spoolDir());
    {
        ProcessorLock running(f.spoolDir(), ProcessorKind::Print);
        f.spooler->StartOutputProcessors(false);
        EXPECT_TRUE(f.spooler->RunItems()[0].Enabled); // nothing to launch
    }
    f.spooler->StartOutputProcessors(true); // first start in the process: at once, both kinds
    EXPECT_FALSE(f.spooler->RunItems()[0].Enabled);
    EXPECT_FALSE(f.spooler->RunItems()[1].Enabled);
    f.spooler->StartOutputProcessors(true); // launches under way: no second launcher
    f.spooler->Shutdown();                  // waits for the launchers and takes their reports
    std::sort(f.launched.begin(), f.launched.end()); // the two launchers run side by side
    EXPECT_EQ(f.launched, (std::vector<std::filesystem::path>{f.rt.dir() / "gewinnstatistik-pdfproc",
                                                              f.rt.dir() / "gewinnstatistik-printproc"}));
    for (const TSpoolerRunItem& item : f.spooler->RunItems()) {
        EXPECT_TRUE(item.Enabled);
        EXPECT_FALSE(item.FirstStart);
    }
}

TEST(StartOutputProcessors, LaterStartsWaitForTheProcessorBeforeLaunching)
{
    test::SpoolFixture f;
    std::filesystem::create_directories(f.spoolDir());
    f.spooler->StartOutputProcessors(false);
    f.spooler->ProcessLauncherReports();
    for (int i = 0; i < 2000 && !f.spooler->RunItems()[0].Enabled; ++i) { // bounded, long enough for a busy machine
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        f.spooler->ProcessLauncherReports();
    }
    ASSERT_TRUE(f.spooler->RunItems()[0].Enabled);
    ASSERT_FALSE(f.spooler->RunItems()[0].FirstStart);
    f.spooler->StartOutputProcessors(false);
    // The processor comes up while the launcher waits: it is not started a second time.
    std::unique_ptr<ProcessorLock> appeared;
    for (int i = 0; i < 1000 && !(appeared && appeared->held()); ++i) // the launcher's trial lock is brief
        appeared = std::make_unique<ProcessorLock>(f.spoolDir(), ProcessorKind::Print);
    ASSERT_TRUE(appeared->held());
    f.spooler->ProcessLauncherReports();
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    f.spooler->ProcessLauncherReports();
    EXPECT_TRUE(f.spooler->RunItems()[0].Enabled);
    EXPECT_EQ(f.launched.size(), 1u);
}

TEST(StartOutputProcessors, TheRealLaunchStartsTheProgramDetached)
{
    test::SpoolFixture f;
    std::filesystem::create_directories(f.spoolDir());
    const auto program = f.rt.dir() / "gewinnstatistik-printproc";
    const auto marker = f.rt.dir() / "started";
    // Written aside and moved, so the marker is whole when it appears.
    test::WriteFile(program, "#!/bin/sh\necho \"$PWD\" > started.part && mv started.part started\n");
    std::filesystem::permissions(program, std::filesystem::perms::owner_all);
    f.spooler->LaunchProgram = TExtSpooler(f.spoolDir(), f.rt.dir()).LaunchProgram; // the default
    f.spooler->StartOutputProcessors(false);
    f.spooler->Shutdown();
    // The program runs on its own: wait a bounded while (long enough for a busy machine).
    for (int i = 0; i < 2000 && !std::filesystem::exists(marker); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    ASSERT_TRUE(std::filesystem::exists(marker));
    EXPECT_EQ(test::ReadFile(marker), f.rt.dir().string() + "\n"); // runs in the program's directory
}

} // namespace
} // namespace gs
