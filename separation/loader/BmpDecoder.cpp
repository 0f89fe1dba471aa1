#include "separation/loader/BmpDecoder.h"

#include "platform/core/Error.h"
#include "separation/loader/ByteReader.h"

#include <array>
#include <bit>
#include <cstdlib>
#include <optional>
#include <string>

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

void decodeUncompressed(const ByteReader& in, std::size_t bitsAt, const Layout& l, Picture& out) {
    const std::int64_t stride = ((l.width * l.bits + 31) / 32) * 4;
    if (!in.fits(bitsAt, std::size_t(stride * l.height)))
        truncated();
    const bool useAlpha = l.alpha.mask != 0;
    bool anyAlpha = false;
    if (useAlpha) {
        // Many writers put an alpha mask in the header and leave every alpha value zero:
        // such a picture is meant to be opaque.
        for (std::int64_t y = 0; y < l.height && !anyAlpha; ++y) {
            const std::size_t row = bitsAt + std::size_t(y * stride);
            for (std::int64_t x = 0; x < l.width; ++x) {
                const std::uint32_t px = l.bits == 16 ? in.u16(row + std::size_t(x) * 2)
                                                      : in.u32(row + std::size_t(x) * 4);
                if (px & l.alpha.mask) {
                    anyAlpha = true;
                    break;
                }
            }
        }
    }
    for (std::int64_t fileRow = 0; fileRow < l.height; ++fileRow) {
        const std::size_t row = bitsAt + std::size_t(fileRow * stride);
        const int y = int(l.topDown ? fileRow : l.height - 1 - fileRow);
        std::uint8_t* dst = out.row(y);
        for (std::int64_t x = 0; x < l.width; ++x, dst += 3) {
            Colour c;
            switch (l.bits) {
            case 1:
            case 4:
            case 8: {
                const std::int64_t bit = x * l.bits;
                const int byte = in.u8(row + std::size_t(bit / 8));
                const int index = (byte >> (8 - l.bits - bit % 8)) & ((1 << l.bits) - 1);
                c = l.palette[std::size_t(index)];
                break;
            }
            case 24: {
                const std::size_t p = row + std::size_t(x) * 3;
                c = Colour{in.u8(p + 2), in.u8(p + 1), in.u8(p)};
                break;
            }
            default: {
                const std::uint32_t px = l.bits == 16 ? in.u16(row + std::size_t(x) * 2)
                                                      : in.u32(row + std::size_t(x) * 4);
                c = Colour{l.red.value(px), l.green.value(px), l.blue.value(px)};
                if (anyAlpha)
                    c = compose(c.r, c.g, c.b, l.alpha.value(px));
            }
            }
            dst[0] = std::uint8_t(c.b);
            dst[1] = std::uint8_t(c.g);
            dst[2] = std::uint8_t(c.r);
        }
    }
}

void decodeRunLength(const ByteReader& in, std::size_t pos, std::size_t end, const Layout& l,
                     Picture& out) {
    const bool four = l.bits == 4;
    std::int64_t x = 0;
    std::int64_t y = 0; // file rows, bottom row first
    auto put = [&](int index) {
        if (x < l.width && y < l.height)
            out.setPixel(int(x), int(l.height - 1 - y), l.palette[std::size_t(index)]);
        ++x;
    };
    while (y < l.height) {
        if (end - pos < 2)
            truncated();
        const int count = in.u8(pos);
        const int code = in.u8(pos + 1);
        pos += 2;
        if (count > 0) {
            // Pixels past the row's end are dropped.
            for (int i = 0; i < count && x < l.width; ++i)
                put(four ? ((i % 2 == 0) ? code >> 4 : code & 0x0F) : code);
            continue;
        }
        if (code == 0) { // end of line
            x = 0;
            ++y;
        } else if (code == 1) { // end of bitmap
            return;
        } else if (code == 2) { // move right and up
            if (end - pos < 2)
                truncated();
            x += in.u8(pos);
            y += in.u8(pos + 1);
            pos += 2;
        } else { // a literal run of `code` pixels, padded to a 16-bit boundary
            const std::size_t bytes =
                four ? std::size_t((code + 3) / 4) * 2 : std::size_t((code + 1) / 2) * 2;
            if (end - pos < bytes)
                truncated();
            for (int i = 0; i < code && x < l.width; ++i) {
                const int byte = in.u8(pos + std::size_t(four ? i / 2 : i));
                put(four ? ((i % 2 == 0) ? byte >> 4 : byte & 0x0F) : byte);
            }
            pos += bytes;
        }
    }
}

Picture decodeBitmap(const ByteReader& in, std::size_t headerAt,
                     std::optional<std::size_t> bitsOffset) {
    Layout layout;
    const std::size_t tableEnd = readHeader(in, headerAt, bitsOffset, layout);
    const std::size_t bitsAt = bitsOffset.value_or(tableEnd);
    if (bitsAt >= in.size())
        truncated();
    Picture out(int(layout.width), int(layout.height));
    if (layout.compression == compressionRle8 || layout.compression == compressionRle4) {
        std::size_t end = in.size();
        if (layout.imageSize != 0) {
            if (!in.fits(bitsAt, layout.imageSize))
                truncated();
            end = bitsAt + layout.imageSize;
        }
        decodeRunLength(in, bitsAt, end, layout, out);
    } else {
        decodeUncompressed(in, bitsAt, layout, out);
    }
    return out;
}

} // namespace

Picture decodeBmp(const std::uint8_t* data, std::size_t size) {
    const ByteReader in(data, size, "The BMP file is truncated");
    if (size < 2 || data[0] != 'B' || data[1] != 'M')
        throw DecodeError("The file is not a BMP picture");
    if (size < 14)
        truncated();
    const std::uint32_t fileSize = in.u32(2);
    if (fileSize > size)
        truncated();
    return decodeBitmap(in, 14, std::size_t(in.u32(10)));
}

Picture decodePackedDib(const std::uint8_t* data, std::size_t size) {
    return decodeBitmap(ByteReader(data, size, "The BMP file is truncated"), 0, std::nullopt);
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
