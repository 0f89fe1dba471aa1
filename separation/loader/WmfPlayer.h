#pragma once

#include "separation/picture/Picture.h"

#include <cstddef>
#include <cstdint>

namespace logosmith::decoders {

// A Windows metafile drawn on white by our own small player. The size comes from the placeable
// header (its box in metafile units at its units per inch, shown at 96 pixels per inch), or
// without one from the first window extent. Played records: window origin and extent, pens and
// solid, hollow and hatched brushes, object selection and deletion, saving and restoring the
// drawing state, background mode and colour, polygon fill mode, rectangles, rounded rectangles,
// ellipses, polygons, poly-polygons, polylines, move-to/line-to and device-independent bitmaps
// (StretchDIB, DIBStretchBlt); other records are skipped. Every record is checked against the
// file first; a truncated or damaged file throws DecodeError. Needs a QGuiApplication.
Picture playWmf(const std::uint8_t* data, std::size_t size);

// The size in pixels playWmf draws a file at, read from its headers and records without
// drawing anything. Throws DecodeError as playWmf would for a damaged or truncated file.
struct WmfSize {
    int width = 0;
    int height = 0;
};
WmfSize wmfSize(const std::uint8_t* data, std::size_t size);

} // namespace logosmith::decoders
