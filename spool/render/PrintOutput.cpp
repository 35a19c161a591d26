#include "spool/render/PrintOutput.h"

#include "base/Error.h"

#include <QPrintEngine>
#include <QPrinter>
#include <QPrinterInfo>

#include <cups/cups.h>
#include <cups/ppd.h>

#include <algorithm>
#include <cctype>
#include <unistd.h>

namespace gs {

namespace {

// The print engine's key for extra CUPS job options (key, value, key, value, ...), the one Qt's own
// print dialog uses for options it has no property of its own for, such as the input slot.
const auto CupsOptionsKey = QPrintEngine::PrintEnginePropertyKey(0xfe00);

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

PrintResult PrintList(const ListDescription& list, const ListPrint& print, ListRowSource& rows,
                       const PrintSettings& settings)
{
    QPrinterInfo info = settings.printerName.empty()
                            ? QPrinterInfo::defaultPrinter()
                            : QPrinterInfo::printerInfo(QString::fromStdString(settings.printerName));
    if (info.isNull())
        throw Error(settings.printerName.empty() ? std::string("Es ist kein Standarddrucker eingerichtet.")
                                                 : "Der Drucker \"" + settings.printerName + "\" ist nicht bekannt.");
    PrintResult result;
    result.printer = info.printerName().toStdString();

    QPrinter printer(info, QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::NativeFormat);
    printer.setDocName(QString::fromStdString(print.documentName));
    printer.setCopyCount(std::max(1, settings.copies));
    printer.setDuplex(settings.duplex == 1   ? QPrinter::DuplexShortSide
                      : settings.duplex == 2 ? QPrinter::DuplexLongSide
                                             : QPrinter::DuplexNone);
    if (!settings.paperBin.empty()) {
        for (const Bin& b : QueueBins(result.printer)) {
            if (SameName(b.text, settings.paperBin) || SameName(b.keyword, settings.paperBin)) {
                printer.printEngine()->setProperty(
                    CupsOptionsKey, QStringList{QString::fromStdString(b.option), QString::fromStdString(b.keyword)});
                result.binApplied = true;
                break;
            }
        }
    }
    if (!printer.isValid())
        throw Error("Der Drucker \"" + result.printer + "\" kann nicht benutzt werden.");
    result.render = RenderList(list, print, rows, printer);
    if (printer.printerState() == QPrinter::Error || printer.printerState() == QPrinter::Aborted)
        throw Error("Der Druckauftrag für \"" + result.printer + "\" wurde vom Drucksystem nicht angenommen.");
    return result;
}

} // namespace gs
