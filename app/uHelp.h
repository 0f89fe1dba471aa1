#pragma once

#include "FixedDialog.h"

class QPushButton;

// "Help": the program's name, version and notice.
class ThelpForm : public logosmith::FixedDialog {
    Q_OBJECT
  public:
    explicit ThelpForm(QWidget* parent = nullptr);

    QPushButton* btnOK = nullptr;
    QPushButton* btnInfo = nullptr;
};

extern ThelpForm* helpForm;
