#include "app/widgets/ProfitChart.h"

#include "base/FormatFloat.h"
#include "base/Numbers.h"
#include "display/HostFonts.h"
#include "display/QtColors.h"

#include <QHelpEvent>
#include <QPaintEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPrinter>
#include <QToolTip>

#include <algorithm>
#include <cmath>

namespace gs {

namespace {

struct SeriesDef {
    const char* objectName;
    const char* name;
    unsigned color;
    bool bars;
};
// In design order; within each mode index 0 net, 1 commission, 2 profit.
constexpr SeriesDef SeriesDefs[6] = {{"Series2", "SeriesBWWNETTO", ChartNetColor, true},
                                     {"Series1", "SeriesBPROV", ChartCommissionColor, true},
                                     {"Series3", "SeriesBPROFIT", ChartProfitColor, true},
                                     {"Series4", "SeriesLWWNETTO", ChartNetColor, false},
                                     {"Series6", "SeriesLPROV", ChartCommissionColor, false},
                                     {"Series5", "SeriesLPROFIT", ChartProfitColor, false}};
// The legend's captions, also used by the tooltip and the printed legend.
constexpr const char* SeriesCaptions[3] = {"Netto", "Provisionen", "Gewinn"};

constexpr int SeriesPerMode = 3;
constexpr qreal TitlePadding = 4;
constexpr qreal MonthGapShare = 0.12;  // of a month's width, between the boxes of two months
constexpr qreal DepthShare = 0.16;     // one step of depth, of a month's width
constexpr qreal MaxDepthStep = 14;     // pixels
constexpr qreal DepthRise = 0.75;      // upward offset per pixel of rightward offset
constexpr qreal RibbonDepth = 0.6;     // a line's ribbon, of one step of depth
constexpr int MaxValueLabels = 12;
constexpr unsigned GridColor = 0xC0C0C0u;
constexpr unsigned FloorColor = 0xF0F0F0u;

int ValueOf(const KmcRow& row, int which)
{
    const std::optional<int>& v = which == 0 ? row.WW_NETTO_INT : which == 1 ? row.PROVISION_INT : row.GEWINN_INT;
    return v.value_or(0);
}

// The chart's text font in pixels, so that it scales with the painter (screen and printer alike):
// "Arial" 8 pt at 96 dpi.
QFont ChartFont()
{
    QFont font = HostFont(QStringLiteral("Arial"), 8);
    font.setPixelSize(11);
    return font;
}

QString AxisNumber(qreal value) { return QString::fromStdString(FormatFloat("#,##0", value)); }

// Where the series of a mode stand: the net, as a rule the largest, at the back (depth 2), the
// profit in the middle, the commission, as a rule the smallest, in front (depth 0).
int DepthOf(int indexInMode) { return indexInMode == 0 ? 2 : indexInMode == 1 ? 0 : 1; }
// The series of a mode in painting order, from the back to the front.
constexpr int BackToFront[SeriesPerMode] = {0, 2, 1};

QColor FaceColor(unsigned color) { return ShadesOf(color).face; }
QColor TopColor(unsigned color) { return ShadesOf(color).top; }
QColor SideColor(unsigned color) { return ShadesOf(color).side; }

} // namespace

ChartShades ShadesOf(unsigned color)
{
    const QColor face = HostColorToQColor(color);
    // In 8 bits a channel, as they land in a picture.
    return {face, QColor(face.lighter(140).rgb()), QColor(face.darker(140).rgb())};
}

QString MonthLabel(TDateTime monthStart)
{
    int y = 0, m = 0, d = 0;
    DecodeDate(monthStart, y, m, d);
    return QStringLiteral("%1.%2").arg(m, 2, 10, QLatin1Char('0')).arg(y, 4, 10, QLatin1Char('0'));
}

std::vector<qreal> ValueAxisTicks(qreal low, qreal high, int maxTicks)
{
    low = std::min<qreal>(low, 0);
    high = std::max<qreal>(high, 0);
    if (!(high > low))
        return {0, 1};
    maxTicks = std::max(2, maxTicks);
    const qreal raw = (high - low) / (maxTicks - 1);
    qreal magnitude = std::max<qreal>(1, std::pow(10.0, std::floor(std::log10(raw))));
    for (;;) {
        for (const qreal m : {1.0, 2.0, 5.0}) {
            const qreal step = m * magnitude;
            const qreal start = std::floor(low / step) * step;
            const qreal end = std::ceil(high / step) * step;
            const qreal count = std::round((end - start) / step) + 1;
            if (count <= maxTicks) {
                std::vector<qreal> ticks;
                for (qreal i = 0; i < count; ++i)
                    ticks.push_back(start + i * step);
                return ticks;
            }
        }
        magnitude *= 10;
    }
}

QStringList WrapChartTitle(const QString& title, qreal width, const std::function<qreal(const QString&)>& widthOf)
{
    const QString whole = title.trimmed();
    if (whole.isEmpty() || widthOf(whole) <= width)
        return {whole};
    // Where a line may start: before a label, or (second choice) before any word.
    std::vector<qsizetype> labelStarts, wordStarts;
    for (qsizetype i = 1; i < whole.size(); ++i) {
        if (whole[i] == QLatin1Char(' ') || whole[i - 1] != QLatin1Char(' '))
            continue;
        wordStarts.push_back(i);
        const qsizetype end = whole.indexOf(QLatin1Char(' '), i);
        if (whole.mid(i, end < 0 ? -1 : end - i).endsWith(QLatin1Char(':')))
            labelStarts.push_back(i);
    }
    const auto greedy = [&](qsizetype from, qsizetype to, const std::vector<qsizetype>& starts) {
        std::vector<qsizetype> breaks;
        for (const qsizetype s : starts)
            if (s > from && s < to)
                breaks.push_back(s);
        breaks.push_back(to);
        const auto fits = [&](qsizetype a, qsizetype b) { return widthOf(whole.mid(a, b - a).trimmed()) <= width; };
        QStringList lines;
        qsizetype lineStart = from, lastFit = -1;
        for (const qsizetype b : breaks) {
            if (fits(lineStart, b)) {
                lastFit = b;
                continue;
            }
            if (lastFit > lineStart) {
                lines << whole.mid(lineStart, lastFit - lineStart).trimmed();
                lineStart = lastFit;
                if (fits(lineStart, b)) {
                    lastFit = b;
                    continue;
                }
            }
            lines << whole.mid(lineStart, b - lineStart).trimmed(); // wider than the room on its own
            lineStart = b;
            lastFit = -1;
        }
        if (lineStart < to)
            lines << whole.mid(lineStart, to - lineStart).trimmed();
        return lines;
    };
    QStringList lines;
    qsizetype lineStart = 0;
    for (const QString& line : greedy(0, whole.size(), labelStarts)) {
        const qsizetype start = whole.indexOf(line, lineStart);
        if (widthOf(line) <= width)
            lines << line;
        else
            lines << greedy(start, start + line.size(), wordStarts);
        lineStart = start + line.size();
    }
    return lines;
}

qreal ChartLayout::y(qreal value) const
{
    return frontPlane.bottom() - (value - low) / (high - low) * frontPlane.height();
}

ProfitChart::ProfitChart(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("DBChart1"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    setMinimumSize(200, 120);
    for (size_t i = 0; i < series_.size(); ++i) {
        series_[i].objectName = QString::fromLatin1(SeriesDefs[i].objectName);
        series_[i].name = QString::fromLatin1(SeriesDefs[i].name);
        series_[i].color = SeriesDefs[i].color;
        series_[i].bars = SeriesDefs[i].bars;
    }
    title_ = QString::fromUtf8(ChartOpeningTitle);
    setBarsActive(true);
    refresh({});
}

void ProfitChart::setTitleText(const QString& text)
{
    title_ = text;
    update();
}

void ProfitChart::setLeftReserve(int pixels)
{
    leftReserve_ = std::max(0, pixels);
    update();
}

void ProfitChart::setBarsActive(bool bars)
{
    barsActive_ = bars;
    for (ChartSeries& s : series_)
        s.visible = s.bars == bars;
    update();
}

void ProfitChart::refresh(const std::vector<KmcRow>& months)
{
    QStringList labels;
    for (const KmcRow& row : months)
        labels << (row.DATE ? MonthLabel(*row.DATE) : QString());
    refresh(months, labels);
}

void ProfitChart::setPreviousYear(const std::vector<KmcRow>* groups)
{
    previousNet_.clear();
    previousProfit_.clear();
    previousSums_.clear();
    if (groups)
        for (const KmcRow& row : *groups) {
            previousNet_ << ValueOf(row, 0);
            previousProfit_ << ValueOf(row, 2);
            previousSums_.push_back({row.net, row.commission, row.profit});
        }
    update();
}

void ProfitChart::paintPreviousYear(QPainter& p, const ChartLayout& l) const
{
    const int shown = std::min<int>(previousNet_.size(), monthLabels_.size());
    if (shown == 0)
        return;
    p.save();
    p.setRenderHint(QPainter::Antialiasing, true);
    const struct {
        const QList<qreal>* values;
        int indexInMode;
    } lines[] = {{&previousNet_, 0}, {&previousProfit_, 2}};
    for (const auto& line : lines) {
        const unsigned color = series_[static_cast<size_t>(line.indexInMode)].color;
        const int depth = DepthOf(line.indexInMode);
        const qreal dx = depth * l.depthX + l.boxWidth / 2, dy = depth * l.depthY;
        QPolygonF points;
        for (int i = 0; i < shown; ++i)
            points << QPointF(l.frontPlane.left() + (i + 0.5) * l.monthWidth - l.boxWidth / 2 + dx,
                              l.y((*line.values)[i]) - dy);
        const QColor ink = FaceColor(color).darker(220);
        QPen pen(ink, 2, Qt::DashLine);
        pen.setCapStyle(Qt::FlatCap);
        p.setPen(pen);
        p.setBrush(Qt::NoBrush);
        p.drawPolyline(points);
        p.setPen(QPen(Qt::white, 1));
        p.setBrush(ink);
        for (const QPointF& c : points)
            p.drawPolygon(QPolygonF{c + QPointF(0, -5), c + QPointF(5, 0), c + QPointF(0, 5), c + QPointF(-5, 0)});
    }
    p.restore();
}

void ProfitChart::refresh(const std::vector<KmcRow>& months, const QStringList& labels)
{
    for (size_t i = 0; i < series_.size(); ++i) {
        QList<qreal> values;
        for (const KmcRow& row : months)
            values << ValueOf(row, static_cast<int>(i) % SeriesPerMode);
        series_[i].values = values;
    }
    monthLabels_.clear();
    monthSums_.clear();
    for (size_t i = 0; i < months.size(); ++i) {
        monthLabels_ << labels.value(static_cast<qsizetype>(i));
        monthSums_.push_back({months[i].net, months[i].commission, months[i].profit});
    }
    update();
}

QStringList ProfitChart::valueLabels() const
{
    QStringList labels;
    for (const qreal t : chartLayout().ticks)
        labels << AxisNumber(t);
    return labels;
}

ChartLayout ProfitChart::layoutFor(const QSizeF& size, int leftReserve) const
{
    ChartLayout l;
    const QFontMetricsF fm(ChartFont());
    const qreal lineHeight = fm.height();
    const qreal left = leftReserve > 0 ? leftReserve : 4;

    // The title: right-aligned, never under the legend; wrapped when the room beside it is short.
    const qreal titleRoom = std::max<qreal>(40, size.width() - left - 12 - 2 * TitlePadding);
    l.titleLines = WrapChartTitle(title_, titleRoom, [&fm](const QString& s) { return fm.horizontalAdvance(s); });
    qreal titleWidth = 0;
    for (const QString& line : l.titleLines)
        titleWidth = std::max(titleWidth, fm.horizontalAdvance(line));
    titleWidth += 2 * TitlePadding + 1;
    const qreal titleHeight = l.titleLines.size() * lineHeight + 2 * TitlePadding;
    l.titleFrame = QRectF(std::max(left + 4, size.width() - 8 - titleWidth), 4, titleWidth, titleHeight);
    const qreal plotTop = l.titleFrame.bottom() + 8;

    qreal low = 0, high = 0;
    for (const ChartSeries& s : series_)
        for (const qreal v : s.values) {
            low = std::min(low, v);
            high = std::max(high, v);
        }
    for (const QList<qreal>* previous : {&previousNet_, &previousProfit_})
        for (const qreal v : *previous) {
            low = std::min(low, v);
            high = std::max(high, v);
        }
    const int months = static_cast<int>(monthLabels_.size());
    const qreal estimatedHeight = size.height() - plotTop - 2 * lineHeight - 10;
    // A label every 1.6 lines at most, and no more than a dozen (a printed page is tall).
    const int fittingLabels = static_cast<int>(estimatedHeight / (1.6 * lineHeight));
    l.ticks = ValueAxisTicks(low, high, std::min(MaxValueLabels, fittingLabels));
    l.low = l.ticks.front();
    l.high = l.ticks.back();
    qreal labelWidth = 0;
    for (const qreal t : l.ticks)
        labelWidth = std::max(labelWidth, fm.horizontalAdvance(AxisNumber(t)));

    const qreal plotLeft = left + labelWidth + 8;
    const qreal plotRight = size.width() - 8;
    const qreal plotWidth = std::max<qreal>(10, plotRight - plotLeft);
    const int monthSlots = std::max(1, months);
    l.depthX = std::clamp(plotWidth / monthSlots * DepthShare, 2.0, MaxDepthStep);
    l.depthY = l.depthX * DepthRise;
    const qreal frontWidth = plotWidth - SeriesPerMode * l.depthX;
    l.monthWidth = frontWidth / monthSlots;
    l.boxWidth = std::max<qreal>(2, l.monthWidth * (1 - MonthGapShare) - SeriesPerMode * l.depthX);

    qreal widestMonth = 0;
    for (const QString& label : monthLabels_)
        widestMonth = std::max(widestMonth, fm.horizontalAdvance(label));
    l.uprightMonthLabels = widestMonth + 6 > l.monthWidth;
    const qreal monthLabelHeight = (l.uprightMonthLabels ? widestMonth : lineHeight) + 6;
    const qreal frontTop = plotTop + SeriesPerMode * l.depthY;
    const qreal frontBottom = std::max(frontTop + 20, size.height() - 4 - monthLabelHeight);
    l.frontPlane = QRectF(QPointF(plotLeft, frontTop), QPointF(plotLeft + frontWidth, frontBottom));
    return l;
}

QRectF ProfitChart::monthArea(int month) const
{
    if (month < 0 || month >= monthLabels_.size())
        return {};
    const ChartLayout l = chartLayout();
    const qreal left = l.frontPlane.left() + month * l.monthWidth;
    const qreal top = l.frontPlane.top() - SeriesPerMode * l.depthY;
    return QRectF(QPointF(left, top), QPointF(left + l.monthWidth, l.frontPlane.bottom()));
}

int ProfitChart::monthAt(const QPointF& point) const
{
    for (int i = 0; i < monthLabels_.size(); ++i)
        if (monthArea(i).contains(point))
            return i;
    return -1;
}

QString ProfitChart::monthToolTip(int month) const
{
    if (month < 0 || month >= monthLabels_.size())
        return {};
    QString text = monthLabels_[month];
    const std::array<double, 3>& sums = monthSums_[static_cast<size_t>(month)];
    for (int i = 0; i < SeriesPerMode; ++i)
        text += QStringLiteral("\n%1: %2").arg(QString::fromUtf8(SeriesCaptions[i]),
                                               QString::fromStdString(FormatMoney(sums[static_cast<size_t>(i)])));
    if (static_cast<size_t>(month) < previousSums_.size()) {
        const std::array<double, 3>& before = previousSums_[static_cast<size_t>(month)];
        text += QStringLiteral("\nVorjahr: Netto %1, Gewinn %2")
                    .arg(QString::fromStdString(FormatMoney(before[0])), QString::fromStdString(FormatMoney(before[2])));
    }
    return text;
}

bool ProfitChart::event(QEvent* event)
{
    if (event->type() == QEvent::ToolTip) {
        const auto* help = static_cast<QHelpEvent*>(event);
        const int month = monthAt(help->pos());
        if (month >= 0)
            QToolTip::showText(help->globalPos(), monthToolTip(month), this, monthArea(month).toAlignedRect());
        else
            QToolTip::hideText();
        return true;
    }
    return QWidget::event(event);
}

void ProfitChart::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    paintChart(painter, chartLayout());
}

void ProfitChart::paintChart(QPainter& painter, const ChartLayout& l) const
{
    painter.save();
    painter.setFont(ChartFont());
    paintAxes(painter, l);
    if (barsActive_)
        paintBars(painter, l);
    else
        paintLines(painter, l);
    paintPreviousYear(painter, l);
    paintTitle(painter, l);
    painter.restore();
}

void ProfitChart::paintAxes(QPainter& p, const ChartLayout& l) const
{
    const QRectF& f = l.frontPlane;
    const qreal backX = SeriesPerMode * l.depthX, backY = SeriesPerMode * l.depthY;
    p.setRenderHint(QPainter::Antialiasing, false);

    // The floor, then the grid on the (transparent) back wall and on the left wall.
    const QPolygonF floor{{f.left(), f.bottom()}, {f.right(), f.bottom()}, {f.right() + backX, f.bottom() - backY},
                          {f.left() + backX, f.bottom() - backY}};
    p.setPen(HostColorToQColor(GridColor));
    p.setBrush(HostColorToQColor(FloorColor));
    p.drawPolygon(floor);
    p.setBrush(Qt::NoBrush);
    for (const qreal t : l.ticks) {
        const qreal y = l.y(t);
        p.drawLine(QPointF(f.left(), y), QPointF(f.left() + backX, y - backY));
        p.drawLine(QPointF(f.left() + backX, y - backY), QPointF(f.right() + backX, y - backY));
    }
    p.drawLine(QPointF(f.right() + backX, f.top() - backY), QPointF(f.right() + backX, f.bottom() - backY));
    p.drawLine(QPointF(f.left() + backX, f.top() - backY), QPointF(f.left() + backX, f.bottom() - backY));

    // The value axis at the front plane's left edge, with its labels.
    const QFontMetricsF fm(p.font());
    p.setPen(Qt::black);
    p.drawLine(QPointF(f.left(), f.top()), QPointF(f.left(), f.bottom()));
    p.drawLine(QPointF(f.left(), f.bottom()), QPointF(f.right(), f.bottom()));
    for (const qreal t : l.ticks) {
        const qreal y = l.y(t);
        p.drawLine(QPointF(f.left() - 3, y), QPointF(f.left(), y));
        const QRectF box(0, y - fm.height() / 2, f.left() - 5, fm.height());
        p.drawText(box, Qt::AlignRight | Qt::AlignVCenter, AxisNumber(t));
    }

    // The month labels, centred under their months (upright when they do not fit side by side).
    for (int i = 0; i < monthLabels_.size(); ++i) {
        const qreal centre = f.left() + (i + 0.5) * l.monthWidth;
        if (l.uprightMonthLabels) {
            p.save();
            p.translate(centre, f.bottom() + 4);
            p.rotate(-90);
            p.drawText(QRectF(-1000, -fm.height() / 2, 1000, fm.height()), Qt::AlignRight | Qt::AlignVCenter,
                       monthLabels_[i]);
            p.restore();
        } else {
            p.drawText(QRectF(centre - l.monthWidth / 2, f.bottom() + 3, l.monthWidth, fm.height()),
                       Qt::AlignHCenter | Qt::AlignTop, monthLabels_[i]);
        }
    }
}

void ProfitChart::paintBars(QPainter& p, const ChartLayout& l) const
{
    p.setRenderHint(QPainter::Antialiasing, false);
    const qreal gap = l.monthWidth * MonthGapShare / 2;
    const qreal base = l.y(0);
    // From the back to the front, so that a box in front covers the one behind it.
    for (const int s : BackToFront) {
        const ChartSeries& series = series_[static_cast<size_t>(s)];
        const int depth = DepthOf(s);
        const qreal dx = depth * l.depthX, dy = depth * l.depthY;
        const QColor outline = FaceColor(series.color).darker(200);
        for (int i = 0; i < series.values.size(); ++i) {
            const qreal x0 = l.frontPlane.left() + i * l.monthWidth + gap + dx;
            const qreal x1 = x0 + l.boxWidth;
            const qreal v = l.y(series.values[i]);
            const qreal top = std::min(v, base) - dy, bottom = std::max(v, base) - dy;
            const QPolygonF side{{x1, top}, {x1 + l.depthX, top - l.depthY}, {x1 + l.depthX, bottom - l.depthY},
                                 {x1, bottom}};
            const QPolygonF lid{{x0, top}, {x1, top}, {x1 + l.depthX, top - l.depthY}, {x0 + l.depthX, top - l.depthY}};
            // Lid and side without an outline: for a small value they are all that shows of the box.
            p.setPen(Qt::NoPen);
            p.setBrush(SideColor(series.color));
            p.drawPolygon(side);
            p.setBrush(TopColor(series.color));
            p.drawPolygon(lid);
            p.setPen(outline);
            p.setBrush(FaceColor(series.color));
            p.drawRect(QRectF(QPointF(x0, top), QPointF(x1, bottom)));
        }
    }
    p.setBrush(Qt::NoBrush);
}

void ProfitChart::paintLines(QPainter& p, const ChartLayout& l) const
{
    p.setRenderHint(QPainter::Antialiasing, true);
    const qreal ribbonX = l.depthX * RibbonDepth, ribbonY = l.depthY * RibbonDepth;
    for (const int s : BackToFront) {
        const ChartSeries& series = series_[static_cast<size_t>(SeriesPerMode + s)];
        const int depth = DepthOf(s);
        const qreal dx = depth * l.depthX, dy = depth * l.depthY;
        QPolygonF edge;
        for (int i = 0; i < series.values.size(); ++i) {
            const qreal centre = l.frontPlane.left() + (i + 0.5) * l.monthWidth;
            const qreal y = l.y(series.values[i]) - dy;
            if (series.values.size() == 1) // a single month: a level stroke across its box
                edge << QPointF(centre - l.boxWidth / 2 + dx, y) << QPointF(centre + l.boxWidth / 2 + dx, y);
            else
                edge << QPointF(centre + dx, y);
        }
        if (edge.isEmpty())
            continue;
        p.setPen(Qt::NoPen);
        p.setBrush(TopColor(series.color));
        for (qsizetype i = 0; i + 1 < edge.size(); ++i) {
            const QPointF a = edge[i], b = edge[i + 1];
            p.drawPolygon(QPolygonF{a, b, b + QPointF(ribbonX, -ribbonY), a + QPointF(ribbonX, -ribbonY)});
        }
        QPen pen(FaceColor(series.color), ChartLineWidth);
        pen.setJoinStyle(Qt::RoundJoin);
        pen.setCapStyle(Qt::FlatCap);
        p.setPen(pen);
        p.setBrush(Qt::NoBrush);
        p.drawPolyline(edge);
    }
    p.setRenderHint(QPainter::Antialiasing, false);
}

void ProfitChart::paintTitle(QPainter& p, const ChartLayout& l) const
{
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(Qt::black);
    p.setBrush(Qt::white);
    p.drawRect(l.titleFrame);
    p.setBrush(Qt::NoBrush);
    const QFontMetricsF fm(p.font());
    qreal y = l.titleFrame.top() + TitlePadding;
    for (const QString& line : l.titleLines) {
        p.drawText(QRectF(l.titleFrame.left() + TitlePadding, y, l.titleFrame.width() - 2 * TitlePadding, fm.height()),
                   Qt::AlignRight | Qt::AlignVCenter, line);
        y += fm.height();
    }
}

void ProfitChart::paintLegend(QPainter& p, const QRectF& area) const
{
    const QFontMetricsF fm(p.font());
    qreal y = area.top();
    for (int i = 0; i < SeriesPerMode; ++i) {
        const QRectF swatch(area.left(), y + 2, fm.height() - 4, fm.height() - 4);
        p.fillRect(swatch, FaceColor(series_[static_cast<size_t>(i)].color));
        p.setPen(Qt::black);
        p.drawText(QRectF(swatch.right() + 4, y, area.width() - swatch.width() - 4, fm.height()),
                   Qt::AlignLeft | Qt::AlignVCenter, QString::fromUtf8(SeriesCaptions[i]));
        y += fm.height() + 2;
    }
    if (!previousNet_.isEmpty()) {
        // The previous year's dashed lines, named as the window's switch names them.
        const qreal width = fm.height() - 4, middle = y + fm.height() / 2;
        p.save();
        p.setPen(QPen(Qt::black, 2, Qt::DashLine));
        p.drawLine(QPointF(area.left(), middle), QPointF(area.left() + width, middle));
        p.restore();
        p.setPen(Qt::black);
        p.drawText(QRectF(area.left() + width + 4, y, area.width() - width - 4, fm.height()),
                   Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Vorjahr"));
    }
}

bool ProfitChart::printChart(QPrinter& printer)
{
    QPainter painter;
    if (!painter.begin(&printer))
        return false;
    // Laid out afresh for the page's proportions, with the legend painted where the window's
    // legend panel lies.
    const QRect page = painter.viewport();
    const qreal width = std::max(900, this->width());
    const qreal height = width * page.height() / std::max(1, page.width());
    painter.setViewport(page);
    painter.setWindow(QRect(0, 0, qRound(width), qRound(height)));
    painter.setFont(ChartFont());
    constexpr int LegendWidth = 100;
    paintChart(painter, layoutFor(QSizeF(width, height), LegendWidth));
    painter.save();
    painter.setFont(ChartFont());
    paintLegend(painter, QRectF(8, 8, LegendWidth - 12, 60));
    painter.restore();
    return painter.end();
}

void ProfitChart::paintPicture(QPainter& painter, const QSizeF& size) const
{
    constexpr int LegendWidth = 100;
    painter.fillRect(QRectF(QPointF(0, 0), size), Qt::white);
    paintChart(painter, layoutFor(size, LegendWidth));
    painter.save();
    painter.setFont(ChartFont());
    paintLegend(painter, QRectF(8, 8, LegendWidth - 12, 60));
    painter.restore();
}

void ProfitChart::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton) {
        const int month = monthAt(event->position());
        if (month >= 0) {
            emit monthClicked(month);
            event->accept();
            return;
        }
    }
    QWidget::mousePressEvent(event);
}

} // namespace gs
