#include "spool/PdfPath.h"

#include "base/Text.h"
#include "settings/HostPath.h"

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

} // namespace gs
