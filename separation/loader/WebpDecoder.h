#pragma once

#include "separation/loader/ByteSource.h"
#include "separation/loader/PictureBuilder.h"

namespace logosmith::decoders {

// A WebP file through libwebp: lossy or lossless, with or without alpha; of an animation its
// first frame, at its place on the canvas. Transparent parts are composed over white. An
// opaque picture is decoded straight into the output when it is kept whole. A truncated or
// damaged file throws DecodeError; lossless pictures over 32 million pixels are refused too
// (their decoder holds 4 bytes a pixel besides the picture).
void decodeWebp(ByteSource& in, PictureBuilder& out);

} // namespace logosmith::decoders
