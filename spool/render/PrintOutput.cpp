#include "spool/render/PrintOutput.h"

#include "base/Error.h"

#include <QFile>
#include <QPdfWriter>
#include <QPrinterInfo>

#include <cups/cups.h>
#include <cups/ppd.h>

#include <algorithm>
#include <cctype>
#include <unistd.h>

namespace gs {

namespace {

bool SameName(std::string a, std::string b)
{
    auto lower = [](std::string& s) {
        for (char& c : s)
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    };
    lower(a);
    lower(b);
    return a == b;
}

} // namespace

std::vector<std::string> PrinterMediaSources(const std::string& printer)
{
    // Qt's print support names no paper sources on this platform; CUPS reports them as the
    // destination's supported "media-source" values.
    std::vector<std::string> names;
    if (printer.empty())
        return names;
    cups_dest_t* dests = nullptr;
    const int count = cupsGetDests2(CUPS_HTTP_DEFAULT, &dests);
    if (cups_dest_t* dest = cupsGetDest(printer.c_str(), nullptr, count, dests)) {
        if (cups_dinfo_t* info = cupsCopyDestInfo(CUPS_HTTP_DEFAULT, dest)) {
            if (ipp_attribute_t* sources = cupsFindDestSupported(CUPS_HTTP_DEFAULT, dest, info, CUPS_MEDIA_SOURCE)) {
                for (int i = 0; i < ippGetCount(sources); ++i) {
                    if (const char* name = ippGetString(sources, i, nullptr))
                        names.emplace_back(name);
                }
            }
            cupsFreeDestInfo(info);
        }
    }
    cupsFreeDests(count, dests);
    return names;
}

namespace {

struct Bin {
    std::string option;   // the CUPS job option that selects it
    std::string keyword;  // its value
    std::string text;     // the name the driver shows, when it has one
};

// The queue's paper sources: the IPP "media-source" keywords CUPS reports for the destination (the
// names the printer selection window offers), then the InputSlot choices of the queue's PPD with
// their display names, for bin names written by other programs. The PPD interface is deprecated in
// CUPS but is still how a driver-based queue names its trays.
std::vector<Bin> QueueBins(const std::string& printer)
{
    std::vector<Bin> bins;
    for (const std::string& source : PrinterMediaSources(printer))
        bins.push_back({CUPS_MEDIA_SOURCE, source, {}});
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    const char* ppdFile = cupsGetPPD(printer.c_str());
    if (!ppdFile)
        return bins;
    if (ppd_file_t* ppd = ppdOpenFile(ppdFile)) {
        if (ppd_option_t* slot = ppdFindOption(ppd, "InputSlot"))
            for (int i = 0; i < slot->num_choices; ++i)
                bins.push_back({"InputSlot", slot->choices[i].choice, slot->choices[i].text});
        ppdClose(ppd);
    }
    ::unlink(ppdFile);
#pragma GCC diagnostic pop
    return bins;
}

} // namespace

std::vector<std::string> PrinterPaperBins(const std::string& printerName)
{
    std::vector<std::string> names;
    for (const Bin& b : QueueBins(printerName))
        names.push_back(b.text.empty() ? b.keyword : b.text);
    return names;
}

std::string PrintQueue(const std::string& printerName)
{
    const QPrinterInfo info = printerName.empty() ? QPrinterInfo::defaultPrinter()
                                                  : QPrinterInfo::printerInfo(QString::fromStdString(printerName));
    if (info.isNull())
        throw Error(printerName.empty() ? std::string("Es ist kein Standarddrucker eingerichtet.")
                                        : "Der Drucker \"" + printerName + "\" ist nicht bekannt.");
    return info.printerName().toStdString();
}

namespace {

// This user's jobs CUPS knows, of every state; raises when CUPS does not answer.
template <typename Visit>
void ForEachCupsJob(const char* queue, Visit visit)
{
    cups_job_t* jobs = nullptr;
    const int n = cupsGetJobs2(CUPS_HTTP_DEFAULT, &jobs, queue, 1, CUPS_WHICHJOBS_ALL);
    if (n < 0 || (n == 0 && cupsLastError() > IPP_STATUS_OK_EVENTS_COMPLETE && cupsLastError() != IPP_STATUS_ERROR_NOT_FOUND))
        throw Error(std::string("Das Drucksystem gibt keine Auskunft über die Druckaufträge: ") +
                    cupsLastErrorString());
    for (int i = 0; i < n; ++i)
        visit(jobs[i]);
    cupsFreeJobs(n, jobs);
}

// Removes the print file on every way out.
struct PrintFile {
    std::filesystem::path path;
    ~PrintFile()
    {
        std::error_code ec;
        std::filesystem::remove(path, ec);
    }
};

} // namespace

std::int64_t HighestCupsJob()
{
    std::int64_t highest = 0;
    ForEachCupsJob(nullptr, [&](const cups_job_t& j) { highest = std::max<std::int64_t>(highest, j.id); });
    return highest;
}

std::int64_t FindCupsJob(const std::string& queue, const std::string& title, std::int64_t after)
{
    std::int64_t found = 0;
    ForEachCupsJob(queue.c_str(), [&](const cups_job_t& j) {
        if (j.id > after && j.title && title == j.title && j.dest && SameName(j.dest, queue))
            found = std::max<std::int64_t>(found, j.id);
    });
    return found;
}

PrintResult PrintList(const ListDescription& list, const ListPrint& print, ListRowSource& rows,
                       const PrintSettings& settings)
{
    PrintResult result;
    result.printer = PrintQueue(settings.printerName);

    std::vector<std::pair<std::string, std::string>> options;
    options.emplace_back("copies", std::to_string(std::max(1, settings.copies)));
    options.emplace_back("sides", settings.duplex == 1   ? "two-sided-short-edge"
                                  : settings.duplex == 2 ? "two-sided-long-edge"
                                                         : "one-sided");
    options.emplace_back("media", "A4");
    if (!settings.paperBin.empty()) {
        for (const Bin& b : QueueBins(result.printer)) {
            if (SameName(b.text, settings.paperBin) || SameName(b.keyword, settings.paperBin)) {
                options.emplace_back(b.option, b.keyword);
                result.binApplied = true;
                break;
            }
        }
    }

    PrintFile file{settings.printFile.empty() ? std::filesystem::path("druck.pdf.tmp" + std::to_string(::getpid()))
                                              : settings.printFile};
    {
        QFile out(QString::fromStdString(file.path.string()));
        if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate))
            throw Error("Die Druckdatei " + file.path.string() + " kann nicht angelegt werden: " +
                        out.errorString().toStdString());
        QPdfWriter writer(&out);
        writer.setTitle(QString::fromStdString(print.documentName));
        writer.setCreator(QStringLiteral("Gewinn-Statistik"));
        result.render = RenderList(list, print, rows, writer);
        if (!out.flush() || out.error() != QFileDevice::NoError)
            throw Error("Die Druckdatei " + file.path.string() + " kann nicht geschrieben werden: " +
                        out.errorString().toStdString());
    }

    cups_option_t* cupsOptions = nullptr;
    int count = 0;
    for (const auto& [name, value] : options)
        count = cupsAddOption(name.c_str(), value.c_str(), count, &cupsOptions);
    const int job = cupsPrintFile2(CUPS_HTTP_DEFAULT, result.printer.c_str(), file.path.c_str(),
                                   print.documentName.c_str(), count, cupsOptions);
    cupsFreeOptions(count, cupsOptions);
    if (job <= 0)
        throw Error("Der Druckauftrag für \"" + result.printer + "\" wurde vom Drucksystem nicht angenommen: " +
                    cupsLastErrorString());
    result.cupsJob = job;
    return result;
}

} // namespace gs
