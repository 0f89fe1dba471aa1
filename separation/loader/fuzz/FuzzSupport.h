#pragma once

// What every picture reader's fuzz target shares: a GUI application (metafiles are painted,
// Qt's readers want one), and the rule that a reader ends in a picture or a DecodeError.

#include "platform/core/Error.h"
#include "separation/picture/Picture.h"

#include <QGuiApplication>

#include <cstdint>
#include <cstdlib>
#include <memory>

namespace logosmith::fuzz {

inline void startGuiApplication(int* argc, char*** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    static std::unique_ptr<QGuiApplication> app;
    if (!app)
        app = std::make_unique<QGuiApplication>(*argc, *argv);
}

// Runs a reader on the input; any other exception, crash, sanitizer report or picture beyond
// the program's limits is a finding.
template <class Reader> int readPicture(Reader&& reader) {
    try {
        const Picture picture = reader();
        if (std::int64_t(picture.width()) * picture.height() > Picture::maxPixels)
            std::abort();
    } catch (const DecodeError&) {
    }
    return 0;
}

} // namespace logosmith::fuzz
