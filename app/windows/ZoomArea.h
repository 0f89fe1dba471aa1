#pragma once

#include <QPointF>
#include <QScrollArea>
#include <optional>
#include <vector>

class PictureView;

// A picture view that zooms: Fit (as large as the area shows whole) or 100 to 800 %, each dot
// drawn as a whole block of device pixels, so no dot is ever blurred, on any screen. Ctrl + wheel
// steps the zoom and keeps the dot under the pointer where it was.
class ZoomArea : public QScrollArea {
    Q_OBJECT
  public:
    static constexpr int fit = 0;
    // The zoom levels in percent, after Fit.
    static const std::vector<int>& levels();

    // Takes the view as its widget.
    ZoomArea(PictureView* view, QWidget* parent);

    int zoom() const { return zoom_; }
    // fit or one of levels() (another value is taken to the nearest level); `keep`, a point of
    // the viewport, keeps the dot under it in place.
    void setZoom(int percent, std::optional<QPoint> keep = std::nullopt);
    void zoomIn(std::optional<QPoint> keep = std::nullopt);
    void zoomOut(std::optional<QPoint> keep = std::nullopt);
    // The dot of the drawing under a point of the viewport, in dots from its top left.
    QPointF dotAt(QPoint viewportPoint) const;

  signals:
    void zoomChanged(int percent);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    void layOut();
    double dotWidth() const;

    PictureView* view_;
    int zoom_ = 100;
};
