#pragma once

#include "FixedDialog.h"

class ThelpForm : public logosmith::FixedDialog {
    Q_OBJECT
  public:
    explicit ThelpForm(QWidget* parent = nullptr);
};

extern ThelpForm* helpForm;
