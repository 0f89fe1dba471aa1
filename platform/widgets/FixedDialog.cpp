#include "FixedDialog.h"

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

} // namespace logosmith
