#include "spool/CsvExport.h"

#include "base/Cp1252.h"
#include "base/Error.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <fstream>

#include <cstdlib>

using namespace gs;
using namespace gs::test;

namespace {

std::filesystem::path Golden(const std::string& name)
{
    const char* dir = std::getenv("GS_TEST_DATA");
    return std::filesystem::path(dir ? dir : "tests/data") / name;
}

// A small list with what a CSV must survive: quotes, a line break, the money suffix, a hidden column,
// a column without a field, an injected formula and negative amounts.
struct SmallGrid {
    TextRowsDataSet data{{"ID_ORDER", "ADRESSNAME", "DATE", "WW_NETTO"}};
    GridDescription grid;
    SmallGrid()
    {
        data.addRow({"10001", "Müller \"Bau\" GmbH", "01.04.2024", "1.234,50 €"});
        data.addRow({"10002", "=HYPERLINK(\"http://x\";\"klick\")", "02.04.2024", "-1.315,47 €"});
        data.addRow({"10003", "Zeile eins\r\nZeile zwei", "03.04.2024", "+12,00 €"});
        data.addRow({"10004", "@Summe", "04.04.2024", "-"});
        grid.columns = {{"ID_ORDER", "/bNummer", 60, 0, 0},
                        {"ADRESSNAME", "Kunde", 120, 0, 0},
                        {"DATE", "Datum", 0, 0, 0},
                        {"WW_NETTO", " /bNetto+", 80, 1, 1},
                        {"", "Leer", 20, 0, 0}};
        grid.dataSet = &data;
    }
    ListDescription list() const
    {
        ListDescription l;
        l.grid = grid;
        return l;
    }
};

// The export's options as the grid print dialog gives them: the settings' second-currency symbol.
CsvExportOptions OptionsOf(TestRuntime& rt)
{
    CsvExportOptions options;
    options.SecondCurrencySymbol = SecondCurrencySymbolOf(rt.runtime().settings.get());
    options.Settings = rt.runtime().settings.get();
    return options;
}

} // namespace

TEST(CsvExport, GridBytesMatchTheGoldenFile)
{
    TestRuntime rt;
    SmallGrid g;
    g.data.SetCurrentRow(2);
    ListDescription list = g.list();
    // The amount of the third row cannot be made: it stays an empty value in its place.
    list.cellTextProvider = [](const GridRecord& record, std::string_view field, std::string&) {
        if (record.row() == 2 && field == "WW_NETTO")
            throw Error("unlesbar");
    };
    list.lineCallbacks.push_back({});
    list.lineCallbacks.push_back([](const GridRecord* record, int number, std::string& text) {
        if (!record)
            text = number == 1 ? "Extra,\"Zweite Spalte\"" : "";
        else
            text = "Extra" + record->field("ID_ORDER").value_or("?") + ", \"a, b\"";
    });
    const std::filesystem::path file = rt.dir() / "liste.csv";
    const CsvExportResult result = ExportGridCsv(list, OptionsOf(rt), file);
    ASSERT_EQ(result.status, CsvExportStatus::Written) << result.error;
    EXPECT_EQ(result.rows, 4);
    EXPECT_EQ(ReadFile(file), ReadFile(Golden("grid-export.csv")));
    EXPECT_EQ(g.data.CurrentRow(), 2) << "the grid's current row comes back";
}

TEST(CsvExport, CancelledOrFailedExportLeavesAnOlderFileAndNoPartialFile)
{
    TestRuntime rt;
    SmallGrid g;
    const std::filesystem::path file = rt.dir() / "liste.csv";
    WriteFile(file, "older export");
    int rows = 0;
    CsvExportOptions options = OptionsOf(rt);
    options.Progress = [&rows] { return ++rows == 3; };
    EXPECT_EQ(ExportGridCsv(g.list(), options, file).status, CsvExportStatus::Cancelled);
    EXPECT_EQ(ReadFile(file), "older export");

    options.Progress = {};
    const CsvExportResult failed = ExportGridCsv(g.list(), options, rt.dir() / "missing" / "liste.csv");
    EXPECT_EQ(failed.status, CsvExportStatus::Failed);
    EXPECT_NE(failed.error.find("liste.csv"), std::string::npos) << failed.error;
    size_t files = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(rt.dir()))
        ++files;
    EXPECT_EQ(files, 1u) << "no temporary file is left";
}

TEST(CsvExport, FormulaGuard)
{
    const std::pair<std::string, std::string> cases[] = {
        {"=1+1", "'=1+1"},         {"+49 171 000", "'+49 171 000"}, {"-1.315,47", "-1.315,47"},
        {"+12,00", "+12,00"},      {"@Summe", "'@Summe"},          {"-", "-"},
        {"=", "="},                {"Müller", "Müller"},           {"-12'000.50", "-12'000.50"},
        {"-1,5e3", "'-1,5e3"},     {"", ""},
    };
    for (const auto& [in, out] : cases)
        EXPECT_EQ(CsvSafeValue(in), out) << in;
}

TEST(CsvExport, CommaText)
{
    const std::pair<std::string, std::vector<std::string>> cases[] = {
        {"a,b,c", {"a", "b", "c"}},
        {"a b", {"a", "b"}},
        {"\"a b\",c", {"a b", "c"}},
        {"\"say \"\"hi\"\"\"", {"say \"hi\""}},
        {"a,,b", {"a", "", "b"}},
        {"a,", {"a", ""}},
        {"  ", {}},
        {"", {}},
    };
    for (const auto& [in, out] : cases)
        EXPECT_EQ(SplitCommaText(in), out) << in;
}

TEST(CsvExport, FileChoiceOpeningAndErrorMessage)
{
    TestRuntime rt;
    SmallGrid g;
    const ListDescription list = g.list();
    Dialogs* dialogs = &rt.runtime().dialogs();

    { // cancelled file choice: nothing written, nothing opened
        TExportCSVTableClassA exportCancelled(list, OptionsOf(rt), true, dialogs);
        EXPECT_EQ(exportCancelled.result().status, CsvExportStatus::Cancelled);
        ASSERT_EQ(rt.dialogs().saveFileRequests.size(), 1u);
        EXPECT_EQ(rt.dialogs().saveFileRequests[0].filter,
                  "CSV Dateien|*.csv|Text Dateien|*.txt|Excel-Arbeitsmappe|*.xlsx");
        EXPECT_EQ(rt.dialogs().saveFileRequests[0].defaultSuffix, "csv");
    }
    rt.dialogs().saveFileAnswers.push_back((rt.dir() / "export").string());
    TExportCSVTableClassA written(list, OptionsOf(rt), true, dialogs);
    EXPECT_EQ(written.result().status, CsvExportStatus::Written);
    EXPECT_TRUE(std::filesystem::exists(rt.dir() / "export.csv"));
    EXPECT_EQ(rt.dialogs().openedDocuments, (std::vector<std::string>{(rt.dir() / "export.csv").string()}));

    rt.dialogs().saveFileAnswers.push_back((rt.dir() / "nowhere" / "x.txt").string());
    TExportCSVTableClassA failed(list, OptionsOf(rt), true, dialogs);
    EXPECT_EQ(failed.result().status, CsvExportStatus::Failed);
    ASSERT_EQ(rt.dialogs().messages.size(), 1u);
    EXPECT_EQ(rt.dialogs().messages[0].caption, "Gewinn-Statistik");
    EXPECT_NE(rt.dialogs().messages[0].text.find("x.txt"), std::string::npos);
    EXPECT_EQ(rt.dialogs().openedDocuments.size(), 1u) << "a failed export opens nothing";

    // A name ending in .xlsx gets the workbook: a zip archive, not CSV text.
    rt.dialogs().saveFileAnswers.push_back((rt.dir() / "mappe.xlsx").string());
    TExportCSVTableClassA workbook(list, OptionsOf(rt), false, dialogs);
    EXPECT_EQ(workbook.result().status, CsvExportStatus::Written);
    std::ifstream in(rt.dir() / "mappe.xlsx", std::ios::binary);
    char magic[2] = {};
    in.read(magic, 2);
    EXPECT_EQ(std::string(magic, 2), "PK");
    EXPECT_EQ(workbook.result().rows, list.grid.dataSet->RecordCount());
}
