// The render suite's main: the renderer draws with Qt's GUI classes, which need an application
// object (offscreen, as the suite runs without a display).
#include "spool/render/GuiPlatform.h"

#include <QGuiApplication>
#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    gs::PreferOffscreenWithoutDisplay();
    QGuiApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
