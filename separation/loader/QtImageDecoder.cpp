#include "separation/loader/QtImageDecoder.h"

#include "platform/core/Error.h"
#include "separation/loader/ByteReader.h"

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QImageReader>

#include <algorithm>
#include <string>

namespace logosmith::decoders {

namespace {

[[noreturn]] void gifTruncated() {
    throw DecodeError("The GIF file is truncated");
}
[[noreturn]] void icoTruncated() {
    throw DecodeError("The icon file is truncated");
}

// Skips a chain of GIF data sub-blocks starting at pos; returns the offset after the
// terminating empty block.
std::size_t skipSubBlocks(const ByteReader& in, std::size_t pos) {
    for (;;) {
        if (!in.fits(pos, 1))
            gifTruncated();
        const std::size_t length = in.u8(pos);
        ++pos;
        if (length == 0)
            return pos;
        if (!in.fits(pos, length))
            gifTruncated();
        pos += length;
    }
}

void checkGifStructure(const ByteReader& in) {
    if (in.size() < 6 || (std::string(reinterpret_cast<const char*>(in.data()), 6) != "GIF87a" &&
                          std::string(reinterpret_cast<const char*>(in.data()), 6) != "GIF89a"))
        throw DecodeError("The file is not a GIF picture");
    if (!in.fits(6, 7))
        gifTruncated();
    const int width = in.u16(6);
    const int height = in.u16(8);
    if (width == 0 || height == 0)
        throw DecodeError("The GIF file is damaged: its screen has no pixels");
    Picture::checkSize(width, height);
    const int flags = in.u8(10);
    std::size_t pos = 13;
    if (flags & 0x80)
        pos += 3u << ((flags & 7) + 1);
    for (;;) {
        if (!in.fits(pos, 1))
            gifTruncated();
        const int introducer = in.u8(pos);
        if (introducer == 0x21) { // extension: label, then sub-blocks
            if (!in.fits(pos, 2))
                gifTruncated();
            pos = skipSubBlocks(in, pos + 2);
        } else if (introducer == 0x2C) { // the first frame
            if (!in.fits(pos, 10))
                gifTruncated();
            const int frameFlags = in.u8(pos + 9);
            pos += 10;
            if (frameFlags & 0x80)
                pos += 3u << ((frameFlags & 7) + 1);
            if (!in.fits(pos, 1)) // the LZW code size
                gifTruncated();
            skipSubBlocks(in, pos + 1);
            return;
        } else if (introducer == 0x3B) {
            throw DecodeError("The GIF file holds no picture");
        } else {
            throw DecodeError("The GIF file is damaged: unknown block " +
                              std::to_string(introducer));
        }
    }
}

struct IconChoice {
    int index = -1;
};

IconChoice checkIcoStructure(const ByteReader& in) {
    static const std::uint8_t signature[4] = {0, 0, 1, 0};
    if (in.size() < 6) {
        // A few bytes that start like an icon are a cut icon, anything else is not one.
        for (std::size_t i = 0; i < in.size() && i < 4; ++i)
            if (in.u8(i) != signature[i] && !(i == 2 && in.u8(i) == 2))
                throw DecodeError("The file is not an icon");
        icoTruncated();
    }
    if (in.u16(0) != 0 || (in.u16(2) != 1 && in.u16(2) != 2))
        throw DecodeError("The file is not an icon");
    const int count = in.u16(4);
    if (count == 0)
        throw DecodeError("The icon file holds no picture");
    if (!in.fits(6, std::size_t(count) * 16))
        icoTruncated();
    IconChoice best;
    long bestArea = -1;
    int bestDepth = -1;
    for (int i = 0; i < count; ++i) {
        const std::size_t e = 6 + std::size_t(i) * 16;
        const int w = in.u8(e) == 0 ? 256 : in.u8(e);
        const int h = in.u8(e + 1) == 0 ? 256 : in.u8(e + 1);
        const int depth = in.u16(e + 6);
        const std::uint32_t bytes = in.u32(e + 8);
        const std::uint32_t offset = in.u32(e + 12);
        if (bytes == 0 || !in.fits(offset, bytes))
            icoTruncated();
        if (long(w) * h > bestArea || (long(w) * h == bestArea && depth > bestDepth)) {
            best.index = i;
            bestArea = long(w) * h;
            bestDepth = depth;
        }
    }
    return best;
}

QImage readWithQt(const std::uint8_t* data, std::size_t size, const char* format, int index,
                  const char* what) {
    const QByteArray bytes =
        QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    limitQtImageAllocations();
    QImageReader reader(&buffer, format);
    reader.setDecideFormatFromContent(false);
    if (index > 0 && !reader.jumpToImage(index))
        throw DecodeError(std::string("The ") + what +
                          " file is damaged: " + reader.errorString().toStdString());
    const QSize claimed = reader.size();
    if (claimed.isValid())
        Picture::checkSize(claimed.width(), claimed.height());
    QImage image;
    if (!reader.read(&image) || image.isNull())
        throw DecodeError(std::string("The ") + what +
                          " file is damaged: " + reader.errorString().toStdString());
    return image;
}

} // namespace

void limitQtImageAllocations() {
    // 32 million 32-bit pixels: with our 24-bit copy far below half a gigabyte.
    static const bool limited = [] {
        QImageReader::setAllocationLimit(128);
        return true;
    }();
    (void)limited;
}

Picture pictureOnWhite(const QImage& image) {
    PictureBuilder out;
    out.begin(image.width(), image.height(), true);
    out.putImage(image);
    return out.finish();
}

static void putQtImage(const QImage& image, PictureBuilder& out) {
    out.begin(image.width(), image.height(), true);
    out.putImage(image);
}

void decodeGif(ByteSource& in, PictureBuilder& out) {
    const std::uint8_t* data = in.all();
    checkGifStructure(ByteReader(data, in.size(), "The GIF file is truncated"));
    putQtImage(readWithQt(data, in.size(), "gif", 0, "GIF"), out);
}

void decodeIco(ByteSource& in, PictureBuilder& out) {
    const std::uint8_t* data = in.all();
    const IconChoice choice =
        checkIcoStructure(ByteReader(data, in.size(), "The icon file is truncated"));
    putQtImage(readWithQt(data, in.size(), "ico", choice.index, "icon"), out);
}

} // namespace logosmith::decoders
