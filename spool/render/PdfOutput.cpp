#include "spool/render/PdfOutput.h"

#include "base/Error.h"

#include <QFile>
#include <QPdfWriter>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <iterator>
#include <unistd.h>

namespace gs {

namespace {

std::string SystemReason(int error) { return SystemErrorText(error); }

std::string JobCreator(const std::string& jobMark)
{
    return jobMark.empty() ? std::string("Gewinn-Statistik") : "Gewinn-Statistik, Auftrag " + jobMark;
}

} // namespace

RenderResult WriteListPdf(const ListDescription& list, const ListPrint& print, ListRowSource& rows,
                           const std::filesystem::path& file, const std::string& jobMark)
{
    const std::filesystem::path temp = file.string() + ".tmp" + std::to_string(::getpid());
    QFile out(QString::fromStdString(temp.string()));
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate))
        throw Error("Die PDF-Datei " + file.string() + " kann nicht angelegt werden: " +
                    out.errorString().toStdString());
    auto discard = [&] {
        out.close();
        std::error_code ec;
        std::filesystem::remove(temp, ec);
    };
    RenderResult result;
    try {
        QPdfWriter writer(&out);
        writer.setPdfVersion(QPagedPaintDevice::PdfVersion_A1b);
        writer.setResolution(600);
        writer.setTitle(QString::fromStdString(print.documentName));
        writer.setCreator(QString::fromStdString(JobCreator(jobMark)));
        result = RenderList(list, print, rows, writer);
    } catch (const std::exception& e) {
        discard();
        throw Error("Die PDF-Datei " + file.string() + " wurde nicht erzeugt: " + e.what());
    }
    errno = 0;
    const bool written = out.error() == QFileDevice::NoError && out.flush() && ::fsync(out.handle()) == 0;
    const int reason = errno;
    if (!written) {
        const std::string what = out.error() != QFileDevice::NoError ? out.errorString().toStdString()
                                                                      : SystemReason(reason);
        discard();
        throw Error("Die PDF-Datei " + file.string() + " konnte nicht geschrieben werden: " + what);
    }
    out.close();
    std::error_code ec;
    std::filesystem::rename(temp, file, ec);
    if (ec) {
        std::filesystem::remove(temp, ec);
        throw Error("Die PDF-Datei " + file.string() + " konnte nicht geschrieben werden: " + SystemErrorText(ec.value()));
    }
    return result;
}

bool PdfCarriesJobMark(const std::filesystem::path& file, const std::string& jobMark)
{
    if (jobMark.empty())
        return false;
    std::ifstream in(file, std::ios::binary);
    if (!in)
        return false;
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    // The metadata stream (XMP) holds the creator as plain text.
    if (bytes.find(JobCreator(jobMark)) == std::string::npos)
        return false;
    const size_t end = bytes.rfind("%%EOF");
    return end != std::string::npos && bytes.size() - end <= 8;
}

} // namespace gs
