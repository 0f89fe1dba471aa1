#pragma once

// What every picture reader's fuzz target shares: a GUI application (metafiles are painted,
// Qt's readers want one), and the rule that a reader ends in a picture or a DecodeError.

#include "platform/core/Error.h"
#include "separation/loader/PictureLoader.h"
#include "separation/picture/Picture.h"

#include <QGuiApplication>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>

namespace logosmith::fuzz {

// Never destroyed: Qt's own globals are gone by the time static objects would be.
inline void startGuiApplication(int* argc, char*** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    static QGuiApplication* app = new QGuiApplication(*argc, *argv);
    (void)app;
}

// Pictures the program takes may be 64 million pixels, which costs a tenth of a second to
// allocate and clear under the sanitizers; fuzzing skips inputs claiming more than this, so
// that it explores the parsers instead (the budget test covers the large sizes).
constexpr std::int64_t fuzzedPixelLimit = 4LL * 1024 * 1024;

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

// The work budget's two seconds for one file, three times over for the sanitizers, in
// processor time (a busy machine must not make findings).
constexpr double budgetSecondsPerInput = 6;

// Runs a fuzz target's work on one input: an input that takes longer than the budget is a
// finding, as a crash is.
template <class Work> int withinBudget(Work&& work) {
    auto seconds = [] {
        timespec t{};
        clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
        return double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
    };
    const double start = seconds();
    const int result = work();
    const double spent = seconds() - start;
    if (spent > budgetSecondsPerInput) {
        std::fprintf(stderr,
                     "The input took %.1f s of processor time, more than the %.0f s budget\n",
                     spent, budgetSecondsPerInput);
        std::abort();
    }
    return result;
}

// Runs a metafile reader, unless the canvas the input declares (or nothing, when it cannot be
// read) is beyond fuzzedPixelLimit.
template <class CanvasSize, class Reader>
int readMetafile(CanvasSize&& canvasSize, Reader&& reader) {
    try {
        const auto canvas = canvasSize();
        if (std::int64_t(canvas.width) * canvas.height > fuzzedPixelLimit)
            return 0;
    } catch (const DecodeError&) {
    }
    return readPicture(reader);
}

// Reads the input as a file of the extension's format. Inputs of odd length are loaded fitted,
// so that the paths that keep some rows and skip the others are fuzzed as much as the full ones.
inline int readAs(const char* extension, const std::uint8_t* data, std::size_t size) {
    const PictureFormat& format = *pictureFormatFor(std::string("input") + extension);
    return readPicture(
        [&] { return decodePictureBytes(format, data, size, LoadOptions{size % 2 == 1}); });
}

} // namespace logosmith::fuzz
