#include "transport/windows/PortSettingsDialog.h"

#include "platform/ErrorGuard.h"
#include "platform/UserDialogs.h"
#include "transport/PortSettingsModel.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

using logosmith::PortSettingsModel;

namespace {

template <std::size_t N>
QComboBox* makeList(QWidget* parent, const char* name, const std::array<const char*, N>& entries) {
    auto* list = new QComboBox(parent);
    list->setObjectName(QString::fromLatin1(name));
    list->setEditable(false);
    for (const char* entry : entries)
        list->addItem(QString::fromLatin1(entry));
    return list;
}

} // namespace

PortSettingsDialog::PortSettingsDialog(PortSettingsModel& settings, QWidget* parent)
    : FixedDialog("Set Communication Port", 300, 260, parent), settings_(settings) {
    setObjectName("PortForm");
    buildControls();
    showChoices();
    connect(&settings_, &PortSettingsModel::changed, this, &PortSettingsDialog::showChoices);
}

void PortSettingsDialog::buildControls() {
    auto* group = new QGroupBox("Communication Port Setting", this);
    auto* grid = new QGridLayout(group);
    lists_ = {makeList(group, "PortCombo", logosmith::kPortEntries),
              makeList(group, "BaudCombo", logosmith::kBaudEntries),
              makeList(group, "ParityCombo", logosmith::kParityEntries),
              makeList(group, "DataBitCombo", logosmith::kDataBitEntries),
              makeList(group, "StopBitCombo", logosmith::kStopBitEntries),
              makeList(group, "FlowCombo", logosmith::kFlowEntries)};
    const char* const captions[6] = {"Port",      "Baud Rate", "Parity",
                                     "Data bits", "Stop Bits", "Flow Control"};
    for (int row = 0; row < 6; ++row) {
        auto* label = new QLabel(QString::fromLatin1(captions[row]), group);
        label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        label->setBuddy(lists_[std::size_t(row)]);
        grid->addWidget(label, row, 0);
        grid->addWidget(lists_[std::size_t(row)], row, 1);
        // The port list changes nothing else in the dialog.
        connect(lists_[std::size_t(row)], &QComboBox::currentIndexChanged, this,
                [this, row](int index) { settings_.choose(PortSettingsModel::Field(row), index); });
    }

    okButton_ = new QPushButton("OK", group);
    okButton_->setObjectName("Button1");
    cancelButton_ = new QPushButton("Cancel", group);
    cancelButton_->setObjectName("Button2");
    auto* buttons = new QHBoxLayout();
    buttons->addStretch();
    buttons->addWidget(okButton_);
    buttons->addWidget(cancelButton_);
    grid->addLayout(buttons, 6, 0, 1, 2);

    auto* outer = new QVBoxLayout(this);
    outer->addWidget(group);

    // Cancel undoes nothing: both close, and closing saves what the lists show.
    connect(okButton_, &QPushButton::clicked, this, &QWidget::close);
    connect(cancelButton_, &QPushButton::clicked, this, &QWidget::close);
}

void PortSettingsDialog::showChoices() {
    for (int row = 0; row < 6; ++row) {
        QComboBox* list = lists_[std::size_t(row)];
        const QSignalBlocker blocked(list);
        list->setCurrentIndex(settings_.choice(PortSettingsModel::Field(row)));
    }
}

void PortSettingsDialog::save() {
    logosmith::guarded([this] {
        if (!settings_.save())
            logosmith::userDialogs().showMessage(" check the settting !!!! ");
    });
}

void PortSettingsDialog::done(int result) {
    save();
    FixedDialog::done(result);
}
