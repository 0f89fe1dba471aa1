#pragma once

#include "platform/widgets/FixedDialog.h"

#include <array>

class QComboBox;
class QPushButton;

namespace logosmith {
class PortSettingsModel;
}

// "Set Communication Port": shows the port settings model's six choices and hands the person's
// changes to it. Every way of closing saves the choices to the settings file.
class PortSettingsDialog : public logosmith::FixedDialog {
    Q_OBJECT
  public:
    explicit PortSettingsDialog(logosmith::PortSettingsModel& settings, QWidget* parent = nullptr);

  protected:
    // OK, Cancel, the close box and Esc all end here.
    void done(int result) override;

  private:
    void buildControls();
    void showChoices();
    void save();

    logosmith::PortSettingsModel& settings_;
    // Port, baud rate, parity, data bits, stop bits, flow control, in the model's field order.
    std::array<QComboBox*, 6> lists_{};
    QPushButton* okButton_ = nullptr;
    QPushButton* cancelButton_ = nullptr;
};
