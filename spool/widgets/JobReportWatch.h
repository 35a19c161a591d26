#pragma once
// What the window learns of a job it spooled: an output processor that cannot output a job leaves
// its cause in the spool's report folder (SPOOLER/MELDUNG/<ID>.TXT, spool/SpoolTables.h), and one
// that wrote a PDF but could not open it leaves <ID>.OFFEN; for a while after spooling, the window
// looks for those reports and shows them in the message box: the job and the cause, so that a print
// on a printer that does not exist is not silent, or where the PDF lies, with the links to its
// folder and file. A report is removed once shown.
//
// Runs on the window's event loop (a timer owned by the application); never raises.
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <string>

namespace gs {

// Looks every interval, for at most limit, for the job's reports. pdfPath: the PDF a PDF job makes;
// empty for a print job.
void WatchJobReport(const std::filesystem::path& spoolDir, std::int64_t jobId, const std::string& pdfPath,
                    std::chrono::milliseconds interval = std::chrono::milliseconds(250),
                    std::chrono::milliseconds limit = std::chrono::seconds(30));

// The message for a failed job: "Der Auftrag 12 wurde nicht gedruckt: <cause>" and what happens next.
std::string JobReportMessage(std::int64_t jobId, bool pdf, const std::string& cause);
// The message for a PDF that was written but could not be opened: the cause, then where it lies.
std::string PdfNotOpenedMessage(const std::filesystem::path& pdfPath, const std::string& cause);

} // namespace gs
