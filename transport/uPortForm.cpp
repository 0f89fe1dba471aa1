#include "uPortForm.h"

TPortForm* PortForm = nullptr;

TPortForm::TPortForm(QWidget* parent) : FixedDialog("Set Communication Port", 300, 260, parent) {
    setObjectName("PortForm");
}
