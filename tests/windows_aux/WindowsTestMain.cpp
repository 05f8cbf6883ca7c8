// The widget tests run under a QApplication on the offscreen platform (no display needed), with
// the settings store in a folder of their own.

#include <unistd.h>

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir config(QDir::tempPath() + "/tabrook-windows-XXXXXX");
    qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    QApplication::setApplicationName("Tabrook+ Version 1.2a");
    return RUN_ALL_TESTS();
}
