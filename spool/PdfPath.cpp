#include "spool/PdfPath.h"

#include "base/Text.h"
#include "settings/HostPath.h"

#include <algorithm>

namespace gs {

namespace {

// Decodes one UTF-8 character at i (advancing i); a broken byte stands for itself.
char32_t NextChar(std::string_view s, size_t& i)
{
    const auto b = static_cast<unsigned char>(s[i]);
    const size_t extra = b >= 0xF0 ? 3 : b >= 0xE0 ? 2 : b >= 0xC0 ? 1 : 0;
    if (extra == 0 || i + extra >= s.size()) {
        ++i;
        return b;
    }
    char32_t c = b & (0x3F >> extra);
    for (size_t k = 1; k <= extra; ++k)
        c = (c << 6) | (static_cast<unsigned char>(s[i + k]) & 0x3F);
    i += extra + 1;
    return c;
}

} // namespace

bool IsPdfUnsafeCharacter(char32_t c)
{
    switch (c) {
    case U'?': case U'ä': case U'ü': case U'ö': case U'#': case U'+': case U'*': case U'~': case U'!': case U'"':
    case U'§': case U'&': case U'(': case U')': case U'[': case U']': case U'{': case U'}': case U':': case U';':
    case U',': case U'=': case U'<': case U'>': case U'|': case U' ': case U'\\': case U'.': case U'/':
        return true;
    default:
        return false;
    }
}

std::string PdfSubPath(std::string_view jobName)
{
    std::string cleaned;
    for (size_t i = 0; i < jobName.size();) {
        const char32_t c = NextChar(jobName, i);
        if (!IsPdfUnsafeCharacter(c))
            AppendUtf8(cleaned, c);
    }
    return cleaned.empty() ? cleaned : WithTrailingDelimiter(cleaned);
}

std::string PdfFileName(std::string_view printName, long long idOrder)
{
    std::string raw(printName);
    if (idOrder > 0)
        raw += std::to_string(idOrder);
    std::string name;
    for (size_t i = 0; i < raw.size();) {
        char32_t c = NextChar(raw, i);
        if (c == U'\r' || c == U'\n' || c == U'\t')
            continue;
        const char32_t lower = (c >= U'A' && c <= U'Z') ? c + 32 : c;
        if (IsPdfUnsafeCharacter(lower))
            c = U'_';
        AppendUtf8(name, c);
    }
    return name + ".PDF";
}

std::string PdfFolderOfX5(std::string_view x5) { return Trim(Utf8Mid(x5, 3, 50)); }

std::string PdfDirectory(std::string_view backupDir, std::string_view folder, std::string_view subPath)
{
    std::string dir = WithTrailingDelimiter(backupDir);
    dir = WithTrailingDelimiter(dir + std::string(folder));
    dir = WithTrailingDelimiter(dir + std::string(subPath));
    return dir;
}

std::string PdfPathOfJob(std::string_view backupDir, std::string_view x5, std::string_view subPath,
                         std::string_view printName, long long idOrder)
{
    return PdfDirectory(backupDir, PdfFolderOfX5(x5), subPath) + PdfFileName(printName, idOrder);
}

namespace {

constexpr size_t NameMax = 255;       // bytes of one name on the usual file systems
constexpr size_t StemMax = 200;       // the print name's part, leaving room for the ID and a counter

// A value as a message may show it: control characters as "?", at most 80 bytes.
std::string Shown(std::string_view value)
{
    std::string out;
    for (char c : value.substr(0, 80))
        out += (static_cast<unsigned char>(c) < 0x20 || c == 0x7f) ? '?' : c;
    return value.size() > 80 ? out + "…" : out;
}

std::string NameProblem(std::string_view name, const char* what)
{
    const std::string quoted = std::string(what) + " \"" + Shown(name) + "\"";
    if (name == "." || name == "..")
        return quoted + " verweist auf einen anderen Ordner";
    for (const char c : name) {
        if (IsPathDelimiter(c))
            return quoted + " enthält ein Pfad-Trennzeichen";
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f)
            return quoted + " enthält Steuerzeichen";
    }
    if (name.size() > NameMax)
        return quoted + " ist zu lang (" + std::to_string(name.size()) + " Bytes)";
    return {};
}

std::string_view WithoutTrailingDelimiter(std::string_view s)
{
    if (!s.empty() && IsPathDelimiter(s.back()))
        s.remove_suffix(1);
    return s;
}

bool AllDigits(std::string_view s)
{
    return !s.empty() && std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

} // namespace

std::string PdfJobFileName(std::string_view printName, long long idOrder, std::int64_t jobId, int counter)
{
    std::string stem = PdfFileName(printName, idOrder);
    stem.resize(stem.size() - 4); // ".PDF"
    if (stem.size() > StemMax) {
        size_t n = StemMax;
        while (n > 0 && (static_cast<unsigned char>(stem[n]) & 0xC0) == 0x80)
            --n; // never inside a character
        stem.resize(n);
    }
    if (!stem.empty() && stem.back() != '-' && stem.back() != '_')
        stem += '-';
    stem += std::to_string(jobId);
    if (counter > 1)
        stem += "_" + std::to_string(counter);
    return stem + ".PDF";
}

std::string PdfFolderProblem(std::string_view folder)
{
    return folder.empty() ? std::string() : NameProblem(folder, "Der Datenbankordner (X5)");
}

std::string PdfSubPathProblem(std::string_view subPath)
{
    if (subPath.empty())
        return {};
    const std::string_view name = WithoutTrailingDelimiter(subPath);
    if (name.empty())
        return "Der Unterordner (SubPath) \"" + Shown(subPath) + "\" ist kein Ordnername";
    return NameProblem(name, "Der Unterordner (SubPath)");
}

PdfTarget PdfTargetOfJob(const PdfJobValues& job, std::string_view backupDir)
{
    PdfTarget target;
    const std::string folder = PdfFolderOfX5(job.x5);
    target.problem = PdfFolderProblem(folder);
    if (target.problem.empty())
        target.problem = PdfSubPathProblem(job.subPath);
    if (!target.problem.empty())
        return target;
    const std::string name = PdfJobFileName(job.printName, job.idOrder, job.id);
    if (job.announced.empty()) {
        if (backupDir.empty()) {
            target.problem = "Kein PDF-Verzeichnis eingerichtet (TOVIK.INI, Abschnitt PDF, Schlüssel BackupDir)";
            return target;
        }
        target.baseDir = std::string(backupDir);
        target.file = PdfDirectory(backupDir, folder, job.subPath) + name;
        return target;
    }

    const std::filesystem::path announced(job.announced);
    auto refuse = [&](const std::string& why) {
        target.problem = "Der gespeicherte PDF-Pfad \"" + Shown(job.announced) + "\" " + why;
        return target;
    };
    if (!announced.is_absolute())
        return refuse("ist kein absoluter Pfad");
    for (const char c : job.announced)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f)
            return refuse("enthält Steuerzeichen");
    for (const auto& part : announced)
        if (part == "." || part == "..")
            return refuse("verweist auf einen anderen Ordner");
    // The file name is this job's: its stem, perhaps a counter, ".PDF".
    const std::string file = announced.filename().string();
    const std::string stem = name.substr(0, name.size() - 4);
    const bool own = file == name || (file.size() > stem.size() + 5 && file.compare(0, stem.size(), stem) == 0 &&
                                      file[stem.size()] == '_' && file.ends_with(".PDF") &&
                                      AllDigits(std::string_view(file).substr(stem.size() + 1,
                                                                             file.size() - stem.size() - 5)));
    if (!own)
        return refuse("trägt nicht den Dateinamen des Auftrags (" + name + ")");
    // Below the PDF folder lie the job's own database folder and subfolder, nothing else.
    std::filesystem::path base = announced.parent_path();
    for (const std::string_view part : {WithoutTrailingDelimiter(job.subPath), std::string_view(folder)}) {
        if (part.empty())
            continue;
        if (base.filename() != part)
            return refuse("liegt nicht im Ordner des Auftrags (" + Shown(part) + ")");
        base = base.parent_path();
    }
    if (base.empty() || base == base.root_path())
        return refuse("nennt keinen PDF-Ordner");
    target.baseDir = base;
    target.file = announced;
    return target;
}

} // namespace gs
