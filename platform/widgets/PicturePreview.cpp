#include "platform/widgets/PicturePreview.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QPixmap>
#include <exception>

namespace logosmith {

namespace {
constexpr int paneWidth = 200;
constexpr int paneHeight = 200;
} // namespace

PicturePreview::PicturePreview(Decoder decoder, QWidget* parent)
    : QLabel(parent), decoder_(std::move(decoder)) {
    setObjectName("picturePreview");
    setFixedSize(paneWidth, paneHeight);
    setAlignment(Qt::AlignCenter);
    setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
}

void PicturePreview::showFile(const QString& path) {
    picture_ = QImage();
    if (decoder_ && QFileInfo(path).isFile()) {
        try {
            picture_ = decoder_(path);
        } catch (const std::exception&) {
            // A file the program would refuse to load has nothing to preview.
            picture_ = QImage();
        }
    }
    if (picture_.isNull()) {
        clear();
        return;
    }
    const QSize room = contentsRect().size();
    const QImage shown = picture_.width() > room.width() || picture_.height() > room.height()
                             ? picture_.scaled(room, Qt::KeepAspectRatio, Qt::SmoothTransformation)
                             : picture_;
    setPixmap(QPixmap::fromImage(shown));
}

PicturePreview* attachPicturePreview(QFileDialog& dialog, PicturePreview::Decoder decoder) {
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    auto* preview = new PicturePreview(std::move(decoder), &dialog);
    if (auto* grid = qobject_cast<QGridLayout*>(dialog.layout()))
        grid->addWidget(preview, 0, grid->columnCount(), grid->rowCount(), 1);
    QObject::connect(&dialog, &QFileDialog::currentChanged, preview, &PicturePreview::showFile);
    return preview;
}

} // namespace logosmith
