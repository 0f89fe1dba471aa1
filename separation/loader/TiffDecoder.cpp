#include "separation/loader/TiffDecoder.h"

#include "platform/core/Error.h"

#include <algorithm>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include <tiffio.h>

namespace logosmith::decoders {

namespace {

// No single buffer libtiff makes for a file (a strip's compressed bytes, a decoded strip or
// tile, a directory's tag data) may be larger than this.
constexpr tmsize_t maxAllocation = 128LL * 1024 * 1024;
// What a file may ask to be decoded: a picture of the largest size at 8 bits of red, green,
// blue and alpha (under a second here), and a few more samples than CMYK with alpha.
constexpr std::uint64_t maxDecodedBytes = 256ULL * 1024 * 1024;
constexpr int maxSamples = 16;

// The file as libtiff reads it, and what went wrong on the way.
struct Stream {
    ByteSource* in = nullptr;
    std::uint64_t at = 0;
    bool pastEnd = false;
    std::string error;
};

tmsize_t onRead(thandle_t handle, void* into, tmsize_t count) {
    auto* s = static_cast<Stream*>(handle);
    const std::uint64_t size = s->in->size();
    if (count < 0)
        return -1;
    std::uint64_t available = s->at < size ? size - s->at : 0;
    if (std::uint64_t(count) > available)
        s->pastEnd = true;
    const std::uint64_t total = std::min<std::uint64_t>(std::uint64_t(count), available);
    std::uint64_t done = 0;
    while (done < total) {
        const std::size_t piece = std::size_t(std::min<std::uint64_t>(total - done, 1 << 20));
        std::memcpy(static_cast<std::uint8_t*>(into) + done,
                    s->in->view(std::size_t(s->at + done), piece, "The TIFF file is truncated"),
                    piece);
        done += piece;
    }
    s->at += total;
    return tmsize_t(total);
}

tmsize_t onWrite(thandle_t, void*, tmsize_t) {
    return -1;
}

toff_t onSeek(thandle_t handle, toff_t offset, int whence) {
    auto* s = static_cast<Stream*>(handle);
    std::uint64_t base = 0;
    if (whence == SEEK_CUR)
        base = s->at;
    else if (whence == SEEK_END)
        base = s->in->size();
    s->at = base + offset;
    return s->at;
}

int onClose(thandle_t) {
    return 0;
}

toff_t onSize(thandle_t handle) {
    return static_cast<Stream*>(handle)->in->size();
}

int onError(TIFF*, void* user, const char*, const char* format, va_list args) {
    auto* s = static_cast<Stream*>(user);
    if (s->error.empty()) {
        char text[200];
        std::vsnprintf(text, sizeof text, format, args);
        s->error = text;
    }
    return 1;
}

int onWarning(TIFF*, void*, const char*, const char*, va_list) {
    return 1;
}

struct Closer {
    void operator()(TIFF* tif) const { TIFFClose(tif); }
};

// Throws for whatever the stream or libtiff noticed so far.
void check(const Stream& s) {
    if (s.pastEnd)
        throw DecodeError("The TIFF file is truncated");
    if (!s.error.empty())
        throw DecodeError("The TIFF file is damaged: " + s.error);
}

struct Layout {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::uint16_t bits = 1;
    std::uint16_t samples = 1;
    std::uint16_t photometric = PHOTOMETRIC_MINISBLACK;
    std::uint16_t planar = PLANARCONFIG_CONTIG;
    std::uint16_t sampleFormat = SAMPLEFORMAT_UINT;
    std::uint16_t inkSet = INKSET_CMYK;
    int colours = 1; // colour samples per pixel
    int alpha = -1;  // sample index of the alpha, if any
    bool premultiplied = false;
    const std::uint16_t* map[3] = {}; // the palette's red, green and blue
};

[[noreturn]] void tooMuch(const std::string& what) {
    throw DecodeError("The TIFF file asks for too much: " + what);
}

// The samples, their bits and the pieces they are decoded in, checked against the limits
// before libtiff (or we) make a buffer for any of them: a file of a few bytes can declare
// 65535 samples of 16 bits in rows of 65535 pixels.
void checkSizes(TIFF* tif, const Layout& l) {
    if (l.samples > maxSamples)
        tooMuch(std::to_string(l.samples) + " samples per pixel (at most " +
                std::to_string(maxSamples) + ")");
    if (l.bits == 0 || l.bits > 64)
        throw DecodeError("The TIFF file is damaged: " + std::to_string(l.bits) +
                          " bits per sample");
    // In floating point: tile sides of 2^32 would overflow the products.
    const bool contiguous = l.planar == PLANARCONFIG_CONTIG;
    const double pixelBytes = double(l.bits) * (contiguous ? l.samples : 1) / 8;
    const double planes = contiguous ? 1 : l.samples;
    double piece = 0, total = 0; // bytes of the largest piece, and of them all
    if (TIFFIsTiled(tif)) {
        std::uint32_t tileWidth = 0, tileLength = 0;
        TIFFGetField(tif, TIFFTAG_TILEWIDTH, &tileWidth);
        TIFFGetField(tif, TIFFTAG_TILELENGTH, &tileLength);
        if (tileWidth == 0 || tileLength == 0)
            throw DecodeError("The TIFF file is damaged: its tiles have no size");
        piece = double(tileWidth) * tileLength * pixelBytes;
        total = std::ceil(double(l.width) / tileWidth) * std::ceil(double(l.height) / tileLength) *
                planes * piece;
    } else {
        std::uint32_t rows = l.height;
        TIFFGetFieldDefaulted(tif, TIFFTAG_ROWSPERSTRIP, &rows);
        const double row = std::ceil(l.width * pixelBytes);
        piece = row * std::clamp<std::uint32_t>(rows, 1, l.height);
        total = row * l.height * planes;
    }
    if (piece > double(maxAllocation))
        throw DecodeError("The TIFF file's strips or tiles are too large to read");
    if (total > double(maxDecodedBytes))
        tooMuch(std::to_string(std::llround(std::min(total, 1e15) / (1 << 20))) +
                " MB of samples to decode (at most " + std::to_string(maxDecodedBytes >> 20) +
                " MB)");
}

// Whether the scanline reader below knows the layout; everything else goes through libtiff's
// RGBA reader.
bool readByScanline(TIFF* tif, const Layout& l) {
    if (TIFFIsTiled(tif) || l.planar != PLANARCONFIG_CONTIG || l.sampleFormat != SAMPLEFORMAT_UINT)
        return false;
    switch (l.photometric) {
    case PHOTOMETRIC_MINISBLACK:
    case PHOTOMETRIC_MINISWHITE:
        return l.bits == 1 || l.bits == 2 || l.bits == 4 || l.bits == 8 || l.bits == 16;
    case PHOTOMETRIC_PALETTE:
        return (l.bits == 1 || l.bits == 2 || l.bits == 4 || l.bits == 8) && l.map[0];
    case PHOTOMETRIC_RGB:
        return l.bits == 8 || l.bits == 16;
    case PHOTOMETRIC_SEPARATED:
        return (l.bits == 8 || l.bits == 16) && l.inkSet == INKSET_CMYK;
    default:
        return false;
    }
}

// One sample of a scanline, widened or narrowed to 8 bits.
int sample(const std::uint8_t* row, std::size_t index, int bits) {
    switch (bits) {
    case 16: {
        std::uint16_t v;
        std::memcpy(&v, row + index * 2, 2); // libtiff gives native byte order
        return (v * 255 + 32767) / 65535;
    }
    case 8:
        return row[index];
    default: {
        const std::size_t bit = index * std::size_t(bits);
        const int v = (row[bit / 8] >> (8 - bits - int(bit % 8))) & ((1 << bits) - 1);
        return v * 255 / ((1 << bits) - 1);
    }
    }
}

int paletteIndex(const std::uint8_t* row, std::size_t index, int bits) {
    if (bits == 8)
        return row[index];
    const std::size_t bit = index * std::size_t(bits);
    return (row[bit / 8] >> (8 - bits - int(bit % 8))) & ((1 << bits) - 1);
}

void pixel(const Layout& l, const std::uint8_t* row, int x, std::uint8_t* bgr) {
    const std::size_t first = std::size_t(x) * l.samples;
    int r, g, b;
    switch (l.photometric) {
    case PHOTOMETRIC_PALETTE: {
        const int i = paletteIndex(row, first, l.bits);
        // Colour maps hold 16-bit values.
        r = l.map[0][i] >> 8, g = l.map[1][i] >> 8, b = l.map[2][i] >> 8;
        break;
    }
    case PHOTOMETRIC_RGB:
        r = sample(row, first, l.bits);
        g = sample(row, first + 1, l.bits);
        b = sample(row, first + 2, l.bits);
        break;
    case PHOTOMETRIC_SEPARATED: {
        const int k = 255 - sample(row, first + 3, l.bits);
        r = (255 - sample(row, first, l.bits)) * k / 255;
        g = (255 - sample(row, first + 1, l.bits)) * k / 255;
        b = (255 - sample(row, first + 2, l.bits)) * k / 255;
        break;
    }
    default: {
        const int v = sample(row, first, l.bits);
        r = g = b = l.photometric == PHOTOMETRIC_MINISWHITE ? 255 - v : v;
    }
    }
    if (l.alpha < 0) {
        bgr[0] = std::uint8_t(b), bgr[1] = std::uint8_t(g), bgr[2] = std::uint8_t(r);
        return;
    }
    const int a = sample(row, first + std::size_t(l.alpha), l.bits);
    if (l.premultiplied) {
        auto over = [a](int c) { return std::uint8_t(std::min(255, c + 255 - a)); };
        bgr[0] = over(b), bgr[1] = over(g), bgr[2] = over(r);
    } else {
        bgr[0] = overWhite(b, a), bgr[1] = overWhite(g, a), bgr[2] = overWhite(r, a);
    }
}

void readScanlines(TIFF* tif, const Stream& s, const Layout& l, PictureBuilder& out) {
    const tmsize_t lineBytes = TIFFScanlineSize(tif);
    check(s);
    // The largest scanline a layout of these samples needs.
    const std::uint64_t need = (std::uint64_t(l.width) * l.samples * l.bits + 7) / 8;
    if (lineBytes <= 0 || std::uint64_t(lineBytes) < need)
        throw DecodeError("The TIFF file is damaged: its scanlines are too short");
    std::vector<std::uint8_t> line(static_cast<std::size_t>(lineBytes));
    for (std::uint32_t y = 0; y < l.height; ++y) {
        // Every row is decoded (compressed rows depend on those before), only kept ones used.
        if (TIFFReadScanline(tif, line.data(), y, 0) < 0 || s.pastEnd || !s.error.empty()) {
            check(s);
            throw DecodeError("The TIFF file is damaged: row " + std::to_string(y));
        }
        if (!out.keeps(int(y)))
            continue;
        std::uint8_t* dst = out.rowFor(int(y));
        if (!out.sampled()) {
            if (l.photometric == PHOTOMETRIC_RGB && l.bits == 8 && l.samples == 3) {
                for (std::uint32_t x = 0; x < l.width; ++x, dst += 3)
                    dst[0] = line[x * 3 + 2], dst[1] = line[x * 3 + 1], dst[2] = line[x * 3];
                continue;
            }
            for (std::uint32_t x = 0; x < l.width; ++x, dst += 3)
                pixel(l, line.data(), int(x), dst);
            continue;
        }
        for (const int x : out.sourceColumns()) {
            pixel(l, line.data(), x, dst);
            dst += 3;
        }
    }
}

struct RgbaReader {
    TIFFRGBAImage image{};
    bool begun = false;
    ~RgbaReader() {
        if (begun)
            TIFFRGBAImageEnd(&image);
    }
};

// libtiff's RGBA reader, a strip or a row of tiles at a time, rows as stored.
void readRgba(TIFF* tif, const Stream& s, const Layout& l, PictureBuilder& out) {
    char reason[1024] = {};
    RgbaReader reader;
    if (!TIFFRGBAImageOK(tif, reason) ||
        !(reader.begun = TIFFRGBAImageBegin(&reader.image, tif, 1, reason))) {
        check(s);
        throw DecodeError(std::string("The TIFF file uses an unsupported format: ") + reason);
    }
    // Rows as the file stores them: flipping would need the whole picture at once.
    reader.image.req_orientation = reader.image.orientation;
    std::uint32_t band = l.height;
    if (TIFFIsTiled(tif))
        TIFFGetField(tif, TIFFTAG_TILELENGTH, &band);
    else
        TIFFGetFieldDefaulted(tif, TIFFTAG_ROWSPERSTRIP, &band);
    band = std::clamp<std::uint32_t>(band, 1, l.height);
    if (std::uint64_t(band) * l.width * 4 > std::uint64_t(maxAllocation))
        throw DecodeError("The TIFF file's strips or tiles are too large to read");
    std::vector<std::uint32_t> rgba(std::size_t(band) * l.width);
    std::vector<std::uint8_t> row(std::size_t(l.width) * 3);
    for (std::uint32_t top = 0; top < l.height; top += band) {
        const std::uint32_t rows = std::min(band, l.height - top);
        bool any = false;
        for (std::uint32_t y = top; y < top + rows && !any; ++y)
            any = out.keeps(int(y));
        if (!any)
            continue;
        reader.image.row_offset = int(top);
        reader.image.col_offset = 0;
        if (!TIFFRGBAImageGet(&reader.image, rgba.data(), l.width, rows) || s.pastEnd ||
            !s.error.empty()) {
            check(s);
            throw DecodeError("The TIFF file is damaged: rows from " + std::to_string(top) +
                              " cannot be read");
        }
        for (std::uint32_t i = 0; i < rows; ++i) {
            const int y = int(top + i);
            if (!out.keeps(y))
                continue;
            // Red in the low byte, alpha in the high one, colour premultiplied.
            const std::uint32_t* in = &rgba[std::size_t(i) * l.width];
            for (std::uint32_t x = 0; x < l.width; ++x) {
                const int a = int(in[x] >> 24);
                auto over = [a](std::uint32_t c) {
                    return std::uint8_t(std::min<int>(255, int(c & 0xFF) + 255 - a));
                };
                row[x * 3] = over(in[x] >> 16);
                row[x * 3 + 1] = over(in[x] >> 8);
                row[x * 3 + 2] = over(in[x]);
            }
            out.putRow(y, row.data());
        }
    }
}

} // namespace

void decodeTiff(ByteSource& in, PictureBuilder& out) {
    if (in.size() < 8)
        throw DecodeError(in.size() < 4 ? "The file is not a TIFF picture"
                                        : "The TIFF file is truncated");
    const std::uint8_t* head = in.view(0, 4, "The TIFF file is truncated");
    const bool little =
        head[0] == 'I' && head[1] == 'I' && (head[2] == 42 || head[2] == 43) && head[3] == 0;
    const bool big =
        head[0] == 'M' && head[1] == 'M' && head[2] == 0 && (head[3] == 42 || head[3] == 43);
    if (!little && !big)
        throw DecodeError("The file is not a TIFF picture");

    Stream s;
    s.in = &in;
    std::unique_ptr<TIFFOpenOptions, void (*)(TIFFOpenOptions*)> options(TIFFOpenOptionsAlloc(),
                                                                         TIFFOpenOptionsFree);
    TIFFOpenOptionsSetMaxSingleMemAlloc(options.get(), maxAllocation);
    TIFFOpenOptionsSetErrorHandlerExtR(options.get(), onError, &s);
    TIFFOpenOptionsSetWarningHandlerExtR(options.get(), onWarning, &s);
    // "m": no memory mapping, so every byte libtiff reads comes through onRead, which notices
    // reads past the end of the file.
    std::unique_ptr<TIFF, Closer> tif(TIFFClientOpenExt("TIFF", "rm", &s, onRead, onWrite, onSeek,
                                                        onClose, onSize, nullptr, nullptr,
                                                        options.get()));
    if (!tif) {
        check(s);
        throw DecodeError("The TIFF file is damaged");
    }
    check(s);

    Layout l;
    TIFFGetField(tif.get(), TIFFTAG_IMAGEWIDTH, &l.width);
    TIFFGetField(tif.get(), TIFFTAG_IMAGELENGTH, &l.height);
    if (l.width == 0 || l.height == 0)
        throw DecodeError("The TIFF file is damaged: the picture has no pixels");
    Picture::checkSize(l.width, l.height);
    TIFFGetFieldDefaulted(tif.get(), TIFFTAG_BITSPERSAMPLE, &l.bits);
    TIFFGetFieldDefaulted(tif.get(), TIFFTAG_SAMPLESPERPIXEL, &l.samples);
    TIFFGetFieldDefaulted(tif.get(), TIFFTAG_PLANARCONFIG, &l.planar);
    TIFFGetFieldDefaulted(tif.get(), TIFFTAG_SAMPLEFORMAT, &l.sampleFormat);
    TIFFGetFieldDefaulted(tif.get(), TIFFTAG_INKSET, &l.inkSet);
    if (!TIFFGetField(tif.get(), TIFFTAG_PHOTOMETRIC, &l.photometric))
        l.photometric = l.samples >= 3 ? PHOTOMETRIC_RGB : PHOTOMETRIC_MINISBLACK;
    l.colours = l.photometric == PHOTOMETRIC_RGB         ? 3
                : l.photometric == PHOTOMETRIC_SEPARATED ? 4
                                                         : 1;
    if (l.photometric == PHOTOMETRIC_PALETTE &&
        !TIFFGetField(tif.get(), TIFFTAG_COLORMAP, &l.map[0], &l.map[1], &l.map[2]))
        l.map[0] = nullptr;
    std::uint16_t extraCount = 0;
    std::uint16_t* extraKinds = nullptr;
    TIFFGetFieldDefaulted(tif.get(), TIFFTAG_EXTRASAMPLES, &extraCount, &extraKinds);
    if (l.samples < l.colours)
        throw DecodeError("The TIFF file is damaged: " + std::to_string(l.samples) +
                          " samples per pixel");
    if (l.samples > l.colours && extraCount >= 1 && extraKinds) {
        // Like libtiff's own reader: an unspecified extra sample beside colour is alpha.
        const std::uint16_t kind = extraKinds[0];
        if (kind == EXTRASAMPLE_ASSOCALPHA || kind == EXTRASAMPLE_UNASSALPHA ||
            (kind == EXTRASAMPLE_UNSPECIFIED && l.samples > 3)) {
            l.alpha = l.colours;
            l.premultiplied = kind != EXTRASAMPLE_UNASSALPHA;
        }
    }
    check(s);
    checkSizes(tif.get(), l);
    out.begin(l.width, l.height, true);
    if (readByScanline(tif.get(), l))
        readScanlines(tif.get(), s, l, out);
    else
        readRgba(tif.get(), s, l, out);
    check(s);
}

} // namespace logosmith::decoders
