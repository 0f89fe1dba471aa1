#pragma once

// What the fuzz targets of settings read by windows share: an offscreen widget application and
// nobody to answer the windows' messages.

#include "platform/fuzz/SettingsFuzzing.h"

#include <QApplication>

#include <cstdlib>

namespace logosmith::fuzz {

// Never destroyed: Qt's own globals are gone by the time static objects would be.
inline void startWidgetApplication(int* argc, char*** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    static QApplication* app = new QApplication(*argc, *argv);
    (void)app;
    installSilentDialogs();
}

} // namespace logosmith::fuzz
