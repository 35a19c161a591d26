#include "app/widgets/WidgetPlacement.h"

#include <QGuiApplication>
#include <QMargins>
#include <QScreen>
#include <QWidget>
#include <QWindow>

namespace gs {

namespace {

std::string PlacementKey(const QWidget* window, const std::string& key)
{
    return key.empty() ? window->objectName().toStdString() : key;
}

} // namespace

WorkArea WorkAreaOf(const QWidget* window)
{
    const QScreen* screen = window ? window->screen() : nullptr;
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    if (!screen)
        return {};
    const QRect r = screen->availableGeometry();
    return {r.x(), r.y(), r.x() + r.width(), r.y() + r.height()};
}

int RestoreWindowPlacement(QWidget* window, const std::string& directory, const std::string& key, int mode,
                           int extraDefault)
{
    FrameExtent frame;
    if (const QWindow* handle = window->windowHandle()) {
        const QMargins m = handle->frameMargins();
        frame = {m.left() + m.right(), m.top() + m.bottom()};
    }
    SizeLimits limits;
    limits.minWidth = window->minimumWidth();
    limits.minHeight = window->minimumHeight();
    limits.maxWidth = std::min(window->maximumWidth(), limits.maxWidth);
    limits.maxHeight = std::min(window->maximumHeight(), limits.maxHeight);

    PlacementRect rect{window->x(), window->y(), window->width(), window->height()};
    const int extra = RestorePlacement(rect, WorkAreaOf(window), limits, directory, PlacementKey(window, key), mode,
                                       extraDefault, frame);
    window->resize(rect.width, rect.height);
    window->move(rect.left, rect.top);
    return extra;
}

void SaveWindowPlacement(const QWidget* window, const std::string& directory, const std::string& key, bool shifted,
                         int extra)
{
    const PlacementRect rect{window->x(), window->y(), window->width(), window->height()};
    SavePlacement(rect, directory, PlacementKey(window, key), shifted, extra);
}

} // namespace gs
