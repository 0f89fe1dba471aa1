#include "uHelp.h"

ThelpForm* helpForm = nullptr;

ThelpForm::ThelpForm(QWidget* parent) : FixedDialog("Help", 339, 211, parent) {
    setObjectName("helpForm");
}
