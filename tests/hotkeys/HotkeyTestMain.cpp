// The hotkeys need a Qt application for their event loop; the tests run it offscreen.
#include <gtest/gtest.h>

#include <QGuiApplication>

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    setenv("QT_QPA_PLATFORM", "offscreen", /*overwrite=*/0);
    QGuiApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
