#pragma once
// The store of remembered user choices: UserMode.INI, section "MODE", one key per choice (window
// placements, check boxes of the print dialog, last directories and file names). The file lies in
// the given directory, or beside the program when the directory is empty.
//
// Texts are written enclosed in double quotes, a double quote inside doubled; a stored text that
// contains a double quote is unquoted again on reading. A read can write the value it read back
// (creating the key with its default on first use). An empty key does nothing: reads give the
// default. Nothing here ever reports an error: an unreadable file gives the defaults, a failed write
// is lost. Every write replaces the file atomically.
#include <filesystem>
#include <string>

namespace gs {

inline constexpr const char* UserModeFileName = "UserMode.INI";
inline constexpr const char* UserModeSection = "MODE";

// UserMode.INI in the directory (found without regard to case), or beside the current runtime's
// program when the directory is empty.
std::filesystem::path UserModeFile(const std::string& directory);

bool ReadModeBool(const std::string& key, bool defaultValue, const std::string& directory = {},
                  bool writeBack = false);
int ReadModeInteger(const std::string& key, int defaultValue, const std::string& directory = {},
                    bool writeBack = false);
std::string ReadModeText(const std::string& key, const std::string& defaultValue, const std::string& directory = {},
                         bool writeBack = false);

void WriteModeBool(const std::string& key, bool value, const std::string& directory = {});
void WriteModeInteger(const std::string& key, int value, const std::string& directory = {});
void WriteModeText(const std::string& key, const std::string& value, const std::string& directory = {});

// The stored form of a text: "a""b" for a"b.
std::string QuoteModeText(const std::string& text);
// The text of a stored value: a value that begins with a double quote is read up to its closing
// quote with doubled quotes made single; any other value, or one without a closing quote, stays as
// it is.
std::string UnquoteModeText(const std::string& stored);

} // namespace gs
