#pragma once
// The remembered texts of a search box. SearchAutoHistory.INI beside the program says per box
// (section "AUTO", key = the box's name, default true) whether its history is recorded; the
// history itself is a text file beside the program (Windows-1252, one entry a line, newest first,
// at most 21 entries), saved at once after every change. Both are optional data: failures to read
// or write them are swallowed and give the defaults.
#include <filesystem>
#include <string>
#include <vector>

namespace gs {

inline constexpr const char* SearchAutoHistoryIniName = "SearchAutoHistory.INI";
inline constexpr const char* SearchAutoHistorySection = "AUTO";

class SearchHistory {
public:
    // The history of the box named boxName, kept in directory (the program's directory).
    SearchHistory(std::filesystem::path directory, std::string boxName);

    const std::string& BoxName() const { return boxName_; }
    const std::vector<std::string>& Entries() const { return entries_; }
    std::filesystem::path HistoryFile() const;

    // The box's switch in SearchAutoHistory.INI (true when missing or unreadable).
    bool AutoHistory() const;
    // Ctrl+Alt+Space in the box: flips the switch and stores it.
    void ToggleAutoHistory();

    // A text not yet in the list (compared without regard to case; empty texts are ignored) goes
    // to the top after the entries beyond the 20 newest have been dropped; the list is saved.
    void Add(const std::string& text);
    // Add, when the box's switch is on.
    void Record(const std::string& text);

    static constexpr size_t kKeptBeforeInsert = 20;

private:
    void save() const;

    std::filesystem::path directory_;
    std::string boxName_;
    std::vector<std::string> entries_;
};

} // namespace gs
