#pragma once

#include "separation/loader/ByteSource.h"
#include "separation/loader/PictureBuilder.h"

namespace logosmith::decoders {

// A PNG file through libpng: every bit depth (16-bit channels rounded to 8), palette, grey,
// colour, alpha and transparent-colour chunks, interlaced or not. Transparent and
// half-transparent parts are composed over white; gamma and colour profiles are not applied.
// Rows arrive one at a time (interlaced files pass by pass), and only the pixels the builder
// keeps are composed. A truncated file (to its end chunk), a damaged critical chunk or bad
// image data throws DecodeError.
void decodePng(ByteSource& in, PictureBuilder& out);

} // namespace logosmith::decoders
