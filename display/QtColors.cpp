#include "display/QtColors.h"

#include <QGuiApplication>

namespace gs {

PaletteSlot SystemColorSlot(int n)
{
    using P = QPalette;
    switch (n) {
    case ScrollBar: return {P::Active, P::Midlight};
    case Background: return {P::Active, P::Dark};
    case ActiveCaption: return {P::Active, P::Highlight};
    case InactiveCaption: return {P::Inactive, P::Highlight};
    case Menu: return {P::Active, P::Window};
    case Window: return {P::Active, P::Base};
    case WindowFrame: return {P::Active, P::Shadow};
    case MenuText: return {P::Active, P::WindowText};
    case WindowText: return {P::Active, P::Text};
    case CaptionText: return {P::Active, P::HighlightedText};
    case ActiveBorder: return {P::Active, P::Button};
    case InactiveBorder: return {P::Inactive, P::Button};
    case AppWorkSpace: return {P::Active, P::Dark};
    case Highlight: return {P::Active, P::Highlight};
    case HighlightText: return {P::Active, P::HighlightedText};
    case BtnFace: return {P::Active, P::Button};
    case BtnShadow: return {P::Active, P::Dark};
    case GrayText: return {P::Disabled, P::Text};
    case BtnText: return {P::Active, P::ButtonText};
    case InactiveCaptionText: return {P::Inactive, P::HighlightedText};
    case BtnHighlight: return {P::Active, P::Light};
    case DkShadow3D: return {P::Active, P::Shadow};
    case Light3D: return {P::Active, P::Midlight};
    case InfoText: return {P::Active, P::ToolTipText};
    case InfoBk: return {P::Active, P::ToolTipBase};
    default: return {P::Active, P::NoRole};
    }
}

QColor HostColorToQColor(HostColor color)
{
    return HostColorToQColor(color, qGuiApp ? QGuiApplication::palette() : QPalette());
}

QColor HostColorToQColor(HostColor color, const QPalette& palette)
{
    if (color == clNone)
        return {};
    if (IsSystemColor(color)) {
        const PaletteSlot slot = SystemColorSlot(static_cast<int>(color & 0xFF));
        if (slot.role == QPalette::NoRole)
            return QColor(0, 0, 0);
        return palette.color(slot.group, slot.role);
    }
    return QColor(RedOf(color), GreenOf(color), BlueOf(color));
}

HostColor QColorToHostColor(const QColor& color)
{
    if (!color.isValid())
        return clNone;
    const QColor rgb = color.toRgb();
    return HostRgb(rgb.red(), rgb.green(), rgb.blue());
}

} // namespace gs
