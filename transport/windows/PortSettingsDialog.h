#pragma once

#include "platform/widgets/FixedDialog.h"
#include "transport/PortSettings.h"

class QComboBox;
class QPushButton;

namespace logosmith {
class SettingsStore;
}

// "Set Communication Port": the six port choices. Its lists are the live settings that every
// transfer reads; the settings group "nport" keeps the copy saved at each close.
class PortSettingsDialog : public logosmith::FixedDialog {
    Q_OBJECT
  public:
    explicit PortSettingsDialog(QWidget* parent = nullptr);
    // A dialog over another settings store (tests, tools).
    explicit PortSettingsDialog(logosmith::SettingsStore& store, QWidget* parent = nullptr);

    // The choices as the lists show them now, saved or not.
    logosmith::PortSettings portSettings() const;

    QComboBox* PortCombo = nullptr;
    QComboBox* BaudCombo = nullptr;
    QComboBox* ParityCombo = nullptr;
    QComboBox* DataBitCombo = nullptr;
    QComboBox* StopBitCombo = nullptr;
    QComboBox* FlowCombo = nullptr;
    QPushButton* Button1 = nullptr;
    QPushButton* Button2 = nullptr;

  public slots:
    void Button1Click();
    void Button2Click();
    void PortComboChange();

  protected:
    // Every way of closing (OK, Cancel, close box, Esc) ends here, and each one saves.
    void done(int result) override;

  private:
    void buildControls();
    void FormCreate();
    void FormClose();

    logosmith::SettingsStore& store_;
};
