#pragma once

#include <QDialog>

namespace logosmith {

// A modeless dialog with a fixed client size, system menu and minimise box only.
class FixedDialog : public QDialog {
    Q_OBJECT
  public:
    FixedDialog(const QString& caption, int width, int height, QWidget* parent = nullptr);

    // Shows the dialog modeless; one that is already open is only brought to the front.
    void showModeless();
};

} // namespace logosmith
