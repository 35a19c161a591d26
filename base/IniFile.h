#pragma once
// One INI file in memory. The whole file is read when the object is created (Windows-1252 on the
// disk, UTF-8 in the program) and written back, atomically and with CR LF line ends, when the
// object is released or UpdateFile() is called, and only when something was changed.
//
// Lines: "[name]" starts a section; "key=value" is an entry of the current section, split at the
// first "="; sections and keys are compared without regard to case (letters a to z), keys without
// their surrounding blanks; a value is taken exactly as it follows the "=". Every other line
// (blank lines, ";" comments, lines without "=", the end-of-file mark, character 26) is kept in
// its place and written back unchanged. Where a section or key occurs twice, the first one counts.
#include <filesystem>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace gs {

class IniFile {
public:
    // A missing file gives an empty object; a file that exists but cannot be read raises gs::Error.
    explicit IniFile(std::filesystem::path file);
    // Writes pending changes; a failure is swallowed here (call UpdateFile() to see it).
    ~IniFile();
    IniFile(const IniFile&) = delete;
    IniFile& operator=(const IniFile&) = delete;

    const std::filesystem::path& fileName() const { return file_; }

    // The value, or the default when the section or the key is missing.
    std::string ReadString(std::string_view section, std::string_view key, std::string_view defaultValue) const;
    // Decimal, or hexadecimal after "0x" (any case) or "$"; a value that is no integer gives the default.
    int ReadInteger(std::string_view section, std::string_view key, int defaultValue) const;
    // The integer value with the default 0 or 1; any non-zero value is true.
    bool ReadBool(std::string_view section, std::string_view key, bool defaultValue) const;

    // Sets the entry; a new section goes to the end of the file, a new key to the end of its
    // section. Writing the stored value changes nothing. Line breaks in section names, keys and
    // values become blanks, so that no text can start lines of its own.
    void WriteString(std::string_view section, std::string_view key, std::string_view value);
    void WriteInteger(std::string_view section, std::string_view key, int value);
    void WriteBool(std::string_view section, std::string_view key, bool value); // "1" or "0"

    bool SectionExists(std::string_view section) const;
    bool ValueExists(std::string_view section, std::string_view key) const;
    // Keys of the section in file order (each once); section names in file order (each once).
    std::vector<std::string> ReadSection(std::string_view section) const;
    std::vector<std::string> ReadSections() const;
    void DeleteKey(std::string_view section, std::string_view key);
    void EraseSection(std::string_view section);

    // True while changes wait to be written.
    bool modified() const { return modified_; }
    // Writes pending changes now; raises gs::Error when the file cannot be written (the old file
    // then stays as it was and the changes stay pending).
    void UpdateFile();
    // The file text as it would be written (UTF-8, CR LF).
    std::string text() const;

private:
    struct Line {
        std::string text;            // the whole line as in the file
        size_t equals = std::string::npos; // position of the first "=" of an entry; npos otherwise
    };
    struct Block {
        std::string name;            // section name (trimmed); empty before the first section
        std::string header;          // the section line as in the file; empty for the prelude
        bool isSection = false;
        std::vector<Line> lines;
    };
    struct Position {
        size_t block, line;
    };

    void parse(std::string_view utf8);
    void rebuildIndex();
    const Line* find(std::string_view section, std::string_view key) const;

    std::filesystem::path file_;
    std::vector<Block> blocks_;
    std::unordered_map<std::string, size_t> sections_;   // lower-case name -> first block
    std::unordered_map<std::string, Position> entries_;  // lower-case "section\nkey" -> first entry
    bool modified_ = false;
};

} // namespace gs
