#pragma once
// What the window learns of a job it spooled: an output processor that cannot output a job leaves
// its cause in the spool's report folder (SPOOLER/MELDUNG/<ID>.TXT, spool/SpoolTables.h); for a
// while after spooling, the window looks for that report and shows it in the message box, naming the
// job and the cause, so that a print on a printer that does not exist is not silent. The report is
// removed once shown.
//
// Runs on the window's event loop (a timer owned by the application); never raises.
#include <chrono>
#include <cstdint>
#include <filesystem>

namespace gs {

enum class WatchedJobKind { Print, Pdf };

// Looks every interval, for at most limit, for the job's report.
void WatchJobReport(const std::filesystem::path& spoolDir, std::int64_t jobId, WatchedJobKind kind,
                    std::chrono::milliseconds interval = std::chrono::milliseconds(250),
                    std::chrono::milliseconds limit = std::chrono::seconds(30));

// The message for a report: "Der Auftrag 12 wurde nicht gedruckt: <cause>" and what happens next.
std::string JobReportMessage(std::int64_t jobId, WatchedJobKind kind, const std::string& cause);

} // namespace gs
