#pragma once

#include "separation/picture/Picture.h"

#include <cstddef>
#include <cstdint>

namespace logosmith::decoders {

// The size in pixels an enhanced metafile reports: its header frame (0.01 mm) at 96 pixels per
// inch, or its bounds when the frame is empty. Throws DecodeError on a damaged header.
struct MetafileSize {
    int width = 0;
    int height = 0;
};
MetafileSize emfSize(const std::uint8_t* data, std::size_t size);

// An enhanced metafile drawn on white at its reported size. The record chain is checked up to
// the end-of-file record before anything is drawn, so only complete records reach the
// converter. Needs a QGuiApplication (fonts, painting).
Picture decodeEmf(const std::uint8_t* data, std::size_t size);

} // namespace logosmith::decoders
