#include "settings/UserMode.h"

#include "base/Error.h"
#include "base/ProcessContext.h"
#include "base/IniFile.h"

#include <optional>

namespace gs {

namespace {

// Runs f on the open file and writes what it changed; an ordinary error while opening or reading
// gives nullopt, a failed write is lost without touching the result.
template <class F>
auto WithModeFile(const std::string& directory, F&& f) -> std::optional<decltype(f(std::declval<IniFile&>()))>
{
    std::optional<decltype(f(std::declval<IniFile&>()))> result;
    Guarded("UserMode.INI", [&] {
        IniFile ini(UserModeFile(directory));
        result = f(ini);
        // A failed write is lost; the old file stays as it was.
        Guarded("UserMode.INI, writing", [&] { ini.UpdateFile(); });
    });
    return result;
}

} // namespace

std::filesystem::path UserModeFile(const std::string& directory)
{
    if (directory.empty())
        return ProcessContext::current().besideProgram(UserModeFileName);
    return FindFileNoCase(std::filesystem::path(directory), UserModeFileName);
}

std::string QuoteModeText(const std::string& text)
{
    std::string r = "\"";
    for (char c : text) {
        r += c;
        if (c == '"')
            r += '"';
    }
    r += '"';
    return r;
}

std::string UnquoteModeText(const std::string& stored)
{
    if (stored.empty() || stored.front() != '"')
        return stored;
    std::string r;
    for (size_t i = 1; i < stored.size(); ++i) {
        if (stored[i] != '"') {
            r += stored[i];
            continue;
        }
        if (i + 1 < stored.size() && stored[i + 1] == '"') {
            r += '"';
            ++i;
            continue;
        }
        return r; // closing quote; anything after it is dropped
    }
    return stored; // no closing quote: the text is not a quoted one
}

bool ReadModeBool(const std::string& key, bool defaultValue, const std::string& directory, bool writeBack)
{
    if (key.empty())
        return defaultValue;
    return WithModeFile(directory, [&](IniFile& ini) {
               const bool value = ini.ReadBool(UserModeSection, key, defaultValue);
               if (writeBack)
                   ini.WriteBool(UserModeSection, key, value);
               return value;
           })
        .value_or(defaultValue);
}

int ReadModeInteger(const std::string& key, int defaultValue, const std::string& directory, bool writeBack)
{
    if (key.empty())
        return defaultValue;
    return WithModeFile(directory, [&](IniFile& ini) {
               const int value = ini.ReadInteger(UserModeSection, key, defaultValue);
               if (writeBack)
                   ini.WriteInteger(UserModeSection, key, value);
               return value;
           })
        .value_or(defaultValue);
}

std::string ReadModeText(const std::string& key, const std::string& defaultValue, const std::string& directory,
                         bool writeBack)
{
    if (key.empty())
        return defaultValue;
    return WithModeFile(directory, [&](IniFile& ini) {
               std::string value = defaultValue;
               if (ini.ValueExists(UserModeSection, key)) {
                   value = ini.ReadString(UserModeSection, key, defaultValue);
                   if (value.find('"') != std::string::npos)
                       value = UnquoteModeText(value);
               }
               if (writeBack)
                   ini.WriteString(UserModeSection, key, QuoteModeText(value));
               return value;
           })
        .value_or(defaultValue);
}

void WriteModeBool(const std::string& key, bool value, const std::string& directory)
{
    if (key.empty())
        return;
    WithModeFile(directory, [&](IniFile& ini) {
        ini.WriteBool(UserModeSection, key, value);
        return true;
    });
}

void WriteModeInteger(const std::string& key, int value, const std::string& directory)
{
    if (key.empty())
        return;
    WithModeFile(directory, [&](IniFile& ini) {
        ini.WriteInteger(UserModeSection, key, value);
        return true;
    });
}

void WriteModeText(const std::string& key, const std::string& value, const std::string& directory)
{
    if (key.empty())
        return;
    WithModeFile(directory, [&](IniFile& ini) {
        ini.WriteString(UserModeSection, key, QuoteModeText(value));
        return true;
    });
}

} // namespace gs
