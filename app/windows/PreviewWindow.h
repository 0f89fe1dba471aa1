#pragma once

#include <QWidget>

class FormStorage;
class PictureView;
class ZoomArea;

namespace logosmith {
class ColourControlsModel;
class SettingsStore;
} // namespace logosmith

// "Preview": the two-colour preview in a window of its own that can be made as large as the
// screen, zoomed like the main window's (Ctrl + wheel, + and -). It follows every change of the
// colour controls; its place, size and zoom survive restarts (settings group "previewwindow").
class PreviewWindow : public QWidget {
    Q_OBJECT
  public:
    PreviewWindow(const logosmith::ColourControlsModel& pictures, logosmith::SettingsStore& store,
                  QWidget* parent = nullptr);
    ~PreviewWindow() override;

    void showModeless();

  protected:
    void keyPressEvent(QKeyEvent* event) override;

  private:
    const logosmith::ColourControlsModel& pictures_;
    logosmith::SettingsStore& store_;
    PictureView* view_ = nullptr;
    ZoomArea* zoom_ = nullptr;
    FormStorage* formStorage_ = nullptr;
};
