// Renders the statistics window offscreen on a host database and saves both tabs as pictures:
//     gewinnstatistik-screenshots [--skin SKIN_FILE] DATABASE_DIR RELEASE OUTPUT_DIR [YEAR [PERIOD_INDEX]]
// writes OUTPUT_DIR/screenshot-liste.png, screenshot-grafik.png (bars), screenshot-grafik-linien.png
// (lines), screenshot-grafik-tooltip.png (the mouse resting on a month), screenshot-auswertung.png
// (the groups by representative), screenshot-liste-gefiltert.png (the list of the first of them),
// screenshot-drucken.png (the
// grid print dialog as "Drucken" on the list opens it) and screenshot-pdf-warten.png (the PDF wait
// window) (with a skin file:
// skin-liste.png and skin-grafik.png, the skin put beside the program as the host would) after one run of the
// statistics (the current year and "Ganzes Jahr" unless a year and a period index 0..16 are given).
// The window keeps its own option files in a temporary program directory; messages go to standard
// error. Run it with QT_QPA_PLATFORM=offscreen.
#include "base/Process.h"
#include "base/CountryFormats.h"
#include "app/ProcessObjects.h"
#include "app/Runtime.h"
#include "app/Startup.h"
#include "app/StatisticsRun.h"
#include "display/DisplayComponents.h"
#include "display/QtTranslations.h"
#include "app/widgets/OrderProfit1.h"
#include "app/widgets/ProfitChart.h"
#include "app/widgets/ProfitGroupsPage.h"
#include "appearance/widgets/ColorWrapper.h"
#include "spool/widgets/PdfWait.h"
#include "spool/widgets/PrinterSelect.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QHelpEvent>
#include <QPainter>
#include <QTemporaryDir>
#include <QTextStream>

#include <algorithm>
#include <cstdio>
#include <filesystem>

namespace {

void Settle()
{
    for (int i = 0; i < 10; ++i)
        QCoreApplication::processEvents();
}

bool SavePicture(const QImage& picture, const QString& file)
{
    if (!picture.save(file)) {
        std::fprintf(stderr, "Die Datei %s kann nicht geschrieben werden.\n", qPrintable(file));
        return false;
    }
    std::printf("%s\n", qPrintable(file));
    return true;
}

bool Save(QWidget& window, QWidget* tab, const QString& file)
{
    window.findChild<TPageControl*>(QStringLiteral("PageControl1"))->setCurrentWidget(tab);
    Settle();
    return SavePicture(window.grab().toImage(), file);
}

// The chart with the mouse resting on a month: the window with the tooltip (a window of its own)
// painted over it where it stands, and a small arrow where the mouse is.
bool SaveWithToolTip(gs::TFOrderProfit1& window, int month, const QString& file)
{
    window.pageControl()->setCurrentWidget(window.chartTab());
    Settle();
    gs::ProfitChart* chart = window.chart();
    const QPoint at = chart->monthArea(month).center().toPoint();
    QHelpEvent help(QEvent::ToolTip, at, chart->mapToGlobal(at));
    QCoreApplication::sendEvent(chart, &help);
    Settle();
    QImage picture = window.grab().toImage();
    QPainter painter(&picture);
    const QPoint origin = window.mapToGlobal(QPoint(0, 0));
    for (QWidget* top : QApplication::topLevelWidgets())
        if (top->inherits("QTipLabel") && top->isVisible())
            painter.drawPixmap(top->pos() - origin, top->grab());
    const QPoint mouse = chart->mapTo(&window, at);
    const QPolygon arrow{mouse, mouse + QPoint(0, 14), mouse + QPoint(4, 10), mouse + QPoint(7, 16),
                         mouse + QPoint(9, 15), mouse + QPoint(6, 9), mouse + QPoint(11, 9)};
    painter.setPen(Qt::black);
    painter.setBrush(Qt::white);
    painter.drawPolygon(arrow);
    painter.end();
    return SavePicture(picture, file);
}

// Modal windows are saved as pictures instead of waiting for a user, then left.
class PictureDialogs : public gs::SpoolWidgetDialogs {
public:
    explicit PictureDialogs(QString file) : file_(std::move(file)) {}
    int runModal(QDialog& dialog) override
    {
        dialog.show();
        Settle();
        saved_ = SavePicture(dialog.grab().toImage(), file_);
        return QDialog::Rejected;
    }
    bool saved() const { return saved_; }

private:
    QString file_;
    bool saved_ = false;
};

// "Drucken" on the list opens the grid print dialog; then the window that waits for a PDF.
bool SaveOutputDialogs(gs::Runtime& runtime, gs::TFOrderProfit1& window, const QString& out)
{
    const std::shared_ptr<gs::Dialogs> before = runtime.sharedDialogs();
    auto pictures = std::make_shared<PictureDialogs>(out + QStringLiteral("/screenshot-drucken.png"));
    runtime.setDialogs(pictures);
    window.pageControl()->setCurrentWidget(window.listTab());
    Settle();
    window.printButton()->click();
    runtime.setDialogs(before);
    gs::TFPDFWait wait(runtime.programDir() / "SPOOLER" / "PDFX", "GEWINN.PDF");
    wait.show();
    for (int i = 0; i < 40; ++i)
        wait.tick();
    Settle();
    const bool ok = pictures->saved() && SavePicture(wait.grab().toImage(), out + QStringLiteral("/screenshot-pdf-warten.png"));
    wait.reject();
    return ok;
}

} // namespace

int main(int argc, char** argv)
{
    gs::PreparePrivateRuntimeDirectory();
    gs::PrepareGermanDates();
    QApplication app(argc, argv);
    gs::InstallQtGermanTexts();
    QStringList args = QCoreApplication::arguments();
    QString skinFile;
    if (args.size() > 2 && args[1] == QStringLiteral("--skin")) {
        skinFile = args[2];
        args.erase(args.begin() + 1, args.begin() + 3);
    }
    const QString prefix = skinFile.isEmpty() ? QStringLiteral("screenshot") : QStringLiteral("skin");
    if (args.size() < 4) {
        std::fprintf(stderr, "Aufruf: %s DATENBANKVERZEICHNIS RELEASE AUSGABEVERZEICHNIS [JAHR [ZEITRAUM 0-16]]\n",
                     qPrintable(args.value(0)));
        return 2;
    }
    QTemporaryDir programDir;
    if (!programDir.isValid())
        return 1;
    gs::Runtime runtime(std::filesystem::path(programDir.filePath(QStringLiteral("gewinnstatistik")).toStdString()));
    if (!skinFile.isEmpty() &&
        !QFile::copy(skinFile, programDir.filePath(QStringLiteral("gewinnstatistik.SKM")))) {
        std::fprintf(stderr, "Die Skin-Datei %s kann nicht gelesen werden.\n", qPrintable(skinFile));
        return 1;
    }
    gs::InitNumberFormats(runtime);
    gs::RegisterColorWrapper();
    gs::StartProcessObjects(runtime);
    QCoreApplication::setApplicationName(QString::fromUtf8(gs::ApplicationTitle));

    int runs = 0;
    const gs::StatisticsRunFunction run = [&runs](gs::TAdsTable& orders, const gs::PeriodChoice& choice,
                                                  gs::ResultTables& tables, gs::RunFeedback* feedback,
                                                  gs::PreviousYearRun* previous) {
        ++runs;
        return gs::RunStatisticsFor(orders, choice, tables, feedback, previous);
    };
    gs::CommandLine commandLine;
    commandLine.args = {QDir(args[1]).absolutePath().toStdString(), "1", args[2].toStdString()};
    gs::TFOrderProfit1 window(commandLine, gs::ReadHostIdentity(runtime), run);
    window.show();
    Settle();
    if (!window.isStarted()) {
        std::fprintf(stderr, "Das Fenster konnte nicht starten.\n");
        return 1;
    }

    // A change of the selection starts the run by itself once the window is ready.
    const QString year = args.value(4);
    const int period = args.value(5).isEmpty() ? 0 : args.value(5).toInt();
    if (!year.isEmpty() && window.yearBox()->findText(year) < 0) {
        std::fprintf(stderr, "Das Jahr %s steht nicht zur Auswahl.\n", qPrintable(year));
        return 2;
    }
    if (!year.isEmpty())
        window.yearBox()->setCurrentIndex(window.yearBox()->findText(year));
    window.selectPeriodIndex(std::clamp(period, 0, 16));
    Settle();
    if (runs == 0)
        window.findButton()->click();
    while (runs == 0 || window.isRunning())
        Settle();
    Settle();

    const QString out = QDir(args[3]).absolutePath();
    QDir().mkpath(out);
    bool ok = Save(window, window.listTab(), out + "/" + prefix + QStringLiteral("-liste.png")) &&
              Save(window, window.chartTab(), out + "/" + prefix + QStringLiteral("-grafik.png"));
    if (ok && skinFile.isEmpty()) {
        // The lines, then the bars again with the mouse on a month in the middle of the period.
        window.barsCheckBox()->setChecked(false);
        ok = Save(window, window.chartTab(), out + "/" + prefix + QStringLiteral("-grafik-linien.png"));
        window.barsCheckBox()->setChecked(true);
        const int month = std::max(0, static_cast<int>(window.chart()->monthLabels().size()) / 2 - 1);
        ok = ok && SaveWithToolTip(window, month, out + "/" + prefix + QStringLiteral("-grafik-tooltip.png"));
        // The groups by representative, then the documents of the first of them.
        window.groupsTab()->setGrouping(gs::GroupBy::Vertreter);
        ok = ok && Save(window, window.groupsTab(), out + "/" + prefix + QStringLiteral("-auswertung.png"));
        TI_DBGrid* groups = window.groupsTab()->grid();
        if (ok && groups->model()->rowCount() > 0) {
            emit groups->activated(groups->model()->index(0, 0));
            ok = Save(window, window.listTab(), out + "/" + prefix + QStringLiteral("-liste-gefiltert.png"));
            window.showWholeList();
        }
        ok = ok && SaveOutputDialogs(runtime, window, out);
    }
    window.close();
    return ok ? 0 : 1;
}
