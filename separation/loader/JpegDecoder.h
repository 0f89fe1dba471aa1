#pragma once

#include "separation/loader/ByteSource.h"
#include "separation/loader/PictureBuilder.h"

namespace logosmith::decoders {

// A JPEG file: colour, greyscale and CMYK (Adobe's inverted form as well as the plain one),
// scanline by scanline into the builder; rows a fitted picture does not keep are skipped
// without colour conversion. Any libjpeg error or data warning (a truncated or corrupt stream)
// throws DecodeError with the text "JPEG error #N", N being libjpeg's message code.
void decodeJpeg(ByteSource& in, PictureBuilder& out);

} // namespace logosmith::decoders
