#include "ReportFiles.h"

#include "app/ChartGroups.h"
#include "app/OutputFiles.h"
#include "app/ReportOutput.h"
#include "app/ReportView.h"
#include "app/ReportXlsx.h"
#include "base/AtomicFile.h"
#include "base/Dialogs.h"
#include "base/Error.h"
#include "spool/XlsxWorkbook.h"

#ifdef GS_REPORT_PDF
#include "ReportPdf.h"
#include "spool/render/ListRenderer.h"
#endif
#ifdef GS_REPORT_CHART
#include "app/widgets/ChartPicture.h"
#endif

#include <filesystem>
#include <functional>
#include <vector>

namespace gs {

namespace {

struct FileJob {
    std::filesystem::path file;
    std::function<void(const std::filesystem::path&)> write;
};

std::string FormatExtension(ReportFormat format)
{
    return format == ReportFormat::Csv ? ".csv" : format == ReportFormat::Json ? ".json" : ".txt";
}

} // namespace

int WriteReportFiles(const ReportOptions& options, const ReportView& view, int fiscalStartMonth, TDateTime now,
                     const std::string& secondCurrencySymbol, std::ostream& err)
{
    const ResultTables& tables = view.tables();
    const RunOutcome& outcome = view.outcome();
    [[maybe_unused]] const PreviousYearRun* previous = view.previous(); // the chart's previous year
    if (view.runOutcome().error) {
        err << ConsoleMessageText(*view.runOutcome().error) << "\n"
            << (options.pdfFile.empty() || !options.xlsxFile.empty() || !options.chartFile.empty() ||
                        !options.outputDir.empty()
                    ? "Die Dateien wurden nicht erzeugt.\n"
                    : "Die PDF-Datei wurde nicht erzeugt.\n");
        return 1;
    }
    const std::filesystem::path dir = options.outputDir;
    const PeriodChoice choice = ReportPeriodChoice(options, fiscalStartMonth);
    const std::string stem = PeriodFileStem(choice);
    auto named = [&](const std::string& given, const std::string& extension) -> std::filesystem::path {
        return given.empty() ? dir / (stem + extension) : std::filesystem::path(given);
    };

    std::vector<FileJob> jobs;
    if (!options.pdfFile.empty() || options.outputPdf) {
#ifdef GS_REPORT_PDF
        // The PDF is written under a temporary name beside the file and renamed (spool/render/PdfOutput.h).
        jobs.push_back({named(options.pdfFile, ".pdf"),
                        [&](const std::filesystem::path& file) { WriteReportPdf(view, now, file); }});
#else
        err << "--pdf ist in dieser Ausgabe ohne Qt nicht verfügbar\n";
        return 1;
#endif
    }
    if (!options.xlsxFile.empty() || options.outputXlsx) {
        jobs.push_back({named(options.xlsxFile, ".xlsx"), [&](const std::filesystem::path& file) {
                            const XlsxSheet sheet =
                                ReportXlsxSheet(tables, outcome, secondCurrencySymbol, view.filterText());
                            if (IsStandardOutput(file))
                                WriteAllTo(1, XlsxWorkbookBytes(sheet));
                            else
                                WriteXlsxWorkbook(sheet, file);
                        }});
    }
    if (!options.chartFile.empty() || !options.outputChart.empty()) {
#ifdef GS_REPORT_CHART
        jobs.push_back({named(options.chartFile, "." + options.outputChart), [&](const std::filesystem::path& file) {
                            ChartPictureRequest request;
                            ChartGroups groups = ChartGroupsOf(tables.KMC, choice, false);
                            request.months = std::move(groups.rows);
                            request.labels = std::move(groups.labels);
                            if (previous && !previous->outcome.error)
                                request.previous = ChartGroupsOf(previous->tables.KMC, choice, true).rows;
                            request.title = QString::fromStdString(ChartTitleText(outcome.totals, outcome.rangeText));
                            request.bars = !options.chartLines;
                            if (options.chartWidth > 0)
                                request.size = QSize(options.chartWidth, options.chartHeight);
                            if (IsStandardOutput(file)) { // a PNG
                                const QByteArray bytes = ChartPictureBytes(request);
                                WriteAllTo(1, std::string_view(bytes.constData(), static_cast<size_t>(bytes.size())));
                            } else {
                                WriteChartPicture(request, file);
                            }
                        }});
#else
        err << "--chart ist in dieser Ausgabe ohne Qt nicht verfügbar\n";
        return 1;
#endif
    }
    if (options.outputFormat) {
        jobs.push_back({named({}, FormatExtension(options.format)), [&](const std::filesystem::path& file) {
                            WriteFileAtomically(file, ReportFormatBytes(options.format, view, secondCurrencySymbol));
                        }});
    }

    try {
        if (!dir.empty()) {
            std::error_code ec;
            std::filesystem::create_directories(dir, ec);
            if (!std::filesystem::is_directory(dir))
                throw Error("Das Verzeichnis " + dir.string() + " kann nicht angelegt werden" +
                            (ec ? ": " + SystemErrorText(ec.value()) : std::string()));
        }
        // Only regular files are replaced, also where the file was named on the command line.
        for (const FileJob& job : jobs)
            if (!IsStandardOutput(job.file))
                RequireRegularTarget(job.file);
        for (const FileJob& job : jobs)
            job.write(job.file);
    } catch (const std::exception& e) {
        err << e.what() << "\n";
        return 1;
    }
    return 0;
}

} // namespace gs
