#pragma once

#include "FixedDialog.h"

class QLineEdit;
class QPushButton;
class TFormStorage;

// "Select Image Editor": the command that starts the external picture editor.
class TImageEditorForm : public logosmith::FixedDialog {
    Q_OBJECT
  public:
    explicit TImageEditorForm(QWidget* parent = nullptr);
    ~TImageEditorForm() override;

    QLineEdit* Edit1 = nullptr;
    QPushButton* Button1 = nullptr;
    QPushButton* btnCancel = nullptr;
    TFormStorage* FormStorage1 = nullptr;

  public slots:
    void Button1Click();
    void btnCancelClick();
};

extern TImageEditorForm* ImageEditorForm;
