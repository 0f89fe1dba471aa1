#include "app/windows/PictureView.h"

#include "separation/loader/PictureLoader.h"

#include <QPainter>
#include <cmath>
#include <cstring>

QImage toQImage(const logosmith::Picture& picture) {
    if (picture.isEmpty())
        return QImage();
    // Our rows are packed blue, green, red: the same bytes as Qt's BGR888, so the view's copy
    // is one block copy per picture, not a conversion per pixel.
    const QImage view(picture.bytes(), picture.width(), picture.height(),
                      qsizetype(picture.rowBytes()), QImage::Format_BGR888);
    return view.copy();
}

PictureView::PictureView(QWidget* parent) : QWidget(parent) {}

void PictureView::redraw(const logosmith::Picture& picture) {
    // A slider drag redraws the same size again and again: refill the drawing in place rather
    // than allocate (and fault in) a fresh image for every move.
    if (!picture.isEmpty() && drawing_.width() == picture.width() &&
        drawing_.height() == picture.height() && drawing_.format() == QImage::Format_BGR888) {
        const std::size_t rowBytes = picture.rowBytes();
        for (int y = 0; y < picture.height(); ++y)
            std::memcpy(drawing_.scanLine(y), picture.row(y), rowBytes);
    } else {
        const QSize before = drawing_.size();
        drawing_ = toQImage(picture);
        if (drawing_.size() != before)
            emit drawingResized();
    }
    update();
}

void PictureView::clear() {
    const bool had = !drawing_.isNull();
    drawing_ = QImage();
    if (had)
        emit drawingResized();
    update();
}

void PictureView::setScale(double scale) {
    if (scale == scale_ || !(scale > 0))
        return;
    scale_ = scale;
    update();
}

QRectF PictureView::drawingRect() const {
    if (stretch_)
        return QRectF(rect());
    const QSizeF size = QSizeF(drawing_.size()) * scale_;
    QPointF at(0, 0);
    if (center_) {
        // Whole device pixels, so every dot keeps its width.
        const double ratio = devicePixelRatioF();
        at = QPointF(std::floor((width() - size.width()) / 2 * ratio) / ratio,
                     std::floor((height() - size.height()) / 2 * ratio) / ratio);
    }
    return QRectF(at, size);
}

void PictureView::setStretch(bool on) {
    if (on == stretch_)
        return;
    stretch_ = on;
    emit drawingResized();
    update();
}

void PictureView::setCenter(bool on) {
    if (on == center_)
        return;
    center_ = on;
    update();
}

void PictureView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), palette().window());
    if (drawing_.isNull())
        return;
    // Dots as blocks, never blended with their neighbours.
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter.drawImage(drawingRect(), drawing_);
}

QImage previewPictureFile(const QString& path) {
    return toQImage(logosmith::decodePictureFile(path.toStdString()));
}
