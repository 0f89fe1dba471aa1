#pragma once

#include "FixedDialog.h"

class TDownloadForm : public logosmith::FixedDialog {
    Q_OBJECT
  public:
    explicit TDownloadForm(QWidget* parent = nullptr);
};

extern TDownloadForm* DownloadForm;
