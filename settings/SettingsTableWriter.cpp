#include "settings/SettingsTableWriter.h"

#include "base/Text.h"
#include "db/AdsConnection.h"
#include "settings/SettingsTable.h"

namespace gs {

std::string MemoOfLines(const std::vector<std::string>& lines) { return JoinLinesCrLf(lines); }

void CreateSettingsTable(TAdsTable& table)
{
    table.CreateTable(SettingsTableFields(), SettingsTableIndexes());
    table.SetIndexName("IDENT");
    table.Open();
}

void PutSettingItem(TAdsTable& table, const SettingItem& item)
{
    if (table.IndexName().empty())
        table.SetIndexName("IDENT");
    if (table.SeekKey(std::to_string(item.ident), true)) {
        table.Edit();
    } else {
        table.Append();
        table.FieldByName("Ident").SetInteger(item.ident);
    }
    table.FieldByName("stringItem").SetString(item.text);
    Field& memo = table.FieldByName("MemoItem");
    if (item.memoBytes)
        memo.SetBytes(*item.memoBytes);
    else if (item.memo)
        memo.SetString(*item.memo);
    else
        memo.Clear();
    Field& logo = table.FieldByName("logo");
    if (item.logo)
        logo.SetBytes(*item.logo);
    else
        logo.Clear();
    table.Post();
}

void PutSettingItems(TAdsTable& table, const std::vector<SettingItem>& items)
{
    TAdsConnection* conn = table.AdsConnection();
    const bool own = conn != nullptr && !conn->InTransaction();
    if (own)
        conn->BeginTransaction();
    try {
        for (const SettingItem& item : items)
            PutSettingItem(table, item);
    } catch (...) {
        if (own)
            conn->Rollback();
        throw;
    }
    if (own)
        conn->Commit();
}

} // namespace gs
