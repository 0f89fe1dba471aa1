#pragma once

#include "FixedDialog.h"

class TImageEditorForm : public logosmith::FixedDialog {
    Q_OBJECT
  public:
    explicit TImageEditorForm(QWidget* parent = nullptr);
};

extern TImageEditorForm* ImageEditorForm;
