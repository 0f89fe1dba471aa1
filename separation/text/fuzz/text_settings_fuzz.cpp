// Fuzz target: the settings file kept beside a text logo, read and drawn. Whatever the file
// holds, it is refused with a DecodeError, or read into settings within their limits that draw
// a logo of ink and paper (or are refused as having no text).

#include "platform/core/Error.h"
#include "separation/text/TextLogo.h"

#include <QGuiApplication>
#include <cstdlib>

using namespace logosmith;

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    static QGuiApplication* app = new QGuiApplication(*argc, *argv); // never destroyed
    (void)app;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    TextLogoSettings settings;
    try {
        settings = readTextLogoFile(data, size);
    } catch (const DecodeError&) {
        return 0;
    }
    if (settings.lines.size() > maxTextLines || settings.width < minTextLogoWidth ||
        settings.width > maxTextLogoWidth)
        std::abort();
    try {
        const RenderedTextLogo logo = renderTextLogo(settings);
        if (logo.picture.width() != settings.width)
            std::abort();
    } catch (const Error&) {
    }
    return 0;
}
