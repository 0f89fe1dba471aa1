#include "separation/loader/EmfDecoder.h"

#include "platform/core/Error.h"
#include "separation/loader/ByteReader.h"
#include "separation/loader/PaintBudget.h"
#include "separation/loader/QtImageDecoder.h"

#include <QByteArray>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>

#include <algorithm>
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
// Cost of one bitmap pixel, in solid-fill pixels: the converter writes it into a compressed
// PNG picture, which the SVG renderer then decodes again.
constexpr std::int64_t bitmapWeight = 200;
// Cost of one byte of the SVG text the converter writes, which Qt then parses.
constexpr std::int64_t svgByteWeight = 16;

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

// Where the records that carry a bitmap keep its header offset (then its size, the pixels'
// offset and their size); 0 ends each list. Mask bitmaps come second.
struct BitmapRecord {
    std::uint32_t type;
    std::size_t fields[2];
};
constexpr BitmapRecord bitmapRecords[] = {
    {76, {84, 0}},   // bit block transfer
    {77, {84, 0}},   // stretched block transfer
    {78, {84, 112}}, // masked block transfer
    {79, {96, 124}}, // parallelogram block transfer
    {80, {48, 0}},   // bits to device
    {81, {48, 0}},   // stretched bits
    {93, {16, 0}},   // monochrome brush
    {94, {16, 0}},   // bitmap pattern brush
    {114, {84, 0}},  // alpha blend
    {116, {84, 0}},  // transparent block transfer
};

// The converter turns every bitmap into a PNG picture (slow per pixel) and trusts its sizes;
// a bitmap is checked against its record and paid for before the converter sees it.
void checkBitmap(const ByteReader& in, std::size_t record, std::size_t bytes, std::size_t fields,
                 PaintBudget& budget) {
    if (fields + 16 > bytes)
        damaged("record at byte " + std::to_string(record) + " is too short");
    const std::uint64_t headerAt = in.u32(record + fields),
                        headerBytes = in.u32(record + fields + 4);
    const std::uint64_t bitsAt = in.u32(record + fields + 8),
                        bitsBytes = in.u32(record + fields + 12);
    if (headerBytes == 0)
        return; // a fill without a bitmap
    if (headerAt + headerBytes > bytes || bitsAt + bitsBytes > bytes || headerBytes < 12)
        damaged("a bitmap at byte " + std::to_string(record) + " lies outside its record");
    const std::size_t at = record + std::size_t(headerAt);
    const bool core = in.u32(at) == 12;
    if (!core && headerBytes < 40)
        damaged("a bitmap header at byte " + std::to_string(record) + " is too short");
    const std::int64_t width = core ? in.u16(at + 4) : std::abs(std::int64_t(in.s32(at + 4)));
    const std::int64_t height = core ? in.u16(at + 6) : std::abs(std::int64_t(in.s32(at + 8)));
    const int bits = core ? in.u16(at + 10) : in.u16(at + 14);
    const std::uint32_t compression = core ? 0 : in.u32(at + 16);
    if (width * height > MetafileLimits::maxCanvasPixels)
        damaged("a bitmap of " + std::to_string(width) + " x " + std::to_string(height) +
                " pixels");
    if (compression == 1 || compression == 2)
        throw DecodeError("The EMF file holds a run-length compressed bitmap, which cannot be "
                          "drawn");
    if (compression == 0 || compression == 3) {
        const std::int64_t stride = ((width * bits + 31) / 32) * 4;
        if (stride * height > std::int64_t(bitsBytes))
            damaged("a bitmap at byte " + std::to_string(record) + " is larger than its data");
    }
    budget.charge(width * height * bitmapWeight);
}

// Walks the records from the header to the end-of-file record, checking the bitmaps and
// paying for every record; returns the byte count up to and including the end record.
std::size_t checkRecordChain(const ByteReader& in, PaintBudget& budget) {
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
        budget.chargeRecord();
        for (const BitmapRecord& r : bitmapRecords)
            if (r.type == type)
                for (std::size_t fields : r.fields)
                    if (fields != 0)
                        checkBitmap(in, pos, bytes, fields, budget);
        pos += bytes;
        if (type == recordEof)
            return pos;
    }
}

} // namespace

MetafileSize emfSize(const std::uint8_t* data, std::size_t size) {
    const ByteReader in(data, size, "The EMF file is truncated");
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
    checkCanvasSize("EMF", target.width, target.height);
    const QSize canvasSize(target.width, target.height);
    PaintBudget budget("EMF", canvasSize);
    const std::size_t used =
        checkRecordChain(ByteReader(data, size, "The EMF file is truncated"), budget);
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        throw DecodeError("Metafiles can only be drawn inside a graphical program");
    limitQtImageAllocations();

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

    budget.charge(std::int64_t(std::min<std::size_t>(svgLength, std::size_t(1) << 40)) *
                  svgByteWeight);
    QSvgRenderer renderer(QByteArray(svg, qsizetype(svgLength)));
    if (!renderer.isValid())
        damaged("its records cannot be drawn");
    // The renderer cannot be stopped half-way: it draws into a meter first, and onto the
    // canvas only when everything it draws fits the budget.
    {
        PaintMeter meter(canvasSize, budget);
        QPainter painter(&meter);
        renderer.render(&painter, QRectF(0, 0, target.width, target.height));
        painter.end();
        meter.rethrow();
    }
    QImage canvas(target.width, target.height, QImage::Format_RGB32);
    canvas.fill(Qt::white);
    {
        QPainter painter(&canvas);
        renderer.render(&painter, QRectF(0, 0, target.width, target.height));
    }
    return pictureOnWhite(canvas);
}

} // namespace logosmith::decoders
