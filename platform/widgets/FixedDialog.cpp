#include "platform/widgets/FixedDialog.h"

#include <QCloseEvent>

namespace logosmith {

FixedDialog::FixedDialog(const QString& caption, int width, int height, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                          Qt::WindowCloseButtonHint) {
    setWindowTitle(caption);
    setFixedSize(width, height);
    setModal(false);
}

void FixedDialog::showModeless() {
    show();
    raise();
    activateWindow();
}

void FixedDialog::closeEvent(QCloseEvent* event) {
    if (busy_) {
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

void FixedDialog::reject() {
    if (!busy_)
        QDialog::reject();
}

} // namespace logosmith
