#pragma once

#include "platform/widgets/FixedDialog.h"

class QLabel;

// "Help": the program's name, version and notice.
class InformationDialog : public logosmith::FixedDialog {
    Q_OBJECT
  public:
    explicit InformationDialog(QWidget* parent = nullptr);

    // Two small lines under the notice: the folder that holds the library and the scratch
    // files (rootDir), which is the per-user data folder for an installed program.
    void showFilesFolder(const QString& rootDir);

  private:
    QLabel* filesFolder_ = nullptr;
};
