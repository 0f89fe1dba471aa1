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

// An <image> showing an SVG document embedded as a base64 data address.
std::string svgImage(const std::string& document, int width, int height);

// An SVG document of width x height holding `body`.
std::string svgDocument(int width, int height, const std::string& body);

// A TIFF file of RGB pixels with `samples` samples (those after the third unspecified) of
// `bits` bits, in strips of `rowsPerStrip` rows that all hold the same bytes: `strip` as it
// is, or, when it is empty, a strip of zeros deflated.
Bytes rgbTiff(int width, int height, int samples, int bits, int rowsPerStrip,
              const Bytes& strip = {});

// A WMF file that fills 65535 object slots, declared in its header or, when not `declared`,
// grown record by record; then deletes, creates again and selects in the last one to fill
// `bytes` bytes.
Bytes objectTableWmf(std::size_t bytes, bool declared);

// Files that each name `picture` or `styleSheet`, files on disk, in one of the ways an SVG
// document can: directly, in documents embedded in it (at any depth, however encoded), in its
// style sheets and entities; and an EMF whose text writes such an SVG element.
std::vector<HostileFile> fileReferences(const std::string& picture, const std::string& styleSheet);

// Every hostile file of the budget test, built in memory (GIF, ICO and some JPEG ones use
// ImageMagick, written to `folder`).
std::vector<HostileFile> hostileFiles(const std::string& folder);

} // namespace loadertest
