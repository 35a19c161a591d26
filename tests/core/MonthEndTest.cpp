// Month-end runs without the window: periods relative to a day, the report's new options, the
// period's file names and the rule that only regular files are written.
#include "app/OutputFiles.h"
#include "app/RelativePeriod.h"
#include "app/ReportOptions.h"
#include "base/Error.h"
#include "spool/XlsxWorkbook.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

using namespace gs;
using namespace gs::test;

TEST(RelativePeriod, ResolvesAcrossMonthQuarterAndYearEnds)
{
    struct Case {
        const char* name;
        int year, month; // today
        int wantYear, wantIndex;
    };
    // Index: 0 whole year, 1-4 quarters, 5 January ... 16 December.
    const Case cases[] = {
        {"Vormonat", 2026, 12, 2026, 15},          {"Vormonat", 2026, 1, 2025, 16},
        {"Vormonat", 2026, 3, 2026, 6},            {"vormonat", 2026, 4, 2026, 7},
        {"Vorquartal", 2026, 1, 2025, 4},          {"Vorquartal", 2026, 3, 2025, 4},
        {"Vorquartal", 2026, 4, 2026, 1},          {"Vorquartal", 2026, 12, 2026, 3},
        {"Vorjahr", 2026, 1, 2025, 0},             {"Vorjahr", 2026, 12, 2025, 0},
        {"laufender Monat", 2026, 1, 2026, 5},     {"Laufender Monat", 2026, 12, 2026, 16},
        {"laufendes Quartal", 2026, 3, 2026, 1},   {"laufendes Quartal", 2026, 10, 2026, 4},
        {"laufendes Jahr", 2026, 7, 2026, 0},
    };
    for (const Case& c : cases) {
        const auto period = RelativePeriodFromText(c.name);
        ASSERT_TRUE(period) << c.name;
        const ResolvedPeriod r = ResolveRelativePeriod(*period, c.year, c.month);
        EXPECT_EQ(r.year, c.wantYear) << c.name << " " << c.year << "-" << c.month;
        EXPECT_EQ(r.periodIndex, c.wantIndex) << c.name << " " << c.year << "-" << c.month;
    }
    EXPECT_FALSE(RelativePeriodFromText("Vorvormonat"));
    EXPECT_FALSE(RelativePeriodFromText("März"));
}

TEST(RelativePeriod, TodayFromTheOptionOrTheClockAndTheYearOfTheCommandLine)
{
    // --today on the first of a month, as a timer runs it: the month before, across the year end.
    auto r = ParseReportOptions({"/db", "--period", "Vormonat", "--today", "2026-01-01"});
    ASSERT_TRUE(r.options) << r.problem;
    ReportOptions o = *r.options;
    EXPECT_EQ(ApplyRelativePeriod(o, CalendarDay{1999, 6, 1}, 1), "");
    EXPECT_EQ(o.yearText, "2025");
    EXPECT_EQ(o.periodIndex, 16);

    // Without --today the clock's day counts; --year stands for its year.
    r = ParseReportOptions({"/db", "--year", "2024", "--period", "laufendes Quartal"});
    ASSERT_TRUE(r.options) << r.problem;
    o = *r.options;
    EXPECT_EQ(ApplyRelativePeriod(o, CalendarDay{2026, 11, 20}, 1), "");
    EXPECT_EQ(o.yearText, "2024");
    EXPECT_EQ(o.periodIndex, 4);

    // A period before the year 1 is refused, not run.
    r = ParseReportOptions({"/db", "--year", "0001", "--period", "Vorjahr"});
    ASSERT_TRUE(r.options) << r.problem;
    o = *r.options;
    EXPECT_NE(ApplyRelativePeriod(o, CalendarDay{2026, 1, 1}, 1), "");

    EXPECT_TRUE(ParseIsoDay("2024-02-29"));
    for (const char* bad : {"2023-02-29", "2026-13-01", "2026-1-01", "26-01-01", "2026/01/01", "0000-01-01", ""})
        EXPECT_FALSE(ParseIsoDay(bad)) << bad;
}

TEST(ReportOptions, FileOutputsAndTheOutputFolder)
{
    auto r = ParseReportOptions({"/db", "--year", "2026", "--xlsx", "a.xlsx", "--chart", "b.SVG", "--lines", "--size",
                                 "1200x700", "--pdf", "c.pdf"});
    ASSERT_TRUE(r.options) << r.problem;
    EXPECT_EQ(r.options->xlsxFile, "a.xlsx");
    EXPECT_EQ(r.options->chartFile, "b.SVG");
    EXPECT_TRUE(r.options->chartLines);
    EXPECT_EQ(r.options->chartWidth, 1200);
    EXPECT_EQ(r.options->chartHeight, 700);
    EXPECT_TRUE(r.options->writesFiles());

    // With --output the outputs take no file names; the chart's format is optional.
    r = ParseReportOptions({"/db", "--period", "Vormonat", "--output", "/out", "--pdf", "--xlsx", "--chart", "--format", "csv"});
    ASSERT_TRUE(r.options) << r.problem;
    EXPECT_EQ(r.options->outputDir, "/out");
    EXPECT_TRUE(r.options->outputPdf && r.options->outputXlsx && r.options->outputFormat);
    EXPECT_EQ(r.options->outputChart, "png");
    EXPECT_TRUE(r.options->pdfFile.empty());
    r = ParseReportOptions({"/db", "--year", "2026", "--chart", "svg", "--output", "/out"});
    ASSERT_TRUE(r.options) << r.problem;
    EXPECT_EQ(r.options->outputChart, "svg");

    const std::vector<std::vector<std::string>> bad = {
        {"/db", "--period", "Vormonat", "--today", "2026-02-30"},
        {"/db", "--year", "2026", "--xlsx"},
        {"/db", "--year", "2026", "--chart", "bild.jpg"},
        {"/db", "--year", "2026", "--chart", "a.png", "--size", "1200"},
        {"/db", "--year", "2026", "--chart", "a.png", "--size", "0x700"},
        {"/db", "--year", "2026", "--lines"},
        {"/db", "--year", "2026", "--output", "/out"},
        {"/db", "--year", "2026", "--xlsx", "a.xlsx", "--spool", "pdf"},
        {"/db", "--today", "2026-01-01"}, // no year and no relative period
    };
    const std::string usage = ReportUsage("gewinnstatistik-report");
    for (const char* option : {"--xlsx", "--chart", "--lines", "--size", "--output", "--today", "Vormonat"})
        EXPECT_NE(usage.find(option), std::string::npos) << option << " is not in the usage text";

    for (const auto& args : bad) {
        const auto p = ParseReportOptions(args);
        EXPECT_FALSE(p.options) << args.back();
        EXPECT_FALSE(p.problem.empty());
    }
}

TEST(OutputFiles, NamesMadeFromThePeriod)
{
    EXPECT_EQ(PeriodFileStem("2026", 0), "GEWINN-2026");
    EXPECT_EQ(PeriodFileStem("2026", 4), "GEWINN-2026-Q4");
    EXPECT_EQ(PeriodFileStem("2026", 1), "GEWINN-2026-Q1");
    EXPECT_EQ(PeriodFileStem("2026", 5), "GEWINN-2026-01");
    EXPECT_EQ(PeriodFileStem("2026", 15), "GEWINN-2026-11");
    EXPECT_EQ(PeriodFileStem("2026", 16), "GEWINN-2026-12");
}

TEST(OutputFiles, OnlyRegularFilesAreWritten)
{
    TempDir dir;
    WriteFile(dir / "regular", "x");
    EXPECT_NO_THROW(RequireRegularTarget(dir / "regular"));
    EXPECT_NO_THROW(RequireRegularTarget(dir / "absent"));
    std::filesystem::create_directory(dir / "folder");
    ASSERT_EQ(::mkfifo((dir / "fifo").c_str(), 0644), 0);
    std::filesystem::create_symlink(dir / "regular", dir / "link");
    std::filesystem::create_symlink(dir / "nowhere", dir / "dangling");
    const std::filesystem::path refused[] = {dir / "folder", dir / "fifo", dir / "link", dir / "dangling", "/dev/null"};
    for (const auto& p : refused)
        EXPECT_THROW(RequireRegularTarget(p), Error) << p;
}

TEST(OutputFiles, AFailedWriteLeavesTheOldFileAndNoTemporaryFile)
{
    TempDir dir;
    const auto file = dir / "GEWINN-2026-11.pdf";
    WriteFile(file, "old");
    EXPECT_THROW(WriteThroughTemporary(file,
                                       [](const std::filesystem::path& temp) {
                                           WriteFile(temp, "half");
                                           throw Error("kaputt");
                                       }),
                 Error);
    EXPECT_EQ(ReadFile(file), "old");
    WriteThroughTemporary(file, [](const std::filesystem::path& temp) { WriteFile(temp, "new"); });
    EXPECT_EQ(ReadFile(file), "new");
    size_t entries = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(dir.path()))
        ++entries;
    EXPECT_EQ(entries, 1u);
    struct stat st {};
    ASSERT_EQ(::stat(file.c_str(), &st), 0);
    EXPECT_NE(st.st_mode & S_IRGRP, 0u) << "a month-end file is readable like any other the user writes";
}

TEST(XlsxWorkbook, ColumnWidthsFollowTheLongestCell)
{
    XlsxSheet sheet;
    sheet.captions = {"Auftrag", "Adresse", "Nettowert", "Datum"};
    sheet.rows = {{XlsxCell::Number(101877), XlsxCell::Of("Schubert, Björn"), XlsxCell::Money(-1234567.5),
                   XlsxCell::Date(46000)},
                  {XlsxCell::Number(7), XlsxCell::Of(std::string(200, 'x')), XlsxCell::Money(0), XlsxCell{}}};
    EXPECT_EQ(XlsxColumnWidth(sheet, 0), 7 + 3 + 2);  // the caption with its filter button
    EXPECT_EQ(XlsxColumnWidth(sheet, 1), 60);         // capped
    EXPECT_EQ(XlsxColumnWidth(sheet, 2), 15 + 2);     // "-1.234.567,50 €"
    EXPECT_EQ(XlsxColumnWidth(sheet, 3), 10 + 2);     // "TT.MM.JJJJ" is wider than the caption
}

TEST(XlsxWorkbook, AFileThatCannotBeWrittenRaisesAndLeavesNothing)
{
    TempDir dir;
    XlsxSheet sheet;
    sheet.captions = {"A"};
    EXPECT_THROW(WriteXlsxWorkbook(sheet, dir / "missing" / "a.xlsx"), Error);
    std::filesystem::create_directory(dir / "a.xlsx");
    EXPECT_THROW(WriteXlsxWorkbook(sheet, dir / "a.xlsx"), Error);
    size_t entries = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(dir.path()))
        ++entries;
    EXPECT_EQ(entries, 1u) << "no temporary file left beside";
}
