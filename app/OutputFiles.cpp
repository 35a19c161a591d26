#include "app/OutputFiles.h"

#include "base/Dates.h"
#include "base/Error.h"
#include "base/Text.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace gs {

std::string PeriodFileStem(const std::string& yearText, int periodIndex, int fiscalStartMonth)
{
    // "2024/25" names the fiscal year by the calendar year it begins in.
    const std::string yearPart = yearText.substr(0, yearText.find('/'));
    int year = 0;
    if (!TryParseInt32(yearPart, year) || yearPart.find_first_not_of("0123456789") != std::string::npos)
        year = 0;
    const bool fiscal = fiscalStartMonth > 1 && fiscalStartMonth <= 12;
    char text[32];
    if (periodIndex >= 5 && periodIndex <= 16) {
        // A month is named by its calendar year, whichever fiscal year holds it.
        const int month = periodIndex - 4;
        std::snprintf(text, sizeof text, "GEWINN-%04d-%02d", fiscal && month < fiscalStartMonth ? year + 1 : year, month);
        return text;
    }
    if (!fiscal) {
        std::snprintf(text, sizeof text, "GEWINN-%04d", year);
        std::string stem = text;
        if (periodIndex >= 1 && periodIndex <= 4)
            stem += "-Q" + std::to_string(periodIndex);
        return stem;
    }
    // A fiscal year and its quarters by both calendar years and the months they run from and to
    // ("GEWINN-2026-27-Q2-Okt-Dez", "GEWINN-2026-27-Jul-Jun"): the quarter's number alone would name
    // another quarter with another fiscal start, and a run with that start would replace the file.
    static constexpr const char* Months[] = {"Jan", "Feb", "Mrz", "Apr", "Mai", "Jun",
                                             "Jul", "Aug", "Sep", "Okt", "Nov", "Dez"};
    std::snprintf(text, sizeof text, "GEWINN-%04d-%02d", year, (year + 1) % 100);
    std::string stem = text;
    int first = fiscalStartMonth - 1, last = (first + 11) % 12;
    if (periodIndex >= 1 && periodIndex <= 4) {
        stem += "-Q" + std::to_string(periodIndex);
        first = (first + 3 * (periodIndex - 1)) % 12;
        last = (first + 2) % 12;
    }
    return stem + "-" + Months[first] + "-" + Months[last];
}

std::string PeriodFileStem(const PeriodChoice& choice)
{
    if (choice.periodIndex == PeriodFreeRange)
        return RangeFileStem(choice.first, choice.last);
    return PeriodFileStem(choice.yearText, choice.periodIndex, choice.fiscalStartMonth);
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
