#pragma once

#include "separation/loader/ByteSource.h"
#include "separation/loader/PictureBuilder.h"

#include <chrono>
#include <cstddef>
#include <cstdint>

namespace logosmith::decoders {

// The first page of a PDF file drawn on white by poppler: at its own size at 96 pixels per
// inch, or, when the builder fits, straight at the fitted size. poppler cannot be stopped or
// bounded from outside while it draws (a small file can ask for gigabytes of decoded images or
// minutes of shading), so the page is drawn in a child process of its own, with at most
// 512 MB more memory and a second of processor time; the picture comes back through a pipe.
// A file that is damaged, locked with a password, has no page or asks for more than that
// throws DecodeError. The canvas drawn is at most 16 million pixels.
void decodePdf(ByteSource& in, PictureBuilder& out);

// The same drawing in this process, stopped between drawing operations once `deadline`
// passes (the fuzz target's way: it has bounds of its own).
void drawPdfPage(const std::uint8_t* data, std::size_t size, PictureBuilder& out,
                 std::chrono::steady_clock::time_point deadline);

} // namespace logosmith::decoders
