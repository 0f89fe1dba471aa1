#pragma once

#include <QWidget>
#include <array>

class QCheckBox;
class QLineEdit;
class QRadioButton;
class QScrollBar;
class Swatch;

namespace logosmith {
class ColourControlsModel;
class UserDialogs;
} // namespace logosmith

// The colour panels on the right of the main window: "Change Color Range" (the THRESHOLD, R
// VALUE and L VALUE sliders), "Cartridge Color" and "RGB control". They show the colour-controls
// model's state and hand it the person's changes; the model holds every rule.
class ColourControlsPanel : public QWidget {
    Q_OBJECT
  public:
    ColourControlsPanel(logosmith::ColourControlsModel& pictures, logosmith::UserDialogs& dialogs,
                        QWidget* parent);

  private:
    void buildRangePanel();
    void buildCartridgePanel();
    void buildRgbPanel();
    void connectControls();
    void showState();
    void chooseRCartridgeColour();
    void chooseLCartridgeColour();

    logosmith::ColourControlsModel& pictures_;
    logosmith::UserDialogs& dialogs_;

    QScrollBar* thresholdSlider_ = nullptr;
    QLineEdit* thresholdBox_ = nullptr;
    Swatch* thresholdSwatch_ = nullptr;
    QScrollBar* rValueSlider_ = nullptr;
    QLineEdit* rValueBox_ = nullptr;
    Swatch* rValueSwatch_ = nullptr;
    QScrollBar* lValueSlider_ = nullptr;
    QLineEdit* lValueBox_ = nullptr;
    Swatch* lValueSwatch_ = nullptr;

    Swatch* rCartridgeSwatch_ = nullptr;
    QLineEdit* rCartridgeName_ = nullptr;
    Swatch* lCartridgeSwatch_ = nullptr;
    QLineEdit* lCartridgeName_ = nullptr;
    // "Red ", "Green  ", "Blue ", "Off", in the order of InkChoice Red..Black.
    std::array<QRadioButton*, 4> inkButtons_{};
    QCheckBox* radiosChooseLInkBox_ = nullptr;

    // "Invert Color" and the four exchanges, in the order of RgbControl.
    std::array<QCheckBox*, 5> rgbBoxes_{};
};
