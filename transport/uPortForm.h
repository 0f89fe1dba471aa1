#pragma once

#include "FixedDialog.h"

class TPortForm : public logosmith::FixedDialog {
    Q_OBJECT
  public:
    explicit TPortForm(QWidget* parent = nullptr);
};

extern TPortForm* PortForm;
