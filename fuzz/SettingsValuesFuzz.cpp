// Settings item values from arbitrary bytes: the value text table, the two stored collections, the
// number template, the text block layout and the parts-group cleaning never crash; damaged
// collections raise StreamError only; a value text table written back reads as the same rows.
#include "settings/PartsGroups.h"
#include "settings/AdressExtraGrid.h"
#include "settings/AutoActions.h"
#include "settings/SettingsLists.h"
#include "settings/SettingsTable.h"
#include "settings/ValueTextTable.h"

#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    gs::TVSOBJ table;
    table.LoadFromCsv(bytes);
    gs::TVSOBJ again;
    again.LoadFromCsv(table.SaveToCsv());
    if (again.Rows.size() != table.Rows.size())
        std::abort();
    try {
        (void)gs::ReadAutoActionItems(bytes);
    } catch (const gs::StreamError&) {
    }
    try {
        (void)gs::ReadAdressExCellInfos(bytes);
    } catch (const gs::StreamError&) {
    }
    const std::vector<std::string> lines = gs::SettingLines(bytes);
    gs::TTextBlockLayout layout;
    layout.Apply(lines);
    gs::TArticleCaptions captions;
    captions.Apply(lines);
    std::string prefix = bytes, mask = bytes, suffix = bytes, current = bytes;
    gs::NormalizeNumberTemplate(prefix, mask, suffix, current);
    if (mask.empty() || current.size() > mask.size())
        std::abort();
    (void)gs::CleanFormulaText(bytes);
    (void)gs::CleanModifierText(gs::NormalizeDecimalText(bytes), true);
    (void)gs::PartGroupSortKey(bytes, static_cast<int>(size));
    return 0;
}
