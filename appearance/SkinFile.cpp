#include "appearance/SkinFile.h"

#include "base/Cp1252.h"
#include "base/Error.h"
#include "base/ProcessContext.h"
#include "base/Text.h"

#include <fstream>
#include <sstream>
#include <system_error>

namespace gs {

namespace {

// Blanks around a value are not part of it (a hand-edited "clRed " still names red).
std::string TrimBlanks(std::string_view s)
{
    size_t b = 0, e = s.size();
    while (b < e && (s[b] == ' ' || s[b] == '\t'))
        ++b;
    while (e > b && (s[e - 1] == ' ' || s[e - 1] == '\t'))
        --e;
    return std::string(s.substr(b, e - b));
}

} // namespace

SkinFile SkinFile::FromBytes(std::string_view bytes)
{
    SkinFile skin;
    skin.lines_ = SplitLines(Cp1252ToUtf8(bytes));
    for (const std::string& line : skin.lines_) {
        const size_t eq = line.find('=');
        if (eq == std::string::npos)
            continue;
        // emplace keeps the first value of a key.
        skin.values_.emplace(UpperAscii(std::string_view(line).substr(0, eq)),
                             TrimBlanks(std::string_view(line).substr(eq + 1)));
    }
    return skin;
}

SkinFile SkinFile::Load(const std::filesystem::path& file)
{
    std::error_code ec;
    if (!std::filesystem::is_regular_file(file, ec))
        return {};
    std::ifstream in(file, std::ios::binary);
    if (!in)
        return {};
    std::ostringstream bytes;
    bytes << in.rdbuf();
    if (in.bad())
        return {};
    return FromBytes(bytes.str());
}

const std::string* SkinFile::find(std::string_view key) const
{
    const auto it = values_.find(UpperAscii(key));
    return it == values_.end() ? nullptr : &it->second;
}

std::filesystem::path SkinFilePath(const ProcessContext& runtime)
{
    return runtime.besideProgram(runtime.programFile().filename().string() + ".SKM");
}

std::optional<int> ParseSkinInteger(std::string_view text)
{
    int value = 0;
    if (!TryParseInt32(text, value) || value == -1)
        return std::nullopt;
    return value;
}

void WriteSkinDebugList(const std::filesystem::path& programDir, const std::string& windowName,
                        const std::vector<std::string>& componentNames)
{
    std::vector<std::string> lines;
    lines.reserve(componentNames.size() + 1);
    lines.push_back(windowName + ".");
    lines.insert(lines.end(), componentNames.begin(), componentNames.end());

    // A window name never leaves the directory.
    std::string fileStem = windowName;
    for (char& c : fileStem)
        if (c == '/' || c == '\\')
            c = '_';

    const std::filesystem::path dir = programDir / "DEBUGSKIN";
    std::error_code ec;
    std::filesystem::create_directories(dir, ec);
    if (ec)
        throw Error("Verzeichnis " + dir.string() + " kann nicht angelegt werden");
    const std::filesystem::path file = dir / (fileStem + "-DEBUG.DAT");
    const std::filesystem::path temp = dir / (fileStem + "-DEBUG.DAT.tmp");
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        out << Utf8ToCp1252(JoinLinesCrLf(lines));
        out.flush();
        if (!out)
            throw Error("Datei " + file.string() + " kann nicht geschrieben werden");
    }
    std::filesystem::rename(temp, file, ec);
    if (ec) {
        std::filesystem::remove(temp, ec);
        throw Error("Datei " + file.string() + " kann nicht geschrieben werden");
    }
}

} // namespace gs
