#include "transport/windows/PortSettingsDialog.h"

#include "platform/ErrorGuard.h"
#include "platform/SettingsStore.h"
#include "platform/UserDialogs.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

const QString kGroup = QStringLiteral("nport");
const char* const kValueNames[6] = {"port", "baud", "parity", "data", "stop", "flow"};

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

PortSettingsDialog::PortSettingsDialog(QWidget* parent)
    : PortSettingsDialog(logosmith::settingsStore(), parent) {}

PortSettingsDialog::PortSettingsDialog(logosmith::SettingsStore& store, QWidget* parent)
    : FixedDialog("Set Communication Port", 300, 260, parent), store_(store) {
    setObjectName("PortForm");
    buildControls();
    FormCreate();
}

void PortSettingsDialog::buildControls() {
    auto* group = new QGroupBox("Communication Port Setting", this);
    auto* grid = new QGridLayout(group);
    PortCombo = makeList(group, "PortCombo", logosmith::kPortEntries);
    BaudCombo = makeList(group, "BaudCombo", logosmith::kBaudEntries);
    ParityCombo = makeList(group, "ParityCombo", logosmith::kParityEntries);
    DataBitCombo = makeList(group, "DataBitCombo", logosmith::kDataBitEntries);
    StopBitCombo = makeList(group, "StopBitCombo", logosmith::kStopBitEntries);
    FlowCombo = makeList(group, "FlowCombo", logosmith::kFlowEntries);
    const std::pair<const char*, QComboBox*> rows[] = {
        {"Port", PortCombo},         {"Baud Rate", BaudCombo},    {"Parity", ParityCombo},
        {"Data bits", DataBitCombo}, {"Stop Bits", StopBitCombo}, {"Flow Control", FlowCombo}};
    int row = 0;
    for (const auto& [caption, list] : rows) {
        auto* label = new QLabel(QString::fromLatin1(caption), group);
        label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        label->setBuddy(list);
        grid->addWidget(label, row, 0);
        grid->addWidget(list, row, 1);
        ++row;
    }

    Button1 = new QPushButton("OK", group);
    Button1->setObjectName("Button1");
    Button2 = new QPushButton("Cancel", group);
    Button2->setObjectName("Button2");
    auto* buttons = new QHBoxLayout();
    buttons->addStretch();
    buttons->addWidget(Button1);
    buttons->addWidget(Button2);
    grid->addLayout(buttons, row, 0, 1, 2);

    auto* outer = new QVBoxLayout(this);
    outer->addWidget(group);

    connect(Button1, &QPushButton::clicked, this, &PortSettingsDialog::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &PortSettingsDialog::Button2Click);
    connect(PortCombo, &QComboBox::currentIndexChanged, this, &PortSettingsDialog::PortComboChange);
}

logosmith::PortSettings PortSettingsDialog::portSettings() const {
    return {PortCombo->currentIndex(),    BaudCombo->currentIndex(),    ParityCombo->currentIndex(),
            DataBitCombo->currentIndex(), StopBitCombo->currentIndex(), FlowCombo->currentIndex()};
}

void PortSettingsDialog::FormCreate() {
    QComboBox* const lists[6] = {PortCombo,    BaudCombo,    ParityCombo,
                                 DataBitCombo, StopBitCombo, FlowCombo};
    constexpr logosmith::PortSettings d = logosmith::kDefaultPortSettings;
    const int defaults[6] = {d.port, d.baud, d.parity, d.data, d.stop, d.flow};
    // A value that cannot be read leaves it and the lists after it without a choice.
    for (QComboBox* list : lists)
        list->setCurrentIndex(-1);
    logosmith::guarded([&] {
        if (store_.groupExists(kGroup)) {
            for (int i = 0; i < 6; ++i) {
                const std::optional<int> stored = store_.readInteger(kGroup, kValueNames[i]);
                lists[i]->setCurrentIndex(stored.value_or(defaults[i]));
            }
            return;
        }
        for (int i = 0; i < 6; ++i)
            lists[i]->setCurrentIndex(defaults[i]);
        for (int i = 0; i < 6; ++i)
            store_.writeInteger(kGroup, kValueNames[i], defaults[i]);
        store_.sync();
    });
}

void PortSettingsDialog::FormClose() {
    logosmith::guarded([&] {
        if (!store_.groupExists(kGroup)) {
            logosmith::userDialogs().showMessage(" check the settting !!!! ");
            return;
        }
        const logosmith::PortSettings now = portSettings();
        const int values[6] = {now.port, now.baud, now.parity, now.data, now.stop, now.flow};
        for (int i = 0; i < 6; ++i)
            store_.writeInteger(kGroup, kValueNames[i], values[i]);
        store_.sync();
    });
}

void PortSettingsDialog::done(int result) {
    FormClose();
    FixedDialog::done(result);
}

void PortSettingsDialog::Button1Click() {
    close();
}

void PortSettingsDialog::Button2Click() {
    close();
}

void PortSettingsDialog::PortComboChange() {}
