#include "settings/SearchHistory.h"

#include "base/AtomicFile.h"
#include "base/Cp1252.h"
#include "base/Error.h"
#include "base/ProcessContext.h"
#include "base/Text.h"
#include "base/IniFile.h"

#include <algorithm>
#include <fstream>
#include <sstream>

namespace gs {

SearchHistory::SearchHistory(std::filesystem::path directory, std::string boxName)
    : directory_(std::move(directory)), boxName_(std::move(boxName))
{
    Guarded("search history file", [&] {
        std::ifstream in(HistoryFile(), std::ios::binary);
        if (!in)
            return;
        std::ostringstream bytes;
        bytes << in.rdbuf();
        entries_ = SplitLines(Cp1252ToUtf8(bytes.str()));
        if (entries_.size() > kKeptBeforeInsert + 1)
            entries_.resize(kKeptBeforeInsert + 1);
    });
}

std::filesystem::path SearchHistory::HistoryFile() const
{
    return FindFileNoCase(directory_, "SearchHistory_" + boxName_ + ".TXT");
}

bool SearchHistory::AutoHistory() const
{
    bool on = true;
    Guarded("SearchAutoHistory.INI", [&] {
        IniFile ini(FindFileNoCase(directory_, SearchAutoHistoryIniName));
        on = ini.ReadBool(SearchAutoHistorySection, boxName_, true);
    });
    return on;
}

void SearchHistory::ToggleAutoHistory()
{
    const bool on = AutoHistory();
    Guarded("SearchAutoHistory.INI, writing", [&] {
        IniFile ini(FindFileNoCase(directory_, SearchAutoHistoryIniName));
        ini.WriteBool(SearchAutoHistorySection, boxName_, !on);
        ini.UpdateFile();
    });
}

void SearchHistory::Add(const std::string& text)
{
    if (text.empty())
        return;
    const bool known = std::any_of(entries_.begin(), entries_.end(),
                                   [&](const std::string& e) { return EqualsNoCase(e, text); });
    if (known)
        return;
    if (entries_.size() > kKeptBeforeInsert)
        entries_.resize(kKeptBeforeInsert);
    entries_.insert(entries_.begin(), text);
    save();
}

void SearchHistory::Record(const std::string& text)
{
    if (AutoHistory())
        Add(text);
}

void SearchHistory::save() const
{
    Guarded("search history file, writing",
            [&] { WriteFileAtomically(HistoryFile(), Utf8ToCp1252(JoinLinesCrLf(entries_))); });
}

} // namespace gs
