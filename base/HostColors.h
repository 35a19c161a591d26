#pragma once
// Colours as the host stores them: 32-bit values 0x00BBGGRR (red in the low byte). A value with the
// top bit set names a system colour: 0x80000000 + n is system colour n (clScrollBar ... clInfoBk).
// "clNone" (0x1FFFFFFF) means "no colour". The conversion to a screen colour lives in the widgets
// layer (display/QtColors.h); this file only knows names and numbers.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace gs {

using HostColor = uint32_t;

inline constexpr HostColor clBlack = 0x000000;
inline constexpr HostColor clMaroon = 0x000080;
inline constexpr HostColor clGreen = 0x008000;
inline constexpr HostColor clOlive = 0x008080;
inline constexpr HostColor clNavy = 0x800000;
inline constexpr HostColor clPurple = 0x800080;
inline constexpr HostColor clTeal = 0x808000;
inline constexpr HostColor clGray = 0x808080;
inline constexpr HostColor clSilver = 0xC0C0C0;
inline constexpr HostColor clRed = 0x0000FF;
inline constexpr HostColor clLime = 0x00FF00;
inline constexpr HostColor clYellow = 0x00FFFF;
inline constexpr HostColor clBlue = 0xFF0000;
inline constexpr HostColor clFuchsia = 0xFF00FF;
inline constexpr HostColor clAqua = 0xFFFF00;
inline constexpr HostColor clWhite = 0xFFFFFF;
inline constexpr HostColor clNone = 0x1FFFFFFF;

// System colours, 0x80000000 + their number.
inline constexpr HostColor SystemColorBase = 0x80000000u;
enum SystemColorIndex : int {
    ScrollBar = 0, Background, ActiveCaption, InactiveCaption, Menu, Window, WindowFrame, MenuText,
    WindowText, CaptionText, ActiveBorder, InactiveBorder, AppWorkSpace, Highlight, HighlightText,
    BtnFace, BtnShadow, GrayText, BtnText, InactiveCaptionText, BtnHighlight, DkShadow3D, Light3D,
    InfoText, InfoBk, SystemColorCount
};
inline constexpr HostColor clScrollBar = SystemColorBase + ScrollBar;
inline constexpr HostColor clWindow = SystemColorBase + Window;
inline constexpr HostColor clWindowText = SystemColorBase + WindowText;
inline constexpr HostColor clHighlight = SystemColorBase + Highlight;
inline constexpr HostColor clHighlightText = SystemColorBase + HighlightText;
inline constexpr HostColor clBtnFace = SystemColorBase + BtnFace;
inline constexpr HostColor clBtnShadow = SystemColorBase + BtnShadow;
inline constexpr HostColor clGrayText = SystemColorBase + GrayText;
inline constexpr HostColor clBtnText = SystemColorBase + BtnText;
inline constexpr HostColor clBtnHighlight = SystemColorBase + BtnHighlight;
inline constexpr HostColor cl3DDkShadow = SystemColorBase + DkShadow3D;
inline constexpr HostColor cl3DLight = SystemColorBase + Light3D;

inline constexpr bool IsSystemColor(HostColor c) { return (c & SystemColorBase) != 0; }

// The colour a colour identifier names ("clRed", "clBtnFace", "clNone"; letters in any case), or
// nothing for any other text.
std::optional<HostColor> ColorFromIdent(std::string_view ident);

// A colour written as an identifier or an integer (decimal, or hexadecimal after "$"); nothing for
// any other text.
std::optional<HostColor> ParseHostColor(std::string_view text);

// A colour as the host writes it: the identifier of a named or system colour ("clBlack",
// "clBtnFace"), otherwise "$" and eight hexadecimal digits ("$00C8FF00").
std::string ColorToText(HostColor color);

// Red, green and blue of a plain colour value (the low three bytes).
inline constexpr int RedOf(HostColor c) { return static_cast<int>(c & 0xFF); }
inline constexpr int GreenOf(HostColor c) { return static_cast<int>((c >> 8) & 0xFF); }
inline constexpr int BlueOf(HostColor c) { return static_cast<int>((c >> 16) & 0xFF); }
inline constexpr HostColor HostRgb(int r, int g, int b)
{
    return static_cast<HostColor>((r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16));
}

} // namespace gs
