// The statistics window's program, as the host starts it from its "zusätzlich" menu:
//     gewinnstatistik DATABASE_PATH SERVER_KIND HOST_RELEASE
//     gewinnstatistik INSTALL [SILENT]
#include "base/CountryFormats.h"
#include "app/ProcessObjects.h"
#include "base/Runtime.h"
#include "app/Startup.h"
#include "app/StatisticsRun.h"
#include "app/widgets/OrderProfit1.h"
#include "spool/widgets/PrinterSelect.h"
#include "appearance/widgets/ColorWrapper.h"
#include "spool/ExtSpooler.h"

#include <QApplication>
#include <QGuiApplication>

#include <filesystem>
#include <memory>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);

    gs::Runtime runtime(std::filesystem::path(QCoreApplication::applicationFilePath().toStdString()));
    gs::InitNumberFormats(runtime);
    gs::RegisterColorWrapper();
    runtime.setDialogs(std::make_shared<gs::SpoolWidgetDialogs>());
    gs::StartProcessObjects(runtime);

    const gs::HostIdentity host = gs::ReadHostIdentity(runtime);
    // The application's title; the message box shows it as its caption (window titles stay as set).
    QCoreApplication::setApplicationName(QString::fromUtf8(gs::ApplicationTitle));

    gs::CommandLine commandLine;
    const QStringList arguments = QCoreApplication::arguments();
    for (qsizetype i = 1; i < arguments.size(); ++i)
        commandLine.args.push_back(arguments[i].toStdString());

    // The spooler's window side: the launcher threads report through the event loop, and Shift
    // alone while a print is confirmed asks for the printer.
    runtime.spooler->InstallStart = commandLine.isInstall();
    runtime.spooler->PostToMainThread = [&app](std::function<void()> fn) {
        QMetaObject::invokeMethod(&app, std::move(fn), Qt::QueuedConnection);
    };
    runtime.spooler->ShiftOnlyHeld = [] {
        return QApplication::activeWindow() != nullptr &&
               QGuiApplication::queryKeyboardModifiers() == Qt::ShiftModifier;
    };

    int result = 0;
    {
        gs::TFOrderProfit1 window(commandLine, host, &gs::RunStatistics);
        window.show();
        // The window closes itself after a failed start or the menu installation; closing the last
        // window ends the event loop and with it the program.
        result = app.exec();
    }
    gs::EndProcessObjects(runtime);
    return result;
}
