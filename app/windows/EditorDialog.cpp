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
    commandBox_ = new QLineEdit(editor, this);
    commandBox_->setObjectName("Edit1");
    commandBox_->setGeometry(12, 86, 320, 22);
    auto* ok = new QPushButton("OK", this);
    ok->setObjectName("Button1");
    ok->setGeometry(150, 120, 86, 26);
    auto* cancel = new QPushButton("cancel", this);
    cancel->setObjectName("btnCancel");
    cancel->setGeometry(246, 120, 86, 26);
    logosmith::connectGuarded(ok, &QPushButton::clicked, this, [this] {
        emit commandChosen(commandBox_->text());
        close();
    });
    // Closing either way stores the box's text with the dialog's place.
    logosmith::connectGuarded(cancel, &QPushButton::clicked, this, [this] { close(); });
    formStorage_ = new FormStorage(this, store, "editer", {"Edit1.Text"});
}

EditorDialog::~EditorDialog() {
    formStorage_->windowDestroying();
}
