#include "base/HostColors.h"

#include "base/Text.h"

#include <utility>

namespace gs {

namespace {

constexpr std::pair<std::string_view, HostColor> kNamedColors[] = {
    {"clBlack", clBlack},   {"clMaroon", clMaroon}, {"clGreen", clGreen},     {"clOlive", clOlive},
    {"clNavy", clNavy},     {"clPurple", clPurple}, {"clTeal", clTeal},       {"clGray", clGray},
    {"clSilver", clSilver}, {"clRed", clRed},       {"clLime", clLime},       {"clYellow", clYellow},
    {"clBlue", clBlue},     {"clFuchsia", clFuchsia}, {"clAqua", clAqua},     {"clWhite", clWhite},
    {"clNone", clNone},
};

// In the order of their numbers.
constexpr std::string_view kSystemColorNames[SystemColorCount] = {
    "clScrollBar",   "clBackground",     "clActiveCaption", "clInactiveCaption", "clMenu",
    "clWindow",      "clWindowFrame",    "clMenuText",      "clWindowText",      "clCaptionText",
    "clActiveBorder", "clInactiveBorder", "clAppWorkSpace", "clHighlight",       "clHighlightText",
    "clBtnFace",     "clBtnShadow",      "clGrayText",      "clBtnText",         "clInactiveCaptionText",
    "clBtnHighlight", "cl3DDkShadow",    "cl3DLight",       "clInfoText",        "clInfoBk",
};

} // namespace

std::optional<HostColor> ColorFromIdent(std::string_view ident)
{
    for (const auto& [name, value] : kNamedColors)
        if (EqualsNoCase(name, ident))
            return value;
    for (int n = 0; n < SystemColorCount; ++n)
        if (EqualsNoCase(kSystemColorNames[n], ident))
            return SystemColorBase + static_cast<HostColor>(n);
    return std::nullopt;
}

std::optional<HostColor> ParseHostColor(std::string_view text)
{
    if (auto named = ColorFromIdent(text))
        return named;
    int value = 0;
    if (TryParseInt32(text, value))
        return static_cast<HostColor>(value);
    return std::nullopt;
}

std::string ColorToText(HostColor color)
{
    for (const auto& [name, value] : kNamedColors)
        if (value == color)
            return std::string(name);
    if (color >= SystemColorBase && color < SystemColorBase + SystemColorCount)
        return std::string(kSystemColorNames[color - SystemColorBase]);
    static const char digits[] = "0123456789ABCDEF";
    std::string r = "$";
    for (int shift = 28; shift >= 0; shift -= 4)
        r += digits[(color >> shift) & 0xF];
    return r;
}

} // namespace gs
