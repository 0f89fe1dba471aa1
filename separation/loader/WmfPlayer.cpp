#include "separation/loader/WmfPlayer.h"

#include "platform/core/Error.h"
#include "separation/loader/BmpDecoder.h"
#include "separation/loader/ByteReader.h"
#include "separation/loader/PaintBudget.h"
#include "separation/loader/QtImageDecoder.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>

#include <cmath>
#include <cstdlib>
#include <functional>
#include <optional>
#include <queue>
#include <string>
#include <vector>

namespace logosmith::decoders {

namespace {

constexpr std::uint32_t placeableKey = 0x9AC6CDD7;
constexpr std::size_t placeableBytes = 22;
constexpr std::size_t headerBytes = 18;

enum Function : std::uint16_t {
    fnEof = 0x0000,
    fnSaveDc = 0x001E,
    fnSetBkMode = 0x0102,
    fnSetPolyFillMode = 0x0106,
    fnRestoreDc = 0x0127,
    fnSelectObject = 0x012D,
    fnDeleteObject = 0x01F0,
    fnSetBkColor = 0x0201,
    fnSetWindowOrg = 0x020B,
    fnSetWindowExt = 0x020C,
    fnLineTo = 0x0213,
    fnMoveTo = 0x0214,
    fnCreatePenIndirect = 0x02FA,
    fnCreateBrushIndirect = 0x02FC,
    fnPolygon = 0x0324,
    fnPolyline = 0x0325,
    fnEllipse = 0x0418,
    fnRectangle = 0x041B,
    fnPolyPolygon = 0x0538,
    fnRoundRect = 0x061C,
    fnDibStretchBlt = 0x0B41,
    fnStretchDib = 0x0F43,
    // Records that create objects we do not draw with still take a slot in the object table.
    fnCreatePalette = 0x00F7,
    fnDibCreatePatternBrush = 0x0142,
    fnCreatePatternBrush = 0x01F9,
    fnCreateFontIndirect = 0x02FB,
    fnCreateRegion = 0x06FF,
};

[[noreturn]] void truncated() {
    throw DecodeError("The WMF file is truncated");
}
[[noreturn]] void damaged(const std::string& what) {
    throw DecodeError("The WMF file is damaged: " + what);
}

QColor colourRef(std::uint32_t value) {
    return QColor(int(value & 0xFF), int((value >> 8) & 0xFF), int((value >> 16) & 0xFF));
}

struct Record {
    std::size_t at = 0;     // first byte of the record
    std::size_t params = 0; // first byte of its parameters
    std::size_t paramBytes = 0;
    std::uint16_t function = 0;
};

struct Layout {
    int width = 0;
    int height = 0;
    QPointF windowOrg;
    QSizeF windowExt;
    std::uint16_t objectCount = 0;
    std::vector<Record> records; // up to, not including, the end-of-file record
};

Layout readLayout(const ByteReader& in) {
    Layout layout;
    std::size_t pos = 0;
    std::optional<QRectF> box;
    int unitsPerInch = 0;
    if (in.size() >= 4 && in.u32(0) == placeableKey) {
        if (!in.fits(0, placeableBytes + headerBytes))
            truncated();
        const int left = in.s16(6), top = in.s16(8), right = in.s16(10), bottom = in.s16(12);
        unitsPerInch = in.u16(14);
        if (unitsPerInch == 0)
            damaged("its units per inch are 0");
        box = QRectF(left, top, right - left, bottom - top);
        pos = placeableBytes;
    }
    if (!in.fits(pos, headerBytes))
        throw DecodeError(in.size() < headerBytes ? "The file is not a WMF picture"
                                                  : "The WMF file is truncated");
    const std::uint16_t type = in.u16(pos);
    if ((type != 1 && type != 2) || in.u16(pos + 2) != 9)
        throw DecodeError("The file is not a WMF picture");
    // The header's file size is not checked: writers count it with or without the placeable
    // header. What matters is that every record up to the end record lies inside the file.
    layout.objectCount = in.u16(pos + 10);
    pos += headerBytes;

    std::optional<QSizeF> firstExt;
    std::optional<QPointF> firstOrg;
    for (;;) {
        if (!in.fits(pos, 6))
            truncated();
        const std::uint64_t bytes = std::uint64_t(in.u32(pos)) * 2;
        const std::uint16_t function = in.u16(pos + 4);
        if (bytes < 6)
            damaged("record at byte " + std::to_string(pos) + " is " + std::to_string(bytes) +
                    " bytes long");
        if (bytes > in.size() - pos)
            truncated();
        if (function == fnEof)
            break;
        Record r{pos, pos + 6, std::size_t(bytes) - 6, function};
        if (function == fnSetWindowExt && r.paramBytes >= 4 && !firstExt)
            firstExt = QSizeF(in.s16(r.params + 2), in.s16(r.params));
        if (function == fnSetWindowOrg && r.paramBytes >= 4 && !firstOrg)
            firstOrg = QPointF(in.s16(r.params + 2), in.s16(r.params));
        layout.records.push_back(r);
        pos += std::size_t(bytes);
    }

    std::int64_t width = 0, height = 0;
    if (box) {
        width = std::llround(std::abs(box->width()) * 96.0 / unitsPerInch);
        height = std::llround(std::abs(box->height()) * 96.0 / unitsPerInch);
        layout.windowOrg = box->topLeft();
        layout.windowExt = box->size();
    } else if (firstExt) {
        width = std::int64_t(std::abs(firstExt->width()));
        height = std::int64_t(std::abs(firstExt->height()));
        layout.windowOrg = firstOrg.value_or(QPointF());
        layout.windowExt = *firstExt;
    }
    if (width <= 0 || height <= 0)
        damaged("it does not report its size");
    Picture::checkSize(width, height);
    checkCanvasSize("WMF", width, height);
    layout.width = int(width);
    layout.height = int(height);
    return layout;
}

struct GdiObject {
    enum class Kind { Pen, Brush, Other } kind = Kind::Other;
    QPen pen;
    QBrush brush;
};

struct DrawingState {
    QPen pen{QBrush(Qt::black), 0.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin};
    QBrush brush{Qt::white};
    QColor background{Qt::white};
    bool opaqueBackground = true;
    Qt::FillRule fillRule = Qt::OddEvenFill;
    QPointF windowOrg;
    QSizeF windowExt;
    QPointF position;
};

class Player {
  public:
    Player(const ByteReader& in, const Layout& layout, QPainter& painter)
        : in_(in), layout_(layout), painter_(painter), objects_(layout.objectCount),
          budget_("WMF", QSize(layout.width, layout.height)) {
        for (std::size_t slot = 0; slot < objects_.size(); ++slot)
            freeSlots_.push(slot);
        state_.windowOrg = layout.windowOrg;
        state_.windowExt = layout.windowExt;
    }

    void play() {
        applyState();
        for (const Record& r : layout_.records) {
            record_ = &r;
            budget_.chargeRecord();
            playRecord(r);
        }
    }

  private:
    void need(std::size_t bytes) const {
        if (record_->paramBytes < bytes)
            damaged("record at byte " + std::to_string(record_->at) + " is too short");
    }
    std::int16_t word(std::size_t index) const { return in_.s16(record_->params + index * 2); }
    std::uint16_t uword(std::size_t index) const { return in_.u16(record_->params + index * 2); }
    std::uint32_t dword(std::size_t index) const { return in_.u32(record_->params + index * 2); }

    void applyState() {
        QTransform t;
        const double sx =
            state_.windowExt.width() == 0 ? 1 : layout_.width / state_.windowExt.width();
        const double sy =
            state_.windowExt.height() == 0 ? 1 : layout_.height / state_.windowExt.height();
        t.scale(sx, sy);
        t.translate(-state_.windowOrg.x(), -state_.windowOrg.y());
        painter_.setTransform(t);
        painter_.setPen(state_.pen);
        painter_.setBrush(state_.brush);
        painter_.setBackground(state_.background);
        painter_.setBackgroundMode(state_.opaqueBackground ? Qt::OpaqueMode : Qt::TransparentMode);
    }

    // Points stored as (x, y) pairs from word `first` on.
    QPolygonF points(std::size_t first, std::size_t count) const {
        QPolygonF polygon;
        polygon.reserve(qsizetype(count));
        for (std::size_t i = 0; i < count; ++i)
            polygon << QPointF(word(first + i * 2), word(first + i * 2 + 1));
        return polygon;
    }

    // Rectangles are stored bottom, right, top, left from word `first` on.
    QRectF box(std::size_t first) const {
        const double bottom = word(first), right = word(first + 1), top = word(first + 2),
                     left = word(first + 3);
        return QRectF(QPointF(left, top), QPointF(right, bottom)).normalized();
    }

    // A new object takes the lowest free slot; a file of a million records may create and
    // delete in a table of 65535 slots, so finding it must not walk the table.
    void addObject(GdiObject object) {
        if (freeSlots_.empty()) {
            if (objects_.size() >= 65535)
                damaged("too many objects");
            objects_.push_back(std::move(object)); // the header undercounted; be forgiving
            return;
        }
        objects_[freeSlots_.top()] = std::move(object);
        freeSlots_.pop();
    }
    void deleteObject(std::size_t index) {
        if (index < objects_.size() && objects_[index]) {
            objects_[index].reset();
            freeSlots_.push(index);
        }
    }

    // Charges the budget for a shape about to be drawn with the painter's pen and, when
    // filled, its brush.
    void charge(const QPainterPath& path, bool filled = true) {
        budget_.chargeShape(path, painter_.transform(), painter_.pen(),
                            filled ? painter_.brush() : QBrush(Qt::NoBrush));
    }
    void charge(const QPolygonF& polygon, bool filled) {
        QPainterPath path;
        path.addPolygon(polygon);
        if (filled)
            path.closeSubpath();
        charge(path, filled);
    }

    void drawBitmap(std::size_t dibWord, QRectF target, QRectF source) {
        const std::size_t dibAt = record_->params + dibWord * 2;
        const std::size_t dibBytes = record_->paramBytes - dibWord * 2;
        // What the bitmap claims is paid for before it is decoded.
        const std::int64_t pixels = packedDibPixels(in_.data() + dibAt, dibBytes);
        if (pixels > MetafileLimits::maxCanvasPixels)
            damaged("a bitmap of " + std::to_string(pixels) + " pixels");
        budget_.chargeImage(target, painter_.transform(), pixels);
        const Picture bitmap = decodePackedDib(in_.data() + dibAt, dibBytes);
        const QImage image(bitmap.bytes(), bitmap.width(), bitmap.height(),
                           qsizetype(bitmap.rowBytes()), QImage::Format_BGR888);
        painter_.drawImage(target, image, source);
    }

    void playRecord(const Record& r) {
        switch (r.function) {
        case fnSaveDc:
            if (saved_.size() < 1024)
                saved_.push_back(state_);
            break;
        case fnRestoreDc: {
            need(2);
            const int which = word(0);
            std::size_t keep = saved_.size();
            if (which < 0)
                keep = std::size_t(-which) > saved_.size() ? saved_.size() + 1
                                                           : saved_.size() - std::size_t(-which);
            else if (which > 0)
                keep = std::size_t(which - 1);
            if (keep < saved_.size()) {
                state_ = saved_[keep];
                saved_.resize(keep);
                applyState();
            }
            break;
        }
        case fnSetBkMode:
            need(2);
            state_.opaqueBackground = uword(0) == 2;
            applyState();
            break;
        case fnSetBkColor:
            need(4);
            state_.background = colourRef(dword(0));
            applyState();
            break;
        case fnSetPolyFillMode:
            need(2);
            state_.fillRule = uword(0) == 2 ? Qt::WindingFill : Qt::OddEvenFill;
            break;
        case fnSetWindowOrg:
            need(4);
            state_.windowOrg = QPointF(word(1), word(0));
            applyState();
            break;
        case fnSetWindowExt:
            need(4);
            if (word(0) != 0 && word(1) != 0)
                state_.windowExt = QSizeF(word(1), word(0));
            applyState();
            break;
        case fnCreatePenIndirect: {
            need(10);
            GdiObject pen;
            pen.kind = GdiObject::Kind::Pen;
            const int style = uword(0) & 0x0F;
            const int width = word(1);
            pen.pen = QPen(QBrush(colourRef(dword(3))), width <= 0 ? 0.0 : double(width),
                           Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
            static constexpr Qt::PenStyle styles[] = {Qt::SolidLine,      Qt::DashLine,
                                                      Qt::DotLine,        Qt::DashDotLine,
                                                      Qt::DashDotDotLine, Qt::NoPen};
            pen.pen.setStyle(style < 6 ? styles[style] : Qt::SolidLine);
            pen.pen.setCosmetic(width <= 0);
            addObject(pen);
            break;
        }
        case fnCreateBrushIndirect: {
            need(8);
            GdiObject brush;
            brush.kind = GdiObject::Kind::Brush;
            const int style = uword(0);
            const QColor colour = colourRef(dword(1));
            static constexpr Qt::BrushStyle hatches[] = {Qt::HorPattern,   Qt::VerPattern,
                                                         Qt::FDiagPattern, Qt::BDiagPattern,
                                                         Qt::CrossPattern, Qt::DiagCrossPattern};
            if (style == 1)
                brush.brush = QBrush(Qt::NoBrush);
            else if (style == 2)
                brush.brush = QBrush(colour, uword(3) < 6 ? hatches[uword(3)] : Qt::SolidPattern);
            else
                brush.brush = QBrush(colour);
            addObject(brush);
            break;
        }
        case fnCreatePalette:
        case fnDibCreatePatternBrush:
        case fnCreatePatternBrush:
        case fnCreateFontIndirect:
        case fnCreateRegion:
            addObject(GdiObject{});
            break;
        case fnSelectObject: {
            need(2);
            const std::size_t index = uword(0);
            if (index < objects_.size() && objects_[index]) {
                if (objects_[index]->kind == GdiObject::Kind::Pen)
                    state_.pen = objects_[index]->pen;
                else if (objects_[index]->kind == GdiObject::Kind::Brush)
                    state_.brush = objects_[index]->brush;
                applyState();
            }
            break;
        }
        case fnDeleteObject:
            need(2);
            deleteObject(uword(0));
            break;
        case fnMoveTo:
            need(4);
            state_.position = QPointF(word(1), word(0));
            break;
        case fnLineTo: {
            need(4);
            const QPointF to(word(1), word(0));
            QPainterPath line(state_.position);
            line.lineTo(to);
            charge(line, false);
            painter_.drawLine(state_.position, to);
            state_.position = to;
            break;
        }
        case fnRectangle:
            need(8);
            charge(QPolygonF(box(0)), true);
            painter_.drawRect(box(0));
            break;
        case fnEllipse: {
            need(8);
            QPainterPath ellipse;
            ellipse.addEllipse(box(0));
            charge(ellipse);
            painter_.drawEllipse(box(0));
            break;
        }
        case fnRoundRect: {
            need(12);
            const QRectF bounds = box(2);
            const double rx = std::abs(word(1)) / 2.0, ry = std::abs(word(0)) / 2.0;
            QPainterPath rounded;
            rounded.addRoundedRect(bounds, rx, ry);
            charge(rounded);
            painter_.drawRoundedRect(bounds, rx, ry);
            break;
        }
        case fnPolygon:
        case fnPolyline: {
            need(2);
            const std::size_t count = uword(0);
            need(2 + count * 4);
            const QPolygonF polygon = points(1, count);
            charge(polygon, r.function == fnPolygon);
            if (r.function == fnPolygon)
                painter_.drawPolygon(polygon, state_.fillRule);
            else
                painter_.drawPolyline(polygon);
            break;
        }
        case fnPolyPolygon: {
            need(2);
            const std::size_t polygons = uword(0);
            need(2 + polygons * 2);
            std::size_t total = 0;
            for (std::size_t i = 0; i < polygons; ++i)
                total += uword(1 + i);
            need(2 + polygons * 2 + total * 4);
            QPainterPath path;
            path.setFillRule(state_.fillRule);
            std::size_t next = 1 + polygons;
            for (std::size_t i = 0; i < polygons; ++i) {
                const std::size_t count = uword(1 + i);
                QPolygonF polygon = points(next, count);
                if (!polygon.isEmpty()) {
                    path.addPolygon(polygon);
                    path.closeSubpath();
                }
                next += count * 2;
            }
            charge(path);
            painter_.drawPath(path);
            break;
        }
        case fnStretchDib: {
            // raster op, usage, source h, w, y, x, target h, w, y, x, then the bitmap
            need(22);
            const QRectF source(word(6), word(5), word(4), word(3));
            const QRectF target(word(10), word(9), word(8), word(7));
            drawBitmap(11, target, source);
            break;
        }
        case fnDibStretchBlt: {
            // raster op, source h, w, y, x, target h, w, y, x, then the bitmap; a record
            // without a bitmap is a plain fill that we skip
            need(20);
            if (r.paramBytes == 22)
                break;
            const QRectF source(word(5), word(4), word(3), word(2));
            const QRectF target(word(9), word(8), word(7), word(6));
            drawBitmap(10, target, source);
            break;
        }
        default:
            break; // text, regions, clipping and rarer records are not drawn
        }
    }

    const ByteReader& in_;
    const Layout& layout_;
    QPainter& painter_;
    std::vector<std::optional<GdiObject>> objects_;
    std::priority_queue<std::size_t, std::vector<std::size_t>, std::greater<>> freeSlots_;
    DrawingState state_;
    std::vector<DrawingState> saved_;
    const Record* record_ = nullptr;
    PaintBudget budget_;
};

} // namespace

WmfSize wmfSize(const std::uint8_t* data, std::size_t size) {
    const Layout layout = readLayout(ByteReader(data, size, "The WMF file is truncated"));
    return WmfSize{layout.width, layout.height};
}

Picture playWmf(const std::uint8_t* data, std::size_t size) {
    const ByteReader in(data, size, "The WMF file is truncated");
    const Layout layout = readLayout(in);
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        throw DecodeError("Metafiles can only be drawn inside a graphical program");
    QImage canvas(layout.width, layout.height, QImage::Format_RGB32);
    canvas.fill(Qt::white);
    {
        QPainter painter(&canvas);
        Player player(in, layout, painter);
        player.play();
    }
    return pictureOnWhite(canvas);
}

} // namespace logosmith::decoders
