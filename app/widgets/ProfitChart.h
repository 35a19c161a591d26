#pragma once
// The chart of the statistics window (DBChart1 in the tab "Grafik"): net value, commission and
// profit per month of KMC, as bars or as lines, in a three-dimensional look, under a framed,
// right-aligned title. For the window, its tests and the chart print; painting never fails, a
// printer that cannot be started is reported by printChart's result.
//
//   Series2 "SeriesBWWNETTO"  bars  WW_NETTO_INT   blue    (0xFF0000)
//   Series1 "SeriesBPROV"     bars  PROVISION_INT  orange  (4227327 = 0x4080FF)
//   Series3 "SeriesBPROFIT"   bars  GEWINN_INT     green   (0x00FF00)
//   Series4 "SeriesLWWNETTO"  line  WW_NETTO_INT   blue
//   Series6 "SeriesLPROV"     line  PROVISION_INT  orange
//   Series5 "SeriesLPROFIT"   line  GEWINN_INT     green
// (colours 0x00BBGGRR).
//
// The look: the three series of a mode stand one behind the other, each at its own depth (an
// oblique projection: one step of depth moves right and up): the net, as a rule the largest, at the
// back, the profit in the middle, the commission, as a rule the smallest, in front. Bars are
// boxes, lines are ribbons 5 pixels thick at their front edge, and the series are painted from the
// back to the front. A box is narrower than its month by the depth of the series in front of it, so
// the right side face of every box shows beside the box in front, whatever the values: every
// series can be seen in every month, in both modes. The chart is painted by hand rather than by a
// chart library, so the same painting serves the screen, the offscreen tests and the printer.
//
// The value axis shows whole numbers in the program's number format ("3.000.000"), the month axis
// the month dates ("01.2006") centred under their months, upright when they do not fit side by side.
// The title keeps clear of the legend panel over the chart's top-left corner (setLeftReserve) and
// wraps at its labels ("Provision: ", "Gewinn: ", "Bereich: ") when it is wider than the room
// beside the legend. Resting the mouse on a month shows its three values in the money format as a
// tooltip. No legend of its own on screen, no zooming or panning.
//
// The previous year, when given, is drawn over the current one: its net and its profit per month
// as dashed lines with a diamond on every month, each in the darker shade of its series and at that
// series' depth, so that this year's bar and last year's mark stand on one plane; the tooltip adds
// last year's sums.
//
// A click on a month reports it (monthClicked), so that the window can show its documents.
#include "app/ResultTables.h"

#include <QColor>
#include <QList>
#include <QPolygonF>
#include <QRectF>
#include <QStringList>
#include <QWidget>

#include <array>
#include <functional>
#include <vector>

class QPainter;
class QPrinter;

namespace gs {

inline constexpr unsigned ChartNetColor = 0xFF0000u;
inline constexpr unsigned ChartCommissionColor = 4227327u;
inline constexpr unsigned ChartProfitColor = 0x00FF00u;
inline constexpr int ChartLineWidth = 5;

// One series of the chart: its names, colour, kind and the values of the months of the last refresh.
struct ChartSeries {
    QString objectName;  // "Series2"
    QString name;        // "SeriesBWWNETTO"
    unsigned color = 0;  // 0x00BBGGRR
    bool bars = true;
    bool visible = true;
    QList<qreal> values; // one per month
};

// The painted geometry for a size: where the plot, its depth, the months and the title lie.
struct ChartLayout {
    QRectF frontPlane;            // the plot at depth 0 (value axis at its left edge)
    qreal depthX = 0, depthY = 0; // screen offset of one step of depth (one series)
    qreal monthWidth = 0;         // width of a month on the front plane
    qreal boxWidth = 0;           // width of a bar's front face
    qreal low = 0, high = 1;      // value range of the axis
    std::vector<qreal> ticks;     // values with a label
    bool uprightMonthLabels = false;
    QRectF titleFrame;
    QStringList titleLines;
    // The screen y of a value on the front plane.
    qreal y(qreal value) const;
};

// What the chart says before the first run: what to do, instead of the host's component name
// "TDBChart" (the window opens on the chart, empty until "Finden").
inline constexpr const char* ChartOpeningTitle = "Jahr und Zeitraum wählen, dann „Finden“ klicken.";

class ProfitChart : public QWidget {
    Q_OBJECT
public:
    explicit ProfitChart(QWidget* parent = nullptr);

    // The title line above the chart (ChartOpeningTitle until the first run sets it).
    void setTitleText(const QString& text);
    QString titleText() const { return title_; }

    // Reloads every series from the month rows (an empty value counts as 0) and rescales both axes,
    // so the month axis shows exactly these months.
    void refresh(const std::vector<KmcRow>& months);
    // The same with labels of the caller's (a row may stand for a part of a month or a quarter).
    void refresh(const std::vector<KmcRow>& groups, const QStringList& labels);
    // The previous year's groups, one for each group of the last refresh (none: nothing drawn).
    void setPreviousYear(const std::vector<KmcRow>* groups);
    // The previous year's net and profit per group, as drawn (empty without a previous year).
    const QList<qreal>& previousNet() const { return previousNet_; }
    const QList<qreal>& previousProfit() const { return previousProfit_; }

    // Shows the three bar series (true) or the three line series (false).
    void setBarsActive(bool bars);
    bool barsActive() const { return barsActive_; }

    // The six series in design order (bars net, commission, profit; lines net, commission, profit);
    // barSeries and lineSeries by their index in the mode: 0 net, 1 commission, 2 profit.
    const std::array<ChartSeries, 6>& series() const { return series_; }
    const ChartSeries& barSeries(int i) const { return series_[static_cast<size_t>(i)]; }
    const ChartSeries& lineSeries(int i) const { return series_[static_cast<size_t>(3 + i)]; }

    // The month labels of the axis, in order, and the value axis labels from the bottom up.
    QStringList monthLabels() const { return monthLabels_; }
    QStringList valueLabels() const;

    // Keeps room at the left for a panel lying over the chart's top-left corner (the legend).
    void setLeftReserve(int pixels);

    // The geometry as painted at the widget's current size.
    ChartLayout chartLayout() const { return layoutFor(QSizeF(size()), leftReserve_); }
    // The screen area a month covers (all its boxes or ribbons, with their depth); empty when there
    // is no such month.
    QRectF monthArea(int month) const;
    // The month under a point of the widget, or -1.
    int monthAt(const QPointF& point) const;
    // The tooltip of a month: the month and its exact sums (net, commission, profit) in the money
    // format, with cents; the bars themselves stand for the host's whole-euro sums.
    QString monthToolTip(int month) const;

    // Prints the chart with its title and a legend on one page of the printer; false when the
    // printer cannot be started.
    bool printChart(QPrinter& printer);

    // Paints the chart as a picture of the given size (in the chart's pixels) onto any painter: a
    // white ground, the chart laid out for that size, and the legend where the window's legend panel
    // lies. For the picture files of the chart (app/widgets/ChartPicture.h).
    void paintPicture(QPainter& painter, const QSizeF& size) const;

signals:
    // A click with the left button on a month's bars or lines (the month's index in the last refresh).
    void monthClicked(int month);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    bool event(QEvent* event) override;

private:
    ChartLayout layoutFor(const QSizeF& size, int leftReserve) const;
    void paintChart(QPainter& painter, const ChartLayout& layout) const;
    void paintBars(QPainter& painter, const ChartLayout& layout) const;
    void paintLines(QPainter& painter, const ChartLayout& layout) const;
    void paintAxes(QPainter& painter, const ChartLayout& layout) const;
    void paintTitle(QPainter& painter, const ChartLayout& layout) const;
    void paintLegend(QPainter& painter, const QRectF& area) const;
    void paintPreviousYear(QPainter& painter, const ChartLayout& layout) const;

    std::array<ChartSeries, 6> series_;
    QStringList monthLabels_;
    // Per month: the exact sums of net, commission and profit (the series' order in a mode).
    std::vector<std::array<double, 3>> monthSums_;
    QList<qreal> previousNet_, previousProfit_;
    std::vector<std::array<double, 3>> previousSums_;
    QString title_;
    bool barsActive_ = true;
    int leftReserve_ = 0;
};

// The shades a series is painted in: the front face and the line (the colour itself), the lid of a
// box and a line's ribbon (lighter), a box's side face (darker).
struct ChartShades {
    QColor face, top, side;
};
ChartShades ShadesOf(unsigned color);

// The axis label of a month: "MM.YYYY".
QString MonthLabel(TDateTime monthStart);

// Values with a label on an axis from low to high: a step of 1, 2 or 5 times a power of ten (at
// least 1), chosen so that at most maxTicks labels stand on the axis; the range is widened to whole
// steps and always holds 0. An empty range (0 to 0) gives 0 and 1.
std::vector<qreal> ValueAxisTicks(qreal low, qreal high, int maxTicks);

// The title in lines no wider than width (measured by widthOf): breaks only before a label
// ("Provision: ", "Gewinn: ", "Bereich: ": a word ending in ":") while that suffices, otherwise
// between any words; a single word wider than width stands on its own line.
QStringList WrapChartTitle(const QString& title, qreal width, const std::function<qreal(const QString&)>& widthOf);

} // namespace gs
