#include "spool/render/ListRenderer.h"

#include "base/Cp1252.h"

#include "base/Error.h"
#include "spool/render/RichText.h"
#include "spool/render/RichTextDocument.h"
#include "spool/render/ShapedTexts.h"

#include <QFont>
#include <QFontMetricsF>
#include <QImage>
#include <QMarginsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QTextDocument>

#include <algorithm>
#include <memory>
#include <optional>

namespace gs {

namespace {

constexpr const char* FontFamily = "Arial";
constexpr double CellPointSize = 9;
constexpr double PageFooterPointSize = 8;
constexpr double SideMarginMm = 15;
constexpr double TopBottomMarginMm = 12;
constexpr double BlockGapMm = 3;   // between title and captions, last row and footer
constexpr double CellPaddingMm = 1.2;
constexpr double RowLineFactor = 1.35; // row height in font line spacings

// What a block or a cell can show at most, with room to spare: a landscape line of 4-point type
// holds about 400 characters, a page about 150 such lines. Longer texts are cut before they are
// shaped, so that their length costs nothing.
constexpr size_t BlockCharacterLimit = 20000;
constexpr size_t BlockLineLimit = 200;
constexpr size_t CellCharacterLimit = 400;

const QColor CaptionBand(225, 225, 225);
const QColor StripeBand(244, 244, 244);
const QColor RuleColour(120, 120, 120);

QString Q(const std::string& s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

// Where the columns lie across the content width: in proportion to the stored widths; equal
// parts when no width is usable.
std::vector<double> ColumnWidths(const std::vector<ListColumnSpec>& columns, double total)
{
    std::vector<double> widths;
    double sum = 0;
    for (const ListColumnSpec& c : columns)
        sum += std::max(0, c.width);
    for (const ListColumnSpec& c : columns)
        widths.push_back(sum > 0 ? total * std::max(0, c.width) / sum : total / static_cast<double>(columns.size()));
    return widths;
}

// A font's height and ascent, asked once: the font metrics look the font up on every question.
struct TextFont {
    double height = 0;
    double ascent = 0;
};

class PageDrawer {
public:
    PageDrawer(const ListDescription& list, const ListPrint& print, QPagedPaintDevice& device, QPainter& painter)
        : columns_(list.printedColumns()), printDate_(print.printDate), device_(device), painter_(painter)
    {
        const double dpi = device.logicalDpiY();
        mm_ = dpi / 25.4;
        const QRect page = device.pageLayout().paintRectPixels(device.logicalDpiX());
        width_ = page.width();
        height_ = page.height();

        cellFont_ = QFont(QString::fromLatin1(FontFamily));
        cellFont_.setPointSizeF(CellPointSize);
        captionFont_ = cellFont_;
        captionFont_.setBold(true);
        footFont_ = cellFont_;
        footFont_.setPointSizeF(PageFooterPointSize);
        cellMetrics_.emplace(cellFont_, &device);
        captionMetrics_.emplace(captionFont_, &device);
        footMetrics_.emplace(footFont_, &device);
        cellFace_ = {cellMetrics_->height(), cellMetrics_->ascent()};
        captionFace_ = {captionMetrics_->height(), captionMetrics_->ascent()};
        cellTexts_.emplace(cellFont_, &device);
        captionTexts_.emplace(captionFont_, &device);

        rowHeight_ = cellMetrics_->lineSpacing() * RowLineFactor;
        captionHeight_ = captionMetrics_->lineSpacing() * RowLineFactor * 1.15;
        pageFooterHeight_ = footMetrics_->lineSpacing() * 2.2;
        padding_ = CellPaddingMm * mm_;

        widths_ = ColumnWidths(columns_, width_);
        double x = 0;
        for (double w : widths_) {
            lefts_.push_back(x);
            x += w;
        }

        // The rich text is read in the code page it is stored in, and cut to what its block can
        // show: the title's block is at most 40 % of a page, the footer's one page.
        RichText title = ReadRichText(Utf8ToCp1252(list.richTitle()));
        CapRichText(title, BlockCharacterLimit, BlockLineLimit);
        if (!title.blank()) {
            title_ = MakeRichTextDocument(title, device, width_, FontFamily);
            // A title never takes more than the top 40 % of the first page.
            titleHeight_ = std::min(title_->size().height(), content() * 0.4);
        }
        RichText footer = ReadRichText(Utf8ToCp1252(list.richFooter()));
        CapRichText(footer, BlockCharacterLimit, BlockLineLimit);
        if (!footer.blank()) {
            footer_ = MakeRichTextDocument(footer, device, width_, FontFamily);
            footerHeight_ = std::min(footer_->size().height(), content() - gap());
        }
    }

    double content() const { return height_ - pageFooterHeight_; }
    double gap() const { return BlockGapMm * mm_; }

    ListHeights heights() const
    {
        ListHeights h;
        h.content = content();
        h.title = title_ ? titleHeight_ + gap() : 0;
        h.caption = columns_.empty() ? 0 : captionHeight_;
        h.row = rowHeight_;
        h.footer = footer_ ? footerHeight_ + gap() : 0;
        return h;
    }

    void drawTitle(double& y)
    {
        if (!title_)
            return;
        drawDocument(*title_, y, titleHeight_);
        y += titleHeight_ + gap();
    }

    void drawFooter(double& y)
    {
        if (!footer_)
            return;
        y += gap();
        drawDocument(*footer_, y, footerHeight_);
        y += footerHeight_;
    }

    void drawCaptions(double& y)
    {
        if (columns_.empty())
            return;
        painter_.fillRect(QRectF(0, y, width_, captionHeight_), CaptionBand);
        for (size_t c = 0; c < columns_.size(); ++c) {
            const ListColumnSpec& col = columns_[c];
            drawCell(captionFace_, *captionTexts_, ListCellDisplayText(col.caption), c, col.captionAlignment, y,
                     captionHeight_);
        }
        painter_.setPen(Qt::black);
        glyphs_.draw(painter_);
        painter_.setPen(QPen(RuleColour, 0.25 * mm_));
        painter_.drawLine(QPointF(0, y + captionHeight_), QPointF(width_, y + captionHeight_));
        y += captionHeight_;
        painter_.setPen(Qt::black);
    }

    // The light bands under every second row of a page (so long lines stay readable), drawn
    // before the page's rows, under their texts. Each band is a rectangle of its own: viewers snap
    // a lone rectangle to their pixels, so the bands' edges look as sharp as they always did.
    void drawStripes(long long first, long long count, double y)
    {
        for (long long i = 0; i < count; ++i)
            if ((first + i) % 2 == 1)
                painter_.fillRect(QRectF(0, y + static_cast<double>(i) * rowHeight_, width_, rowHeight_), StripeBand);
    }

    // A row's cells join the page's texts, drawn together by drawRows.
    void drawRow(const std::vector<std::string>& cells, double& y)
    {
        for (size_t c = 0; c < columns_.size(); ++c) {
            if (c >= cells.size())
                break;
            const std::string text = ListCellDisplayText(cells[c]);
            if (!text.empty())
                drawCell(cellFace_, *cellTexts_, text, c, columns_[c].cellAlignment, y, rowHeight_);
        }
        y += rowHeight_;
    }

    // Draws the texts of the rows given since the captions, all at once.
    void drawRows()
    {
        painter_.setPen(Qt::black);
        glyphs_.draw(painter_);
    }

    void drawPageFooter(long long page, long long pages)
    {
        const double top = height_ - pageFooterHeight_;
        painter_.setPen(QPen(RuleColour, 0.2 * mm_));
        painter_.drawLine(QPointF(0, top + pageFooterHeight_ * 0.35), QPointF(width_, top + pageFooterHeight_ * 0.35));
        painter_.setPen(Qt::black);
        painter_.setFont(footFont_);
        const double baseline = height_ - footMetrics_->descent();
        painter_.drawText(QPointF(0, baseline), Q(printDate_));
        const QString number = Q(PageNumberText(page, pages));
        painter_.drawText(QPointF(width_ - footMetrics_->horizontalAdvance(number), baseline), number);
    }

private:
    void drawDocument(QTextDocument& doc, double y, double height)
    {
        painter_.save();
        painter_.translate(0, y);
        doc.drawContents(&painter_, QRectF(0, 0, width_, height));
        painter_.restore();
    }

    // One cell: cut with an ellipsis to the column's inner width, placed by the alignment; the
    // text never reaches into the neighbouring column. Texts seen before (dates, zones, names
    // repeat in long lists) come shaped and measured from the cache.
    void drawCell(const TextFont& font, ShapedTexts& texts, const std::string& text, size_t column, int alignment,
                  double y, double height)
    {
        const double inner = widths_[column] - 2 * padding_;
        if (inner <= 0 || text.empty())
            return;
        const ShapedText* shown = &texts.shaped(text);
        if (shown->width > inner) {
            shown = &texts.elided(text, inner);
            if (shown->runs.empty())
                return;
        }
        double x = lefts_[column] + padding_;
        if (alignment == ListAlignRight)
            x += inner - shown->width;
        else if (alignment == ListAlignCentre)
            x += (inner - shown->width) / 2;
        const double baseline = y + (height - font.height) / 2 + font.ascent;
        glyphs_.add(*shown, QPointF(EngineUnits(x), EngineUnits(baseline)));
    }

    const std::vector<ListColumnSpec> columns_;
    const std::string printDate_;
    QPagedPaintDevice& device_;
    QPainter& painter_;
    double mm_ = 1;
    double width_ = 0;
    double height_ = 0;
    QFont cellFont_, captionFont_, footFont_;
    std::optional<QFontMetricsF> cellMetrics_, captionMetrics_, footMetrics_;
    double rowHeight_ = 1, captionHeight_ = 0, pageFooterHeight_ = 0, padding_ = 0;
    std::vector<double> widths_, lefts_;
    TextFont cellFace_, captionFace_;
    std::optional<ShapedTexts> cellTexts_, captionTexts_;
    GlyphBatch glyphs_;
    std::unique_ptr<QTextDocument> title_, footer_;
    double titleHeight_ = 0, footerHeight_ = 0;
};

} // namespace

std::string ListCellDisplayText(const std::string& stored)
{
    if (stored == "\r")
        return {};
    auto blank = [](char c) { return c == ' ' || c == '\r' || c == '\n' || c == '\t'; };
    // Trailing blanks (fixed-width fields) do not count; of the rest no column shows more than
    // CellCharacterLimit characters: the text is cut here, before anything is measured.
    size_t content = stored.size();
    while (content > 0 && blank(stored[content - 1]))
        --content;
    size_t end = 0;
    size_t characters = 0;
    while (end < content) {
        if ((static_cast<unsigned char>(stored[end]) & 0xC0) != 0x80 && ++characters > CellCharacterLimit)
            break;
        ++end;
    }
    std::string out = stored.substr(0, end);
    for (char& c : out)
        if (blank(c))
            c = ' ';
    while (!out.empty() && out.back() == ' ')
        out.pop_back();
    if (end < content)
        out += "…";
    return out;
}

std::string PageNumberText(long long page, long long pages)
{
    return "Seite " + std::to_string(page) + " von " + std::to_string(pages);
}

RenderResult RenderList(const ListDescription& list, const ListPrint& print, ListRowSource& rows,
                         QPagedPaintDevice& device)
{
    const QPageLayout layout(QPageSize(QPageSize::A4),
                             list.landscape ? QPageLayout::Landscape : QPageLayout::Portrait,
                             QMarginsF(SideMarginMm, TopBottomMarginMm, SideMarginMm, TopBottomMarginMm),
                             QPageLayout::Millimeter);
    device.setPageLayout(layout);

    const long long rowCount = std::max<long long>(0, rows.RowCount());
    QPainter painter;
    if (!painter.begin(&device))
        throw Error("Die Seiten können nicht gezeichnet werden (Ausgabegerät nicht bereit).");
    try {
        painter.setRenderHint(QPainter::TextAntialiasing);
        PageDrawer drawer(list, print, device, painter);
        const PagePlan plan = PlanListPages(rowCount, drawer.heights());

        std::vector<std::string> cells;
        long long drawn = 0;
        for (long long page = 1; page <= plan.pages; ++page) {
            if (page > 1 && !device.newPage())
                throw Error("Die Seite " + std::to_string(page) + " kann nicht angelegt werden.");
            double y = 0;
            if (page == 1)
                drawer.drawTitle(y);
            const long long onPage = plan.rowsOnPage(page, rowCount);
            if (page == 1 || onPage > 0)
                drawer.drawCaptions(y);
            drawer.drawStripes(drawn, onPage, y);
            for (long long i = 0; i < onPage; ++i) {
                cells.clear();
                if (!rows.NextRow(cells))
                    throw Error("Die Liste hat weniger Zeilen als angekündigt (" + std::to_string(drawn) + " von " +
                                std::to_string(rowCount) + ").");
                drawer.drawRow(cells, y);
                ++drawn;
            }
            drawer.drawRows();
            if (page == plan.pages)
                drawer.drawFooter(y);
            drawer.drawPageFooter(page, plan.pages);
        }
        if (!painter.end())
            throw Error("Die Ausgabe konnte nicht abgeschlossen werden.");
        return {plan.pages, drawn};
    } catch (...) {
        if (painter.isActive())
            painter.end();
        throw;
    }
}

// Measured at 72 dots per inch, so that a point is a dot.
struct ListTextMeasure::Fonts {
    QImage device{1, 1, QImage::Format_Mono};
    std::optional<QFontMetricsF> cell, caption;
    Fonts()
    {
        const int dotsPerMeter = static_cast<int>(72 / 0.0254 + 0.5);
        device.setDotsPerMeterX(dotsPerMeter);
        device.setDotsPerMeterY(dotsPerMeter);
        QFont font(QString::fromLatin1(FontFamily));
        font.setPointSizeF(CellPointSize);
        cell.emplace(font, &device);
        font.setBold(true);
        caption.emplace(font, &device);
    }
};

ListTextMeasure::ListTextMeasure() : fonts_(std::make_unique<Fonts>()) {}
ListTextMeasure::~ListTextMeasure() = default;

double ListTextMeasure::cellWidth(const std::string& text) const
{
    return fonts_->cell->horizontalAdvance(Q(ListCellDisplayText(text))) + 2 * CellPaddingMm * 72 / 25.4;
}

double ListTextMeasure::captionWidth(const std::string& text) const
{
    return fonts_->caption->horizontalAdvance(Q(text)) + 2 * CellPaddingMm * 72 / 25.4;
}

double ListTextMeasure::contentWidth(bool landscape)
{
    return ((landscape ? 297.0 : 210.0) - 2 * SideMarginMm) * 72 / 25.4;
}

} // namespace gs
