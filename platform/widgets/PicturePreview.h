#pragma once

#include <QImage>
#include <QLabel>
#include <functional>

class QFileDialog;

namespace logosmith {

// The preview pane of the picture open dialog. It shows the file the person points at as the
// given decoder reads it, so the preview is exactly what a load would give; a file the decoder
// refuses (damaged, too large, not a picture) leaves the pane empty.
class PicturePreview : public QLabel {
    Q_OBJECT
  public:
    // Answers the picture of a file, or throws / gives a null image when it cannot.
    using Decoder = std::function<QImage(const QString& path)>;

    explicit PicturePreview(Decoder decoder, QWidget* parent = nullptr);

    // Shows the picture of the file scaled down to the pane (never up); a folder, a missing
    // file or a refused one shows nothing.
    void showFile(const QString& path);
    // The picture shown, at its own size; null when nothing is shown.
    const QImage& picture() const { return picture_; }

  private:
    Decoder decoder_;
    QImage picture_;
};

// Puts a preview pane beside a file dialog's list and has it follow the file pointed at. The
// dialog becomes Qt's own (a native one cannot carry the pane).
PicturePreview* attachPicturePreview(QFileDialog& dialog, PicturePreview::Decoder decoder);

} // namespace logosmith
