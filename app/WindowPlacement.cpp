#include "app/WindowPlacement.h"

#include "settings/UserMode.h"

#include <algorithm>
#include <limits>

namespace gs {

int SizeLimits::boundWidth(int w) const { return std::max(minWidth, std::min(w, std::max(minWidth, maxWidth))); }
int SizeLimits::boundHeight(int h) const { return std::max(minHeight, std::min(h, std::max(minHeight, maxHeight))); }

void DefaultPosition(int mode, const WorkArea& area, int width, int height, int& left, int& top)
{
    switch (mode) {
    case 0:
        left = area.right / 2 - width / 2;
        top = area.bottom / 2 - height / 2;
        break;
    case 1:
        left = area.left;
        top = area.top;
        break;
    case 2:
        left = area.right - width;
        top = area.top;
        break;
    case 3:
        left = area.right - width;
        top = area.bottom - height;
        break;
    default:
        break; // any other mode keeps the window where it is
    }
}

namespace {

int ClampToInt(long long v)
{
    return static_cast<int>(std::clamp<long long>(v, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

} // namespace

PlacementRect KeepInsideWorkArea(PlacementRect r, const WorkArea& area, const SizeLimits& limits)
{
    // Every difference is taken in 64 bits: stored entries may hold any int.
    const long long areaRight = area.right, areaBottom = area.bottom;
    if (r.bottom() > areaBottom)
        r.top = ClampToInt(areaBottom - r.height);
    if (r.right() > areaRight)
        r.left = ClampToInt(areaRight - r.width);
    if (r.left < area.left)
        r.left = area.left;
    if (r.top < area.top)
        r.top = area.top;
    if (r.right() > areaRight && r.width > limits.minWidth)
        r.width = ClampToInt(std::max<long long>(limits.minWidth, areaRight - r.left));
    if (r.bottom() > areaBottom && r.height > limits.minHeight)
        r.height = ClampToInt(std::max<long long>(limits.minHeight, areaBottom - r.top));
    return r;
}

int RestorePlacement(PlacementRect& rect, const WorkArea& area, const SizeLimits& limits, const std::string& directory,
                     const std::string& key, int mode, int extraDefault, FrameExtent frame)
{
    int defaultLeft = rect.left, defaultTop = rect.top;
    DefaultPosition(mode, area, rect.width + frame.width, rect.height + frame.height, defaultLeft, defaultTop);
    rect.width = limits.boundWidth(ReadModeInteger(key + ".Width", rect.width, directory, false));
    rect.height = limits.boundHeight(ReadModeInteger(key + ".Height", rect.height, directory, false));
    rect.left = ReadModeInteger(key + ".Left", defaultLeft, directory, false);
    rect.top = ReadModeInteger(key + ".Top", defaultTop, directory, false);
    const int extra = ReadModeInteger(key + ".Add0", extraDefault, directory, false);

    PlacementRect outer{rect.left, rect.top, rect.width + frame.width, rect.height + frame.height};
    SizeLimits outerLimits{limits.minWidth + frame.width, limits.minHeight + frame.height,
                           limits.maxWidth + frame.width, limits.maxHeight + frame.height};
    outer = KeepInsideWorkArea(outer, area, outerLimits);
    rect = {outer.left, outer.top, outer.width - frame.width, outer.height - frame.height};
    return extra;
}

void SavePlacement(const PlacementRect& rect, const std::string& directory, const std::string& key, bool shifted,
                   int extra)
{
    const long long shift = shifted ? 50 : 0;
    WriteModeInteger(key + ".Width", rect.width, directory);
    WriteModeInteger(key + ".Height", rect.height, directory);
    WriteModeInteger(key + ".Left", ClampToInt(rect.left + shift), directory);
    WriteModeInteger(key + ".Top", ClampToInt(rect.top + shift), directory);
    if (extra != -1)
        WriteModeInteger(key + ".Add0", extra, directory);
}

} // namespace gs
