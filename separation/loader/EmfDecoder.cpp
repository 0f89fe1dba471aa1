#include "separation/loader/EmfDecoder.h"

#include "platform/core/Error.h"
#include "separation/loader/ByteReader.h"
#include "separation/loader/QtImageDecoder.h"

#include <QByteArray>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>

#include <cmath>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include <emf2svg.h>

namespace logosmith::decoders {

namespace {

constexpr std::uint32_t recordHeader = 1;
constexpr std::uint32_t recordEof = 14;
constexpr std::uint32_t emfSignature = 0x464D4520; // " EMF"
constexpr std::size_t minimumHeaderBytes = 88;

[[noreturn]] void truncated() {
    throw DecodeError("The EMF file is truncated");
}
[[noreturn]] void damaged(const std::string& what) {
    throw DecodeError("The EMF file is damaged: " + what);
}

void checkHeader(const ByteReader& in) {
    if (in.size() < 8 || in.u32(0) != recordHeader)
        throw DecodeError("The file is not an EMF picture");
    if (in.size() < minimumHeaderBytes)
        truncated();
    if (in.u32(40) != emfSignature)
        throw DecodeError("The file is not an EMF picture");
    const std::uint32_t headerBytes = in.u32(4);
    if (headerBytes < minimumHeaderBytes || headerBytes % 4 != 0)
        damaged("its header claims " + std::to_string(headerBytes) + " bytes");
    if (!in.fits(0, headerBytes))
        truncated();
}

// Walks the records from the header to the end-of-file record; returns the byte count up to
// and including it.
std::size_t checkRecordChain(const ByteReader& in) {
    std::size_t pos = 0;
    for (;;) {
        if (!in.fits(pos, 8))
            truncated();
        const std::uint32_t type = in.u32(pos);
        const std::uint32_t bytes = in.u32(pos + 4);
        if (bytes < 8 || bytes % 4 != 0)
            damaged("record at byte " + std::to_string(pos) + " has a size of " +
                    std::to_string(bytes));
        if (!in.fits(pos, bytes))
            truncated();
        if (pos > 0 && type == recordHeader)
            damaged("a second header at byte " + std::to_string(pos));
        pos += bytes;
        if (type == recordEof)
            return pos;
    }
}

} // namespace

MetafileSize emfSize(const std::uint8_t* data, std::size_t size) {
    const ByteReader in(data, size);
    checkHeader(in);
    auto side = [&](std::size_t low, std::size_t high) {
        return std::int64_t(in.s32(high)) - std::int64_t(in.s32(low));
    };
    // The frame is in 0.01 mm; 2540 of them make an inch of 96 pixels.
    std::int64_t width = std::llround(double(side(24, 32)) * 96.0 / 2540.0);
    std::int64_t height = std::llround(double(side(28, 36)) * 96.0 / 2540.0);
    if (width <= 0 || height <= 0) {
        width = side(8, 16) + 1; // bounds are inclusive device pixels
        height = side(12, 20) + 1;
    }
    if (width <= 0 || height <= 0)
        damaged("it reports no size");
    Picture::checkSize(width, height);
    return MetafileSize{int(width), int(height)};
}

Picture decodeEmf(const std::uint8_t* data, std::size_t size) {
    const MetafileSize target = emfSize(data, size);
    const std::size_t used = checkRecordChain(ByteReader(data, size));
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        throw DecodeError("Metafiles can only be drawn inside a graphical program");

    std::vector<char> records(data, data + used);
    generatorOptions options{};
    char svgNamespace[] = "";
    options.nameSpace = svgNamespace;
    options.verbose = false;
    options.emfplus = true;
    options.svgDelimiter = true;
    options.imgWidth = target.width;
    options.imgHeight = target.height;
    char* svg = nullptr;
    std::size_t svgLength = 0;
    const int ok = emf2svg(records.data(), records.size(), &svg, &svgLength, &options);
    const std::unique_ptr<char, decltype(&std::free)> svgOwner(svg, &std::free);
    if (!ok || svg == nullptr || svgLength == 0)
        damaged("its records cannot be drawn");

    QSvgRenderer renderer(QByteArray(svg, qsizetype(svgLength)));
    if (!renderer.isValid())
        damaged("its records cannot be drawn");
    QImage canvas(target.width, target.height, QImage::Format_RGB32);
    canvas.fill(Qt::white);
    {
        QPainter painter(&canvas);
        renderer.render(&painter, QRectF(0, 0, target.width, target.height));
    }
    return pictureOnWhite(canvas);
}

} // namespace logosmith::decoders
