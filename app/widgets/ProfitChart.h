#pragma once
// The chart of the statistics window (DBChart1 in the tab "Grafik"): net value, commission and
// profit per month of KMC, either as bars or as lines, under a framed, right-aligned title.
//
//   Series2 "SeriesBWWNETTO"  bars  WW_NETTO_INT   blue    (0xFF0000)
//   Series1 "SeriesBPROV"     bars  PROVISION_INT  orange  (4227327 = 0x4080FF)
//   Series3 "SeriesBPROFIT"   bars  GEWINN_INT     green   (0x00FF00)
//   Series4 "SeriesLWWNETTO"  line  WW_NETTO_INT   blue
//   Series6 "SeriesLPROV"     line  PROVISION_INT  orange
//   Series5 "SeriesLPROFIT"   line  GEWINN_INT     green
// (colours 0x00BBGGRR). The bars fill the whole width of their month and stand in front of each
// other in the order above instead of side by side. Qt's own bar series always share a month
// between them, so each bar series here is an area series whose outline is a row of month-wide
// blocks from 0 to the value (x from month - 0.5 to month + 0.5), drawn in the order above over one
// month axis: the three bars of a month overlap exactly. Lines run through the month centres, 5
// pixels wide, without point marks. No legend, no zooming. The month axis shows the month dates
// ("01.2006") centred under their bars.
#include "app/ResultTables.h"

#include <QChartView>

#include <array>
#include <vector>

class QPrinter;
class QGraphicsRectItem;
class QGraphicsSimpleTextItem;
class QAreaSeries;
class QCategoryAxis;
class QLineSeries;
class QValueAxis;

namespace gs {

inline constexpr unsigned ChartNetColor = 0xFF0000u;
inline constexpr unsigned ChartCommissionColor = 4227327u;
inline constexpr unsigned ChartProfitColor = 0x00FF00u;
inline constexpr int ChartLineWidth = 5;

class TProfitChart : public QChartView {
    Q_OBJECT
public:
    explicit TProfitChart(QWidget* parent = nullptr);

    // The title line above the chart ("TDBChart" until the first run sets it).
    void setTitleText(const QString& text);
    QString titleText() const;

    // Reloads every series from the month rows (an empty value counts as 0) and rescales both axes,
    // so the month axis shows exactly these months.
    void refresh(const std::vector<KmcRow>& months);

    // Shows the three bar series (true) or the three line series (false).
    void setBarsActive(bool bars);
    bool barsActive() const { return barsActive_; }

    // The month labels of the axis, in order.
    QStringList monthLabels() const;
    QAreaSeries* barSeries(int i) const { return bars_[static_cast<size_t>(i)]; }  // 0 net, 1 commission, 2 profit
    QLineSeries* lineSeries(int i) const { return lines_[static_cast<size_t>(i)]; } // 0 net, 1 commission, 2 profit

    // Keeps room at the left for a panel lying over the chart's top-left corner (the legend).
    void setLeftReserve(int pixels);

    // Prints the chart with its title on one page of the printer; false when the printer cannot
    // be started.
    bool printChart(QPrinter& printer);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void placeTitle();
    void fitMonthLabels();

    std::array<QAreaSeries*, 3> bars_{};
    std::array<QLineSeries*, 3> lines_{};
    QCategoryAxis* axisX_ = nullptr;
    QValueAxis* axisY_ = nullptr;
    QGraphicsRectItem* titleFrame_ = nullptr;
    QGraphicsSimpleTextItem* title_ = nullptr;
    bool barsActive_ = true;
    int leftReserve_ = 0;
};

// The axis label of a month: "MM.YYYY".
QString MonthLabel(TDateTime monthStart);

// The outline of a row of month-wide bars: for month i with value v the corners (i - 0.5, 0),
// (i - 0.5, v), (i + 0.5, v), (i + 0.5, 0).
QList<QPointF> BarOutline(const QList<qreal>& values);

} // namespace gs
