#include "PictureView.h"

#include <QPainter>

QImage toQImage(const logosmith::Picture& picture) {
    QImage image(picture.width(), picture.height(), QImage::Format_RGB888);
    for (int y = 0; y < picture.height(); ++y) {
        const std::uint8_t* in = picture.row(y);
        uchar* out = image.scanLine(y);
        for (int x = 0; x < picture.width(); ++x, in += 3, out += 3) {
            out[0] = in[2];
            out[1] = in[1];
            out[2] = in[0];
        }
    }
    return image;
}

PictureView::PictureView(QWidget* parent) : QWidget(parent) {}

void PictureView::redraw(const logosmith::Picture& picture) {
    drawing_ = toQImage(picture);
    update();
}

void PictureView::clear() {
    drawing_ = QImage();
    update();
}

void PictureView::setStretch(bool on) {
    stretch_ = on;
    update();
}

void PictureView::setCenter(bool on) {
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
