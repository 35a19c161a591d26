#pragma once
// Window placement for real windows: RestoreWindowPlacement and SaveWindowPlacement apply the
// placement rule of app/WindowPlacement.h to a top-level widget. Left and top are the window's
// outer position (QWidget::pos), width and height its client size (QWidget::size), so a saved
// placement comes back exactly; the frame the window system draws around it is added when the
// window is kept inside the work area. The work area is the available geometry of the screen the
// window is on.
#include "app/WindowPlacement.h"

#include <string>

class QWidget;

namespace gs {

WorkArea WorkAreaOf(const QWidget* window);

// Sets size and position from the stored entries of key (the window's object name when the key is
// empty); mode is the initial position when nothing is stored (0 centred, 1 top-left, 2 top-right,
// 3 bottom-right). Returns the stored extra value or extraDefault.
int RestoreWindowPlacement(QWidget* window, const std::string& directory, const std::string& key, int mode,
                           int extraDefault);

// Stores the window's size and position (shifted: 50 pixels further right and down) and, unless it
// is -1, the extra value.
void SaveWindowPlacement(const QWidget* window, const std::string& directory, const std::string& key, bool shifted,
                         int extra);

} // namespace gs
