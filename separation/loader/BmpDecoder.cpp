#include "separation/loader/BmpDecoder.h"

#include "platform/core/Error.h"
#include "separation/loader/ByteReader.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

namespace logosmith::decoders {

namespace {

enum Compression : std::uint32_t {
    compressionRgb = 0,
    compressionRle8 = 1,
    compressionRle4 = 2,
    compressionBitfields = 3,
    compressionAlphaBitfields = 6,
};

[[noreturn]] void truncated() {
    throw DecodeError("The BMP file is truncated");
}
[[noreturn]] void damaged(const std::string& what) {
    throw DecodeError("The BMP file is damaged: " + what);
}
[[noreturn]] void unsupported(const std::string& what) {
    throw DecodeError("The BMP file uses an unsupported format: " + what);
}

// One colour channel described by a bit mask: where it sits and how to widen it to 8 bits.
struct Channel {
    std::uint32_t mask = 0;
    int shift = 0;
    std::uint32_t maxValue = 0;

    explicit Channel(std::uint32_t m = 0) : mask(m) {
        if (mask == 0)
            return;
        shift = std::countr_zero(mask);
        const int width = 32 - std::countl_zero(mask) - shift;
        maxValue = width >= 32 ? 0xFFFFFFFFu : ((1u << width) - 1);
    }
    int value(std::uint32_t pixel) const {
        if (mask == 0)
            return 0;
        const std::uint64_t v = (pixel & mask) >> shift;
        return int((v * 255 + maxValue / 2) / maxValue);
    }
};

struct Layout {
    std::int64_t width = 0;
    std::int64_t height = 0; // always positive
    bool topDown = false;
    int bits = 0;
    std::uint32_t compression = compressionRgb;
    std::uint32_t imageSize = 0;
    std::array<Colour, 256> palette{};
    Channel red, green, blue, alpha;
};

Colour compose(int r, int g, int b, int a) {
    auto over = [a](int c) { return (c * a + 255 * (255 - a) + 127) / 255; };
    return Colour{over(r), over(g), over(b)};
}

// Reads the bitmap header at `at`; returns the layout and the offset just past the colour
// table. `bitsOffset`, when known (files), bounds the colour table.
std::size_t readHeader(const ByteReader& in, std::size_t at, std::optional<std::size_t> bitsOffset,
                       Layout& layout) {
    if (!in.fits(at, 4))
        truncated();
    const std::uint32_t headerSize = in.u32(at);
    const bool core = headerSize == 12;
    if (!core && headerSize != 40 && headerSize != 52 && headerSize != 56 && headerSize != 64 &&
        headerSize != 108 && headerSize != 124)
        unsupported("bitmap header of " + std::to_string(headerSize) + " bytes");
    if (!in.fits(at, headerSize))
        truncated();

    std::uint32_t colourCount = 0;
    std::size_t tableStart = at + headerSize;
    int entrySize = 4;
    if (core) {
        layout.width = in.u16(at + 4);
        layout.height = in.u16(at + 6);
        layout.bits = in.u16(at + 10);
        entrySize = 3;
        if (layout.bits != 1 && layout.bits != 4 && layout.bits != 8 && layout.bits != 24)
            unsupported(std::to_string(layout.bits) + " bits per pixel");
    } else {
        layout.width = in.s32(at + 4);
        const std::int64_t height = in.s32(at + 8);
        layout.topDown = height < 0;
        layout.height = height < 0 ? -height : height;
        layout.bits = in.u16(at + 14);
        layout.compression = in.u32(at + 16);
        layout.imageSize = in.u32(at + 20);
        colourCount = in.u32(at + 32);
        const int b = layout.bits;
        if (b != 1 && b != 4 && b != 8 && b != 16 && b != 24 && b != 32)
            unsupported(std::to_string(b) + " bits per pixel");
        switch (layout.compression) {
        case compressionRgb:
            if (b == 16)
                layout.red = Channel(0x7C00), layout.green = Channel(0x03E0),
                layout.blue = Channel(0x001F);
            else if (b == 32)
                layout.red = Channel(0xFF0000), layout.green = Channel(0xFF00),
                layout.blue = Channel(0xFF);
            break;
        case compressionRle8:
        case compressionRle4:
            if (b != (layout.compression == compressionRle8 ? 8 : 4))
                damaged("run-length compression does not match " + std::to_string(b) +
                        " bits per pixel");
            if (layout.topDown)
                damaged("a run-length compressed bitmap cannot be stored top-down");
            break;
        case compressionBitfields:
        case compressionAlphaBitfields: {
            if (b != 16 && b != 32)
                damaged("bit fields with " + std::to_string(b) + " bits per pixel");
            if (headerSize == 64)
                unsupported("OS/2 compression");
            const bool withAlpha = layout.compression == compressionAlphaBitfields;
            // The masks sit in the header from 52 bytes on (the alpha one from 56); whatever
            // a shorter header lacks follows it.
            const std::size_t masks = at + 40;
            const std::size_t maskBytes = withAlpha || headerSize >= 56 ? 16 : 12;
            if (headerSize < 40 + maskBytes) {
                if (!in.fits(masks, maskBytes))
                    truncated();
                tableStart = masks + maskBytes;
            }
            layout.red = Channel(in.u32(masks));
            layout.green = Channel(in.u32(masks + 4));
            layout.blue = Channel(in.u32(masks + 8));
            if (withAlpha || headerSize >= 56)
                layout.alpha = Channel(in.u32(masks + 12));
            break;
        }
        default:
            unsupported("compression method " + std::to_string(layout.compression));
        }
    }
    if (layout.width <= 0 || layout.height <= 0)
        damaged("the bitmap has no pixels (" + std::to_string(layout.width) + " x " +
                std::to_string(layout.height) + ")");
    Picture::checkSize(layout.width, layout.height);

    if (bitsOffset && *bitsOffset < tableStart)
        damaged("the pixels start inside the bitmap header");
    if (layout.bits > 8)
        return tableStart; // any colour table here is only a hint for palette displays
    const std::uint32_t fullCount = 1u << layout.bits;
    std::uint32_t count = colourCount == 0 ? fullCount : colourCount;
    if (count > fullCount) {
        if (!bitsOffset)
            damaged("the colour table claims " + std::to_string(count) + " entries");
        count = fullCount; // extra entries can never be indexed
    }
    std::size_t tableEnd = tableStart + std::size_t(count) * entrySize;
    if (bitsOffset) {
        // Some writers leave out unused entries; the pixel offset is the real bound.
        const std::size_t available = (*bitsOffset - tableStart) / entrySize;
        if (available < count)
            count = std::uint32_t(available);
        tableEnd = tableStart + std::size_t(count) * entrySize;
    }
    if (!in.fits(tableStart, tableEnd - tableStart))
        truncated();
    for (std::uint32_t i = 0; i < count; ++i) {
        const std::size_t e = tableStart + std::size_t(i) * entrySize;
        layout.palette[i] = Colour{in.u8(e + 2), in.u8(e + 1), in.u8(e)};
    }
    return tableEnd;
}

// Reads one pixel of a row that holds all of it.
struct PixelReader {
    const Layout& l;
    bool composeAlpha;

    void operator()(const std::uint8_t* row, std::int64_t x, std::uint8_t* dst) const {
        Colour c;
        switch (l.bits) {
        case 1:
        case 4:
        case 8: {
            const std::int64_t bit = x * l.bits;
            const int byte = row[bit / 8];
            const int index = (byte >> (8 - l.bits - bit % 8)) & ((1 << l.bits) - 1);
            c = l.palette[std::size_t(index)];
            break;
        }
        case 24: {
            const std::uint8_t* p = row + x * 3;
            dst[0] = p[0];
            dst[1] = p[1];
            dst[2] = p[2];
            return;
        }
        default: {
            const std::uint32_t px = pixelBits(row, x);
            c = Colour{l.red.value(px), l.green.value(px), l.blue.value(px)};
            if (composeAlpha)
                c = compose(c.r, c.g, c.b, l.alpha.value(px));
        }
        }
        dst[0] = std::uint8_t(c.b);
        dst[1] = std::uint8_t(c.g);
        dst[2] = std::uint8_t(c.r);
    }

    std::uint32_t pixelBits(const std::uint8_t* row, std::int64_t x) const {
        if (l.bits == 16)
            return std::uint32_t(row[x * 2] | row[x * 2 + 1] << 8);
        const std::uint8_t* p = row + x * 4;
        return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 |
               std::uint32_t(p[3]) << 24;
    }
};

// Rows are read from the source one at a time, in file order, and only those the picture keeps.
void decodeUncompressed(ByteSource& in, std::size_t bitsAt, const Layout& l, PictureBuilder& out) {
    const std::int64_t stride = ((l.width * l.bits + 31) / 32) * 4;
    if (std::uint64_t(stride) * std::uint64_t(l.height) > in.size() - bitsAt)
        truncated();
    const char* const cut = "The BMP file is truncated";
    PixelReader read{l, false};
    if (l.alpha.mask != 0) {
        // Many writers put an alpha mask in the header and leave every alpha value zero:
        // such a picture is meant to be opaque. Only a first alpha value tells, wherever it is.
        for (std::int64_t y = 0; y < l.height && !read.composeAlpha; ++y) {
            const std::uint8_t* row =
                in.view(bitsAt + std::size_t(y * stride), std::size_t(stride), cut);
            for (std::int64_t x = 0; x < l.width; ++x)
                if (read.pixelBits(row, x) & l.alpha.mask) {
                    read.composeAlpha = true;
                    break;
                }
        }
    }
    for (std::int64_t fileRow = 0; fileRow < l.height; ++fileRow) {
        const int y = int(l.topDown ? fileRow : l.height - 1 - fileRow);
        if (!out.keeps(y))
            continue;
        const std::uint8_t* row =
            in.view(bitsAt + std::size_t(fileRow * stride), std::size_t(stride), cut);
        std::uint8_t* dst = out.rowFor(y);
        if (!out.sampled()) {
            if (l.bits == 24) {
                std::memcpy(dst, row, std::size_t(l.width) * 3);
                continue;
            }
            for (std::int64_t x = 0; x < l.width; ++x, dst += 3)
                read(row, x, dst);
            continue;
        }
        for (const int x : out.sourceColumns()) {
            read(row, x, dst);
            dst += 3;
        }
    }
}

// Run-length data describes the rows in file order (a jump only moves on), so each row is
// built in one row buffer and handed over when the data leaves it.
void decodeRunLength(ByteSource& in, std::size_t pos, std::size_t end, const Layout& l,
                     PictureBuilder& out) {
    const bool four = l.bits == 4;
    const char* const cut = "The BMP file is truncated";
    std::vector<std::uint8_t> row(std::size_t(l.width) * 3, 0xFF);
    std::int64_t x = 0;
    std::int64_t y = 0; // file rows, bottom row first
    bool drawn = false; // the row buffer holds pixels of row y
    auto flush = [&] {
        if (drawn && y < l.height)
            out.putRow(int(l.height - 1 - y), row.data());
        if (drawn)
            std::fill(row.begin(), row.end(), std::uint8_t(0xFF));
        drawn = false;
    };
    auto put = [&](int index) {
        if (x < l.width && y < l.height) {
            const Colour c = l.palette[std::size_t(index)];
            std::uint8_t* p = row.data() + std::size_t(x) * 3;
            p[0] = std::uint8_t(c.b);
            p[1] = std::uint8_t(c.g);
            p[2] = std::uint8_t(c.r);
            drawn = true;
        }
        ++x;
    };
    auto bytes = [&](std::size_t count) {
        if (end - pos < count)
            truncated();
        const std::uint8_t* p = in.view(pos, count, cut);
        pos += count;
        return p;
    };
    while (y < l.height) {
        const std::uint8_t* op = bytes(2);
        const int count = op[0];
        const int code = op[1];
        if (count > 0) {
            // Pixels past the row's end are dropped.
            for (int i = 0; i < count && x < l.width; ++i)
                put(four ? ((i % 2 == 0) ? code >> 4 : code & 0x0F) : code);
            continue;
        }
        if (code == 0) { // end of line
            flush();
            x = 0;
            ++y;
        } else if (code == 1) { // end of bitmap
            flush();
            return;
        } else if (code == 2) { // move right and up
            const std::uint8_t* move = bytes(2);
            if (move[1] != 0)
                flush();
            x += move[0];
            y += move[1];
        } else { // a literal run of `code` pixels, padded to a 16-bit boundary
            const std::size_t size =
                four ? std::size_t((code + 3) / 4) * 2 : std::size_t((code + 1) / 2) * 2;
            const std::uint8_t* literal = bytes(size);
            for (int i = 0; i < code && x < l.width; ++i) {
                const int byte = literal[four ? i / 2 : i];
                put(four ? ((i % 2 == 0) ? byte >> 4 : byte & 0x0F) : byte);
            }
        }
    }
}

// The bitmap header, colour table and masks lie in the first bytes of a file or packed bitmap:
// at most 14 + 124 + 16 + 256 * 4.
constexpr std::size_t headerRegion = 2048;

void decodeBitmap(ByteSource& in, std::size_t headerAt, std::optional<std::size_t> bitsOffset,
                  PictureBuilder& out) {
    const std::size_t regionSize = std::min(in.size(), headerRegion);
    const std::uint8_t* region = in.view(0, regionSize, "The BMP file is truncated");
    const std::vector<std::uint8_t> head(region, region + regionSize);
    const ByteReader headReader(head.data(), head.size(), "The BMP file is truncated");
    Layout layout;
    const std::size_t tableEnd = readHeader(headReader, headerAt, bitsOffset, layout);
    const std::size_t bitsAt = bitsOffset.value_or(tableEnd);
    if (bitsAt >= in.size())
        truncated();
    const bool runLength =
        layout.compression == compressionRle8 || layout.compression == compressionRle4;
    // Run-length data may leave pixels out; they stay white.
    out.begin(layout.width, layout.height, !runLength);
    if (runLength) {
        std::size_t end = in.size();
        if (layout.imageSize != 0) {
            if (layout.imageSize > in.size() - bitsAt)
                truncated();
            end = bitsAt + layout.imageSize;
        }
        decodeRunLength(in, bitsAt, end, layout, out);
    } else {
        decodeUncompressed(in, bitsAt, layout, out);
    }
}

} // namespace

void decodeBmp(ByteSource& in, PictureBuilder& out) {
    const std::uint8_t* start = in.view(0, std::min<std::size_t>(in.size(), 14), "");
    if (in.size() < 2 || start[0] != 'B' || start[1] != 'M')
        throw DecodeError("The file is not a BMP picture");
    if (in.size() < 14)
        truncated();
    const ByteReader fileHeader(start, 14);
    const std::uint32_t fileSize = fileHeader.u32(2);
    const std::uint32_t bitsOffset = fileHeader.u32(10);
    if (fileSize > in.size())
        truncated();
    decodeBitmap(in, 14, std::size_t(bitsOffset), out);
}

Picture decodePackedDib(const std::uint8_t* data, std::size_t size) {
    ByteSource in(data, size);
    PictureBuilder out;
    decodeBitmap(in, 0, std::nullopt, out);
    return out.finish();
}

std::int64_t packedDibPixels(const std::uint8_t* data, std::size_t size) {
    const ByteReader in(data, size, "The BMP file is truncated");
    if (in.u32(0) == 12)
        return std::int64_t(in.u16(4)) * in.u16(6);
    const std::int64_t width = in.s32(4);
    const std::int64_t height = in.s32(8);
    return std::abs(width) * std::abs(height);
}

} // namespace logosmith::decoders
