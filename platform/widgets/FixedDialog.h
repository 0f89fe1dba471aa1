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

    // True while the dialog's own transfer runs: it then refuses to close (close box, Esc).
    bool isBusy() const { return busy_; }

    // Esc: refused while busy.
    void reject() override;

  protected:
    void setBusy(bool busy) { busy_ = busy; }
    void closeEvent(QCloseEvent* event) override;

  private:
    bool busy_ = false;
};

} // namespace logosmith
