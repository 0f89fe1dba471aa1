#pragma once

#include "separation/loader/ByteSource.h"
#include "separation/loader/PictureBuilder.h"
#include "separation/picture/Picture.h"

#include <cstddef>
#include <cstdint>

namespace logosmith::decoders {

// A BMP file (file header, bitmap header, colour table, pixels): 1, 4, 8, 16, 24 and 32 bits
// per pixel, uncompressed, RLE8, RLE4 and bit fields, bottom-up and top-down, OS/2 core headers.
// Every size in the headers is checked against the bytes there are; a truncated or damaged
// file throws DecodeError. Pixels an RLE stream skips stay white; alpha, where the header has
// an alpha mask, is composed over white. Uncompressed rows are read from the source one by one,
// and only those the builder keeps.
void decodeBmp(ByteSource& in, PictureBuilder& out);

// A packed bitmap without the file header (as embedded in metafiles): the pixels follow the
// colour table directly.
Picture decodePackedDib(const std::uint8_t* data, std::size_t size);

// The pixel count a packed bitmap's header claims, read without decoding anything, so that a
// caller can refuse or pay for it first. Throws DecodeError when there is no readable header.
std::int64_t packedDibPixels(const std::uint8_t* data, std::size_t size);

} // namespace logosmith::decoders
