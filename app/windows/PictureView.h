#pragma once

#include "separation/picture/Picture.h"

#include <QImage>
#include <QWidget>

// A picture box: shows the drawing it was last given, at the top left or centred, or
// stretched to the box. The drawing changes only when redraw() is called, so a preview
// recomputed while "Update" is off stays unseen until the next redraw.
class PictureView : public QWidget {
    Q_OBJECT
  public:
    explicit PictureView(QWidget* parent = nullptr);

    void redraw(const logosmith::Picture& picture);
    void clear();

    void setStretch(bool on);
    void setCenter(bool on);
    bool stretch() const { return stretch_; }
    bool center() const { return center_; }
    // How wide a dot is drawn, in the widget's pixels (1: one dot per pixel).
    void setScale(double scale);
    double scale() const { return scale_; }
    // Where the drawing is in the widget, and its size there.
    QRectF drawingRect() const;

    // What is on screen now (tests compare it with the preview).
    const QImage& drawing() const { return drawing_; }

  signals:
    // The drawing has another size than before.
    void drawingResized();

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QImage drawing_;
    bool stretch_ = false;
    bool center_ = false;
    double scale_ = 1.0;
};

QImage toQImage(const logosmith::Picture& picture);

// What the picture open dialog previews: the file read by the program's own loader, so the
// preview is what a load gives. Throws as a load does.
QImage previewPictureFile(const QString& path);
