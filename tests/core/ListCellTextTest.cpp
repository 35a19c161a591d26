// The cell texts of spooled lists in cell mode 2, one case a line.
#include "app/Runtime.h"
#include "app/ProcessObjects.h"
#include "settings/Settings.h"
#include "spool/ListCellText.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

namespace gs {
namespace {

struct CellCase {
    const char* field;
    const char* text;
    std::vector<std::pair<const char*, const char*>> row; // other fields of the row
    const char* expected;
    int mode = 2;
};

class ListCellTextCases : public ::testing::TestWithParam<CellCase> {};

TEST_P(ListCellTextCases, GivesTheCellText)
{
    test::TestRuntime rt;
    CreateSettings(rt.runtime());
    TSettings& s = *rt.runtime().settings;
    s.SecondCurrency.Enabled = true;
    s.SecondCurrency.Symbol = " DM";
    TPartGroup group;
    group.Name = "Schrauben";
    group.Number = 3;
    s.PartsGroups.Groups.push_back(group);

    const CellCase& c = GetParam();
    std::vector<std::string> names = {c.field};
    std::vector<std::string> values = {c.text};
    for (const auto& [name, value] : c.row) {
        names.push_back(name);
        values.push_back(value);
    }
    TextRowsDataSet data(names);
    data.addRow(values);
    std::string text = c.text;
    ListCellText(GridRecord(data, 0), c.field, text, c.mode, &s);
    EXPECT_EQ(text, c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Mode2, ListCellTextCases,
    ::testing::Values(
        // The statistics list's own columns pass unchanged.
        CellCase{"WW_NETTO", "1.234,50 €", {}, "1.234,50 €"}, CellCase{"ID_ORDER", "1001", {}, "1001"},
        CellCase{"printp", "Verlustzone", {}, "Verlustzone"},
        CellCase{"EU_", "100", {{"STEUER", "19"}, {"DM", "False"}}, "100,00 € / 119,00 €"},
        CellCase{"eu_", "100", {{"STEUER", "19"}, {"DM", "True"}}, "100,00 DM / 119,00 DM"},
        CellCase{"EU_", "100", {{"DM", "False"}}, "100"}, // no STEUER in the row: unchanged
        CellCase{"VKEU", "12,5", {{"DM", "False"}}, "12,50 €"}, CellCase{"EKEU", "abc", {{"DM", "0"}}, "0,00 €"},
        CellCase{"STEUER", "7", {{"DM", "1"}}, "7,00 DM"}, CellCase{"VKEU", "12,5", {}, "12,5"},
        CellCase{"GRUP", "3", {}, "Schrauben"}, CellCase{"GRUP", "65539", {}, "Schrauben"}, // 16-bit number
        CellCase{"GRUP", "4", {}, ""},
        CellCase{"WIN", "2", {{"ZA", "6"}}, "Verrechnung"}, CellCase{"WIN", "2", {{"ZA", "1"}}, "storniert"},
        CellCase{"WIN", "5", {}, "Einzahlung"}, CellCase{"WIN", "x", {}, ""}, CellCase{"WIN", "9", {}, ""},
        CellCase{"WIN", "2", {}, "2"}, // ZA needed and missing: unchanged
        CellCase{"STK", "4", {{"WIN", "5"}}, "."}, CellCase{"EINH", "Stk", {{"WIN", "1"}}, "Stk"},
        CellCase{"ZA", "1", {}, "Überweisung"}, CellCase{"ZA", "12", {}, ""}, CellCase{"ZA", "-1", {}, ""},
        CellCase{"ZA", "kein", {}, "-"}, CellCase{"DEZ", "17", {}, "17"}, CellCase{"DEZ", "0", {}, ""},
        CellCase{"ZA", "1", {}, "1", 1})); // other cell modes change nothing

} // namespace
} // namespace gs
