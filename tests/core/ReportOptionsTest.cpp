#include "app/ReportOptions.h"

#include <gtest/gtest.h>

using namespace gs;

TEST(ReportOptions, AcceptsThePeriodByIndexOrItemText)
{
    auto r = ParseReportOptions({"/db", "--year", "2006", "--period", "2. Quartal", "--server", "remote", "--format", "json"});
    ASSERT_TRUE(r.options) << r.problem;
    EXPECT_EQ(r.options->databasePath, "/db");
    EXPECT_EQ(r.options->yearText, "2006");
    EXPECT_EQ(r.options->periodIndex, 2);
    EXPECT_FALSE(r.options->localServer);
    EXPECT_EQ(r.options->format, ReportFormat::Json);
    r = ParseReportOptions({"--year", "2024", "/db", "--period", "16"});
    ASSERT_TRUE(r.options);
    EXPECT_EQ(r.options->periodIndex, 16);
    EXPECT_TRUE(r.options->localServer);
    EXPECT_EQ(r.options->format, ReportFormat::Text);
    EXPECT_EQ(r.options->pdfFile, "");
    r = ParseReportOptions({"/db", "--year", "2024", "--pdf", "/out/gewinne.pdf"});
    ASSERT_TRUE(r.options);
    EXPECT_EQ(r.options->pdfFile, "/out/gewinne.pdf");
    EXPECT_FALSE(r.options->spool);
    r = ParseReportOptions({"/db", "--year", "2024", "--spool", "pdf"});
    ASSERT_TRUE(r.options);
    EXPECT_EQ(r.options->spool, SpoolTarget::Pdf);
    r = ParseReportOptions({"/db", "--year", "2024", "--spool", "print"});
    ASSERT_TRUE(r.options);
    EXPECT_EQ(r.options->spool, SpoolTarget::Print);
}

TEST(ReportOptions, GroupingAndFilter)
{
    auto r = ParseReportOptions({"/db", "--year", "2024", "--group-by", "Vertreter", "--filter", "monat=2024-03"});
    ASSERT_TRUE(r.options) << r.problem;
    EXPECT_EQ(r.options->groupBy, GroupBy::Vertreter);
    EXPECT_EQ(r.options->filter, (GroupFilter{GroupBy::Monat, 202403}));
    r = ParseReportOptions({"/db", "--year", "2024"});
    EXPECT_FALSE(r.options->groupBy);
    EXPECT_FALSE(r.options->filter);
    r = ParseReportOptions({"/db", "--year", "2024", "--filter", "kunde=abc"});
    EXPECT_NE(r.problem.find("kunde: abc"), std::string::npos) << r.problem;
}

TEST(ReportOptions, BadOptionsGiveAProblemNotACrash)
{
    const std::vector<std::vector<std::string>> bad = {
        {},
        {"/db"},
        {"/db", "--year"},
        {"/db", "--year", "20x6"},
        {"/db", "--year", "0000"},
        {"/db", "--year", "10000"},
        {"/db", "--year", "2006", "--period", "17"},
        {"/db", "--year", "2006", "--period", "Märzen"},
        {"/db", "--year", "2006", "--server", "lan"},
        {"/db", "--year", "2006", "--format", "xml"},
        {"/db", "--year", "2006", "--verbose"},
        {"/db", "--year", "2006", "--spool"},
        {"/db", "--year", "2006", "--spool", "mail"},
        {"/db", "/other", "--year", "2006"},
        {"/db", "--year", "2006", "--pdf"},
        {"/db", "--year", "2006", "--pdf", ""},
        {"/db", "--year", "2006", "--pdf", "x.pdf", "--spool", "pdf"},
        {"/db", "--year", "2006", "--group-by"},
        {"/db", "--year", "2006", "--group-by", "land"},
        {"/db", "--year", "2006", "--group-by", "kunde", "--spool", "pdf"},
        {"/db", "--year", "2006", "--filter"},
        {"/db", "--year", "2006", "--filter", "monat=2006-13"},
    };
    for (const auto& args : bad) {
        const auto r = ParseReportOptions(args);
        EXPECT_FALSE(r.options);
        EXPECT_FALSE(r.problem.empty());
    }
    EXPECT_NE(ReportUsage("gewinnstatistik-report").find("--period"), std::string::npos);
    EXPECT_TRUE(ParseReportOptions({"/db", "--year", "9999"}).options);
    EXPECT_TRUE(ParseReportOptions({"/db", "--year", "0001"}).options);
}

TEST(ReportOptions, FreeRangesFiscalYearsAndTheComparison)
{
    auto r = ParseReportOptions({"/db", "--from", "2024-02-10", "--to", "2024-05-20", "--compare", "vorjahr"});
    ASSERT_TRUE(r.options) << r.problem;
    EXPECT_EQ(r.options->periodIndex, PeriodFreeRange);
    EXPECT_TRUE(r.options->comparePreviousYear);
    EXPECT_EQ(BuildChoiceRange(ReportPeriodChoice(*r.options, 4)).rangeText, "Bereich: 10.02.2024-20.05.2024");
    r = ParseReportOptions({"/db", "--from", "2024-03-01", "--to", "2024-03-01"});
    ASSERT_TRUE(r.options) << "one day";
    r = ParseReportOptions({"/db", "--year", "2024", "--period", "1. Quartal"});
    ASSERT_TRUE(r.options);
    EXPECT_FALSE(r.options->comparePreviousYear);
    // The window's setting decides unless --fiscal-start says otherwise.
    EXPECT_EQ(BuildChoiceRange(ReportPeriodChoice(*r.options, 4)).rangeText, "Bereich: 01.04.2024-30.06.2024");
    r = ParseReportOptions({"/db", "--year", "2024", "--period", "1. Quartal", "--fiscal-start", "1"});
    ASSERT_TRUE(r.options);
    EXPECT_EQ(BuildChoiceRange(ReportPeriodChoice(*r.options, 4)).rangeText, "Bereich: 01.01.2024-31.03.2024");

    const std::vector<std::vector<std::string>> bad = {
        {"/db", "--from", "2024-05-20", "--to", "2024-02-10"},            // reversed
        {"/db", "--from", "2024-02-30", "--to", "2024-03-10"},            // no such day
        {"/db", "--from", "10.02.2024", "--to", "2024-03-10"},            // not YYYY-MM-DD
        {"/db", "--from", "2024-2-1", "--to", "2024-03-10"},
        {"/db", "--from", "2024-02-01"},                                  // no end
        {"/db", "--to", "2024-02-01"},
        {"/db", "--from", "2024-02-01", "--to", "2024-03-01", "--year", "2024"}, // both forms
        {"/db", "--from", "2024-02-01", "--to", "2024-03-01", "--period", "März"},
        {"/db", "--from", "2024-02-01", "--to", "2024-03-01", "--fiscal-start", "4"},
        {"/db", "--year", "2024", "--fiscal-start", "0"},
        {"/db", "--year", "2024", "--fiscal-start", "13"},
        {"/db", "--year", "2024", "--compare", "monat"},
        {"/db", "--year", "2024", "--compare"},
    };
    for (const auto& args : bad) {
        const auto p = ParseReportOptions(args);
        EXPECT_FALSE(p.options) << args[1] << " " << (args.size() > 2 ? args[2] : "");
        EXPECT_FALSE(p.problem.empty());
    }
}
