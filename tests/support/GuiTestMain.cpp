// The main of every GUI test: an offscreen application, a private settings folder, and the
// scripted person installed before any window exists.
#include "tests/support/ScriptedDialogs.h"

#include <QApplication>
#include <QTemporaryDir>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
    qputenv("XDG_CACHE_HOME", (config.path() + "/cache").toLocal8Bit());
    qputenv("XDG_DATA_HOME", (config.path() + "/data").toLocal8Bit());
    QApplication app(argc, argv);
    QApplication::setOrganizationName("KORVANT");
    QApplication::setApplicationName("logosmith");
    logosmith::testing::scriptedDialogs();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
