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

    // True while a transfer runs: the dialog then refuses to close (close box, Esc).
    bool isBusy() const { return busy_; }

    // Marks a transfer in progress for as long as it lives, however the transfer ends.
    class BusyScope {
      public:
        explicit BusyScope(FixedDialog& dialog) : dialog_(dialog) { dialog_.busy_ = true; }
        ~BusyScope() { dialog_.busy_ = false; }
        BusyScope(const BusyScope&) = delete;
        BusyScope& operator=(const BusyScope&) = delete;

      private:
        FixedDialog& dialog_;
    };

    // Esc: refused while busy.
    void reject() override;

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    bool busy_ = false;
};

} // namespace logosmith
