#include "app/windows/PictureView.h"

#include "separation/loader/PictureLoader.h"

#include <QPainter>
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
        drawing_ = toQImage(picture);
    }
    update();
}

void PictureView::clear() {
    drawing_ = QImage();
    update();
}

void PictureView::setStretch(bool on) {
    if (on == stretch_)
        return;
    stretch_ = on;
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
    if (stretch_) {
        painter.drawImage(rect(), drawing_);
        return;
    }
    QPoint at(0, 0);
    if (center_)
        at = QPoint((width() - drawing_.width()) / 2, (height() - drawing_.height()) / 2);
    painter.drawImage(at, drawing_);
}

QImage previewPictureFile(const QString& path) {
    return toQImage(logosmith::decodePictureFile(path.toStdString()));
}
