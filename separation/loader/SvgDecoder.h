#pragma once

#include "separation/loader/ByteSource.h"
#include "separation/loader/PictureBuilder.h"
#include "separation/loader/SvgInspection.h"

#include <cstddef>
#include <cstdint>

namespace logosmith::decoders {

// An SVG file drawn on white by Qt's renderer: at its own size, or, when the builder fits,
// straight at the fitted size, so that its edges stay sharp. The file is inspected (inspectSvg),
// then drawn, both in a child process of its own (drawInChild): the renderer cannot be stopped
// half-way, and reads the documents embedded in the file as it goes. Needs a QGuiApplication.
void decodeSvg(ByteSource& in, PictureBuilder& out);

// The drawing of an inspected file in this process (the child's work, and the fuzz target's).
// Every embedded document is drawn into a paint meter first, at the size Qt draws it, the
// deepest first and each as often as Qt draws it; then the file's own document. Only when all
// of it fits one paint budget (as metafiles have) is the file drawn onto a canvas of at most 16
// million pixels. Throws DecodeError.
void drawSvg(const std::uint8_t* data, std::size_t size, const SvgInspection& inspection,
             PictureBuilder& out);

// Copies a Qt RGB32 canvas of the output's size into the builder's output.
void putCanvas(const class QImage& canvas, PictureBuilder& out);

} // namespace logosmith::decoders
