// The statistics without the window, for scripts and month-end routines (the command line in
// app/ReportOptions.h; --hilfe prints it).
// It runs the same start-up checks and the same run as the window. Exit status: 0 after a successful
// run, 1 when the run failed (what it has is printed, with the error) or a period named relative to
// today lies wholly after it, 2 for a bad command line (its cause and one line naming --hilfe), 3
// when the start-up failed (the host's message and its cause on standard error).
// With --pdf the list goes into DATEI as the list print would draw it, and nothing is printed; a
// failed run or a PDF that cannot be written gives exit 1 and the reason on standard error (no PDF
// of a half run is written).
// With --spool the period's list goes into the output spool as one job, as the window's list print
// writes it; the job's ID ("Auftrag: N") and for PDF the file it will produce ("PDF: PATH") are
// printed; exit 1 when no job could be written (no PDF directory configured, spool not usable); a
// job that is queued gives exit 0 even when those lines cannot be written (standard error says so).
// DATEI "-" of --pdf, --xlsx and --chart (PNG) is standard output; text, CSV and JSON that cannot
// be written give exit 1 and the system's cause.
// --xlsx, --chart and --output write files as --pdf does (app/programs/ReportFiles.h); a period
// named relative to today ("Vormonat", ...) counts from the clock or from --today.
// With --group-by the group table stands where the document list would (text, CSV, PDF; JSON gets
// "groups" beside everything else); with --filter every output holds only that group's documents,
// its months and its totals, and names the group.
#include "base/Process.h"
#include "base/CountryFormats.h"
#include "base/Cp1252.h"
#include "base/Dates.h"
#include "base/Dialogs.h"
#include "base/Error.h"
#include "app/OutputFiles.h"
#include "app/ProcessObjects.h"
#include "app/ReportOptions.h"
#include "ReportFiles.h"
#include "app/ReportSpool.h"
#include "app/ReportView.h"
#include "app/Runtime.h"
#include "app/Startup.h"
#include "app/StatisticsRun.h"
#include "app/WindowChoices.h"
#include "settings/SecondCurrency.h"
#include "settings/Settings.h"

#ifdef GS_REPORT_PDF
#include "spool/render/GuiPlatform.h"

#include <QGuiApplication>
#endif
#ifdef GS_REPORT_CHART
#include <QApplication>
#endif

#include <csignal>
#include <filesystem>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

namespace {

std::filesystem::path ProgramFile(const char* argv0)
{
    std::error_code ec;
    auto self = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (!ec)
        return self;
    return std::filesystem::absolute(argv0, ec);
}

} // namespace

int main(int argc, char** argv)
{
    // A reader that went away is a write error with its cause, not a silent end: a spooled job is
    // then still reported as queued.
    std::signal(SIGPIPE, SIG_IGN);
    const std::string programName = std::filesystem::path(argv[0]).filename().string();
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (gs::AsksForHelp(args)) {
        std::cout << gs::ReportUsage(programName);
        return 0;
    }
    const gs::ReportOptionsResult parsed = gs::ParseReportOptions(args);
    if (!parsed.options) {
        std::cerr << programName << ": " << parsed.problem << "\n" << gs::ReportHelpHint(programName);
        return 2;
    }
    gs::ReportOptions options = *parsed.options;
    const bool pdfAsked = !options.pdfFile.empty() || options.outputPdf;
    const bool chartAsked = !options.chartFile.empty() || !options.outputChart.empty();
#ifdef GS_REPORT_PDF
    std::unique_ptr<QGuiApplication> gui;
    if (pdfAsked || chartAsked) {
        gs::PreferOffscreenWithoutDisplay();
        static int guiArgc = 1;
        gs::PreparePrivateRuntimeDirectory();
#ifdef GS_REPORT_CHART
        if (chartAsked) // the chart is the window's widget
            gui = std::make_unique<QApplication>(guiArgc, argv);
        else
#endif
            gui = std::make_unique<QGuiApplication>(guiArgc, argv);
    }
#else
    if (pdfAsked) {
        std::cerr << programName << ": --pdf ist in dieser Ausgabe ohne Qt nicht verfügbar\n";
        return 2;
    }
#endif
#ifndef GS_REPORT_CHART
    if (chartAsked) {
        std::cerr << programName << ": --chart ist in dieser Ausgabe ohne Qt nicht verfügbar\n";
        return 2;
    }
#endif

    try {
        gs::Runtime runtime(ProgramFile(argv[0]));
        gs::InitNumberFormats(runtime);
        gs::StartProcessObjects(runtime); // messages go to standard error (console dialogs)
        // The window's fiscal year unless --fiscal-start says another: quarters, years and the
        // names of the files follow it.
        const int fiscalStart = options.fiscalStartMonth.value_or(gs::ReadFiscalStartMonth());
        if (options.relativePeriod) {
            int year = 0, month = 0, day = 0;
            gs::DecodeDate(runtime.now(), year, month, day);
            const gs::CalendarDay clockDay{year, month, day};
            const std::string problem = gs::ApplyRelativePeriod(options, clockDay, fiscalStart);
            if (!problem.empty()) {
                std::cerr << programName << ": " << problem << "\n" << gs::ReportHelpHint(programName);
                return 2;
            }
            const std::string future = gs::RelativePeriodInFuture(options, clockDay);
            if (!future.empty()) {
                std::cerr << programName << ": " << future << "\n";
                return 1;
            }
        }
        const gs::HostIdentity host = gs::ReadHostIdentity(runtime);

        gs::DatabaseSession session;
        gs::CommandLine commandLine;
        commandLine.args = {options.databasePath, options.localServer ? "1" : "0",
                            std::to_string(gs::MinimumHostRelease)};
        if (!gs::ConnectForStart(session, commandLine, host, {}))
            return 3;
        // The settings and the spool that cannot be loaded end the start as a connection does: the
        // host's sentence, then the cause.
        try {
            gs::CompleteStart(runtime, session, {}, options.spool.has_value());
        } catch (const std::exception& e) {
            gs::ShowMessageBox(gs::StartFailureText(host, e.what()));
            return 3;
        }

        gs::ResultTables tables;
        gs::PreviousYearRun previous;
        const gs::RunOutcome outcome =
            gs::RunStatisticsFor(session.Table_ORDERS, gs::ReportPeriodChoice(options, fiscalStart), tables, nullptr,
                                 options.comparePreviousYear ? &previous : nullptr);
        // What every output shows: the whole run, or one group's part of it; its groups when asked.
        const gs::ReportView view(options, tables, outcome, options.comparePreviousYear ? &previous : nullptr);
        const std::string symbol = gs::SecondCurrencySymbol(runtime.settings->SecondCurrency);
        if (options.writesFiles())
            return gs::WriteReportFiles(options, view, fiscalStart, runtime.now(), symbol, std::cerr);
        if (options.spool) {
            int status = 0;
            if (outcome.error) {
                std::cerr << gs::ConsoleMessageText(*outcome.error) << "\n";
                status = 1;
            } else {
                const gs::ReportSpoolResult job =
                    gs::SpoolReportList(runtime, view.tables(), gs::SummenText(view.outcome().totals), *options.spool,
                                        runtime.now(), view.filterText());
                if (job.jobId == 0) {
                    std::cerr << gs::ConsoleMessageText(job.error) << "\n";
                    status = 1;
                } else {
                    std::string lines = "Auftrag: " + std::to_string(job.jobId) + "\n";
                    if (*options.spool == gs::SpoolTarget::Pdf)
                        lines += "PDF: " + job.pdfPath + "\n";
                    try {
                        gs::WriteAllTo(1, lines);
                    } catch (const std::exception& e) {
                        // The job is queued all the same: a script that ran again would spool it twice.
                        std::cerr << e.what() << "\nDer Auftrag " << job.jobId << " steht im Spooler und wird ausgegeben"
                                  << (job.pdfPath.empty() ? std::string(".") : " (" + job.pdfPath + ").") << "\n";
                    }
                }
            }
            gs::EndProcessObjects(runtime);
            return status;
        }
        int status = 0;
        try {
            gs::WriteAllTo(1, gs::ReportFormatBytes(options.format, view, symbol));
        } catch (const std::exception& e) {
            std::cerr << e.what() << "\n";
            status = 1;
        }
        if (outcome.error) {
            std::cerr << gs::ConsoleMessageText(*outcome.error) << "\n";
            return 1;
        }
        return status;
    } catch (const std::exception& e) {
        std::cerr << gs::ConsoleMessageText(e.what()) << "\n";
        return 3;
    }
}
