#include "settings/SecondCurrency.h"

#include "settings/SettingsTable.h"

namespace gs {

namespace {

// Slot items of the second-currency texts, slots 1 to 8.
constexpr int kSlotItems[8] = {20004, 29004, 20005, 20006, 20007, 29007, 20008, 20009};
// Header caption items, captions 1 to 4.
constexpr int kCaptionItems[4] = {31009, 31010, 31011, 31012};

} // namespace

double SecondCurrencyRate(const TAlterCurrencyInfo& info) { return info.Enabled ? info.Rate : DefaultSecondCurrencyRate; }

std::string SecondCurrencySymbol(const TAlterCurrencyInfo& info)
{
    return info.Enabled ? info.Symbol : DefaultSecondCurrencySymbol;
}

double ValidSecondCurrencyRate(double rate)
{
    return rate >= 0.01 && rate <= 100 ? rate : DefaultSecondCurrencyRate; // also false for NaN
}

void LoadSecondCurrency(TAlterCurrencyInfo& info, const TDocumentTexts& primaryTexts,
                        const THeaderCaptions& primaryCaptions, TAdsTable& table)
{
    info.RoundToFiveHundredths = false;
    info.SecondFlag = 0;
    info.DocumentTexts = primaryTexts;
    info.HeaderCaptions = primaryCaptions;

    for (size_t slot = 0; slot < 8; ++slot) {
        Guarded(SettingItemSite(kSlotItems[slot]), [&] {
            if (!FindSettingRow(table, kSlotItems[slot]))
                return;
            const std::string first = CurrentSettingText(table);
            info.DocumentTexts[0][slot] = first.empty() ? primaryTexts[0][slot] : first;
            const std::vector<std::string> lines = CurrentSettingLines(table);
            for (size_t i = 0; i < lines.size() && i + 1 < info.DocumentTexts.size(); ++i)
                info.DocumentTexts[i + 1][slot] = lines[i];
        });
    }
    for (size_t c = 0; c < 4; ++c) {
        Guarded(SettingItemSite(kCaptionItems[c]), [&] {
            if (!FindSettingRow(table, kCaptionItems[c]))
                return;
            const std::string text = CurrentSettingText(table);
            info.HeaderCaptions[c] = text.empty() ? primaryCaptions[c] : text;
        });
    }
    Guarded(SettingItemSite(20010), [&] {
        if (FindSettingRow(table, 20010))
            info.Rate = ReadSettingFloat(table);
    });
    info.Rate = ValidSecondCurrencyRate(info.Rate);
    Guarded(SettingItemSite(200011), [&] {
        if (FindSettingRow(table, 200011))
            info.Symbol = CurrentSettingText(table);
    });
    if (info.Symbol.empty())
        info.Symbol = DefaultSecondCurrencySymbol;
    Guarded(SettingItemSite(20012), [&] {
        if (FindSettingRow(table, 20012))
            info.Enabled = SettingByte(CurrentSettingText(table), 0) != 0;
    });
    if (info.Enabled) {
        Guarded(SettingItemSite(200030), [&] {
            if (FindSettingRow(table, 200030))
                info.RoundToFiveHundredths = SettingByte(CurrentSettingText(table), 0) != 0;
        });
        Guarded(SettingItemSite(200031), [&] {
            if (FindSettingRow(table, 200031))
                info.SecondFlag = SettingByte(CurrentSettingText(table), 0);
        });
    } else {
        info.Symbol = DefaultSecondCurrencySymbol;
        info.Rate = DefaultSecondCurrencyRate;
        info.DocumentTexts = primaryTexts;
        info.HeaderCaptions = primaryCaptions;
    }
}

} // namespace gs
