#include "separation/loader/EmfDecoder.h"

#include "platform/core/Error.h"
#include "separation/loader/ByteReader.h"
#include "separation/loader/PaintBudget.h"
#include "separation/loader/QtImageDecoder.h"
#include "separation/loader/SvgInspection.h"

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
constexpr std::uint32_t recordExtTextOutA = 83;
constexpr std::uint32_t recordExtTextOutW = 84;
constexpr std::uint32_t recordSmallTextOut = 108;
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
    if (headerBytes >= 100) {
        const std::uint64_t formatBytes = in.u32(88), formatAt = in.u32(92);
        if (formatBytes != 0 && formatAt + formatBytes > headerBytes)
            damaged("its pixel format lies outside its header");
    }
}

// The converter reads the header's description as two strings: the first up to its end mark,
// then the second, of the header's character count or up to its own end mark. Both must end
// within the bytes it is given.
void checkDescription(const ByteReader& in, std::size_t limit) {
    const std::size_t at = in.u32(64);
    const std::size_t chars = in.u32(60);
    if (at == 0)
        return;
    auto endMark = [&](std::size_t from) {
        std::size_t p = from;
        while (p + 2 <= limit && in.u16(p) != 0)
            p += 2;
        if (p + 2 > limit)
            damaged("its description has no end");
        return p + 2;
    };
    if (at < minimumHeaderBytes || at % 2 != 0 || at >= limit)
        damaged("its description lies outside the file");
    const std::size_t second = endMark(at);
    if (chars == 0)
        endMark(second);
    else if (chars > limit / 2 || at + 2 * chars > limit || second + 2 * chars > limit)
        damaged("its description runs past the file");
}

// The converter copies a text record's characters (and their spacing) from where the record
// says they are; they must lie inside it.
void checkText(const ByteReader& in, std::size_t record, std::uint32_t type, std::uint64_t bytes) {
    auto inside = [&](std::uint64_t at, std::uint64_t count) { return at + count <= bytes; };
    bool sound = true;
    if (type == recordExtTextOutA || type == recordExtTextOutW) {
        if (bytes < 76)
            sound = false;
        else {
            const std::uint64_t chars = in.u32(record + 44), textAt = in.u32(record + 48);
            const std::uint64_t spacingAt = in.u32(record + 72);
            sound = inside(textAt, chars * (type == recordExtTextOutW ? 2 : 1)) &&
                    (spacingAt == 0 || inside(spacingAt, chars * 4));
        }
    } else if (type == recordSmallTextOut) {
        if (bytes < 36)
            sound = false;
        else {
            const std::uint64_t chars = in.u32(record + 16), options = in.u32(record + 20);
            const std::uint64_t textAt = (options & 0x100) ? 36 : 52;
            sound = inside(textAt, chars * ((options & 0x200) ? 1 : 2));
        }
    }
    if (!sound)
        damaged("the text of the record at byte " + std::to_string(record) + " lies outside it");
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
        checkText(in, pos, type, bytes);
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
    const ByteReader in(data, size, "The EMF file is truncated");
    const std::size_t used = checkRecordChain(in, budget);
    checkDescription(in, used);
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
    // The converter copies text into the SVG as it is, so a text record can write elements of
    // its own: the SVG is inspected like an SVG file, and may hold no SVG document of its own.
    SvgInspection inspection;
    try {
        inspection = inspectSvg(reinterpret_cast<const std::uint8_t*>(svg), svgLength);
    } catch (const DecodeError& e) {
        const std::string reason = e.what(), svgFile = "The SVG file ";
        if (reason.rfind(svgFile, 0) != 0)
            damaged("its records cannot be drawn");
        throw DecodeError("The EMF file, converted to SVG, " + reason.substr(svgFile.size()));
    }
    if (!inspection.embedded.empty())
        damaged("its text holds an SVG picture");
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
