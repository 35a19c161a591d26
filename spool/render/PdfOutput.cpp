#include "spool/render/PdfOutput.h"

#include "base/Error.h"

#include <QIODevice>
#include <QPdfWriter>

#include <cerrno>
#include <fcntl.h>
#include <fstream>
#include <iterator>
#include <sys/stat.h>
#include <unistd.h>

namespace gs {

namespace {

// The PDF's bytes go to the file through a buffer of its own, so that a write that fails keeps the
// system's cause (a full disk, a quota) instead of a page that "cannot be created".
class FileSink : public QIODevice {
public:
    explicit FileSink(int fd) : fd_(fd) { buffer_.reserve(Capacity); }
    int failure() const { return error_; }
    // Writes what is buffered; false (failure() set) when the system refused.
    bool drain()
    {
        size_t done = 0;
        while (error_ == 0 && done < buffer_.size()) {
            const ssize_t n = ::write(fd_, buffer_.data() + done, buffer_.size() - done);
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                error_ = n < 0 ? errno : EIO;
            else
                done += static_cast<size_t>(n);
        }
        buffer_.clear();
        return error_ == 0;
    }

protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char* data, qint64 len) override
    {
        if (error_ != 0)
            return -1;
        buffer_.append(data, static_cast<size_t>(len));
        if (buffer_.size() >= Capacity && !drain())
            return -1;
        return len;
    }

private:
    static constexpr size_t Capacity = 256 * 1024;
    int fd_;
    int error_ = 0;
    std::string buffer_;
};

std::string JobCreator(const std::string& jobMark)
{
    return jobMark.empty() ? std::string("Gewinn-Statistik") : "Gewinn-Statistik, Auftrag " + jobMark;
}

// The list drawn as a PDF/A-1b into device.
RenderResult RenderPdf(const ListDescription& list, const ListPrint& print, ListRowSource& rows, QIODevice& device,
                       const std::string& creator)
{
    QPdfWriter writer(&device);
    writer.setPdfVersion(QPagedPaintDevice::PdfVersion_A1b);
    writer.setResolution(600);
    writer.setTitle(QString::fromStdString(print.documentName));
    writer.setCreator(QString::fromStdString(creator));
    return RenderList(list, print, rows, writer);
}

std::string Kind(mode_t mode)
{
    return S_ISDIR(mode)    ? "ein Verzeichnis"
           : S_ISLNK(mode)  ? "eine symbolische Verknüpfung"
           : S_ISFIFO(mode) ? "eine benannte Pipe"
                            : "eine Gerätedatei oder ein Socket";
}

} // namespace

std::string PdfTemporaryName(const std::filesystem::path& file, long pid)
{
    return file.filename().string() + ".tmp" + std::to_string(pid);
}

RenderResult WriteListPdf(const ListDescription& list, const ListPrint& print, ListRowSource& rows,
                           const std::filesystem::path& file, const std::string& jobMark)
{
    // What lies under the name already is replaced only when it is a file: a link, a pipe or a
    // device stays as it is.
    struct stat st {};
    if (::lstat(file.c_str(), &st) == 0 && !S_ISREG(st.st_mode))
        throw Error("Die PDF-Datei " + file.string() + " wird nicht geschrieben: dort ist " + Kind(st.st_mode) +
                    ", keine gewöhnliche Datei");
    const std::filesystem::path temp = file.parent_path() / PdfTemporaryName(file, ::getpid());
    const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd < 0)
        throw Error("Die PDF-Datei " + file.string() + " kann nicht angelegt werden: " + SystemErrorText(errno));
    auto discard = [&] {
        ::close(fd);
        std::error_code ec;
        std::filesystem::remove(temp, ec);
    };
    FileSink sink(fd);
    sink.open(QIODevice::WriteOnly);
    RenderResult result;
    try {
        result = RenderPdf(list, print, rows, sink, JobCreator(jobMark));
    } catch (const std::exception& e) {
        const int cause = sink.failure();
        discard();
        // A write the system refused is the cause; the page it broke is only its symptom.
        throw Error("Die PDF-Datei " + file.string() +
                    (cause != 0 ? " konnte nicht geschrieben werden: " + SystemErrorText(cause)
                                : " wurde nicht erzeugt: " + std::string(e.what())));
    }
    int cause = sink.drain() ? 0 : sink.failure();
    if (cause == 0 && ::fsync(fd) != 0)
        cause = errno;
    if (cause != 0) {
        discard();
        throw Error("Die PDF-Datei " + file.string() + " konnte nicht geschrieben werden: " + SystemErrorText(cause));
    }
    sink.close();
    if (::close(fd) != 0) {
        cause = errno;
        std::error_code ec;
        std::filesystem::remove(temp, ec);
        throw Error("Die PDF-Datei " + file.string() + " konnte nicht geschrieben werden: " + SystemErrorText(cause));
    }
    if (::rename(temp.c_str(), file.c_str()) != 0) {
        cause = errno;
        std::error_code ec;
        std::filesystem::remove(temp, ec);
        throw Error("Die PDF-Datei " + file.string() + " konnte nicht geschrieben werden: " + SystemErrorText(cause));
    }
    return result;
}

RenderResult WriteListPdfToStream(const ListDescription& list, const ListPrint& print, ListRowSource& rows, int fd,
                                  const std::string& name)
{
    FileSink sink(fd);
    sink.open(QIODevice::WriteOnly);
    RenderResult result;
    try {
        result = RenderPdf(list, print, rows, sink, JobCreator({}));
    } catch (const std::exception& e) {
        if (sink.failure() != 0)
            throw Error(name + " konnte nicht geschrieben werden: " + SystemErrorText(sink.failure()));
        throw Error("Die PDF-Datei wurde nicht erzeugt: " + std::string(e.what()));
    }
    if (!sink.drain())
        throw Error(name + " konnte nicht geschrieben werden: " + SystemErrorText(sink.failure()));
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
