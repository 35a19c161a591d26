// Texts shaped once or put together from their characters' glyphs: the same glyphs, places and
// widths as the shaper and the font metrics give, cut as the font metrics cut, drawn as drawText
// draws, also after the cache has started anew.
#include "spool/render/ShapedTexts.h"

#include <QBuffer>
#include <QFontMetricsF>
#include <QImage>
#include <QPainter>
#include <QPdfWriter>

#include <gtest/gtest.h>

#include <memory>

namespace gs {
namespace {

QFont CellFont(QPaintDevice& device)
{
    QFont font(QStringLiteral("Arial"));
    font.setPointSizeF(9);
    return QFont(font, &device);
}

// The renderer's device: a PDF at 600 dpi.
class ShapedTextsTest : public ::testing::Test {
protected:
    ShapedTextsTest() : writer_(&buffer_)
    {
        writer_.setResolution(600);
        font_ = CellFont(writer_);
    }
    QBuffer buffer_;
    QPdfWriter writer_;
    QFont font_;
};

void ExpectSame(const ShapedText& expected, const ShapedText& actual, const std::string& text)
{
    SCOPED_TRACE(text);
    EXPECT_EQ(expected.width, actual.width);
    ASSERT_EQ(expected.runs.size(), actual.runs.size());
    for (size_t r = 0; r < expected.runs.size(); ++r) {
        EXPECT_TRUE(expected.runs[r].font == actual.runs[r].font);
        EXPECT_EQ(expected.runs[r].glyphs, actual.runs[r].glyphs);
        EXPECT_EQ(expected.runs[r].positions, actual.runs[r].positions);
    }
}

TEST_F(ShapedTextsTest, NumbersAmountsAndDatesComeOutAsTheShaperMakesThem)
{
    ShapedTexts texts(font_, &writer_);
    const QFontMetricsF fm(font_, &writer_);
    for (const std::string text :
         {"0", "100001", "-271,03 €", "€ 5", "11.11.2011", "1111 7171", "(12,50 %)", "+7/-1 10:01", "  1 ", "€€",
          "1.234.567,89 €", "-0,01"}) {
        const QString q = QString::fromStdString(text);
        ExpectSame(texts.shape(q), texts.shaped(text), text);
        EXPECT_EQ(fm.horizontalAdvance(q), texts.shaped(text).width) << text;
    }
}

TEST_F(ShapedTextsTest, OtherTextsAreShapedOnceAndMeasuredAsTheFontMetricsMeasure)
{
    ShapedTexts texts(font_, &writer_, 2000); // starts anew after a few texts
    const QFontMetricsF fm(font_, &writer_);
    const std::vector<std::string> table = {"Müller & Söhne Großhandel GmbH", "AVATAR Tw", "office ﬁle", "Straße 1a",
                                            "漢字 mixed", "a  b", "Verlustzone", "17.09.2024 x"};
    for (int round = 0; round < 2; ++round)
        for (const std::string& text : table) {
            const QString q = QString::fromStdString(text);
            ExpectSame(texts.shape(q), texts.shaped(text), text);
            EXPECT_EQ(fm.horizontalAdvance(q), texts.shaped(text).width) << text;
        }
}

TEST_F(ShapedTextsTest, ElidedAsTheFontMetricsCut)
{
    ShapedTexts texts(font_, &writer_);
    const QFontMetricsF fm(font_, &writer_);
    const std::string text = "Osnabrücker Druckerei und Verlag KG";
    const QString q = QString::fromStdString(text);
    const double full = fm.horizontalAdvance(q);
    for (double width : {full * 0.8, full * 0.3, fm.horizontalAdvance(QStringLiteral("O…")), 1.0}) {
        const QString cut = fm.elidedText(q, Qt::ElideRight, width);
        const ShapedText& elided = texts.elided(text, width);
        ExpectSame(texts.shape(cut), elided, cut.toStdString());
        EXPECT_EQ(cut.isEmpty(), elided.runs.empty()) << width;
    }
    // Asked again, each width gives its own cut.
    EXPECT_LE(texts.elided(text, full * 0.3).width, full * 0.3);
    EXPECT_TRUE(texts.elided(text, 1.0).runs.empty());
}

TEST(GlyphBatch, DrawsTextsAsDrawTextDraws)
{
    QImage expected(600, 120, QImage::Format_ARGB32);
    expected.fill(Qt::white);
    QImage actual = expected;
    const QFont font = CellFont(expected);
    const std::vector<std::pair<std::string, QPointF>> cells = {
        {"Müller & Söhne", {3.3, 20.7}}, {"-271,03 €", {150.55, 20.7}}, {"AVATAR", {3.9, 60.2}},
        {"0,00 €", {260.01, 60.2}},      {"漢字", {400.5, 100.4}}};
    {
        QPainter painter(&expected);
        painter.setFont(font);
        painter.setPen(Qt::black);
        for (const auto& [text, at] : cells)
            painter.drawText(QPointF(EngineUnits(at.x()), EngineUnits(at.y())), QString::fromStdString(text));
    }
    {
        ShapedTexts texts(font, &actual);
        GlyphBatch batch;
        for (const auto& [text, at] : cells)
            batch.add(texts.shaped(text), QPointF(EngineUnits(at.x()), EngineUnits(at.y())));
        QPainter painter(&actual);
        painter.setPen(Qt::black);
        batch.draw(painter);
    }
    EXPECT_TRUE(actual == expected);
}

} // namespace
} // namespace gs
