#include "separation/loader/SvgDecoder.h"

#include "platform/core/Error.h"
#include "separation/loader/ChildDraw.h"
#include "separation/loader/PaintBudget.h"
#include "separation/loader/QtImageDecoder.h"

#include <QByteArray>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>

namespace logosmith::decoders {

namespace {

// The renderer cannot be stopped half-way: it draws into a meter first.
void meter(QSvgRenderer& renderer, QSize canvas, PaintBudget& budget) {
    PaintMeter meter(canvas, budget);
    QPainter painter(&meter);
    renderer.render(&painter, QRectF(QPointF(0, 0), QSizeF(canvas)));
    painter.end();
    meter.rethrow();
}

} // namespace

void putCanvas(const QImage& canvas, PictureBuilder& out) {
    Picture& picture = out.output();
    for (int y = 0; y < picture.height(); ++y) {
        const auto* in = reinterpret_cast<const std::uint32_t*>(canvas.constScanLine(y));
        std::uint8_t* dst = picture.row(y);
        for (int x = 0; x < picture.width(); ++x, dst += 3)
            composeOnWhite(in[x] | 0xFF000000u, dst);
    }
}

void drawSvg(const std::uint8_t* data, std::size_t size, const SvgInspection& inspection,
             PictureBuilder& out) {
    out.begin(inspection.size.width, inspection.size.height, true);
    const QSize canvasSize(out.output().width(), out.output().height());
    checkCanvasSize("SVG", canvasSize.width(), canvasSize.height());
    if (canvasSize.isEmpty())
        return;
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        throw DecodeError("SVG pictures can only be drawn inside a graphical program");
    limitQtImageAllocations();
    // Qt draws an embedded document on a canvas of its own size, each time it reads the
    // document around it. Those came before it in the list, and were measured already.
    std::int64_t spent = 0, pixels = 0;
    for (const EmbeddedSvg& embedded : inspection.embedded) {
        QSvgRenderer renderer(embedded.document);
        const QSize canvas = renderer.defaultSize();
        if (!renderer.isValid() || canvas.isEmpty())
            continue; // Qt draws nothing of it
        const int drawings = svgDrawings(embedded.level);
        checkCanvasSize("SVG", canvas.width(), canvas.height());
        pixels += std::int64_t(canvas.width()) * canvas.height() * drawings;
        if (pixels > MetafileLimits::maxCanvasPixels)
            throw DecodeError("The SVG file asks for too much: more than 16 million pixels of "
                              "embedded pictures");
        PaintBudget budget("SVG", canvas, spent, drawings);
        budget.charge(std::int64_t(canvas.width()) * canvas.height());
        meter(renderer, canvas, budget);
        spent = budget.spent();
    }
    QSvgRenderer renderer(
        QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size)));
    if (!renderer.isValid())
        throw DecodeError("The SVG file is damaged: Qt's renderer cannot read it");
    PaintBudget budget("SVG", canvasSize, spent);
    meter(renderer, canvasSize, budget);
    // Everything fits: onto the canvas.
    QImage canvas(canvasSize, QImage::Format_RGB32);
    canvas.fill(Qt::white);
    {
        QPainter painter(&canvas);
        renderer.render(&painter, QRectF(QPointF(0, 0), QSizeF(canvasSize)));
    }
    putCanvas(canvas, out);
}

void decodeSvg(ByteSource& in, PictureBuilder& out) {
    const std::uint8_t* data = in.all();
    const std::size_t size = in.size();
    // The inspection runs in the child too, so that one set of limits covers a file that is
    // slow to inspect and then slow to draw.
    drawInChild("SVG", out, [&](PictureBuilder& picture) {
        drawSvg(data, size, inspectSvg(data, size), picture);
    });
}

} // namespace logosmith::decoders
