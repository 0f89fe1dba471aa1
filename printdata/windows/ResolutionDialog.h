#pragma once

#include "platform/widgets/FixedDialog.h"
#include "printdata/Density.h"

#include <cstdint>

class QLabel;
class QGroupBox;
class QPushButton;
class QRadioButton;
class FormStorage;

namespace logosmith {
class SettingsStore;
}

// "Set resolution": the four density choices. The checked button is the live setting that every
// print and store reads at the moment it builds its command; the settings group "resol" keeps
// the number of the checked button ("index") from one run to the next.
class ResolutionDialog : public logosmith::FixedDialog {
    Q_OBJECT
  public:
    // Reads its choice from the settings group "resol" of `store` (and writes it there).
    explicit ResolutionDialog(logosmith::SettingsStore& store, QWidget* parent = nullptr);
    ~ResolutionDialog() override;

    // True when "Double Density 208*96" or "Quad Density 208*192" is checked.
    bool WidthDoubled() const;
    // 0 when "Single Density 104*96" or "Double Density 104*192" is checked, else 1 (also when
    // nothing is checked).
    std::uint8_t BitImageMode() const;
    logosmith::Density density() const { return {WidthDoubled(), BitImageMode()}; }

  protected:
    // OK, the close box and Esc all end here; each one saves the choice.
    void done(int result) override;

  private:
    void buildControls();
    void FormCreate();
    void FormClose();
    // The number (1..4) of the first checked button, 0 when none is.
    int checkedIndex() const;
    void Button1Click();

    logosmith::SettingsStore& store_;
    QLabel* Label1 = nullptr;
    QGroupBox* GroupBox1 = nullptr;
    QRadioButton* RadioButton1 = nullptr;
    QRadioButton* RadioButton2 = nullptr;
    QRadioButton* RadioButton3 = nullptr;
    QRadioButton* RadioButton4 = nullptr;
    QPushButton* Button1 = nullptr;
    FormStorage* FormStorage3 = nullptr;
};
