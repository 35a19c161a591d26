#include "appearance/SkinRules.h"

#include <optional>
#include <unordered_map>

namespace gs {

namespace {

constexpr SkinValueKind C = SkinValueKind::Color;
constexpr SkinValueKind I = SkinValueKind::Integer;

SkinProperty Prop(std::string_view key, SkinValueKind kind) { return {key, kind, key, true}; }
SkinProperty Renamed(std::string_view key, SkinValueKind kind, std::string_view target) { return {key, kind, target, true}; }
SkinProperty NoClassKey(std::string_view key, SkinValueKind kind) { return {key, kind, key, false}; }

struct RowTable {
    std::unordered_map<std::string_view, SkinRow> byClass;
    SkinRow form{"Form", {Prop("Color", C)}};

    void add(std::initializer_list<std::string_view> classes, const SkinRow& row)
    {
        for (std::string_view c : classes)
            byClass.emplace(c, row);
    }

    RowTable()
    {
        add({"TsCheckBox"}, {"TsCheckBox", {Prop("Color", C)}});
        add({"TFlatMemo"}, {"TFlatMemo", {Prop("ColorFocused", C), Prop("ColorFlat", C), Prop("ColorBorder", C)}});
        add({"TListBox"}, {"TListBox", {Prop("Color", C)}});
        add({"TWizardNotebook"}, {"TWizardNotebook", {Prop("Color", C)}});
        add({"TAdressBrowser"},
            {"TAdressBrowser", {Prop("Color", C), Prop("ChoiseEnterColor", C), Prop("ChoiseExitColor", C)}});
        const std::vector<SkinProperty> browser = {Prop("Color", C), Renamed("ReadOnlyColor", C, "ReadOnlyColor_"),
                                                   Renamed("EmptyColor", C, "RichEmptyEditColor_")};
        add({"TCPrivateBrowser"}, {"TCPrivateBrowser", browser});
        add({"TCBrowser"}, {"TCBrowser", browser});
        add({"TOrderBrowser"}, {"TOrderBrowser", browser});
        add({"TI_CustomChoiceEdit", "TI_CFloatEdit", "TI_FloatEdit", "TDCCustomFormEdit", "TDCCustomTreeEdit",
             "TDCCustomGridEdit", "TDCCustomComboBox", "TDCComboBox", "TDCCustomFloatEdit", "TDCFloatEdit",
             "TDCCustomDateEdit", "TDCDateEdit", "TDCChoiceEdit", "TDCCustomChoiceEdit", "TDCCustomListComboBox"},
            {"TDCCustomChoiceEdit", {Prop("DrawStyle", I), NoClassKey("Visible", I), Prop("Color", C)}});
        add({"TPageControl"}, {"", {NoClassKey("Visible", I)}});
        add({"TFlatSpinEditInteger"}, {"TFlatSpinEditInteger", {Renamed("Color", C, "ColorFlat")}});
        add({"TStringGrid"}, {"TStringGrid", {Prop("Color", C)}});
        add({"TScrollBox"}, {"TScrollBox", {Prop("Color", C)}});
        add({"TRichEditWithLinks"}, {"TRichEditWithLinks", {Prop("Color", C)}});
        add({"TPanel"}, {"TPanel", {Prop("BevelInner", I), Prop("BevelOuter", I), NoClassKey("Visible", I),
                                    Prop("Color", C)}});
        add({"TFlatCheckBox"}, {"TFlatCheckBox", {NoClassKey("Visible", I), Prop("Color", C)}});
        add({"THTMLabel"}, {"THTMLabel", {Prop("Color", C)}});
        add({"TI_DBGrid", "TAdvStringGrid"}, {"TI_DBGrid", {Prop("Color", C), Prop("FixedColor", C), Prop("BorderStyle", I)}});
        add({"TTabSet"}, {"TTabSet", {NoClassKey("Visible", I), Prop("BackgroundColor", C), Prop("SelectedColor", C),
                                      Prop("UnselectedColor", C)}});
        add({"TFlatPanel"}, {"TFlatPanel", {NoClassKey("Visible", I), Prop("Color", C), Prop("ColorHighLight", C),
                                            Prop("ColorShadow", C)}});
        const std::vector<SkinProperty> button = {
            NoClassKey("Visible", I), Prop("Color", C),       Prop("ColorDown", C),
            Prop("ColorFocused", C),  Prop("ColorBorder", C), Prop("ColorHighLight", C),
            Prop("ColorShadow", C),   Renamed("ROUND", I, "Round"), Prop("Margin", I),
            Prop("Spacing", I)};
        add({"TFlatButton"}, {"TFlatButton", button});
        add({"TFlatSpeedButton"}, {"TFlatSpeedButton", button});
        add({"ToxPopupMenu"}, {"MENUPOP", {Prop("Color", C), Renamed("FirstColor", C, "Background.Gradient")}});
        add({"ToxMenu"}, {"MENU", {Prop("Color", C), Renamed("FirstColor", C, "Background.Gradient")}});
        add({"TFlatGroupBox"}, {"TFlatGroupBox", {Prop("Color", C), Prop("ColorBorder", C)}});
    }
};

const RowTable& Rows()
{
    static const RowTable table;
    return table;
}

std::optional<SkinSetting> ValueOf(const std::string* text, const SkinProperty& p)
{
    if (!text)
        return std::nullopt;
    SkinSetting s{std::string(p.target), p.kind};
    if (p.kind == SkinValueKind::Color) {
        const auto c = ParseHostColor(*text);
        if (!c)
            return std::nullopt;
        s.color = *c;
    } else {
        const auto i = ParseSkinInteger(*text);
        if (!i)
            return std::nullopt;
        s.integer = *i;
    }
    return s;
}

} // namespace

const SkinRow* FindSkinRow(std::string_view className)
{
    const auto& rows = Rows().byClass;
    const auto it = rows.find(className);
    return it == rows.end() ? nullptr : &it->second;
}

const SkinRow& FormSkinRow() { return Rows().form; }

std::vector<SkinSetting> ResolveSkinSettings(const SkinFile& skin, const SkinRow& row, std::string_view controlPrefix)
{
    std::vector<SkinSetting> settings;
    std::string key;
    for (const SkinProperty& p : row.properties) {
        key.assign(controlPrefix).append("|").append(p.key);
        auto value = ValueOf(skin.find(key), p);
        if (!value && p.classFallback && !row.classKey.empty()) {
            key.assign(row.classKey).append("_").append(p.key);
            value = ValueOf(skin.find(key), p);
        }
        if (value)
            settings.push_back(std::move(*value));
    }
    return settings;
}

} // namespace gs
