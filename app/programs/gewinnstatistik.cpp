// The statistics window's program, as the host starts it from its "zusätzlich" menu:
//     gewinnstatistik DATABASE_PATH SERVER_KIND HOST_RELEASE
//     gewinnstatistik INSTALL [SILENT]
// Exit status 0, or 1 after a failed start or a failed installation. Messages are shown in the
// message box and written to standard error as well; without a display only to standard error.
#include "base/Process.h"
#include "base/CountryFormats.h"
#include "app/ProcessObjects.h"
#include "app/Runtime.h"
#include "app/Startup.h"
#include "app/StatisticsRun.h"
#include "app/widgets/OrderProfit1.h"
#include "display/QtTranslations.h"
#include "display/WidgetDialogs.h"
#include "spool/widgets/PrinterSelect.h"
#include "appearance/widgets/ColorWrapper.h"
#include "display/WaitCursor.h"
#include "spool/ExtSpooler.h"

#include <QApplication>
#include <QGuiApplication>

#include <cstring>
#include <filesystem>
#include <memory>

namespace {

// Whether the menu installation was asked for ("INSTALL" in position 1).
bool IsInstallation(int argc, char** argv) { return argc > 1 && std::strcmp(argv[1], "INSTALL") == 0; }

// The window dialogs, with every message also on standard error: an installer or a script that
// starts the program learns what went wrong even when nobody reads the box.
class EchoingWidgetDialogs : public gs::SpoolWidgetDialogs {
public:
    void showMessage(const std::string& text, const std::string& help, const std::string& caption) override
    {
        gs::ConsoleDialogs().showMessage(text, help, caption);
        gs::WidgetDialogs::showMessage(text, help, caption);
    }
};

} // namespace

int main(int argc, char** argv)
{
    // An installation without a display (an unattended set-up) runs without one instead of failing
    // to start.
    if (IsInstallation(argc, argv) && qEnvironmentVariableIsEmpty("DISPLAY") &&
        qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    gs::PreparePrivateRuntimeDirectory();
    gs::PrepareGermanDates();
    QApplication app(argc, argv);
    gs::InstallQtGermanTexts();

    gs::Runtime runtime(std::filesystem::path(QCoreApplication::applicationFilePath().toStdString()));
    gs::InitNumberFormats(runtime);
    gs::RegisterColorWrapper();
    // Message boxes where there is a display and so a user to close them; without one (offscreen)
    // a box would wait for ever, so the messages go to standard error only.
    const QString platform = QGuiApplication::platformName();
    if (platform == QLatin1String("offscreen") || platform == QLatin1String("minimal"))
        runtime.setDialogs(std::make_shared<gs::ConsoleDialogs>());
    else
        runtime.setDialogs(std::make_shared<EchoingWidgetDialogs>());
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
    runtime.spooler->ShowWait = [](bool on) { on ? gs::BeginWait() : gs::EndWait(); };
    runtime.spooler->ApplicationActive = [] { return QApplication::activeWindow() != nullptr; };
    runtime.spooler->ShiftOnlyHeld = [] { return QGuiApplication::queryKeyboardModifiers() == Qt::ShiftModifier; };

    int result = 0;
    {
        gs::TFOrderProfit1 window(commandLine, host, &gs::RunStatisticsFor);
        window.show();
        // The window closes itself after a failed start or the menu installation; closing the last
        // window ends the event loop and with it the program. A failed start or installation exits 1.
        const int loopResult = app.exec();
        result = window.exitCode() != 0 ? window.exitCode() : loopResult;
    }
    gs::EndProcessObjects(runtime);
    return result;
}
