#include "separation/picture/BmpFile.h"

#include "platform/core/AtomicFile.h"

namespace logosmith {

namespace {
void put16(std::vector<std::uint8_t>& out, std::size_t at, std::uint32_t v) {
    out[at] = std::uint8_t(v);
    out[at + 1] = std::uint8_t(v >> 8);
}
void put32(std::vector<std::uint8_t>& out, std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
        out[at + std::size_t(i)] = std::uint8_t(v >> (8 * i));
}
} // namespace

std::vector<std::uint8_t> encodeBmp24(const Picture& picture) {
    const std::size_t w = std::size_t(picture.width());
    const std::size_t h = std::size_t(picture.height());
    const std::size_t stride = (w * 3 + 3) & ~std::size_t(3);
    const std::size_t headerSize = 14 + 40;
    std::vector<std::uint8_t> out(headerSize + stride * h, 0);
    out[0] = 'B';
    out[1] = 'M';
    put32(out, 2, std::uint32_t(out.size()));
    put32(out, 10, std::uint32_t(headerSize));
    put32(out, 14, 40);
    put32(out, 18, std::uint32_t(w));
    put32(out, 22, std::uint32_t(h));
    put16(out, 26, 1);
    put16(out, 28, 24);
    put32(out, 34, std::uint32_t(stride * h));
    put32(out, 38, 3780); // 96 dpi
    put32(out, 42, 3780);
    for (std::size_t y = 0; y < h; ++y) {
        const std::uint8_t* src = picture.row(int(h - 1 - y));
        std::copy(src, src + w * 3, out.begin() + std::ptrdiff_t(headerSize + y * stride));
    }
    return out;
}

void writeBmpFile(const Picture& picture, const std::string& path) {
    writeFileAtomically(path, encodeBmp24(picture));
}

} // namespace logosmith
