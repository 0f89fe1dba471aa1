#pragma once

#include "platform/widgets/FixedDialog.h"

class QPushButton;

// "Help": the program's name, version and notice.
class InformationDialog : public logosmith::FixedDialog {
    Q_OBJECT
  public:
    explicit InformationDialog(QWidget* parent = nullptr);

    QPushButton* btnOK = nullptr;
    QPushButton* btnInfo = nullptr;
};

extern InformationDialog* helpForm;
