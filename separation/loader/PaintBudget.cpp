#include "separation/loader/PaintBudget.h"

#include "platform/core/Error.h"

#include <QImage>
#include <QPaintEngine>
#include <QPainter>
#include <QPixmap>
#include <QPolygonF>
#include <QTextItem>

#include <algorithm>
#include <cmath>

namespace logosmith::decoders {

namespace {

// Relative costs measured on Qt's raster engine, in solid-fill pixels.
constexpr std::int64_t patternWeight = 10; // hatched, gradient or textured brushes
constexpr std::int64_t crossingWeight = 8; // per edge crossing, squared per row
constexpr std::int64_t lineWeight = 32;    // per pixel of a thin line
constexpr std::int64_t imageWeight = 6;    // per target pixel of a scaled image
constexpr std::int64_t sourceWeight = 4;   // per pixel of a picture decoded for drawing
constexpr std::int64_t recordWeight = 256; // per record, whatever it does
constexpr double coordinateLimit = 1e9;    // beyond any canvas; keeps the sums finite
// Antialiased drawing: about eight times the cost of a plain fill per pixel, and its edges are
// walked row by row even outside the canvas (a microsecond a row there).
constexpr std::int64_t smoothWeight = 8;
constexpr std::int64_t smoothEdgeWeight = 100;
constexpr std::int64_t smoothOutsideWeight = 2000;

// A coordinate made finite and bounded, so that NaN and huge values cannot poison the sums.
double tame(double v) {
    if (!(v > -coordinateLimit))
        return -coordinateLimit;
    return v < coordinateLimit ? v : coordinateLimit;
}

// How much the transform stretches a length, at most.
double stretch(const QTransform& t) {
    return tame(std::max(std::hypot(t.m11(), t.m12()), std::hypot(t.m21(), t.m22())));
}

std::int64_t toUnits(double value) {
    const double limit = double(MetafileLimits::maxWork) * 4;
    if (!(value > 0))
        return 0;
    return value < limit ? std::int64_t(value) : std::int64_t(limit);
}

// The length of a segment inside a rectangle (Liang-Barsky clipping).
double clippedLength(QPointF a, QPointF b, const QRectF& box) {
    double t0 = 0, t1 = 1;
    const double dx = b.x() - a.x(), dy = b.y() - a.y();
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {a.x() - box.left(), box.right() - a.x(), a.y() - box.top(),
                         box.bottom() - a.y()};
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0) {
            if (q[i] < 0)
                return 0;
            continue;
        }
        const double r = q[i] / p[i];
        if (p[i] < 0)
            t0 = std::max(t0, r);
        else
            t1 = std::min(t1, r);
        if (t0 > t1)
            return 0;
    }
    return (t1 - t0) * std::hypot(dx, dy);
}

std::vector<QPolygonF> devicePolygons(const QPainterPath& path, const QTransform& transform) {
    std::vector<QPolygonF> out;
    for (QPolygonF polygon : path.toSubpathPolygons(transform)) {
        for (QPointF& p : polygon)
            p = QPointF(tame(p.x()), tame(p.y()));
        out.push_back(std::move(polygon));
    }
    return out;
}

QRectF boundsOf(const std::vector<QPolygonF>& polygons) {
    QRectF bounds;
    for (const QPolygonF& polygon : polygons)
        bounds = bounds.united(polygon.boundingRect());
    return bounds;
}

} // namespace

void checkCanvasSize(const std::string& format, std::int64_t width, std::int64_t height) {
    if (width > MetafileLimits::maxCanvasPixels || height > MetafileLimits::maxCanvasPixels ||
        width * height > MetafileLimits::maxCanvasPixels)
        throw DecodeError("The " + format + " picture is too large to draw (" +
                          std::to_string(width) + " x " + std::to_string(height) +
                          " pixels; at most " + std::to_string(MetafileLimits::maxCanvasPixels) +
                          " pixels)");
}

PaintBudget::PaintBudget(std::string format, QSize canvas, std::int64_t spent, int repeats)
    : format_(std::move(format)), canvas_(canvas), spent_(spent), repeats_(repeats),
      rowEdges_(std::size_t(std::max(0, canvas.height())) + 1, 0) {}

void PaintBudget::exhausted() const {
    throw DecodeError("The " + format_ + " file asks for too much drawing (more than " +
                      std::to_string(MetafileLimits::maxWork / 1'000'000) +
                      " million pixels' worth)");
}

void PaintBudget::charge(std::int64_t units) {
    spent_ += std::max<std::int64_t>(units, 0) * repeats_;
    if (spent_ > MetafileLimits::maxWork)
        exhausted();
}

void PaintBudget::chargeRecord() {
    if (++records_ > MetafileLimits::maxRecords)
        throw DecodeError("The " + format_ + " file has too many records (more than " +
                          std::to_string(MetafileLimits::maxRecords) + ")");
    charge(recordWeight);
}

void PaintBudget::chargeArea(QRectF bounds, int weight) {
    const QRectF covered = bounds.intersected(QRectF(QPointF(0, 0), QSizeF(canvas_)));
    if (covered.isEmpty())
        return;
    charge(toUnits(covered.width() * covered.height() * weight));
}

void PaintBudget::chargeEdges(const std::vector<QPolygonF>& polygons, double grow,
                              int edgesPerSegment, bool closed) {
    const int rows = canvas_.height();
    int first = rows, last = 0;
    std::int64_t segments = 0;
    auto addEdge = [&](QPointF a, QPointF b) {
        ++segments;
        const double low = std::min(a.y(), b.y()) - grow;
        const double high = std::max(a.y(), b.y()) + grow;
        if (!(high >= 0) || !(low < rows))
            return; // above or below the canvas: clipped before scan conversion
        const int top = low > 0 ? int(low) : 0;
        const int bottom = high < rows - 1 ? int(high) + 1 : rows;
        rowEdges_[std::size_t(top)] += edgesPerSegment;
        rowEdges_[std::size_t(bottom)] -= edgesPerSegment;
        first = std::min(first, top);
        last = std::max(last, bottom);
    };
    for (const QPolygonF& polygon : polygons) {
        for (qsizetype i = 1; i < polygon.size(); ++i)
            addEdge(polygon[i - 1], polygon[i]);
        if (closed && polygon.size() > 2 && polygon.first() != polygon.last())
            addEdge(polygon.last(), polygon.first());
    }
    charge(segments);
    // Every row between the first and last touched is visited once and left at zero again.
    std::int64_t crossings = 0, work = 0;
    bool over = false;
    for (int row = first; row <= last && row <= rows; ++row) {
        crossings += rowEdges_[std::size_t(row)];
        rowEdges_[std::size_t(row)] = 0;
        if (!over) {
            work += crossings * crossings * crossingWeight + 1;
            over = work > MetafileLimits::maxWork;
        }
    }
    charge(over ? MetafileLimits::maxWork + 1 : work);
}

void PaintBudget::chargeLines(const std::vector<QPolygonF>& polygons) {
    const QRectF box(QPointF(-1, -1), QSizeF(canvas_) + QSizeF(2, 2));
    double length = 0;
    for (const QPolygonF& polygon : polygons)
        for (qsizetype i = 1; i < polygon.size(); ++i)
            length += clippedLength(polygon[i - 1], polygon[i], box) + 1;
    charge(toUnits(length * lineWeight));
}

void PaintBudget::chargeEdgeLengths(const std::vector<QPolygonF>& polygons, double grow) {
    const QRectF box = QRectF(QPointF(0, 0), QSizeF(canvas_)).adjusted(-grow, -grow, grow, grow);
    double inside = 0, outside = 0;
    for (const QPolygonF& polygon : polygons)
        for (qsizetype i = 0; i < polygon.size(); ++i) {
            const QPointF a = polygon[i], b = polygon[(i + 1) % polygon.size()];
            const double length = std::hypot(b.x() - a.x(), b.y() - a.y());
            const double in = clippedLength(a, b, box);
            inside += in;
            outside += std::max(0.0, length - in);
        }
    charge(toUnits(inside * smoothEdgeWeight) + toUnits(outside * smoothOutsideWeight));
}

void PaintBudget::chargeShape(const QPainterPath& path, const QTransform& transform,
                              const QPen& pen, const QBrush& brush, bool antialiased) {
    charge(path.elementCount());
    const std::vector<QPolygonF> polygons = devicePolygons(path, transform);
    const QRectF bounds = boundsOf(polygons);
    const int smooth = antialiased ? smoothWeight : 1;
    if (brush.style() != Qt::NoBrush) {
        chargeEdges(polygons, 0, 1, true);
        chargeArea(bounds, (brush.style() == Qt::SolidPattern ? 1 : patternWeight) * smooth);
        if (antialiased)
            chargeEdgeLengths(polygons, 0);
    }
    if (pen.style() == Qt::NoPen)
        return;
    const double width = pen.isCosmetic() || pen.widthF() == 0 ? std::max(1.0, pen.widthF())
                                                               : pen.widthF() * stretch(transform);
    if (antialiased) {
        // Outlined, then filled smoothly: both sides of every segment.
        const double half = tame(std::max(width, 1.0) / 2);
        chargeEdges(polygons, half, 4, false);
        chargeEdgeLengths(polygons, half);
        chargeEdgeLengths(polygons, half);
        chargeArea(bounds.adjusted(-half, -half, half, half), smoothWeight);
        return;
    }
    if (width <= 1.5) {
        chargeLines(polygons);
        return;
    }
    // A wide pen is an outline filled like a polygon: two sides and a join per segment.
    const double half = tame(width / 2);
    chargeEdges(polygons, half, 4, false);
    chargeArea(bounds.adjusted(-half, -half, half, half),
               pen.brush().style() == Qt::SolidPattern ? 1 : patternWeight);
}

void PaintBudget::chargeImage(const QRectF& target, const QTransform& transform,
                              std::int64_t sourcePixels) {
    charge(sourcePixels * sourceWeight);
    QPainterPath path;
    path.addRect(target);
    const std::vector<QPolygonF> polygons = devicePolygons(path, transform);
    chargeArea(boundsOf(polygons), imageWeight);
}

namespace {

// Sees every drawing call with the painter's state and charges it; draws nothing.
class MeterEngine : public QPaintEngine {
  public:
    explicit MeterEngine(PaintBudget& budget) : QPaintEngine(AllFeatures), budget_(budget) {}

    std::exception_ptr error() const { return error_; }

    bool begin(QPaintDevice*) override { return true; }
    bool end() override { return true; }
    Type type() const override { return User; }

    void updateState(const QPaintEngineState& changed) override {
        const DirtyFlags dirty = changed.state();
        if (dirty & DirtyTransform)
            transform_ = changed.transform();
        if (dirty & DirtyPen)
            pen_ = changed.pen();
        if (dirty & DirtyBrush)
            brush_ = changed.brush();
        if (dirty & DirtyHints)
            antialiased_ = changed.renderHints() & QPainter::Antialiasing;
    }

    void drawPath(const QPainterPath& path) override {
        guard([&] { budget_.chargeShape(path, transform_, pen_, brush_, antialiased_); });
    }
    void drawPolygon(const QPointF* points, int count, PolygonDrawMode mode) override {
        QPainterPath path;
        path.addPolygon(QPolygonF(QList<QPointF>(points, points + std::max(count, 0))));
        if (mode == PolylineMode) {
            guard([&] { budget_.chargeShape(path, transform_, pen_, Qt::NoBrush, antialiased_); });
            return;
        }
        path.closeSubpath();
        guard([&] { budget_.chargeShape(path, transform_, pen_, brush_, antialiased_); });
    }
    void drawPolygon(const QPoint* points, int count, PolygonDrawMode mode) override {
        QPolygonF polygon;
        for (int i = 0; i < count; ++i)
            polygon << QPointF(points[i]);
        drawPolygon(polygon.constData(), int(polygon.size()), mode);
    }
    void drawRects(const QRectF* rects, int count) override {
        for (int i = 0; i < count; ++i) {
            QPainterPath path;
            path.addRect(rects[i]);
            drawPath(path);
        }
    }
    void drawRects(const QRect* rects, int count) override {
        for (int i = 0; i < count; ++i) {
            const QRectF rect(rects[i]);
            drawRects(&rect, 1);
        }
    }
    void drawEllipse(const QRectF& rect) override {
        QPainterPath path;
        path.addEllipse(rect);
        drawPath(path);
    }
    void drawEllipse(const QRect& rect) override { drawEllipse(QRectF(rect)); }
    void drawLines(const QLineF* lines, int count) override {
        QPainterPath path;
        for (int i = 0; i < count; ++i) {
            path.moveTo(lines[i].p1());
            path.lineTo(lines[i].p2());
        }
        guard([&] { budget_.chargeShape(path, transform_, pen_, Qt::NoBrush, antialiased_); });
    }
    void drawLines(const QLine* lines, int count) override {
        for (int i = 0; i < count; ++i) {
            const QLineF line(lines[i]);
            drawLines(&line, 1);
        }
    }
    void drawPoints(const QPointF*, int count) override {
        guard([&] { budget_.charge(count * 16LL); });
    }
    void drawPoints(const QPoint*, int count) override {
        guard([&] { budget_.charge(count * 16LL); });
    }
    void drawPixmap(const QRectF& r, const QPixmap&, const QRectF& sr) override {
        guard([&] { budget_.chargeImage(r, transform_, toUnits(sr.width() * sr.height())); });
    }
    void drawImage(const QRectF& r, const QImage&, const QRectF& sr,
                   Qt::ImageConversionFlags) override {
        guard([&] { budget_.chargeImage(r, transform_, toUnits(sr.width() * sr.height())); });
    }
    void drawTiledPixmap(const QRectF& r, const QPixmap&, const QPointF&) override {
        guard([&] { budget_.chargeImage(r, transform_, 0); });
    }
    void drawTextItem(const QPointF& p, const QTextItem& item) override {
        const QRectF box(p.x(), p.y() - item.ascent(), item.width(),
                         item.ascent() + item.descent());
        guard([&] { budget_.chargeImage(box, transform_, 0); });
        guard([&] { budget_.charge(item.text().size() * 64LL); });
    }

  private:
    // Runs a charge unless an earlier one failed, keeping its error for rethrow().
    template <class Charge> void guard(Charge&& charge) {
        if (error_)
            return;
        try {
            charge();
        } catch (...) {
            error_ = std::current_exception();
        }
    }

    PaintBudget& budget_;
    std::exception_ptr error_;
    QTransform transform_;
    QPen pen_;
    QBrush brush_;
    bool antialiased_ = false;
};

} // namespace

PaintMeter::PaintMeter(QSize size, PaintBudget& budget)
    : size_(size), engine_(std::make_unique<MeterEngine>(budget)) {}

PaintMeter::~PaintMeter() = default;

QPaintEngine* PaintMeter::paintEngine() const {
    return engine_.get();
}

void PaintMeter::rethrow() const {
    if (const std::exception_ptr error = static_cast<MeterEngine*>(engine_.get())->error())
        std::rethrow_exception(error);
}

int PaintMeter::metric(PaintDeviceMetric metric) const {
    switch (metric) {
    case PdmWidth:
        return size_.width();
    case PdmHeight:
        return size_.height();
    case PdmWidthMM:
        return int(std::lround(size_.width() * 25.4 / 96));
    case PdmHeightMM:
        return int(std::lround(size_.height() * 25.4 / 96));
    case PdmNumColors:
        return 0x7FFFFFFF;
    case PdmDepth:
        return 32;
    case PdmDpiX:
    case PdmDpiY:
    case PdmPhysicalDpiX:
    case PdmPhysicalDpiY:
        return 96;
    case PdmDevicePixelRatio:
        return 1;
    case PdmDevicePixelRatioScaled:
        return int(devicePixelRatioFScale());
    }
    return 0;
}

} // namespace logosmith::decoders
