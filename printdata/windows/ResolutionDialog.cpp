#include "printdata/windows/ResolutionDialog.h"

#include "platform/widgets/FormStorage.h"

#include "platform/ErrorGuard.h"
#include "platform/SettingsStore.h"

#include <QButtonGroup>
#include <QFont>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {

const QString kGroup = QStringLiteral("resol");
const QString kIndex = QStringLiteral("index");

} // namespace

ResolutionDialog::ResolutionDialog(logosmith::SettingsStore& store, QWidget* parent)
    : FixedDialog("Set resolution", 260, 220, parent), store_(store) {
    setObjectName("ResolutionForm");
    buildControls();
    FormCreate();
    // The four check states are remembered beside "index", with the dialog's place.
    FormStorage3 = new FormStorage(this, store_, "resol",
                                   {"RadioButton1.Checked", "RadioButton2.Checked",
                                    "RadioButton3.Checked", "RadioButton4.Checked"});
}

ResolutionDialog::~ResolutionDialog() {
    FormStorage3->windowDestroying();
}

void ResolutionDialog::buildControls() {
    Label1 = new QLabel("Set Resolution", this);
    Label1->setObjectName("Label1");
    QFont heading = Label1->font();
    heading.setBold(true);
    Label1->setFont(heading);

    GroupBox1 = new QGroupBox("Resolution", this);
    GroupBox1->setObjectName("GroupBox1");
    auto* column = new QVBoxLayout(GroupBox1);
    // One group for the four buttons, so that "none checked" stays possible from a stored
    // setting while the person can still only move between the enabled choices.
    auto* exclusive = new QButtonGroup(this);
    QRadioButton** const buttons[4] = {&RadioButton1, &RadioButton2, &RadioButton3, &RadioButton4};
    const char* const captions[4] = {"Single Density 104*96", "Double Density 208*96",
                                     "Double Density 104*192", "Quad Density 208*192"};
    for (int i = 0; i < 4; ++i) {
        auto* button = new QRadioButton(QString::fromLatin1(captions[i]), GroupBox1);
        button->setObjectName(QStringLiteral("RadioButton%1").arg(i + 1));
        exclusive->addButton(button, i + 1);
        column->addWidget(button);
        *buttons[i] = button;
    }
    RadioButton3->setEnabled(false);
    RadioButton4->setEnabled(false);

    Button1 = new QPushButton("OK", this);
    Button1->setObjectName("Button1");
    auto* row = new QHBoxLayout();
    row->addStretch();
    row->addWidget(Button1);
    row->addStretch();

    auto* outer = new QVBoxLayout(this);
    outer->addWidget(Label1, 0, Qt::AlignHCenter);
    outer->addWidget(GroupBox1);
    outer->addLayout(row);

    logosmith::connectGuarded(Button1, &QPushButton::clicked, this,
                              &ResolutionDialog::Button1Click);
}

void ResolutionDialog::FormCreate() {
    logosmith::guarded([&] {
        if (!store_.groupExists(kGroup)) {
            // First run: single density, saved at once.
            RadioButton1->setChecked(true);
            store_.writeInteger(kGroup, kIndex, 1);
            store_.sync();
            return;
        }
        // A missing index, or one that names no button, leaves every button unchecked: the
        // data is then not widened and the mode byte is 1, as for no choice at all.
        const std::optional<int> index = store_.readInteger(kGroup, kIndex);
        QRadioButton* const buttons[4] = {RadioButton1, RadioButton2, RadioButton3, RadioButton4};
        if (index && *index >= 1 && *index <= 4)
            buttons[*index - 1]->setChecked(true);
    });
}

int ResolutionDialog::checkedIndex() const {
    const QRadioButton* const buttons[4] = {RadioButton1, RadioButton2, RadioButton3, RadioButton4};
    for (int i = 0; i < 4; ++i)
        if (buttons[i]->isChecked())
            return i + 1;
    return 0;
}

void ResolutionDialog::FormClose() {
    logosmith::guarded([&] {
        // Only an existing group is written to; with no button checked nothing is saved.
        const int index = checkedIndex();
        if (index == 0 || !store_.groupExists(kGroup))
            return;
        store_.writeInteger(kGroup, kIndex, index);
        store_.sync();
    });
}

void ResolutionDialog::done(int result) {
    FormClose();
    FixedDialog::done(result);
}

void ResolutionDialog::Button1Click() {
    close();
}

bool ResolutionDialog::WidthDoubled() const {
    return RadioButton2->isChecked() || RadioButton4->isChecked();
}

std::uint8_t ResolutionDialog::BitImageMode() const {
    return RadioButton1->isChecked() || RadioButton3->isChecked() ? 0 : 1;
}
