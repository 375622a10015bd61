// Test entry point for suites that rasterise glyphs: the font database
// needs a QGuiApplication.  No window is opened, so the offscreen platform
// serves on any machine.
#include <QGuiApplication>

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
