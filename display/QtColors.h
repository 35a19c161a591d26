#pragma once
// The one conversion between host colours (0x00BBGGRR, system colours 0x80000000 + n, clNone) and
// Qt colours. System colours take the matching role of the platform palette, so a skinned
// "clBtnFace" follows the desktop theme as it does on the host.
#include "base/HostColors.h"

#include <QColor>
#include <QPalette>

namespace gs {

// Palette group and role that stand for system colour n (0 clScrollBar ... 24 clInfoBk).
struct PaletteSlot {
    QPalette::ColorGroup group;
    QPalette::ColorRole role;
};
PaletteSlot SystemColorSlot(int n);

// The screen colour of a host colour; system colours come from the palette (the application's when
// none is given). clNone gives an invalid QColor ("no colour"); a system colour number past
// clInfoBk gives black, as the host's system colour lookup does.
QColor HostColorToQColor(HostColor color);
QColor HostColorToQColor(HostColor color, const QPalette& palette);

// A plain host colour value of a screen colour; an invalid QColor gives clNone.
HostColor QColorToHostColor(const QColor& color);

} // namespace gs
