#include "app/MenuInstall.h"

#include "base/AtomicFile.h"
#include "base/Cp1252.h"
#include "base/Dialogs.h"
#include "base/Error.h"
#include "app/Runtime.h"
#include "base/Text.h"

#include <fstream>
#include <sstream>
#include <vector>

namespace gs {

void SplitAtChar(const std::string& line, char ch, std::string& left, std::string& right)
{
    const size_t pos = line.find(ch);
    if (pos == std::string::npos)
        return;
    left = line.substr(0, pos);
    right = Trim(Utf8Left(std::string_view(line).substr(pos + 1), 200));
}

namespace {

std::vector<std::string> ReadMenuLines(const std::filesystem::path& file)
{
    std::ifstream in(file, std::ios::binary);
    if (!in)
        throw Error("Die Datei " + file.string() + " kann nicht gelesen werden.");
    std::ostringstream bytes;
    bytes << in.rdbuf();
    if (in.bad())
        throw Error("Die Datei " + file.string() + " kann nicht gelesen werden.");
    return SplitLines(Cp1252ToUtf8(bytes.str()));
}

} // namespace

bool InstallMenuEntry(const std::filesystem::path& programFile, bool silent)
{
    try {
        const std::filesystem::path path = FindFileNoCase(programFile.parent_path(), MenuFileName);
        const std::string entry = programFile.string() + ";" + MenuEntryText;
        std::vector<std::string> lines;
        std::error_code ec;
        if (std::filesystem::exists(path, ec)) {
            lines = ReadMenuLines(path);
            bool replaced = false;
            for (auto& line : lines) {
                std::string left, right;
                SplitAtChar(line, ';', left, right);
                if (right == MenuEntryText) {
                    line = entry;
                    replaced = true;
                    break;
                }
            }
            if (!replaced)
                lines.push_back(entry);
        } else {
            lines.push_back(entry);
        }
        WriteFileAtomically(path, Utf8ToCp1252(JoinLinesCrLf(lines)));
        if (!silent)
            ShowMessageBox("Gewinnstatistik. Das Programm wurde installiert. Starten Sie das Programm über "
                           "zusätzlich > Gewinnstatistik.");
        return true;
    } catch (const std::exception& e) {
        ShowMessageBox(std::string("Gewinnstatistik.: Installation fehlgeschlagen: Fehler: ") + e.what());
        return false;
    }
}

} // namespace gs
