#pragma once

#include "separation/loader/ByteSource.h"
#include "separation/loader/PictureBuilder.h"

#include <cstddef>
#include <cstdint>

namespace logosmith::decoders {

// An SVG picture's own size in pixels: its width and height at 96 pixels per inch, or its
// view box where they are missing or given in per cent.
struct SvgSize {
    int width = 0;
    int height = 0;
};

// Reads the document through once without drawing anything and checks what Qt's renderer
// would be asked for: well-formed XML with an svg element at the top, at most 200 elements
// deep, at most a million elements once every <use> is counted with what it repeats (and no
// <use> that repeats itself), no pictures from other files, at most 16 million pixels of
// embedded pictures, bounded text and style rules. Returns the picture's own size. Throws
// DecodeError.
SvgSize inspectSvg(const std::uint8_t* data, std::size_t size);

// An SVG file drawn on white by Qt's renderer: at its own size, or, when the builder fits,
// straight at the fitted size, so that its edges stay sharp. The drawing is paid for by a
// paint budget first (as metafiles are), and the canvas drawn is at most 16 million pixels.
// Needs a QGuiApplication.
void decodeSvg(ByteSource& in, PictureBuilder& out);

// Copies a Qt RGB32 canvas of the output's size into the builder's output.
void putCanvas(const class QImage& canvas, PictureBuilder& out);

} // namespace logosmith::decoders
