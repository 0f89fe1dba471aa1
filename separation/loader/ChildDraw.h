#pragma once

#include "separation/loader/PictureBuilder.h"

#include <functional>
#include <string>

namespace logosmith::decoders {

// Processor time a drawing process may spend, in milliseconds, before it is stopped.
constexpr int childDrawingMilliseconds = 1000;

// Runs `draw` in a child process of its own and takes the picture it makes into `out`. Renderers
// that cannot be stopped or bounded from outside while they draw (poppler, Qt's SVG renderer)
// are run this way: the child may spend at most 512 MB more memory than the program had, a
// second of processor time and 1.6 s on the clock. `draw` is given a builder with the options
// of `out`; a DecodeError it throws comes back as the same DecodeError. A child stopped by a limit,
// or one that dies, throws DecodeError naming `format` ("PDF", "SVG").
void drawInChild(const std::string& format, PictureBuilder& out,
                 const std::function<void(PictureBuilder&)>& draw);

} // namespace logosmith::decoders
