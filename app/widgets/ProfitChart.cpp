#include "app/widgets/ProfitChart.h"

#include "display/HostFonts.h"
#include "display/QtColors.h"

#include <QAreaSeries>
#include <QCategoryAxis>
#include <QGraphicsLayout>
#include <QGraphicsRectItem>
#include <QGraphicsSimpleTextItem>
#include <QLineSeries>
#include <QPainter>
#include <QPrinter>
#include <QValueAxis>

#include <algorithm>

namespace gs {

namespace {

struct SeriesDef {
    const char* objectName;
    const char* name;
    unsigned color;
};
// In the order the chart holds them; index 0 net, 1 commission, 2 profit.
constexpr SeriesDef BarDefs[3] = {{"Series2", "SeriesBWWNETTO", ChartNetColor},
                                  {"Series1", "SeriesBPROV", ChartCommissionColor},
                                  {"Series3", "SeriesBPROFIT", ChartProfitColor}};
constexpr SeriesDef LineDefs[3] = {{"Series4", "SeriesLWWNETTO", ChartNetColor},
                                   {"Series6", "SeriesLPROV", ChartCommissionColor},
                                   {"Series5", "SeriesLPROFIT", ChartProfitColor}};

int ValueOf(const KmcRow& row, int which)
{
    const std::optional<int>& v = which == 0 ? row.WW_NETTO_INT : which == 1 ? row.PROVISION_INT : row.GEWINN_INT;
    return v.value_or(0);
}

constexpr int TitlePadding = 4;

} // namespace

QString MonthLabel(TDateTime monthStart)
{
    int y = 0, m = 0, d = 0;
    DecodeDate(monthStart, y, m, d);
    return QStringLiteral("%1.%2").arg(m, 2, 10, QLatin1Char('0')).arg(y, 4, 10, QLatin1Char('0'));
}

TProfitChart::TProfitChart(QWidget* parent) : QChartView(parent)
{
    setObjectName(QStringLiteral("DBChart1"));
    setRenderHint(QPainter::Antialiasing);
    setRubberBand(QChartView::NoRubberBand);
    setDragMode(QGraphicsView::NoDrag);
    setFrameShape(QFrame::NoFrame);

    QChart* c = new QChart();
    c->legend()->hide();
    c->setBackgroundRoundness(0);
    c->setBackgroundBrush(Qt::white);
    c->setPlotAreaBackgroundVisible(false); // the back wall is transparent
    c->setAnimationOptions(QChart::NoAnimation);
    setChart(c);

    axisX_ = new QCategoryAxis(c);
    axisX_->setLabelsPosition(QCategoryAxis::AxisLabelsPositionCenter);
    axisX_->setGridLineVisible(false);
    axisY_ = new QValueAxis(c);
    axisX_->setLabelsFont(HostFont(QStringLiteral("Arial"), 8));
    axisY_->setLabelsFont(HostFont(QStringLiteral("Arial"), 8));
    axisY_->setLabelFormat(QStringLiteral("%d"));
    c->addAxis(axisX_, Qt::AlignBottom);
    c->addAxis(axisY_, Qt::AlignLeft);

    for (int i = 0; i < 3; ++i) {
        auto* series = new QAreaSeries(new QLineSeries(c), new QLineSeries(c));
        series->setParent(c);
        series->setObjectName(QString::fromLatin1(BarDefs[i].objectName));
        series->setName(QString::fromLatin1(BarDefs[i].name));
        series->setPointsVisible(false);
        series->setPointLabelsVisible(false);
        const QColor color = HostColorToQColor(BarDefs[i].color);
        series->setColor(color);
        series->setBorderColor(color.darker(150));
        bars_[static_cast<size_t>(i)] = series;
    }
    for (int i = 0; i < 3; ++i) {
        auto* series = new QLineSeries(c);
        series->setObjectName(QString::fromLatin1(LineDefs[i].objectName));
        series->setName(QString::fromLatin1(LineDefs[i].name));
        QPen pen(HostColorToQColor(LineDefs[i].color));
        pen.setWidth(ChartLineWidth);
        series->setPen(pen);
        series->setPointsVisible(false);
        series->setPointLabelsVisible(false);
        lines_[static_cast<size_t>(i)] = series;
    }
    for (QAbstractSeries* s : {static_cast<QAbstractSeries*>(bars_[0]), static_cast<QAbstractSeries*>(bars_[1]),
                               static_cast<QAbstractSeries*>(bars_[2]), static_cast<QAbstractSeries*>(lines_[0]),
                               static_cast<QAbstractSeries*>(lines_[1]), static_cast<QAbstractSeries*>(lines_[2])}) {
        // Later series are drawn over earlier ones.
        c->addSeries(s);
        s->attachAxis(axisX_);
        s->attachAxis(axisY_);
    }

    titleFrame_ = new QGraphicsRectItem(c);
    titleFrame_->setPen(QPen(Qt::black));
    titleFrame_->setBrush(Qt::white);
    title_ = new QGraphicsSimpleTextItem(titleFrame_);
    title_->setFont(HostFont(QStringLiteral("Arial"), 8));
    titleFrame_->setZValue(10);
    connect(c, &QChart::geometryChanged, this, [this] { placeTitle(); });
    connect(c, &QChart::plotAreaChanged, this, [this] { fitMonthLabels(); });
    setTitleText(QStringLiteral("TDBChart"));
    setBarsActive(true);
    refresh({});
}

void TProfitChart::setTitleText(const QString& text)
{
    title_->setText(text);
    const QFontMetrics fm(title_->font());
    QMargins margins = chart()->margins();
    margins.setTop(fm.height() + 2 * TitlePadding + 6);
    chart()->setMargins(margins);
    placeTitle();
}

QString TProfitChart::titleText() const { return title_->text(); }

void TProfitChart::placeTitle()
{
    const QRectF textRect = title_->boundingRect();
    const QRectF area = chart()->rect();
    const qreal w = textRect.width() + 2 * TitlePadding;
    const qreal h = textRect.height() + 2 * TitlePadding;
    titleFrame_->setRect(0, 0, w, h);
    titleFrame_->setPos(std::max<qreal>(area.left() + 2, area.right() - w - 8), area.top() + 4);
    title_->setPos(TitlePadding, TitlePadding);
}

void TProfitChart::setLeftReserve(int pixels)
{
    leftReserve_ = std::max(0, pixels);
    QMargins margins = chart()->margins();
    margins.setLeft(leftReserve_);
    chart()->setMargins(margins);
}

void TProfitChart::fitMonthLabels()
{
    // Labels that do not fit under their month stand upright instead of being cut.
    const QStringList labels = axisX_->categoriesLabels();
    if (labels.isEmpty())
        return;
    const QFontMetrics fm(axisX_->labelsFont());
    int widest = 0;
    for (const QString& label : labels)
        widest = std::max(widest, fm.horizontalAdvance(label));
    const qreal perMonth = chart()->plotArea().width() / labels.size();
    const int angle = widest + 6 > perMonth ? -90 : 0;
    if (axisX_->labelsAngle() != angle)
        axisX_->setLabelsAngle(angle);
}

void TProfitChart::resizeEvent(QResizeEvent* event)
{
    QChartView::resizeEvent(event);
    placeTitle();
}

void TProfitChart::refresh(const std::vector<KmcRow>& months)
{
    int low = 0, high = 0;
    const qreal end = months.empty() ? 0.5 : static_cast<qreal>(months.size()) - 0.5;
    for (int which = 0; which < 3; ++which) {
        QList<qreal> values;
        QList<QPointF> points;
        for (size_t i = 0; i < months.size(); ++i) {
            const int v = ValueOf(months[i], which);
            values << v;
            points << QPointF(static_cast<qreal>(i), v);
            low = std::min(low, v);
            high = std::max(high, v);
        }
        QAreaSeries* bars = bars_[static_cast<size_t>(which)];
        bars->upperSeries()->replace(BarOutline(values));
        bars->lowerSeries()->replace(QList<QPointF>{{-0.5, 0}, {end, 0}});
        lines_[static_cast<size_t>(which)]->replace(points);
    }
    // The month axis starts afresh, so it shows exactly these months.
    for (const QString& label : axisX_->categoriesLabels())
        axisX_->remove(label);
    axisX_->setStartValue(-0.5);
    for (size_t i = 0; i < months.size(); ++i) {
        QString label = months[i].DATE ? MonthLabel(*months[i].DATE) : QString();
        while (axisX_->categoriesLabels().contains(label)) // every month keeps its own place
            label += QLatin1Char(' ');
        axisX_->append(label, static_cast<qreal>(i) + 0.5);
    }
    axisX_->setRange(-0.5, end);
    axisY_->setRange(low, high > low ? high : low + 1);
    axisY_->applyNiceNumbers();
    fitMonthLabels();
}

QList<QPointF> BarOutline(const QList<qreal>& values)
{
    QList<QPointF> outline;
    outline.reserve(values.size() * 4);
    for (qsizetype i = 0; i < values.size(); ++i) {
        const qreal x = static_cast<qreal>(i);
        outline << QPointF(x - 0.5, 0) << QPointF(x - 0.5, values[i]) << QPointF(x + 0.5, values[i])
                << QPointF(x + 0.5, 0);
    }
    return outline;
}

void TProfitChart::setBarsActive(bool bars)
{
    barsActive_ = bars;
    for (QAreaSeries* s : bars_)
        s->setVisible(bars);
    for (QLineSeries* s : lines_)
        s->setVisible(!bars);
}

QStringList TProfitChart::monthLabels() const { return axisX_->categoriesLabels(); }

bool TProfitChart::printChart(QPrinter& printer)
{
    QPainter painter;
    if (!painter.begin(&printer))
        return false;
    // Laid out afresh for the page: its proportions, and no room kept for the legend panel, which
    // the page does not show.
    const QRectF page = painter.viewport();
    const QSizeF screenSize = chart()->size();
    const QMargins margins = chart()->margins();
    const qreal width = std::max<qreal>(screenSize.width(), 900);
    chart()->setMargins(QMargins(10, margins.top(), margins.right(), margins.bottom()));
    chart()->resize(width, width * page.height() / std::max<qreal>(1, page.width()));
    if (chart()->layout())
        chart()->layout()->activate();
    scene()->render(&painter, page, chart()->mapRectToScene(chart()->rect()), Qt::KeepAspectRatio);
    chart()->setMargins(margins);
    chart()->resize(screenSize);
    if (chart()->layout())
        chart()->layout()->activate();
    return painter.end();
}

} // namespace gs
