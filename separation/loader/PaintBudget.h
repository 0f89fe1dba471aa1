#pragma once

#include <QPaintDevice>
#include <QPainterPath>
#include <QPen>
#include <QRectF>
#include <QSize>
#include <QTransform>

#include <cstdint>
#include <exception>
#include <memory>
#include <string>
#include <vector>

namespace logosmith::decoders {

// What a metafile may make us do. A tiny file can ask for a huge canvas, thousands of
// full-canvas fills or polygons whose edges cross on every row (Qt's scan converter sorts the
// crossings of each row, so its time grows with their square); these limits keep every file
// to well under two seconds and a few hundred megabytes.
struct MetafileLimits {
    // The largest canvas drawn: a 4096 x 4096 picture, more than an A0 page at 96 dpi.
    static constexpr std::int64_t maxCanvasPixels = 16LL * 1024 * 1024;
    // Records played per file; a 1 MB file holds at most about 175 000.
    static constexpr std::int64_t maxRecords = 1'000'000;
    // Painting work per file, in units of one pixel of a solid fill (about half a nanosecond
    // here): some sixty fills of the largest canvas.
    static constexpr std::int64_t maxWork = 1'000'000'000;
};

// Throws DecodeError naming `format` when a canvas of width x height is beyond the limit.
void checkCanvasSize(const std::string& format, std::int64_t width, std::int64_t height);

// Counts the painting a metafile asks for against MetafileLimits::maxWork, in device pixels of
// a canvas of the given size, and throws DecodeError naming `format` once it is spent. The cost
// model follows Qt's raster engine: the covered area for fills, the square of the edges
// crossing each row for polygons, the length for thin lines, the target area for images.
class PaintBudget {
  public:
    // `spent` carries on from another budget (another canvas of the same file); every charge
    // counts `repeats` times, for drawing that is done that often.
    PaintBudget(std::string format, QSize canvas, std::int64_t spent = 0, int repeats = 1);

    // A record played: a small fixed cost, and at most MetafileLimits::maxRecords of them.
    void chargeRecord();
    // A path drawn with a transform, pen and brush as QPainter would draw it. Antialiased
    // drawing (the SVG renderer always asks for it) goes through another rasterizer, which
    // walks every edge in full, however far it runs outside the canvas.
    void chargeShape(const QPainterPath& path, const QTransform& transform, const QPen& pen,
                     const QBrush& brush, bool antialiased = false);
    // An image drawn into a target rectangle (logical coordinates); sourcePixels is the size
    // of the picture that has to be decoded or scaled for it.
    void chargeImage(const QRectF& target, const QTransform& transform, std::int64_t sourcePixels);
    void charge(std::int64_t units);

    std::int64_t spent() const { return spent_; }

  private:
    [[noreturn]] void exhausted() const;
    void chargeEdges(const std::vector<QPolygonF>& polygons, double grow, int edgesPerSegment,
                     bool closed);
    void chargeLines(const std::vector<QPolygonF>& polygons);
    void chargeEdgeLengths(const std::vector<QPolygonF>& polygons, double grow);
    void chargeArea(QRectF bounds, int weight);

    std::string format_;
    QSize canvas_;
    std::int64_t spent_ = 0;
    std::int64_t repeats_ = 1;
    std::int64_t records_ = 0;
    std::vector<std::int64_t> rowEdges_;
};

// A paint device that draws nothing and charges every drawing call of a QPainter to a budget:
// a metafile renderer we cannot interrupt draws into it first, and onto the real canvas only
// when the whole picture fits the budget. Errors are never thrown through Qt's frames: the
// first one is kept, later calls are ignored, and rethrow() raises it once painting is over.
class PaintMeter : public QPaintDevice {
  public:
    PaintMeter(QSize size, PaintBudget& budget);
    ~PaintMeter() override;

    QPaintEngine* paintEngine() const override;
    void rethrow() const;

  protected:
    int metric(PaintDeviceMetric metric) const override;

  private:
    QSize size_;
    std::unique_ptr<QPaintEngine> engine_;
};

} // namespace logosmith::decoders
