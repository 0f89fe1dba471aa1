#include "app/windows/EditorDialog.h"

#include "app/windows/EditorHandoff.h"
#include "platform/ErrorGuard.h"
#include "platform/widgets/FormStorage.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

EditorDialog::EditorDialog(logosmith::SettingsStore& store, QWidget* parent)
    : FixedDialog("Select Image Editor", 344, 158, parent) {
    setObjectName("ImageEditorForm");
    const QString editor = defaultEditorCommand();
    const QStringList lines = {
        "Enter the name of the default image editor   ", "The default setting is " + editor,
        "If you have another  graphic image editor, ", "change the image editor name."};
    QFont bold = font();
    bold.setBold(true);
    for (int i = 0; i < lines.size(); ++i) {
        auto* label = new QLabel(lines[i], this);
        label->setFont(bold);
        label->setGeometry(12, 8 + 18 * i, 324, 17);
    }
    Edit1 = new QLineEdit(editor, this);
    Edit1->setObjectName("Edit1");
    Edit1->setGeometry(12, 86, 320, 22);
    Button1 = new QPushButton("OK", this);
    Button1->setObjectName("Button1");
    Button1->setGeometry(150, 120, 86, 26);
    btnCancel = new QPushButton("cancel", this);
    btnCancel->setObjectName("btnCancel");
    btnCancel->setGeometry(246, 120, 86, 26);
    logosmith::connectGuarded(Button1, &QPushButton::clicked, this, &EditorDialog::Button1Click);
    logosmith::connectGuarded(btnCancel, &QPushButton::clicked, this,
                              &EditorDialog::btnCancelClick);
    FormStorage1 = new FormStorage(this, store, "editer", {"Edit1.Text"});
}

EditorDialog::~EditorDialog() {
    FormStorage1->windowDestroying();
}

void EditorDialog::Button1Click() {
    emit commandChosen(Edit1->text());
    close();
}

void EditorDialog::btnCancelClick() {
    close();
}
