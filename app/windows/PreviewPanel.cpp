#include "app/windows/PreviewPanel.h"

#include "app/state/AppState.h"
#include "app/state/EditorCommandModel.h"
#include "app/windows/EditorHandoff.h"
#include "app/windows/PictureView.h"
#include "app/windows/Placement.h"
#include "app/windows/ZoomArea.h"
#include "platform/ErrorGuard.h"
#include "platform/UserDialogs.h"
#include "separation/controls/ColourControlsModel.h"
#include "separation/picture/BmpFile.h"

#include <QCheckBox>
#include <QFrame>
#include <QPushButton>
#include <QSignalBlocker>

using namespace logosmith;

PreviewPanel::PreviewPanel(ColourControlsModel& pictures, EditorCommandModel& editor,
                           AppState& state, UserDialogs& dialogs, QWidget* parent)
    : QWidget(parent), pictures_(pictures), editor_(editor), state_(state), dialogs_(dialogs) {
    setObjectName("PreviewPanel");
    // Both views sit at the same place.
    auto* frame = place<QFrame>(this, "ImageFrame", 6, 0, 293, 237);
    frame->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    workingView_ = place<PictureView>(frame, "Image1", 2, 2, 289, 233);
    workingView_->hide();
    previewView_ = new PictureView();
    previewView_->setObjectName("Image2");
    zoom_ = new ZoomArea(previewView_, frame);
    zoom_->setObjectName("ImageZoom");
    zoom_->setGeometry(2, 2, 289, 233);
    connect(zoom_, &ZoomArea::zoomChanged, this, &PreviewPanel::zoomChanged);

    saveButton_ = place<QPushButton>(this, "btnSave", "Save Image", 8, 242, 93, 26);
    editButton_ = place<QPushButton>(this, "btnEdit", "Image Editor", 106, 242, 93, 26);
    centreButton_ = place<QPushButton>(this, "btnCenter", "Fit Center", 204, 242, 93, 26);
    stretchButton_ = place<QPushButton>(this, "btnScale", "Scale to Fit", 204, 274, 93, 26);
    stretchButton_->hide();
    fitScaleBox_ = place<QCheckBox>(this, "scaleCheckBox", "Fit Scale", 10, 274, 90, 24);
    updateBox_ = place<QCheckBox>(this, "UpdateCheckBox", "Update", 108, 274, 90, 24);
    auto* updateButton = place<QPushButton>(this, "Button15", "Update", 204, 274, 93, 26);
    // Until a picture is loaded there is nothing to save, edit or place.
    for (QPushButton* command : {saveButton_, editButton_, centreButton_, stretchButton_})
        command->setEnabled(false);

    ColourControlsModel* model = &pictures_;
    connectGuarded(saveButton_, &QPushButton::clicked, this, &PreviewPanel::saveImage);
    connectGuarded(editButton_, &QPushButton::clicked, this, &PreviewPanel::editImage);
    connectGuarded(centreButton_, &QPushButton::clicked, this, [model] { model->centre(); });
    connectGuarded(stretchButton_, &QPushButton::clicked, this, [model] { model->stretch(); });
    connectGuarded(updateButton, &QPushButton::clicked, this, [model] { model->updateNow(); });
    connectGuarded(fitScaleBox_, &QCheckBox::toggled, this,
                   [model](bool on) { model->setFitScale(on); });
    connectGuarded(updateBox_, &QCheckBox::toggled, this,
                   [model](bool on) { model->setUpdateTicked(on); });

    // The model's changes reach the views; these run inside the action that caused them.
    connect(model, &ColourControlsModel::changed, this, &PreviewPanel::showState);
    connect(model, &ColourControlsModel::drawWorking, this,
            [this] { workingView_->redraw(pictures_.working()); });
    connect(model, &ColourControlsModel::drawPreview, this,
            [this] { previewView_->redraw(pictures_.preview()); });
    connect(model, &ColourControlsModel::pictureLoaded, this, &PreviewPanel::enablePictureCommands);
    showState();
}

void PreviewPanel::showState() {
    const ColourControlsState& now = pictures_.state();
    const QSignalBlocker blockedFit(fitScaleBox_);
    const QSignalBlocker blockedUpdate(updateBox_);
    fitScaleBox_->setChecked(pictures_.settings().fitOnLoad);
    updateBox_->setChecked(now.updateTicked);
    for (PictureView* view : {workingView_, previewView_}) {
        view->setStretch(now.stretch);
        view->setCenter(now.center);
    }
}

void PreviewPanel::enablePictureCommands() {
    for (QPushButton* command : {saveButton_, editButton_, centreButton_, stretchButton_})
        command->setEnabled(true);
}

void PreviewPanel::saveImage() {
    const std::optional<QString> path = dialogs_.saveFile("Save Image", "bmp files (*.bmp)", "bmp");
    if (!path)
        return;
    state_.showPath(*path);
    writeBmpFile(pictures_.finishedPreview(), path->toStdString());
}

void PreviewPanel::editImage() {
    dialogs_.showMessage("This function only affects last image");
    const QString exchange = editorExchangeFile();
    writeBmpFile(pictures_.finishedPreview(), exchange.toStdString());
    if (!startEditor(editor_.command(), exchange))
        dialogs_.showMessage("Not found   " + editor_.command() +
                             ". Check Default Image Editor Setting ");
    // The person edits and saves in the editor, then presses OK here.
    dialogs_.showMessage("Logosmith will now update the last image!");
    pictures_.loadPicture(exchange.toStdString());
}

int PreviewPanel::zoom() const {
    return zoom_->zoom();
}

void PreviewPanel::setZoom(int percent) {
    zoom_->setZoom(percent);
}

void PreviewPanel::zoomIn() {
    zoom_->zoomIn();
}

void PreviewPanel::zoomOut() {
    zoom_->zoomOut();
}
