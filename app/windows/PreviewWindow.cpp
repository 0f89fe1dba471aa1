#include "app/windows/PreviewWindow.h"

#include "app/windows/PictureView.h"
#include "app/windows/ZoomArea.h"
#include "platform/SettingsStore.h"
#include "platform/widgets/FormStorage.h"
#include "separation/controls/ColourControlsModel.h"

#include <QKeyEvent>
#include <QVBoxLayout>

using logosmith::ColourControlsModel;

namespace {

const QString group = QStringLiteral("previewwindow");
const QString zoomName = QStringLiteral("Zoom");

} // namespace

PreviewWindow::PreviewWindow(const ColourControlsModel& pictures, logosmith::SettingsStore& store,
                             QWidget* parent)
    : QWidget(parent, Qt::Window), pictures_(pictures), store_(store) {
    setObjectName("PreviewForm");
    setWindowTitle("Preview");
    view_ = new PictureView();
    view_->setObjectName("PreviewImage");
    view_->setCenter(true);
    zoom_ = new ZoomArea(view_, this);
    zoom_->setObjectName("PreviewZoom");
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(zoom_);
    resize(640, 480);
    connect(&pictures_, &ColourControlsModel::drawPreview, this, [this] {
        if (isVisible())
            view_->redraw(pictures_.preview());
    });
    // A value this program did not write is Fit.
    const QString stored = store_.readText(group, zoomName, QStringLiteral("0"));
    zoom_->setZoom(stored.toInt());
    connect(zoom_, &ZoomArea::zoomChanged, this, [this](int percent) {
        store_.writeText(group, zoomName, QString::number(percent));
    });
    formStorage_ = new FormStorage(this, store_, group, {});
}

PreviewWindow::~PreviewWindow() {
    formStorage_->windowDestroying();
}

void PreviewWindow::showModeless() {
    view_->redraw(pictures_.preview());
    show();
    raise();
    activateWindow();
}

void PreviewWindow::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Plus:
    case Qt::Key_Equal:
        zoom_->zoomIn();
        return;
    case Qt::Key_Minus:
        zoom_->zoomOut();
        return;
    default:
        QWidget::keyPressEvent(event);
    }
}
