#include "uImageEditor.h"

TImageEditorForm* ImageEditorForm = nullptr;

TImageEditorForm::TImageEditorForm(QWidget* parent) : FixedDialog("Select Image Editor", 344, 158, parent) {
    setObjectName("ImageEditorForm");
}
