#pragma once
// The chart of a run as a picture file, drawn by the window's chart (app/widgets/ProfitChart): the
// three series as bars or lines, the title and the legend. PNG or SVG by the file's extension; no
// display is needed (the offscreen platform serves), but a QApplication must exist.
//
// The picture is drawn at twice the chart's pixels, as on a screen of double density: a picture
// of 1200x700 holds the chart laid out at 600x350 with sharper lines and text.
//
// How it fails: raises gs::Error with the file and the reason; the file is written atomically
// (base/AtomicFile.h), so a failed write leaves an existing file as it was.
#include "app/ResultTables.h"

#include <QByteArray>
#include <QSize>
#include <QString>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

class QMenu;
class QWidget;

namespace gs {

class ProfitChart;

// The window's chart at its design size, at twice its pixels.
inline constexpr int ChartPictureDefaultWidth = 1168;
inline constexpr int ChartPictureDefaultHeight = 560;

struct ChartPictureRequest {
    std::vector<KmcRow> months;      // the bar groups (app/ChartGroups.h)
    std::vector<std::string> labels; // one a group; empty: the months' own
    // The previous year's groups, drawn beside as the window draws them when "Vorjahr" is on.
    std::optional<std::vector<KmcRow>> previous;
    QString title;     // the chart's title line (ChartTitleText)
    bool bars = true;  // false: lines
    QSize size{ChartPictureDefaultWidth, ChartPictureDefaultHeight};
    bool svg = false;  // false: PNG
};

// The picture's bytes.
QByteArray ChartPictureBytes(const ChartPictureRequest& request);
// The picture of a chart as it stands (its months, title and mode), at size (twice its pixels).
QByteArray ChartPictureBytes(const ProfitChart& chart, const QSize& size, bool svg);

// True for a file name ending in ".svg" (any case).
bool IsSvgFile(const std::filesystem::path& file);

// Writes the picture; the format follows the file's extension (".svg", otherwise PNG).
void WriteChartPicture(ChartPictureRequest request, const std::filesystem::path& file);

// "Bild speichern…" of the window's chart: asks for the file through the dialog seam ("PNG-Bild" or
// "SVG-Grafik", default "Gewinn-Grafik.png"), writes the chart as it stands at twice its size on
// screen, and shows the reason in a message when the file cannot be written. False when nothing
// was written (cancelled or failed).
bool SaveChartPicture(const ProfitChart& chart);
inline constexpr const char* ChartPictureFilter = "PNG-Bild|*.png|SVG-Grafik|*.svg";

// The chart's context menu (one entry, "Bild speichern…"); the chart's owner pops it up.
QMenu* BuildChartMenu(const ProfitChart& chart, QWidget* parent);
// Makes the chart open that menu on a right click.
void InstallChartMenu(ProfitChart* chart);

} // namespace gs
