// Renders the statistics window offscreen on a host database and saves both tabs as pictures:
//     gewinnstatistik-screenshots [--skin SKIN_FILE] DATABASE_DIR RELEASE OUTPUT_DIR [YEAR [PERIOD_INDEX]]
// writes OUTPUT_DIR/screenshot-liste.png and OUTPUT_DIR/screenshot-grafik.png (with a skin file:
// skin-liste.png and skin-grafik.png, the skin put beside the program as the host would) after one run of the
// statistics (the current year and "Ganzes Jahr" unless a year and a period index 0..16 are given).
// The window keeps its own option files in a temporary program directory; messages go to standard
// error. Run it with QT_QPA_PLATFORM=offscreen.
#include "base/CountryFormats.h"
#include "app/ProcessObjects.h"
#include "base/Runtime.h"
#include "app/Startup.h"
#include "app/StatisticsRun.h"
#include "display/DisplayComponents.h"
#include "display/QtTranslations.h"
#include "app/widgets/OrderProfit1.h"
#include "appearance/widgets/ColorWrapper.h"

#include <QApplication>
#include <QDir>
#include <QFile>
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

bool Save(QWidget& window, QWidget* tab, const QString& file)
{
    window.findChild<TPageControl*>(QStringLiteral("PageControl1"))->setCurrentWidget(tab);
    Settle();
    if (!window.grab().save(file)) {
        std::fprintf(stderr, "Die Datei %s kann nicht geschrieben werden.\n", qPrintable(file));
        return false;
    }
    std::printf("%s\n", qPrintable(file));
    return true;
}

} // namespace

int main(int argc, char** argv)
{
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
    const gs::StatisticsRunFunction run = [&runs](gs::TAdsTable& orders, const std::string& year, int period,
                                                  gs::TResultTables& tables, const gs::RunProgressCallback& progress) {
        ++runs;
        return gs::RunStatistics(orders, year, period, tables, progress);
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
    window.periodBox()->setCurrentIndex(std::clamp(period, 0, 16));
    Settle();
    if (runs == 0)
        window.findButton()->click();
    while (runs == 0 || window.isRunning())
        Settle();
    Settle();

    const QString out = QDir(args[3]).absolutePath();
    QDir().mkpath(out);
    const bool ok = Save(window, window.listTab(), out + "/" + prefix + QStringLiteral("-liste.png")) &&
                    Save(window, window.chartTab(), out + "/" + prefix + QStringLiteral("-grafik.png"));
    window.close();
    return ok ? 0 : 1;
}
