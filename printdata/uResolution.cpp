#include "uResolution.h"

TResolutionForm* ResolutionForm = nullptr;

TResolutionForm::TResolutionForm(QWidget* parent) : FixedDialog("Set resolution", 260, 220, parent) {
    setObjectName("ResolutionForm");
}
