// The report's PDF columns fitted to their texts: where the page has room every text stands whole,
// where it has not the narrow columns keep their need and only the widest texts share the rest.
#include "spool/render/ColumnFit.h"
#include "spool/render/ListRenderer.h"

#include <gtest/gtest.h>

#include <numeric>

namespace gs {
namespace {

TEST(ColumnFit, WidthsFromNeedsAndThePageWidth)
{
    struct Case {
        const char* what;
        std::vector<double> needs;
        double page;
        std::vector<double> widths;
    } cases[] = {
        {"room for all: the needs", {10, 50, 20}, 100, {10, 50, 20}},
        {"exactly the page", {30, 50, 20}, 100, {30, 50, 20}},
        {"one wide text: the others keep their need", {10, 200, 20}, 100, {10, 70, 20}},
        {"two wide texts share the rest", {10, 200, 150, 20}, 100, {10, 35, 35, 20}},
        {"nothing fits: equal shares", {60, 60, 60, 60}, 100, {25, 25, 25, 25}},
        {"a need just under its share", {33, 40, 80}, 100, {33, 33.5, 33.5}},
        {"no columns", {}, 100, {}},
    };
    for (const Case& c : cases) {
        const std::vector<double> got = FitColumnWidths(c.needs, c.page);
        ASSERT_EQ(got.size(), c.widths.size()) << c.what;
        for (size_t i = 0; i < got.size(); ++i)
            EXPECT_DOUBLE_EQ(got[i], c.widths[i]) << c.what << ", column " << i;
        if (std::accumulate(c.needs.begin(), c.needs.end(), 0.0) > c.page) {
            EXPECT_NEAR(std::accumulate(got.begin(), got.end(), 0.0), c.page, 1e-9) << c.what << ": the whole page";
        }
    }
}

// A list of numbers, dates and names: each column's share of the page holds its widest text, the
// narrow screen width of the name column notwithstanding.
TEST(ColumnFit, EveryTextStandsWholeWhereThePageHasRoom)
{
    TextRowsDataSet data({"ID_ORDER", "ADRESSNAME", "DATE", "WW_NETTO"});
    data.addRow({"102114", "Schneider & Krüger GmbH & Co. KG", "30.05.2026", "211,43 €"});
    data.addRow({"7", "Bergmann & Ludwig UG (haftungsbeschränkt)", "01.05.2026", "-1.234.567,89 €"});
    ListDescription list;
    list.landscape = true;
    list.grid.dataSet = &data;
    list.grid.columns = {{"ID_ORDER", "Auftrag", 86, 0, 1},
                         {"ADRESSNAME", "Adresse", 81, 0, 0},
                         {"DATE", "Datum", 103, 0, 0},
                         {"WW_NETTO", "Nettowert", 85, 0, 1},
                         {"HIDDEN", "Verborgen", 0, 0, 0}};
    FitColumnsToTexts(list);
    const ListTextMeasure measure;
    const double page = ListTextMeasure::contentWidth(true);
    double sum = 0;
    for (const GridColumn& c : list.grid.columns)
        sum += c.width;
    EXPECT_EQ(list.grid.columns[4].width, 0) << "a hidden column stays hidden";
    for (int row = 0; row < data.RecordCount(); ++row)
        for (size_t c = 0; c < 4; ++c) {
            const GridColumn& column = list.grid.columns[c];
            const std::string text = *data.FieldText(row, column.fieldName);
            EXPECT_GE(page * column.width / sum, measure.cellWidth(text)) << text;
        }

    // A text wider than the page: the other columns keep their need, the name takes the rest.
    data.addRow({"1", std::string(400, 'W'), "02.05.2026", "1,00 €"});
    FitColumnsToTexts(list);
    sum = 0;
    for (const GridColumn& c : list.grid.columns)
        sum += c.width;
    EXPECT_GE(page * list.grid.columns[3].width / sum, measure.cellWidth("-1.234.567,89 €"));
    EXPECT_GE(page * list.grid.columns[2].width / sum, measure.cellWidth("30.05.2026"));
    EXPECT_GT(list.grid.columns[1].width, list.grid.columns[3].width);
}

} // namespace
} // namespace gs
