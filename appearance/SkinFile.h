#pragma once
// The skin file beside the program: the program file's name (with its extension) followed by
// ".SKM", for example stat.exe.SKM. Windows-1252 text, one "key=value" a line; the key is the text
// before the first "=", compared without regard to case; when a key occurs twice the first line
// counts; lines without "=" are ignored. A first line of exactly "DEBUGOUTPUT" asks for the name
// list of every skinned window (WriteSkinDebugList).
#include "base/HostColors.h"

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace gs {

class ProcessContext;

class SkinFile {
public:
    SkinFile() = default;
    // Reads the file; a missing or unreadable file gives an empty skin.
    static SkinFile Load(const std::filesystem::path& file);
    // Builds the skin from the file's bytes (Windows-1252).
    static SkinFile FromBytes(std::string_view bytes);

    bool empty() const { return lines_.empty(); }
    // True when the first line is exactly "DEBUGOUTPUT" (case-sensitive).
    bool wantsDebugOutput() const { return !lines_.empty() && lines_.front() == "DEBUGOUTPUT"; }
    // The value of the first line with this key (letters in any case), or null.
    const std::string* find(std::string_view key) const;

private:
    std::vector<std::string> lines_;
    std::unordered_map<std::string, std::string> values_; // upper-case key -> value
};

// The skin file of the running program (found without regard to case beside it).
std::filesystem::path SkinFilePath(const ProcessContext& runtime);

// Integer skin value: decimal, or hexadecimal after "$"; -1 and any text that is no integer count
// as absent.
std::optional<int> ParseSkinInteger(std::string_view text);

// Writes DEBUGSKIN/<windowName>-DEBUG.DAT below programDir (creating the directories): the first
// line is the window's name followed by ".", then one component name a line. Windows-1252, CR LF.
// Throws gs::Error when the file cannot be written.
void WriteSkinDebugList(const std::filesystem::path& programDir, const std::string& windowName,
                        const std::vector<std::string>& componentNames);

} // namespace gs
