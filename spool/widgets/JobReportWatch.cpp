#include "spool/widgets/JobReportWatch.h"

#include "base/Dialogs.h"
#include "spool/SpoolTables.h"
#include "spool/widgets/PdfWait.h"

#include <QCoreApplication>
#include <QTimer>

#include <fstream>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <system_error>

namespace gs {

std::string JobReportMessage(std::int64_t jobId, bool pdf, const std::string& cause)
{
    return "Der Auftrag " + std::to_string(jobId) +
           (pdf ? " wurde nicht als PDF geschrieben:" : " wurde nicht gedruckt:") +
           "<BR>" + cause +
           "<BR>Er bleibt im Spooler und wird noch einige Male versucht; danach beim nächsten Ausdruck wieder.";
}

std::string PdfNotOpenedMessage(const std::filesystem::path& pdfPath, const std::string& cause)
{
    return "<B>Die PDF-Datei kann nicht geöffnet werden:</B> " + cause + "<BR><BR>" +
           PdfDoneMessage(PdfFollowUpPath(pdfPath));
}

namespace {

// The report's text, and the report gone; nullopt when there is none.
std::optional<std::string> TakeReport(const std::filesystem::path& file)
{
    std::error_code ec;
    if (!std::filesystem::exists(file, ec))
        return std::nullopt;
    std::ifstream in(file, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    in.close();
    std::filesystem::remove(file, ec);
    return text.str();
}

} // namespace

void WatchJobReport(const std::filesystem::path& spoolDir, std::int64_t jobId, const std::string& pdfPath,
                    std::chrono::milliseconds interval, std::chrono::milliseconds limit)
{
    QCoreApplication* app = QCoreApplication::instance();
    if (!app || jobId <= 0)
        return;
    const std::filesystem::path dir = spoolDir / JobReportDirectoryName;
    const std::filesystem::path failed = dir / (std::to_string(jobId) + JobReportFailedSuffix);
    const std::filesystem::path notOpened = dir / (std::to_string(jobId) + JobReportOpenSuffix);
    auto* timer = new QTimer(app);
    const auto deadline = std::chrono::steady_clock::now() + limit;
    QObject::connect(timer, &QTimer::timeout, timer, [timer, failed, notOpened, jobId, pdfPath, deadline] {
        std::optional<std::string> message;
        std::string help;
        if (const auto cause = TakeReport(failed)) {
            message = JobReportMessage(jobId, !pdfPath.empty(), *cause);
        } else if (const auto openCause = TakeReport(notOpened)) {
            message = PdfNotOpenedMessage(pdfPath, *openCause);
            help = PdfDoneHelp;
        }
        if (message) {
            timer->stop();
            timer->deleteLater();
            ShowMessageBox(*message, help);
            return;
        }
        if (std::chrono::steady_clock::now() >= deadline) {
            timer->stop();
            timer->deleteLater();
        }
    });
    timer->start(static_cast<int>(interval.count()));
}

} // namespace gs
