#pragma once

#include "platform/widgets/FixedDialog.h"

#include <array>

class QButtonGroup;
class QRadioButton;
class FormStorage;

namespace logosmith {
class ResolutionModel;
class SettingsStore;
} // namespace logosmith

// "Set resolution": shows the resolution model's choice as four radio buttons and hands the
// person's choice to it at once. Closing saves the choice; the four check states are also
// remembered with the dialog's place (settings group "resol").
class ResolutionDialog : public logosmith::FixedDialog {
    Q_OBJECT
  public:
    ResolutionDialog(logosmith::ResolutionModel& resolution, logosmith::SettingsStore& store,
                     QWidget* parent = nullptr);
    ~ResolutionDialog() override;

  protected:
    // OK, the close box and Esc all end here.
    void done(int result) override;

  private:
    void buildControls();
    void showChoice();
    // The number (1..4) of the first checked button, 0 when none is.
    int checkedIndex() const;

    logosmith::ResolutionModel& resolution_;
    QButtonGroup* exclusive_ = nullptr;
    std::array<QRadioButton*, 4> choices_{};
    FormStorage* formStorage_ = nullptr;
};
