#pragma once

#include "separation/picture/Picture.h"

#include <cstddef>
#include <cstdint>

namespace logosmith::decoders {

// A JPEG file at full size: colour, greyscale and CMYK (Adobe's inverted form as well as the
// plain one). Any libjpeg error or data warning (a truncated or corrupt stream) throws
// DecodeError with the text "JPEG error #N", N being libjpeg's message code.
Picture decodeJpeg(const std::uint8_t* data, std::size_t size);

} // namespace logosmith::decoders
