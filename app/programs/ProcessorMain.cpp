#include "base/Process.h"
#include "ProcessorMain.h"

#include "base/Text.h"
#include "spool/SpoolTables.h"
#include "spool/render/GuiPlatform.h"
#include "spool/render/OutputProcessor.h"

#include <QGuiApplication>

#include <atomic>
#include "spool/render/ProcessorUpkeep.h"

#include <csignal>
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

namespace gs {

namespace {

std::atomic<bool> stopRequested{false};

extern "C" void OnStopSignal(int) { stopRequested = true; }

std::filesystem::path ProgramDir(const char* argv0)
{
    std::error_code ec;
    auto self = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec)
        self = std::filesystem::absolute(argv0, ec);
    return self.parent_path();
}

} // namespace

int ProcessorMain(int argc, char** argv, ProcessorKind kind)
{
    const std::string name = std::filesystem::path(argv[0]).filename().string();
    ProcessorOptions options;
    options.kind = kind;
    options.programDir = ProgramDir(argv[0]);
    options.spoolDir = options.programDir / SpoolDirectoryName;
    bool once = false;
    const std::vector<std::string> args(argv + 1, argv + argc);
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        auto value = [&]() -> const std::string* { return i + 1 < args.size() ? &args[++i] : nullptr; };
        int number = 0;
        if (a == "--once") {
            once = true;
        } else if (a == "--spool") {
            const std::string* v = value();
            if (!v || v->empty()) {
                std::cerr << name << ": --spool braucht ein Verzeichnis\n";
                return 2;
            }
            options.spoolDir = *v;
        } else if (a == "--opener") {
            const std::string* v = value();
            if (!v) {
                std::cerr << name << ": --opener braucht ein Programm\n";
                return 2;
            }
            options.opener = *v;
        } else if (a == "--poll-ms" || a == "--idle-seconds") {
            const std::string* v = value();
            if (!v || !TryParseInt32(*v, number) || number < 1) {
                std::cerr << name << ": " << a << " braucht eine Zahl über 0\n";
                return 2;
            }
            if (a == "--poll-ms")
                options.poll = std::chrono::milliseconds(number);
            else
                options.idleClose = std::chrono::seconds(number);
        } else {
            std::cerr << name << ": unbekanntes Argument " << a << "\n"
                      << "Aufruf: " << name
                      << " [--spool DIR] [--once] [--opener PROGRAMM] [--poll-ms N] [--idle-seconds N]\n";
            return 2;
        }
    }

    PreferOffscreenWithoutDisplay();
    int guiArgc = 1;
    gs::PreparePrivateRuntimeDirectory();
    QGuiApplication app(guiArgc, argv);
    gs::KeepHeapForPages();
    std::signal(SIGTERM, OnStopSignal);
    std::signal(SIGINT, OnStopSignal);

    // A stop signal abandons the job being drawn (it stays for the next start) and ends the
    // processor within a moment.
    options.stop = &stopRequested;
    OutputProcessor processor(options);
    if (once) {
        ProcessorLock lock(options.spoolDir, kind);
        if (!lock.held()) {
            std::cerr << name << ": läuft bereits\n";
            return 1;
        }
        processor.StartUp();
        processor.ProcessDueJobs();
        if (!processor.WorkWaiting())
            return 0;
        // Jobs wait that this run could not take: a script must see it.
        std::cerr << name << ": "
                  << (processor.SpoolUnusable() ? "die Spooltabellen können nicht benutzt werden"
                                                : "Aufträge warten, die nicht ausgegeben werden konnten")
                  << " (siehe " << ProcessorLogFile(options.spoolDir, kind).string() << ")\n";
        return 3;
    }
    const TProcessorEnd end = processor.Run([] { return stopRequested.load(); });
    if (end == TProcessorEnd::AlreadyRunning) {
        std::cerr << name << ": läuft bereits\n";
        return 1;
    }
    return 0;
}

} // namespace gs
