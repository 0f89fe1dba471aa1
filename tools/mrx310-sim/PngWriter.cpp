#include "PngWriter.h"

#include "AtomicFile.h"
#include "Error.h"

#include <array>

namespace logosmith::sim {

namespace {

std::uint32_t crc32(const std::uint8_t* data, std::size_t size, std::uint32_t crc = 0) {
    static const std::array<std::uint32_t, 256> table = [] {
        std::array<std::uint32_t, 256> t{};
        for (std::uint32_t n = 0; n < 256; ++n) {
            std::uint32_t c = n;
            for (int k = 0; k < 8; ++k)
                c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[n] = c;
        }
        return t;
    }();
    crc = ~crc;
    for (std::size_t i = 0; i < size; ++i)
        crc = table[(crc ^ data[i]) & 0xFF] ^ (crc >> 8);
    return ~crc;
}

void put32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    out.push_back(std::uint8_t(v >> 24));
    out.push_back(std::uint8_t(v >> 16));
    out.push_back(std::uint8_t(v >> 8));
    out.push_back(std::uint8_t(v));
}

void putChunk(std::vector<std::uint8_t>& out, const char* type,
              const std::vector<std::uint8_t>& body) {
    put32(out, std::uint32_t(body.size()));
    const std::size_t typeAt = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), body.begin(), body.end());
    put32(out, crc32(out.data() + typeAt, body.size() + 4));
}

} // namespace

std::vector<std::uint8_t> encodePng(int width, int height, const std::vector<std::uint8_t>& rgb) {
    if (width <= 0 || height <= 0 || rgb.size() != std::size_t(width) * std::size_t(height) * 3)
        throw Error("A PNG needs at least one pixel and exactly 3 bytes per pixel");

    // Raw scanlines, each with filter type 0.
    std::vector<std::uint8_t> raw;
    const std::size_t rowBytes = std::size_t(width) * 3;
    raw.reserve((rowBytes + 1) * std::size_t(height));
    for (int y = 0; y < height; ++y) {
        raw.push_back(0);
        raw.insert(raw.end(), rgb.begin() + std::ptrdiff_t(rowBytes * std::size_t(y)),
                   rgb.begin() + std::ptrdiff_t(rowBytes * std::size_t(y + 1)));
    }

    std::vector<std::uint8_t> zlib{0x78, 0x01};
    std::uint32_t a = 1, b = 0;
    for (std::uint8_t byte : raw) {
        a = (a + byte) % 65521;
        b = (b + a) % 65521;
    }
    std::size_t at = 0;
    do {
        const std::size_t take = std::min<std::size_t>(65535, raw.size() - at);
        const bool last = at + take == raw.size();
        zlib.push_back(last ? 1 : 0);
        zlib.push_back(std::uint8_t(take));
        zlib.push_back(std::uint8_t(take >> 8));
        zlib.push_back(std::uint8_t(~take));
        zlib.push_back(std::uint8_t(~take >> 8));
        zlib.insert(zlib.end(), raw.begin() + std::ptrdiff_t(at),
                    raw.begin() + std::ptrdiff_t(at + take));
        at += take;
    } while (at < raw.size());
    put32(zlib, (b << 16) | a);

    std::vector<std::uint8_t> png{0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    std::vector<std::uint8_t> header;
    put32(header, std::uint32_t(width));
    put32(header, std::uint32_t(height));
    header.insert(header.end(), {8, 2, 0, 0, 0}); // 8-bit RGB, no interlace
    putChunk(png, "IHDR", header);
    putChunk(png, "IDAT", zlib);
    putChunk(png, "IEND", {});
    return png;
}

void writePng(const std::string& path, int width, int height,
              const std::vector<std::uint8_t>& rgb) {
    writeFileAtomically(path, encodePng(width, height, rgb));
}

} // namespace logosmith::sim
