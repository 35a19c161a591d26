// The statistics without the window, for scripts and month-end routines:
//     gewinnstatistik-report DBPATH (--year YYYY [--period P] [--fiscal-start N] | --from DAY --to DAY)
//                            [--compare vorjahr] [--server local|remote] [--format text|csv|json]
//                            [--pdf FILE | --spool pdf|print] [--xlsx FILE] [--chart FILE [--lines] [--size WxH]]
//                            [--output DIR] [--today YYYY-MM-DD]
//                            [--group-by kunde|vertreter|dokumentart|monat]
//                            [--filter kunde=ID|vertreter=ID|dokumentart=POT|monat=YYYY-MM]
// It runs the same start-up checks and the same run as the window. Exit status: 0 after a successful
// run, 1 when the run failed (what it has is printed, with the error), 2 for a bad command line, 3
// when the start-up failed (its message on standard error).
// With --pdf the list goes into FILE as the list print would draw it, and nothing is printed; a
// failed run or a PDF that cannot be written gives exit 1 and the reason on standard error (no PDF
// of a half run is written).
// With --spool the period's list goes into the output spool as one job, as the window's list print
// writes it; the job's ID ("Auftrag: N") and for PDF the file it will produce ("PDF: PATH") are
// printed; exit 1 when no job could be written (no PDF directory configured, spool not usable); a
// job that is queued gives exit 0 even when those lines cannot be written (standard error says so).
// FILE "-" of --pdf, --xlsx and --chart (PNG) is standard output; text, CSV and JSON that cannot
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
#include "app/GroupColumns.h"
#include "app/ProfitGroups.h"
#include "app/ProfitListRows.h"
#include "app/ReportGroups.h"
#include "app/ReportOutput.h"
#include "ReportFiles.h"
#include "app/ReportSpool.h"
#include "app/Runtime.h"
#include "app/Startup.h"
#include "app/StatisticsRun.h"
#include "app/WindowChoices.h"
#include "settings/SecondCurrency.h"
#include "settings/Settings.h"

#ifdef GS_REPORT_PDF
#include "GridPdf.h"
#include "ReportPdf.h"
#include "spool/render/GuiPlatform.h"
#include "spool/render/ListRenderer.h"

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
    if (args.size() == 1 && (args[0] == "--help" || args[0] == "-h")) {
        std::cout << gs::ReportUsage(programName);
        return 0;
    }
    const gs::ReportOptionsResult parsed = gs::ParseReportOptions(args);
    if (!parsed.options) {
        std::cerr << programName << ": " << parsed.problem << "\n" << gs::ReportUsage(programName);
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
        if (options.relativePeriod) {
            int year = 0, month = 0, day = 0;
            gs::DecodeDate(runtime.now(), year, month, day);
            const std::string problem = gs::ApplyRelativePeriod(options, year, month);
            if (!problem.empty()) {
                std::cerr << programName << ": " << problem << "\n";
                return 2;
            }
        }
        gs::InitNumberFormats(runtime);
        gs::StartProcessObjects(runtime); // messages go to standard error (console dialogs)
        const gs::HostIdentity host = gs::ReadHostIdentity(runtime);

        gs::DatabaseSession session;
        gs::CommandLine commandLine;
        commandLine.args = {options.databasePath, options.localServer ? "1" : "0",
                            std::to_string(gs::MinimumHostRelease)};
        if (!gs::ConnectForStart(session, commandLine, host, {}))
            return 3;
        gs::CompleteStart(runtime, session, {}, options.spool.has_value());

        gs::ResultTables tables;
        gs::PreviousYearRun previous;
        gs::PreviousYearRun* compared = options.comparePreviousYear ? &previous : nullptr;
        const gs::RunOutcome outcome =
            gs::RunStatisticsFor(session.Table_ORDERS, gs::ReportPeriodChoice(options, gs::ReadFiscalStartMonth()),
                                 tables, nullptr, compared);
        // What the outputs show: the whole run, or one group's part of it (of both years when
        // compared); its groups when asked.
        gs::ResultTables filtered;
        gs::RunOutcome shownOutcome = outcome;
        gs::PreviousYearRun filteredPrevious;
        std::string filterText;
        if (options.filter) {
            filterText = gs::GroupFilterText(tables, *options.filter);
            filtered = gs::FilterTables(tables, *options.filter);
            shownOutcome = gs::FilterOutcome(outcome, filtered);
            if (compared) {
                filteredPrevious.tables = gs::FilterTables(previous.tables, *options.filter);
                filteredPrevious.outcome = gs::FilterOutcome(previous.outcome, filteredPrevious.tables);
                compared = &filteredPrevious;
            }
        }
        const gs::ResultTables& shown = options.filter ? filtered : tables;
        std::vector<gs::ProfitGroup> groups;
        if (options.groupBy)
            groups = gs::BuildProfitGroups(shown, *options.groupBy);
        if (options.writesFiles()) {
            gs::ReportFileSources sources;
#ifdef GS_REPORT_PDF
            // A grouped or filtered PDF is the group table or the group's list, named as such.
            if (options.groupBy || options.filter)
                sources.pdf = [&](const std::filesystem::path& file) {
                    const std::string now = gs::DateTimeToText(runtime.now());
                    if (options.groupBy) {
                        gs::GroupGridDataSet rows(groups, *options.groupBy);
                        gs::WriteGridPdf(gs::ProfitGroupGrid(rows), gs::GroupPrintTitle(*options.groupBy, filterText, now),
                                         gs::GroupTotalsText(shownOutcome.totals), runtime.now(), file);
                    } else {
                        gs::KmGridDataSet rows(shown);
                        gs::WriteGridPdf(gs::ResultListGrid(rows), gs::FilteredListTitle(filterText, now),
                                         gs::SummenText(shownOutcome.totals), runtime.now(), file);
                    }
                };
#endif
            return gs::WriteReportFiles(options, shown, shownOutcome, compared, runtime.now(),
                                        gs::SecondCurrencySymbol(runtime.settings->SecondCurrency), std::cerr, sources);
        }
        if (options.spool) {
            int status = 0;
            if (outcome.error) {
                std::cerr << gs::StripMessageMarkup(*outcome.error) << "\n";
                status = 1;
            } else {
                const gs::ReportSpoolResult job =
                    gs::SpoolReportList(runtime, shown, gs::SummenText(shownOutcome.totals), *options.spool, runtime.now(),
                                        filterText);
                if (job.jobId == 0) {
                    std::cerr << gs::StripMessageMarkup(job.error) << "\n";
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
        std::string text;
        switch (options.format) {
        case gs::ReportFormat::Text:
            if (options.groupBy)
                text = gs::ReportGroupsText(groups, *options.groupBy, shownOutcome, filterText);
            else
                text = (filterText.empty() ? "" : "Gefiltert: " + filterText + "\n") +
                       gs::ReportText(shown, shownOutcome, compared);
            break;
        case gs::ReportFormat::Csv: {
            const std::string symbol = gs::SecondCurrencySymbol(runtime.settings->SecondCurrency);
            text = gs::Utf8ToCp1252(options.groupBy ? gs::ReportGroupsCsv(groups, *options.groupBy, symbol)
                                                    : gs::ReportCsv(shown, symbol));
            break;
        }
        case gs::ReportFormat::Json: {
            std::string extra;
            if (options.filter)
                extra += gs::FilterJsonMember(*options.filter, filterText);
            if (options.groupBy)
                extra += gs::GroupsJsonMember(groups, *options.groupBy);
            text = gs::ReportJson(shown, shownOutcome, compared, extra);
            break;
        }
        }
        int status = 0;
        try {
            gs::WriteAllTo(1, text);
        } catch (const std::exception& e) {
            std::cerr << e.what() << "\n";
            status = 1;
        }
        if (outcome.error) {
            std::cerr << gs::StripMessageMarkup(*outcome.error) << "\n";
            return 1;
        }
        return status;
    } catch (const std::exception& e) {
        std::cerr << gs::StripMessageMarkup(e.what()) << "\n";
        return 3;
    }
}
