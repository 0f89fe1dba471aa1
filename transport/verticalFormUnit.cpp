#include "verticalFormUnit.h"

TverticalForm* verticalForm = nullptr;

TverticalForm::TverticalForm(QWidget* parent) : FixedDialog("Vertical Alignment", 420, 330, parent) {
    setObjectName("verticalForm");
}
