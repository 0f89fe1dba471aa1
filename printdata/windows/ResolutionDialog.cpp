#include "printdata/windows/ResolutionDialog.h"

#include "platform/ErrorGuard.h"
#include "platform/widgets/FormStorage.h"
#include "printdata/settings/ResolutionModel.h"

#include <QButtonGroup>
#include <QFont>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

ResolutionDialog::ResolutionDialog(logosmith::ResolutionModel& resolution,
                                   logosmith::SettingsStore& store, QWidget* parent)
    : FixedDialog("Set resolution", 260, 220, parent), resolution_(resolution) {
    setObjectName("ResolutionForm");
    buildControls();
    showChoice();
    connect(&resolution_, &logosmith::ResolutionModel::changed, this,
            &ResolutionDialog::showChoice);
    formStorage_ = new FormStorage(this, store, "resol",
                                   {"RadioButton1.Checked", "RadioButton2.Checked",
                                    "RadioButton3.Checked", "RadioButton4.Checked"});
}

ResolutionDialog::~ResolutionDialog() {
    formStorage_->windowDestroying();
}

void ResolutionDialog::buildControls() {
    auto* heading = new QLabel("Set Resolution", this);
    heading->setObjectName("Label1");
    QFont bold = heading->font();
    bold.setBold(true);
    heading->setFont(bold);

    auto* group = new QGroupBox("Resolution", this);
    group->setObjectName("GroupBox1");
    auto* column = new QVBoxLayout(group);
    // One group for the four buttons, so that "none checked" stays possible from a stored
    // setting while the person can still only move between the enabled choices.
    exclusive_ = new QButtonGroup(this);
    const char* const captions[4] = {"Single Density 104*96", "Double Density 208*96",
                                     "Double Density 104*192", "Quad Density 208*192"};
    for (int i = 0; i < 4; ++i) {
        auto* button = new QRadioButton(QString::fromLatin1(captions[i]), group);
        button->setObjectName(QStringLiteral("RadioButton%1").arg(i + 1));
        exclusive_->addButton(button, i + 1);
        column->addWidget(button);
        choices_[std::size_t(i)] = button;
        // Stored check states are applied to the buttons; whatever they leave checked is the
        // choice.
        connect(button, &QRadioButton::toggled, this,
                [this] { resolution_.choose(checkedIndex()); });
    }
    choices_[2]->setEnabled(false);
    choices_[3]->setEnabled(false);

    auto* ok = new QPushButton("OK", this);
    ok->setObjectName("Button1");
    auto* row = new QHBoxLayout();
    row->addStretch();
    row->addWidget(ok);
    row->addStretch();

    auto* outer = new QVBoxLayout(this);
    outer->addWidget(heading, 0, Qt::AlignHCenter);
    outer->addWidget(group);
    outer->addLayout(row);

    logosmith::connectGuarded(ok, &QPushButton::clicked, this, [this] { close(); });
}

void ResolutionDialog::showChoice() {
    const int index = resolution_.index();
    if (index == checkedIndex())
        return;
    std::array<QSignalBlocker, 4> blocked{QSignalBlocker(choices_[0]), QSignalBlocker(choices_[1]),
                                          QSignalBlocker(choices_[2]), QSignalBlocker(choices_[3])};
    // An exclusive group keeps one button checked; "none" has to step outside it.
    exclusive_->setExclusive(false);
    for (int i = 0; i < 4; ++i)
        choices_[std::size_t(i)]->setChecked(i + 1 == index);
    exclusive_->setExclusive(true);
}

int ResolutionDialog::checkedIndex() const {
    for (int i = 0; i < 4; ++i)
        if (choices_[std::size_t(i)]->isChecked())
            return i + 1;
    return 0;
}

void ResolutionDialog::done(int result) {
    logosmith::guarded([this] { resolution_.save(); });
    FixedDialog::done(result);
}
