#pragma once
// The output programs draw with Qt's GUI classes, which need a platform even without a screen.
// Call before creating the QGuiApplication: when no platform is chosen (QT_QPA_PLATFORM) and no
// display is there (DISPLAY, WAYLAND_DISPLAY), the offscreen platform is chosen, so that the
// programs run from cron jobs, scripts and services.
namespace gs {

void PreferOffscreenWithoutDisplay();

} // namespace gs
