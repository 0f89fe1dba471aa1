#pragma once

#include "platform/widgets/FixedDialog.h"

class QLineEdit;
class FormStorage;

namespace logosmith {
class SettingsStore;
}

// "Select Image Editor": the command that starts the external picture editor. The text in its
// box is remembered in the settings group "editer"; it becomes the program's editor command only
// with "OK".
class EditorDialog : public logosmith::FixedDialog {
    Q_OBJECT
  public:
    explicit EditorDialog(logosmith::SettingsStore& store, QWidget* parent = nullptr);
    ~EditorDialog() override;

  signals:
    // "OK" with the command in the box.
    void commandChosen(const QString& command);

  private:
    QLineEdit* commandBox_ = nullptr;
    FormStorage* formStorage_ = nullptr;
};
