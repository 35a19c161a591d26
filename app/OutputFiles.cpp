#include "app/OutputFiles.h"

#include "base/Dates.h"
#include "base/Error.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace gs {

std::string PeriodFileStem(const std::string& yearText, int periodIndex)
{
    // A fiscal year's "2024/25" becomes "2024-25": the name never names a folder.
    std::string year;
    for (const char c : yearText)
        year += c == '/' ? '-' : c;
    std::string stem = "GEWINN-" + year;
    char part[8];
    if (periodIndex >= 1 && periodIndex <= 4) {
        std::snprintf(part, sizeof part, "-Q%d", periodIndex);
        stem += part;
    } else if (periodIndex >= 5 && periodIndex <= 16) {
        std::snprintf(part, sizeof part, "-%02d", periodIndex - 4);
        stem += part;
    }
    return stem;
}

std::string RangeFileStem(double firstDay, double lastDay)
{
    return "GEWINN-" + DateToIso(firstDay) + "_" + DateToIso(lastDay);
}

bool IsStandardOutput(const std::filesystem::path& file) { return file == "-"; }

void WriteAllTo(int fd, std::string_view bytes)
{
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            throw Error(std::string(fd == 1 ? StandardOutputName : "Die Ausgabe") + " konnte nicht geschrieben werden: " +
                        SystemErrorText(n < 0 ? errno : EIO));
        bytes.remove_prefix(static_cast<size_t>(n));
    }
}

void RequireRegularTarget(const std::filesystem::path& file)
{
    struct stat st {};
    if (::lstat(file.c_str(), &st) != 0) {
        if (errno == ENOENT)
            return;
        throw Error("Die Datei " + file.string() + " kann nicht geprüft werden: " + SystemErrorText(errno));
    }
    if (S_ISREG(st.st_mode))
        return;
    const char* kind = S_ISDIR(st.st_mode)    ? "ein Verzeichnis"
                       : S_ISLNK(st.st_mode)  ? "eine symbolische Verknüpfung"
                       : S_ISFIFO(st.st_mode) ? "eine benannte Pipe"
                                              : "eine Gerätedatei oder ein Socket";
    throw Error("Die Datei " + file.string() + " wird nicht geschrieben: dort ist " + kind + ", keine gewöhnliche Datei");
}

void WriteThroughTemporary(const std::filesystem::path& file, const std::function<void(const std::filesystem::path&)>& write)
{
    const std::filesystem::path dir = file.has_parent_path() ? file.parent_path() : std::filesystem::path(".");
    std::string name = (dir / ("." + file.filename().string() + ".XXXXXX")).string();
    const int fd = ::mkstemp(name.data());
    if (fd < 0)
        throw Error("Die Datei " + file.string() + " konnte nicht geschrieben werden (temporäre Datei: " +
                    SystemErrorText(errno) + ")");
    ::close(fd);
    const std::filesystem::path temp = name;
    try {
        write(temp);
    } catch (...) {
        std::error_code ec;
        std::filesystem::remove(temp, ec);
        throw;
    }
    ::chmod(temp.c_str(), 0644 & ~[] { const mode_t m = ::umask(0); ::umask(m); return m; }());
    if (::rename(temp.c_str(), file.c_str()) != 0) {
        const int err = errno;
        std::error_code ec;
        std::filesystem::remove(temp, ec);
        throw Error("Die Datei " + file.string() + " konnte nicht geschrieben werden (umbenennen: " + SystemErrorText(err) + ")");
    }
}

} // namespace gs
