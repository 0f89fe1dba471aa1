#pragma once

#include "FixedDialog.h"

class TResolutionForm : public logosmith::FixedDialog {
    Q_OBJECT
  public:
    explicit TResolutionForm(QWidget* parent = nullptr);
};

extern TResolutionForm* ResolutionForm;
