#pragma once

#include <QWidget>

class PictureView;
class ZoomArea;
class QCheckBox;
class QPushButton;

namespace logosmith {
class AppState;
class ColourControlsModel;
class EditorCommandModel;
class UserDialogs;
} // namespace logosmith

// The two-colour preview with its picture buttons ("Save Image", "Image Editor", "Fit Center")
// and boxes ("Fit Scale", "Update"). It shows the colour-controls model's pictures and display
// flags and hands it the person's changes.
class PreviewPanel : public QWidget {
    Q_OBJECT
  public:
    PreviewPanel(logosmith::ColourControlsModel& pictures, logosmith::EditorCommandModel& editor,
                 logosmith::AppState& state, logosmith::UserDialogs& dialogs, QWidget* parent);

    // "Save Image": the preview written as a BMP file, whatever the chosen name's extension.
    void saveImage();
    // "Image Editor": the preview handed to the external editor and the result loaded back.
    void editImage();
    // The preview's zoom: Fit (0) or 100 to 800 %, also by Ctrl + wheel over the preview.
    int zoom() const;
    void setZoom(int percent);
    void zoomIn();
    void zoomOut();

  signals:
    void zoomChanged(int percent);

  private:
    void showState();
    void enablePictureCommands();

    logosmith::ColourControlsModel& pictures_;
    logosmith::EditorCommandModel& editor_;
    logosmith::AppState& state_;
    logosmith::UserDialogs& dialogs_;
    // The working picture's view is never shown; the preview's view is.
    PictureView* workingView_ = nullptr;
    PictureView* previewView_ = nullptr;
    ZoomArea* zoom_ = nullptr;
    QPushButton* saveButton_ = nullptr;
    QPushButton* editButton_ = nullptr;
    QPushButton* centreButton_ = nullptr;
    QPushButton* stretchButton_ = nullptr;
    QCheckBox* fitScaleBox_ = nullptr;
    QCheckBox* updateBox_ = nullptr;
};
