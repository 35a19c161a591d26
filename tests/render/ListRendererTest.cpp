// The list renderer through its PDF output, read back with pdftotext: title, captions on every
// page, rows in order, footer, page numbers, cut texts, empty cells, and a failing row source.
#include "PdfText.h"
#include "support/TestSupport.h"

#include "base/Error.h"
#include "spool/render/ListPages.h"
#include "spool/render/PdfOutput.h"

#include <gtest/gtest.h>

#include <fstream>

namespace gs {
namespace {

const char* TitleRtf =
    "{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1031{\\fonttbl{\\f0\\fswiss\\fprq2\\fcharset0 Arial;}}"
    "{\\*\\generator Kvelt;}\\viewkind4\\uc1\\pard\\b\\f0\\fs20\\par\r\nGewinne, erstellt 10.12.2026 13:05"
    "\\bo\\fa\\fs20\\par}";

ListDescription SampleJob()
{
    ListDescription job;
    job.title = TitleRtf;
    job.footer = "{\\rtf1\\ansi\\ansicpg1252\\b Netto: 4.711,00 \\'80\\tab Gewinn: 815,00 \\'80\\par}";
    job.grid.columns = {{"", "Auftrag", 86, ListAlignLeft, ListAlignRight},
                        {"", "Adresse", 81, ListAlignLeft, ListAlignLeft},
                        {"", "Datum", 103, ListAlignCentre, ListAlignCentre},
                        {"", "Nettowert", 85, ListAlignRight, ListAlignRight}};
    job.landscape = false;
    return job;
}

const ListPrint SamplePrint{"10.12.2026 13:05", "Listendruck"};

std::vector<std::vector<std::string>> Rows(int n)
{
    std::vector<std::vector<std::string>> rows;
    for (int i = 1; i <= n; ++i)
        rows.push_back({std::to_string(100000 + i), "Kunde " + std::to_string(i), "01.03.2026",
                        std::to_string(i) + ",50 €"});
    return rows;
}

TEST(ListRenderer, ThreeHundredRowsOnPagesWithCaptionsInOrder)
{
    test::TempDir dir;
    const auto file = dir / "liste.pdf";
    VectorRowSource rows(Rows(300));
    const RenderResult result = WriteListPdf(SampleJob(), SamplePrint, rows, file);
    EXPECT_EQ(result.rows, 300);

    const std::vector<std::string> pages = test::PdfPages(file);
    ASSERT_EQ(static_cast<long long>(pages.size()), result.pages);
    ASSERT_GE(pages.size(), 6u) << "300 rows of 9 pt do not fit on few A4 pages";
    EXPECT_NE(pages.front().find("Gewinne, erstellt 10.12.2026 13:05"), std::string::npos);
    std::string all;
    for (size_t p = 0; p < pages.size(); ++p) {
        const std::string& page = pages[p];
        EXPECT_NE(page.find("Auftrag"), std::string::npos) << "captions on page " << p + 1;
        EXPECT_NE(page.find("Nettowert"), std::string::npos) << "captions on page " << p + 1;
        EXPECT_NE(page.find(PageNumberText(p + 1, pages.size())), std::string::npos) << p + 1;
        EXPECT_NE(page.find("10.12.2026 13:05"), std::string::npos) << "print date on page " << p + 1;
        if (p > 0) {
            EXPECT_EQ(page.find("Gewinne, erstellt"), std::string::npos) << "title only on the first page";
        }
        all += page;
    }
    size_t at = 0;
    for (int i = 1; i <= 300; ++i) {
        const size_t found = all.find(std::to_string(100000 + i), at);
        ASSERT_NE(found, std::string::npos) << "row " << i << " missing or out of order";
        at = found;
    }
    EXPECT_NE(pages.back().find("Netto: 4.711,00 €"), std::string::npos);
    EXPECT_GT(pages.back().find("Netto: 4.711,00 €"), pages.back().find("100300")) << "footer after the last row";
    EXPECT_EQ(test::CountOccurrences(all, "Kunde 17 "), 1);
}

TEST(ListRenderer, CutsLongTextsAndLeavesLoneCarriageReturnsEmpty)
{
    test::TempDir dir;
    const auto file = dir / "schmal.pdf";
    ListDescription job = SampleJob();
    job.landscape = true;
    VectorRowSource rows({{"1", std::string(120, 'W') + "ENDE", "\r", "\r"}});
    WriteListPdf(job, SamplePrint, rows, file);
    const std::vector<std::string> pages = test::PdfPages(file);
    ASSERT_EQ(pages.size(), 1u);
    EXPECT_EQ(pages[0].find("ENDE"), std::string::npos) << "the long text must be cut";
    EXPECT_NE(pages[0].find("WWW…"), std::string::npos) << "cut with an ellipsis";
    EXPECT_EQ(pages[0].find('\r'), std::string::npos);
}

TEST(ListRenderer, CellsAreCutToWhatAColumnCanShowBeforeTheyAreMeasured)
{
    std::string wide;
    for (int i = 0; i < 500; ++i)
        wide += "Ö";
    const struct {
        std::string stored;
        std::string shown;
    } cases[] = {
        {std::string(400, 'a'), std::string(400, 'a')},                      // at the limit: whole
        {std::string(401, 'a'), std::string(400, 'a') + "…"},                // one more: cut
        {std::string(10'000'000, 'x'), std::string(400, 'x') + "…"},         // a cell of 10 MB
        {wide, wide.substr(0, 800) + "…"},                                    // counted in characters
        {std::string(399, 'a') + "\t\n", std::string(399, 'a')},             // blanks at the end go
        {"\r", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ListCellDisplayText(c.stored), c.shown) << c.stored.size();
}

TEST(ListRenderer, HugeCellsAndTitlesAreDrawnCutAndTheRestStaysInTheJob)
{
    test::TempDir dir;
    const auto file = dir / "gross.pdf";
    ListDescription job = SampleJob();
    // A title of 50,000 lines of 100 characters: drawn up to its cut, then an ellipsis.
    std::string title = "{\\rtf1\\ansi ";
    for (int i = 0; i < 50000; ++i)
        title += "Zeile" + std::to_string(i) + std::string(94, 'x') + "\\par ";
    job.title = title + "}";
    const std::string huge(2'000'000, 'M');
    std::vector<std::vector<std::string>> rows = {{"1", huge, "01.03.2026", "2,50 €"}, {"2", "Kunde", "", "3,00 €"}};
    const std::vector<std::vector<std::string>> stored = rows;
    VectorRowSource source(rows);
    const RenderResult r = WriteListPdf(job, SamplePrint, source, file);
    EXPECT_EQ(r.rows, 2);
    const auto pages = test::PdfPages(file);
    ASSERT_GE(pages.size(), 1u);
    EXPECT_NE(pages[0].find("Zeile0x"), std::string::npos);
    EXPECT_EQ(pages[0].find("Zeile49999"), std::string::npos) << "the title is cut";
    EXPECT_NE(pages[0].find("MMM…"), std::string::npos) << "the cell is cut with an ellipsis";
    EXPECT_EQ(rows, stored) << "the rows given are not changed";
}

TEST(ListRenderer, EmptyListStillHasTitleCaptionsAndFooter)
{
    test::TempDir dir;
    const auto file = dir / "leer.pdf";
    VectorRowSource rows({});
    const RenderResult r = WriteListPdf(SampleJob(), SamplePrint, rows, file);
    EXPECT_EQ(r.pages, 1);
    const auto pages = test::PdfPages(file);
    ASSERT_EQ(pages.size(), 1u);
    for (const char* text : {"Gewinne, erstellt", "Auftrag", "Netto: 4.711,00 €", "Seite 1 von 1"})
        EXPECT_NE(pages[0].find(text), std::string::npos) << text;
}

class FailingRows : public ListRowSource {
public:
    long long RowCount() override { return 500; }
    bool NextRow(std::vector<std::string>& cells) override
    {
        if (++n_ == 120)
            throw Error("Lesefehler in DET.ADT");
        cells = {std::to_string(n_)};
        return true;
    }

private:
    int n_ = 0;
};

class ShortRows : public ListRowSource {
public:
    long long RowCount() override { return 10; }
    bool NextRow(std::vector<std::string>& cells) override
    {
        cells = {"x"};
        return ++n_ <= 3;
    }

private:
    int n_ = 0;
};

TEST(ListRenderer, FailureLeavesNoFileAndNamesTheCause)
{
    test::TempDir dir;
    const auto file = dir / "kaputt.pdf";
    test::WriteFile(file, "old");
    FailingRows failing;
    try {
        WriteListPdf(SampleJob(), SamplePrint, failing, file);
        FAIL() << "no error";
    } catch (const Error& e) {
        EXPECT_NE(std::string(e.what()).find("Lesefehler in DET.ADT"), std::string::npos) << e.what();
    }
    EXPECT_EQ(test::ReadFile(file), "old") << "a failed run never replaces the file";
    ShortRows shortRows;
    EXPECT_THROW(WriteListPdf(SampleJob(), SamplePrint, shortRows, dir / "kurz.pdf"), Error);
    EXPECT_FALSE(std::filesystem::exists(dir / "kurz.pdf"));
    size_t leftovers = 0;
    for (const auto& entry : std::filesystem::directory_iterator(dir.path()))
        leftovers += entry.path().filename() != "kaputt.pdf";
    EXPECT_EQ(leftovers, 0u) << "no temporary file stays behind";
}

TEST(ListRenderer, UnwritableDirectoryIsAnError)
{
    VectorRowSource rows(Rows(3));
    EXPECT_THROW(WriteListPdf(SampleJob(), SamplePrint, rows, "/nonexistent-dir/x.pdf"), Error);
}

TEST(ListRenderer, WritesPdfA1b)
{
    test::TempDir dir;
    const auto file = dir / "archiv.pdf";
    VectorRowSource rows(Rows(2));
    WriteListPdf(SampleJob(), SamplePrint, rows, file);
    const std::string bytes = test::ReadFile(file);
    EXPECT_NE(bytes.find("pdfaid:part"), std::string::npos) << "PDF/A identification in the metadata";
    EXPECT_NE(bytes.find("FontFile2"), std::string::npos) << "fonts embedded";
}

} // namespace
} // namespace gs
