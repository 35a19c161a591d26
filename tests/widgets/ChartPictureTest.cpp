// The chart as a picture file: drawn by the window's chart, bars or lines, PNG or SVG; every series
// can be seen in the picture's plot (not only in its legend); "Bild speichern…" of the window's
// chart through the dialog seam.
#include "app/widgets/ChartPicture.h"
#include "app/widgets/ProfitChart.h"
#include "base/Dates.h"
#include "support/TestSupport.h"

#include <QAction>
#include <QImage>
#include <QMenu>
#include <QtTest>

#include <set>

using namespace gs;

namespace {

std::vector<KmcRow> Year()
{
    std::vector<KmcRow> months;
    for (int m = 1; m <= 12; ++m) {
        KmcRow row;
        row.DATE = EncodeDate(2026, m, 1);
        row.WW_NETTO_INT = 9000 + 300 * m;
        row.PROVISION_INT = 700 + 20 * m;
        row.GEWINN_INT = 2500 - 150 * m; // below zero at the end of the year
        months.push_back(row);
    }
    return months;
}

// The colours of the picture's pixels right of the legend (which would show every colour anyway).
std::set<QRgb> PlotColours(const QImage& image)
{
    std::set<QRgb> colours;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 2 * 110; x < image.width(); ++x)
            colours.insert(image.pixel(x, y) | 0xFF000000u);
    return colours;
}

QRgb Face(unsigned hostColour) { return ShadesOf(hostColour).face.rgb() | 0xFF000000u; }

} // namespace

class ChartPictureTest : public QObject {
    Q_OBJECT

private slots:
    void everySeriesIsInThePlotAsBarsAndAsLines()
    {
        for (const bool bars : {true, false}) {
            ChartPictureRequest request;
            request.months = Year();
            request.title = QStringLiteral("Netto: 1,00 € Provision: 1,00 € Gewinn: 1,00 € Bereich: 01.01.2026-31.12.2026");
            request.bars = bars;
            QImage image;
            QVERIFY(image.loadFromData(ChartPictureBytes(request), "PNG"));
            QCOMPARE(image.size(), QSize(ChartPictureDefaultWidth, ChartPictureDefaultHeight));
            const std::set<QRgb> colours = PlotColours(image);
            for (const unsigned colour : {ChartNetColor, ChartCommissionColor, ChartProfitColor})
                QVERIFY2(colours.count(Face(colour)), qPrintable(QStringLiteral("%1: colour %2 missing")
                                                                     .arg(bars ? "bars" : "lines")
                                                                     .arg(colour, 6, 16, QLatin1Char('0'))));
        }
    }

    void thePreviousYearIsDrawnWhenAsked()
    {
        // Last year's net and profit as dashed lines in the darker shade of their series.
        const auto ink = [](unsigned colour) { return ShadesOf(colour).face.darker(220).rgb() | 0xFF000000u; };
        for (const bool asked : {false, true}) {
            ChartPictureRequest request;
            request.months = Year();
            if (asked)
                request.previous = Year();
            QImage image;
            QVERIFY(image.loadFromData(ChartPictureBytes(request), "PNG"));
            const std::set<QRgb> colours = PlotColours(image);
            for (const unsigned colour : {ChartNetColor, ChartProfitColor})
                QCOMPARE(colours.count(ink(colour)) > 0, asked);
        }
    }

    void theSizeAndTheSvgFollowTheRequest()
    {
        ChartPictureRequest request;
        request.months = Year();
        request.size = QSize(1200, 700);
        QImage image;
        QVERIFY(image.loadFromData(ChartPictureBytes(request), "PNG"));
        QCOMPARE(image.size(), QSize(1200, 700));

        request.svg = true;
        const QString svg = QString::fromUtf8(ChartPictureBytes(request));
        QVERIFY(svg.contains(QLatin1String("<svg")));
        for (const unsigned colour : {ChartNetColor, ChartCommissionColor, ChartProfitColor})
            QVERIFY2(svg.contains(ShadesOf(colour).face.name(), Qt::CaseInsensitive), qPrintable(ShadesOf(colour).face.name()));
    }

    void saveThroughTheDialogSeam()
    {
        test::TestRuntime runtime;
        ProfitChart chart;
        chart.resize(500, 300);
        chart.refresh(Year());
        const auto file = runtime.dir() / "grafik.svg";
        runtime.dialogs().saveFileAnswers.push_back(file.string());
        std::unique_ptr<QMenu> menu(BuildChartMenu(chart, nullptr));
        QAction* save = menu->findChild<QAction*>(QStringLiteral("SaveChartPicture"));
        QVERIFY(save);
        QCOMPARE(save->text(), QString::fromUtf8("Bild speichern…"));
        save->trigger();
        QCOMPARE(runtime.dialogs().saveFileRequests.size(), size_t(1));
        QCOMPARE(QString::fromStdString(runtime.dialogs().saveFileRequests[0].filter), QString::fromLatin1(ChartPictureFilter));
        QVERIFY(test::ReadFile(file).find("<svg") != std::string::npos);

        // Cancelled: nothing written, no message. A folder in the way: the reason in a message.
        QVERIFY(!SaveChartPicture(chart));
        std::filesystem::create_directory(runtime.dir() / "bild.png");
        runtime.dialogs().saveFileAnswers.push_back((runtime.dir() / "bild.png").string());
        QVERIFY(!SaveChartPicture(chart));
        QCOMPARE(runtime.dialogs().messages.size(), size_t(1));
    }
};

QTEST_MAIN(ChartPictureTest)
#include "ChartPictureTest.moc"
