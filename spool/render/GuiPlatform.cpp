#include "spool/render/GuiPlatform.h"

#include <cstdlib>

namespace gs {

void PreferOffscreenWithoutDisplay()
{
    auto set = [](const char* name) {
        const char* v = std::getenv(name);
        return v && *v;
    };
    if (!set("QT_QPA_PLATFORM") && !set("DISPLAY") && !set("WAYLAND_DISPLAY"))
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
}

} // namespace gs
