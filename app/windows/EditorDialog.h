#pragma once

#include "platform/widgets/FixedDialog.h"

class QLineEdit;
class QPushButton;
class FormStorage;

// "Select Image Editor": the command that starts the external picture editor.
class EditorDialog : public logosmith::FixedDialog {
    Q_OBJECT
  public:
    explicit EditorDialog(QWidget* parent = nullptr);
    ~EditorDialog() override;

    QLineEdit* Edit1 = nullptr;
    QPushButton* Button1 = nullptr;
    QPushButton* btnCancel = nullptr;
    FormStorage* FormStorage1 = nullptr;

  public slots:
    void Button1Click();
    void btnCancelClick();
};

extern EditorDialog* ImageEditorForm;
