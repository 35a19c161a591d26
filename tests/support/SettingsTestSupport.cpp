#include "support/SettingsTestSupport.h"

namespace gs::test {

SettingsDb::SettingsDb() : table(&db.conn, "setup.ADT") { CreateSettingsTable(table); }

void SettingsDb::put(int ident, const std::string& text, std::optional<std::vector<std::string>> lines)
{
    SettingItem item{ident, text, {}, {}, {}};
    if (lines)
        item.memo = MemoOfLines(*lines);
    PutSettingItem(table, item);
}

void SettingsDb::putMemoBytes(int ident, const std::string& bytes, const std::string& text)
{
    PutSettingItem(table, SettingItem{ident, text, {}, bytes, {}});
}

void SettingsDb::putLogo(int ident, const std::string& bytes)
{
    PutSettingItem(table, SettingItem{ident, {}, {}, {}, bytes});
}

void SettingsDb::clear()
{
    table.SetFiltered(false);
    table.First();
    while (!table.IsEmpty())
        table.Delete();
}

} // namespace gs::test
