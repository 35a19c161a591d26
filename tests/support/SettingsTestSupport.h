#pragma once
// A settings table setup.ADT in a temporary database, with a fresh runtime (recording dialogs,
// temporary program directory) and the process number formats of euro mode.
#include "settings/SettingsTableWriter.h"
#include "support/DbTestSupport.h"

#include <optional>
#include <string>
#include <vector>

namespace gs::test {

struct SettingsDb {
    TestRuntime rt;
    DbDir db;
    TAdsTable table;

    SettingsDb();
    // stringItem and, when given, the memo lines.
    void put(int ident, const std::string& text, std::optional<std::vector<std::string>> lines = std::nullopt);
    void putMemoBytes(int ident, const std::string& bytes, const std::string& text = {});
    void putLogo(int ident, const std::string& bytes);
    // Deletes every row (so that one table serves several cases).
    void clear();
    RecordingDialogs& dialogs() { return rt.dialogs(); }
};

} // namespace gs::test
