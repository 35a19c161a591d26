#include "spool/widgets/JobReportWatch.h"

#include "base/Dialogs.h"
#include "spool/SpoolTables.h"

#include <QCoreApplication>
#include <QTimer>

#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <system_error>

namespace gs {

std::string JobReportMessage(std::int64_t jobId, WatchedJobKind kind, const std::string& cause)
{
    return "Der Auftrag " + std::to_string(jobId) +
           (kind == WatchedJobKind::Print ? " wurde nicht gedruckt:" : " wurde nicht als PDF geschrieben:") +
           "<BR>" + cause +
           "<BR>Er bleibt im Spooler und wird noch einige Male versucht; danach beim nächsten Ausdruck wieder.";
}

void WatchJobReport(const std::filesystem::path& spoolDir, std::int64_t jobId, WatchedJobKind kind,
                    std::chrono::milliseconds interval, std::chrono::milliseconds limit)
{
    QCoreApplication* app = QCoreApplication::instance();
    if (!app || jobId <= 0)
        return;
    const std::filesystem::path file = spoolDir / JobReportDirectoryName / (std::to_string(jobId) + ".TXT");
    auto* timer = new QTimer(app);
    const auto deadline = std::chrono::steady_clock::now() + limit;
    QObject::connect(timer, &QTimer::timeout, timer, [timer, file, jobId, kind, deadline] {
        std::error_code ec;
        if (std::filesystem::exists(file, ec)) {
            timer->stop();
            std::ifstream in(file, std::ios::binary);
            std::ostringstream cause;
            cause << in.rdbuf();
            in.close();
            std::filesystem::remove(file, ec);
            timer->deleteLater();
            ShowMessageBox(JobReportMessage(jobId, kind, cause.str()));
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
