// One year's plan as CSV: the export's bytes, the round trip, what a spreadsheet writes back, and
// every malformed line named by its number and cause.
#include "app/MonthText.h"
#include "app/PlanCsv.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

using namespace gs;
namespace fs = std::filesystem;

namespace {

NumberFormats Euro() { return NumberFormats{}; }

YearPlan SamplePlan(YearSpan year)
{
    YearPlan plan;
    plan.year = year;
    plan.months[0] = {120000.00, 24000.00};
    plan.months[1] = {};                        // no plan
    plan.months[2] = {1234567.89, std::nullopt}; // only the net
    plan.months[3] = {std::nullopt, -1315.47};  // only the profit, a loss
    plan.months[11] = {0.0, 0.01};
    return plan;
}

// The error's message of parsing text; empty when it parses.
std::string ParseError(const std::string& text, int* line = nullptr)
{
    try {
        ParsePlanCsv(text, {2026, 1}, Euro());
    } catch (const PlanCsvError& e) {
        if (line)
            *line = e.line();
        return e.what();
    }
    return {};
}

} // namespace

TEST(PlanCsv, ExportWritesTheCsvExportsForm)
{
    test::TestRuntime rt;
    const fs::path file = rt.dir() / "plan.csv";
    ExportPlanCsv(SamplePlan({2026, 1}), file);
    EXPECT_EQ(test::ReadFile(file), "\"Monat\";\"Netto\";\"Gewinn\"\r\n"
                                    "\"2026-01\";\"120.000,00\";\"24.000,00\"\r\n"
                                    "\"2026-02\";\"\";\"\"\r\n"
                                    "\"2026-03\";\"1.234.567,89\";\"\"\r\n"
                                    "\"2026-04\";\"\";\"-1.315,47\"\r\n"
                                    "\"2026-05\";\"\";\"\"\r\n"
                                    "\"2026-06\";\"\";\"\"\r\n"
                                    "\"2026-07\";\"\";\"\"\r\n"
                                    "\"2026-08\";\"\";\"\"\r\n"
                                    "\"2026-09\";\"\";\"\"\r\n"
                                    "\"2026-10\";\"\";\"\"\r\n"
                                    "\"2026-11\";\"\";\"\"\r\n"
                                    "\"2026-12\";\"0,00\";\"0,01\"\r\n");
}

TEST(PlanCsv, ExportAndImportRoundTripExactly)
{
    test::TestRuntime rt;
    for (const YearSpan year : {YearSpan{2026, 1}, YearSpan{2025, 7}, YearSpan{2023, 3}}) {
        SCOPED_TRACE(year.Text());
        const fs::path file = rt.dir() / "plan.csv";
        YearPlan plan = SamplePlan(year);
        for (size_t i = 4; i < 11; ++i) // cents that no double holds exactly
            plan.months[i] = {0.1 * static_cast<double>(i) + 1000000.07, -0.29 * static_cast<double>(i)};
        plan = [&] { // as the plan keeps them: rounded to the cent
            PlanBook book;
            book.SetYear(plan);
            return book.PlanOf(year);
        }();
        ExportPlanCsv(plan, file);
        EXPECT_EQ(ImportPlanCsv(file, year), plan);
    }
    // In franc mode the numbers follow its format both ways.
    rt.runtime().formats.decimalSeparator = '.';
    rt.runtime().formats.thousandSeparator = '\'';
    const YearPlan plan = SamplePlan({2026, 1});
    ExportPlanCsv(plan, rt.dir() / "franc.csv");
    EXPECT_NE(test::ReadFile(rt.dir() / "franc.csv").find("\"1'234'567.89\""), std::string::npos);
    EXPECT_EQ(ImportPlanCsv(rt.dir() / "franc.csv", {2026, 1}), plan);
}

TEST(PlanCsv, ImportReadsWhatASpreadsheetWritesBack)
{
    const std::string text = "\xEF\xBB\xBF" // UTF-8 with its byte-order mark
                             "Gewinn;Monat;Netto;Bemerkung\n"
                             "\n"
                             "24000;Jan 26;120000;\n"
                             "\"1.000,50 €\";01.03.2026;\"1.234.567,89\";\"Plan \"\"neu\"\"; geprüft\"\n"
                             ";;;\n"
                             " -1.315,47 ;M\xC3\xA4rz 2026;;x\r\n"; // March again, in another form
    int line = 0;
    EXPECT_EQ(ParseError(text, &line), "Zeile 6: Der Monat 2026-03 steht schon in Zeile 4");
    EXPECT_EQ(line, 6);

    const std::string fixed = "\xEF\xBB\xBFGewinn;Monat;Netto;Bemerkung\n\n24000;Jan 26;120000;\n"
                              "\"1.000,50 €\";01.03.2026;\"1.234.567,89\";\"Plan \"\"neu\"\"; geprüft\"\n;;;\n"
                              " -1.315,47 ;Dez;;x\r\n";
    const YearPlan plan = ParsePlanCsv(fixed, {2026, 1}, Euro());
    EXPECT_EQ(plan.months[0], (MonthPlan{120000.0, 24000.0}));
    EXPECT_EQ(plan.months[2], (MonthPlan{1234567.89, 1000.5}));
    EXPECT_EQ(plan.months[11], (MonthPlan{std::nullopt, -1315.47}));
    EXPECT_TRUE(plan.months[1].empty());
    EXPECT_TRUE(plan.months[3].empty());

    // Without a header the columns are Monat;Netto;Gewinn; Windows-1252 without a byte-order mark.
    const YearPlan plain = ParsePlanCsv("M\xE4rz;1.000;\r\n2026-04;;2,5\r\n", {2026, 1}, Euro());
    EXPECT_EQ(plain.months[2], (MonthPlan{1000.0, std::nullopt}));
    EXPECT_EQ(plain.months[3], (MonthPlan{std::nullopt, 2.5}));
    EXPECT_TRUE(ParsePlanCsv("", {2026, 1}, Euro()).empty());
}

TEST(PlanCsv, EveryMalformedLineIsNamedWithItsCause)
{
    struct Case {
        const char* text;
        int line;
        const char* message;
    };
    const Case cases[] = {
        {"Monat;Netto;Gewinn\r\n2026-01;12,3x;1\r\n", 2, "Zeile 2, Spalte Netto: „12,3x“ ist keine Zahl"},
        {"Monat;Netto;Gewinn\r\n2026-01;1;1.23\r\n", 2,
         "Zeile 2, Spalte Gewinn: „1.23“ hat das Trennzeichen „.“ an falscher Stelle (Tausender werden in "
         "Dreiergruppen getrennt)"},
        {"Monat;Netto;Gewinn\r\n2026-01;12,345;\r\n", 2, "Zeile 2, Spalte Netto: „12,345“ hat mehr als 2 Nachkommastellen"},
        {"2026-01;1;2\r\n2026-02,1,2\r\n", 2, "Zeile 2: 1 Spalte statt 3 (Trennzeichen ist „;“)"},
        {"Monat;Netto;Gewinn\r\n2026-01;1\r\n", 2, "Zeile 2: 2 Spalten statt 3 (Trennzeichen ist „;“)"},
        {"Monat;Netto\r\n2026-01;1\r\n", 1, "Zeile 1: Die Kopfzeile hat keine Spalte „Gewinn“"},
        {"\r\n\r\nJanuar 2025;1;2\r\n", 3, "Zeile 3: Der Monat 2025-01 gehört nicht zum Jahr 2026"},
        {"2026-13;1;2\r\n", 1, "Zeile 1: „2026-13“ ist kein Monat (erwartet z. B. 2026-01)"},
        {"Monat;Netto;Gewinn\r\nirgendwann;1;2\r\n", 2, "Zeile 2: „irgendwann“ ist kein Monat (erwartet z. B. 2026-01)"},
        {"2026-01;1;2\r\n;1;2\r\n", 2, "Zeile 2: Der Monat fehlt"},
        {"2026-01;1;2\r\n01.2026;3;4\r\n", 2, "Zeile 2: Der Monat 2026-01 steht schon in Zeile 1"},
        {"\"2026-01;1;2\r\n", 1, "Zeile 1: Ein Anführungszeichen wird nicht geschlossen"},
        {"\"2026-01\"x;1;2\r\n", 1, "Zeile 1: Nach dem schließenden Anführungszeichen folgt Text statt „;“"},
        {"2026-01;1;2\r\n2026-02;1;=1+1\r\n", 2, "Zeile 2, Spalte Gewinn: „=1+1“ ist keine Zahl"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        int line = -1;
        EXPECT_EQ(ParseError(c.text, &line), c.message);
        EXPECT_EQ(line, c.line);
    }
}

TEST(PlanCsv, ImportNamesTheFileAndNothingIsImportedOnAnError)
{
    test::TestRuntime rt;
    const fs::path file = rt.dir() / "plan.csv";
    test::WriteFile(file, "Monat;Netto;Gewinn\r\n2026-01;1;2\r\n2026-02;x;2\r\n");
    try {
        ImportPlanCsv(file, {2026, 1});
        FAIL() << "no error";
    } catch (const PlanCsvError& e) {
        EXPECT_STREQ(e.what(), "Planwerte aus plan.csv, Zeile 3, Spalte Netto: „x“ ist keine Zahl");
        EXPECT_EQ(e.line(), 3);
    }
    try {
        ImportPlanCsv(rt.dir() / "fehlt.csv", {2026, 1});
        FAIL() << "no error";
    } catch (const Error& e) {
        EXPECT_NE(std::string(e.what()).find("fehlt.csv nicht lesbar"), std::string::npos) << e.what();
    }
    fs::create_directory(rt.dir() / "ordner.csv");
    EXPECT_THROW(ImportPlanCsv(rt.dir() / "ordner.csv", {2026, 1}), Error);
}

TEST(PlanCsv, TheSizeLimitIsOneMebibyte)
{
    test::TestRuntime rt;
    const std::string lines = "Monat;Netto;Gewinn\r\n2026-05;7;8\r\n";
    for (const size_t size : {PlanCsvMaxBytes - 1, PlanCsvMaxBytes, PlanCsvMaxBytes + 1, 4 * PlanCsvMaxBytes}) {
        SCOPED_TRACE(size);
        const fs::path file = rt.dir() / "gross.csv";
        test::WriteFile(file, lines + std::string(size - lines.size(), '\n')); // blank lines are skipped
        if (size <= PlanCsvMaxBytes) {
            EXPECT_EQ(ImportPlanCsv(file, {2026, 1}).months[4], (MonthPlan{7.0, 8.0}));
        } else {
            try {
                ImportPlanCsv(file, {2026, 1});
                FAIL() << "no error";
            } catch (const PlanCsvError& e) {
                EXPECT_EQ(e.line(), 0);
                EXPECT_NE(std::string(e.what()).find("zu groß für Planwerte (höchstens 1 MB)"), std::string::npos);
            }
        }
    }
}

TEST(MonthText, ReadsTheFormsOfAMonth)
{
    struct Case {
        const char* text;
        YearSpan year;
        std::optional<YearMonth> month;
    };
    const YearSpan y2026{2026, 1};
    const YearSpan fiscal{2025, 7}; // July 2025 to June 2026
    const Case cases[] = {
        {"2026-03", y2026, YearMonth{2026, 3}},
        {"2026-03-31", y2026, YearMonth{2026, 3}},
        {"03.2026", y2026, YearMonth{2026, 3}},
        {"3.2026", y2026, YearMonth{2026, 3}},
        {"03/2026", y2026, YearMonth{2026, 3}},
        {"01.03.2026", y2026, YearMonth{2026, 3}},
        {"1.3.26", y2026, YearMonth{2026, 3}},
        {"29.02.2024", y2026, YearMonth{2024, 2}},
        {"März 2026", y2026, YearMonth{2026, 3}},
        {"MÄRZ 2026", y2026, YearMonth{2026, 3}},
        {"Mrz 26", y2026, YearMonth{2026, 3}},
        {"Mär. 2026", y2026, YearMonth{2026, 3}},
        {"Maerz-26", y2026, YearMonth{2026, 3}},
        {"Sept. 2025", y2026, YearMonth{2025, 9}},
        {"Dezember", y2026, YearMonth{2026, 12}},
        {" 7 ", y2026, YearMonth{2026, 7}},
        {"Januar", fiscal, YearMonth{2026, 1}}, // a month alone lies in the fiscal year
        {"Juli", fiscal, YearMonth{2025, 7}},
        {"12", fiscal, YearMonth{2025, 12}},
        {"29.02.2026", y2026, std::nullopt}, // no such day
        {"2026-00", y2026, std::nullopt},
        {"13", y2026, std::nullopt},
        {"Mär 2026 1", y2026, std::nullopt},
        {"2026", y2026, std::nullopt},
        {"03.202", y2026, std::nullopt},
        {"", y2026, std::nullopt},
        {"2026-1-1-1", y2026, std::nullopt},
        {"123456789.1.2026", y2026, std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const MonthReading r = ReadMonthText(c.text, c.year);
        EXPECT_EQ(r.month, c.month);
        EXPECT_EQ(r.cause.empty(), r.month.has_value());
    }
}
