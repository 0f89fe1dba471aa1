#include "separation/picture/BmpFile.h"

#include "platform/core/AtomicFile.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace logosmith {

namespace {

constexpr std::size_t headerSize = 14 + 40;

std::size_t strideOf(const Picture& picture) {
    return (std::size_t(picture.width()) * 3 + 3) & ~std::size_t(3);
}

void put16(std::uint8_t* out, std::uint32_t v) {
    out[0] = std::uint8_t(v);
    out[1] = std::uint8_t(v >> 8);
}
void put32(std::uint8_t* out, std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
        out[i] = std::uint8_t(v >> (8 * i));
}

std::array<std::uint8_t, headerSize> headerOf(const Picture& picture) {
    const std::size_t pixels = strideOf(picture) * std::size_t(picture.height());
    std::array<std::uint8_t, headerSize> h{};
    h[0] = 'B';
    h[1] = 'M';
    put32(&h[2], std::uint32_t(headerSize + pixels));
    put32(&h[10], std::uint32_t(headerSize));
    put32(&h[14], 40);
    put32(&h[18], std::uint32_t(picture.width()));
    put32(&h[22], std::uint32_t(picture.height()));
    put16(&h[26], 1);
    put16(&h[28], 24);
    put32(&h[34], std::uint32_t(pixels));
    put32(&h[38], 3780); // 96 dpi
    put32(&h[42], 3780);
    return h;
}

// File row y (bottom row first) with its padding, at `out`.
void putRow(const Picture& picture, std::size_t y, std::uint8_t* out) {
    const std::size_t bytes = picture.rowBytes();
    std::memcpy(out, picture.row(int(std::size_t(picture.height()) - 1 - y)), bytes);
    std::memset(out + bytes, 0, strideOf(picture) - bytes);
}

} // namespace

std::vector<std::uint8_t> encodeBmp24(const Picture& picture) {
    const std::size_t stride = strideOf(picture);
    const auto header = headerOf(picture);
    std::vector<std::uint8_t> out(headerSize + stride * std::size_t(picture.height()));
    std::copy(header.begin(), header.end(), out.begin());
    for (std::size_t y = 0; y < std::size_t(picture.height()); ++y)
        putRow(picture, y, out.data() + headerSize + y * stride);
    return out;
}

void writeBmpFile(const Picture& picture, const std::string& path) {
    // Rows go out a megabyte at a time: a large picture is never held twice.
    writeFileAtomically(path, [&](const ByteWriter& write) {
        const auto header = headerOf(picture);
        write(header.data(), header.size());
        const std::size_t stride = strideOf(picture);
        const std::size_t rowsAtOnce = std::max<std::size_t>(1, (1 << 20) / stride);
        std::vector<std::uint8_t> chunk(rowsAtOnce * stride);
        const std::size_t height = std::size_t(picture.height());
        for (std::size_t y = 0; y < height; y += rowsAtOnce) {
            const std::size_t rows = std::min(rowsAtOnce, height - y);
            for (std::size_t i = 0; i < rows; ++i)
                putRow(picture, y + i, chunk.data() + i * stride);
            write(chunk.data(), rows * stride);
        }
    });
}

} // namespace logosmith
