#pragma once

// Small files that ask for a lot: huge claimed sizes, endless scans, drawing that costs far
// more than its bytes. Every one is at most 1 MB.

#include "separation/loader/tests/metafile_writers.h"

#include <string>
#include <vector>

namespace loadertest {

struct HostileFile {
    std::string name; // the extension picks the decoder
    Bytes bytes;
};

// A BMP file header and 40-byte info header; the caller appends the colour table and pixels.
inline Bytes bmpHeader(int width, int height, int bits, unsigned compression, int colours,
                       std::size_t pixelBytes) {
    Bytes b{'B', 'M'};
    const std::size_t offset = 14 + 40 + std::size_t(colours) * 4;
    append32(b, std::uint32_t(offset + pixelBytes));
    append32(b, 0);
    append32(b, std::uint32_t(offset));
    append32(b, 40);
    append32(b, std::uint32_t(width));
    append32(b, std::uint32_t(height));
    append16(b, 1);
    append16(b, unsigned(bits));
    append32(b, compression);
    append32(b, std::uint32_t(pixelBytes));
    for (int i = 0; i < 4; ++i)
        append32(b, 0);
    for (int i = 0; i < colours; ++i)
        append32(b, std::uint32_t(i * 0x010101));
    return b;
}

// A progressive greyscale JPEG of width x height written by hand: every coefficient zero, so
// each scan is a few end-of-band runs, yet each one makes the decoder visit every block. The
// scans follow a valid progression (DC, then every AC coefficient alone, refined bit by bit).
Bytes manyScanJpeg(int width, int height, int acScansPerCoefficient);

// Every hostile file of the budget test, built in memory (GIF, ICO and some JPEG ones use
// ImageMagick, written to `folder`).
std::vector<HostileFile> hostileFiles(const std::string& folder);

} // namespace loadertest
