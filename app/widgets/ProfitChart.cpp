#include "app/widgets/ProfitChart.h"

#include "app/widgets/HostFonts.h"
#include "appearance/widgets/SkinColors.h"

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
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

    axisX_ = new QBarCategoryAxis(c);
    axisY_ = new QValueAxis(c);
    axisX_->setLabelsFont(HostFont(QStringLiteral("Arial"), 8));
    axisY_->setLabelsFont(HostFont(QStringLiteral("Arial"), 8));
    axisY_->setLabelFormat(QStringLiteral("%d"));
    c->addAxis(axisX_, Qt::AlignBottom);
    c->addAxis(axisY_, Qt::AlignLeft);

    for (int i = 0; i < 3; ++i) {
        auto* series = new QBarSeries(c);
        series->setObjectName(QString::fromLatin1(BarDefs[i].objectName));
        series->setName(QString::fromLatin1(BarDefs[i].name));
        series->setBarWidth(1.0);
        series->setLabelsVisible(false);
        auto* set = new QBarSet(QString::fromLatin1(BarDefs[i].name));
        const QColor color = HostColorToQColor(BarDefs[i].color);
        set->setColor(color);
        set->setBorderColor(color.darker(150));
        series->append(set);
        bars_[static_cast<size_t>(i)] = series;
        barSets_[static_cast<size_t>(i)] = set;
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
    setTitleText(QStringLiteral("TDBChart"));
    setBarsActive(true);
    axisY_->setRange(0, 1);
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

void TProfitChart::resizeEvent(QResizeEvent* event)
{
    QChartView::resizeEvent(event);
    placeTitle();
}

void TProfitChart::refresh(const std::vector<KmcRow>& months)
{
    QStringList labels;
    for (const KmcRow& row : months)
        labels << (row.DATE ? MonthLabel(*row.DATE) : QString());
    // Equal labels would fold into one category; a month row without a date keeps its own place.
    for (qsizetype i = 0; i < labels.size(); ++i)
        for (qsizetype j = 0; j < i; ++j)
            if (labels[j] == labels[i])
                labels[i] += QLatin1Char(' ');

    int low = 0, high = 0;
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
        QBarSet* set = barSets_[static_cast<size_t>(which)];
        set->remove(0, set->count());
        set->append(values);
        lines_[static_cast<size_t>(which)]->replace(points);
    }
    axisX_->clear();
    axisX_->append(labels);
    if (!labels.isEmpty())
        axisX_->setRange(labels.front(), labels.back());
    axisY_->setRange(low, high > low ? high : low + 1);
    axisY_->applyNiceNumbers();
}

void TProfitChart::setBarsActive(bool bars)
{
    barsActive_ = bars;
    for (QBarSeries* s : bars_)
        s->setVisible(bars);
    for (QLineSeries* s : lines_)
        s->setVisible(!bars);
}

QStringList TProfitChart::monthLabels() const { return axisX_->categories(); }

bool TProfitChart::printChart(QPrinter& printer)
{
    QPainter painter;
    if (!painter.begin(&printer))
        return false;
    const QRectF page = painter.viewport();
    const QRectF source = chart()->mapRectToScene(chart()->rect());
    scene()->render(&painter, page, source, Qt::KeepAspectRatio);
    return painter.end();
}

} // namespace gs
