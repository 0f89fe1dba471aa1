#pragma once

#include "FixedDialog.h"

class TverticalForm : public logosmith::FixedDialog {
    Q_OBJECT
  public:
    explicit TverticalForm(QWidget* parent = nullptr);
};

extern TverticalForm* verticalForm;
