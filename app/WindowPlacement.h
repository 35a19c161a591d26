#pragma once
// Windows reopen where the user left them: their size and position are kept under a key in
// UserMode.INI (section "MODE": K.Width, K.Height, K.Left, K.Top and an optional extra K.Add0) and
// restored inside the desktop work area. This is the rule on plain rectangles; the window layer
// (app/widgets/WidgetPlacement.h) applies it to real windows.
#include <string>

namespace gs {

// A window's outer rectangle in screen pixels. Right and bottom are computed in 64 bits: a stored
// left of 2147483647 plus a width must still count as far right, not wrap round to far left.
struct PlacementRect {
    int left = 0, top = 0, width = 0, height = 0;
    long long right() const { return static_cast<long long>(left) + width; }
    long long bottom() const { return static_cast<long long>(top) + height; }
    friend bool operator==(const PlacementRect&, const PlacementRect&) = default;
};

// The desktop without the task bar; right and bottom are the first pixels outside.
struct WorkArea {
    int left = 0, top = 0, right = 0, bottom = 0;
};

// The window's own size limits; width and height never go below the minimum (or above the maximum).
struct SizeLimits {
    int minWidth = 0, minHeight = 0;
    int maxWidth = 1 << 24, maxHeight = 1 << 24;
    int boundWidth(int w) const;
    int boundHeight(int h) const;
};

// Where a window goes when no position is stored: 0 centred on the work area (right / 2 - width / 2,
// bottom / 2 - height / 2), 1 top-left, 2 top-right, 3 bottom-right corner of the work area.
void DefaultPosition(int mode, const WorkArea& area, int width, int height, int& left, int& top);

// Keeps the window inside the work area, in this order: up until the bottom edge is inside, left
// until the right edge is inside, right until the left edge is inside, down until the top edge is
// inside; then narrower while the right edge is still outside and the width is above the minimum,
// and lower while the bottom edge is still outside and the height is above the minimum. Any int
// values are safe, the extremes included.
PlacementRect KeepInsideWorkArea(PlacementRect rect, const WorkArea& area, const SizeLimits& limits);

// The window system's frame around a window's client area: what the outer size adds to it.
struct FrameExtent {
    int width = 0, height = 0;
};

// Restores the rectangle from the stored entries of key (UserMode.INI in directory, empty: beside
// the program): width and height default to the rectangle's own, left and top to the mode's default
// position; the limits apply to every size read; then the rectangle is kept inside the work area.
// Sizes (of the rectangle, the limits and the stored entries) are client sizes; the frame is added
// for the default position and the work-area rule. Returns the stored extra value K.Add0, or
// extraDefault.
int RestorePlacement(PlacementRect& rect, const WorkArea& area, const SizeLimits& limits, const std::string& directory,
                     const std::string& key, int mode, int extraDefault, FrameExtent frame = {});

// Stores width, height, left and top (left and top 50 pixels further when shifted, kept within the
// int range) and, unless it is -1, the extra value.
void SavePlacement(const PlacementRect& rect, const std::string& directory, const std::string& key, bool shifted,
                   int extra);

} // namespace gs
