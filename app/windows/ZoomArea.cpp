#include "app/windows/ZoomArea.h"

#include "app/windows/PictureView.h"

#include <QScrollBar>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>

const std::vector<int>& ZoomArea::levels() {
    static const std::vector<int> all{100, 200, 300, 400, 600, 800};
    return all;
}

ZoomArea::ZoomArea(PictureView* view, QWidget* parent) : QScrollArea(parent), view_(view) {
    setFrameShape(QFrame::NoFrame);
    setWidget(view_);
    setWidgetResizable(false);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
    viewport()->installEventFilter(this);
    view_->installEventFilter(this);
    connect(view_, &PictureView::drawingResized, this, &ZoomArea::layOut);
    layOut();
}

double ZoomArea::dotWidth() const {
    const QSize drawing = view_->drawing().size();
    const double ratio = devicePixelRatioF();
    if (zoom_ == fit) {
        if (drawing.isEmpty())
            return 1.0;
        const double room = std::min(double(viewport()->width()) / drawing.width(),
                                     double(viewport()->height()) / drawing.height());
        // Whole device pixels a dot where the picture can grow; smaller, as small as it must.
        const double devicePixels = room * ratio >= 1 ? std::floor(room * ratio) : room * ratio;
        return devicePixels / ratio;
    }
    return std::max(1.0, std::round(zoom_ / 100.0 * ratio)) / ratio;
}

void ZoomArea::layOut() {
    const double dot = dotWidth();
    view_->setScale(dot);
    if (view_->stretch()) {
        view_->resize(viewport()->size());
        return;
    }
    const QSize drawn = (QSizeF(view_->drawing().size()) * dot).toSize();
    // Never smaller than the area, so centring still centres in the view.
    view_->resize(std::max(drawn.width(), viewport()->width()),
                  std::max(drawn.height(), viewport()->height()));
}

QPointF ZoomArea::dotAt(QPoint viewportPoint) const {
    const QPointF inView = QPointF(view_->mapFrom(viewport(), viewportPoint));
    const QRectF drawn = view_->drawingRect();
    return (inView - drawn.topLeft()) / view_->scale();
}

void ZoomArea::setZoom(int percent, std::optional<QPoint> keep) {
    if (percent != fit) {
        const auto& all = levels();
        percent = *std::min_element(all.begin(), all.end(), [percent](int a, int b) {
            return std::abs(a - percent) < std::abs(b - percent);
        });
    }
    const QPoint at = keep.value_or(viewport()->rect().center());
    const QPointF dot = dotAt(at);
    const bool changed = percent != zoom_;
    zoom_ = percent;
    layOut();
    // The dot that was under `at` goes back under it.
    const QPointF now = view_->drawingRect().topLeft() + dot * view_->scale();
    horizontalScrollBar()->setValue(int(std::lround(now.x() - at.x())));
    verticalScrollBar()->setValue(int(std::lround(now.y() - at.y())));
    if (changed)
        emit zoomChanged(zoom_);
}

void ZoomArea::zoomIn(std::optional<QPoint> keep) {
    const auto& all = levels();
    const double now = view_->scale() * 100;
    const auto next = std::find_if(all.begin(), all.end(), [&](int level) { return level > now + 1; });
    setZoom(next == all.end() ? all.back() : *next, keep);
}

void ZoomArea::zoomOut(std::optional<QPoint> keep) {
    const auto& all = levels();
    const double now = view_->scale() * 100;
    const auto lower =
        std::find_if(all.rbegin(), all.rend(), [&](int level) { return level < now - 1; });
    setZoom(lower == all.rend() ? fit : *lower, keep);
}

bool ZoomArea::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Wheel) {
        auto* wheel = static_cast<QWheelEvent*>(event);
        if (wheel->modifiers() & Qt::ControlModifier) {
            const QPoint at =
                viewport()->mapFrom(static_cast<QWidget*>(watched), wheel->position().toPoint());
            if (wheel->angleDelta().y() > 0)
                zoomIn(at);
            else if (wheel->angleDelta().y() < 0)
                zoomOut(at);
            return true;
        }
    }
    return QScrollArea::eventFilter(watched, event);
}

void ZoomArea::resizeEvent(QResizeEvent* event) {
    QScrollArea::resizeEvent(event);
    layOut();
}
