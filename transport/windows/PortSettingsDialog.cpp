#include "transport/windows/PortSettingsDialog.h"

#include "platform/ErrorGuard.h"
#include "platform/UserDialogs.h"
#include "transport/PortSettingsModel.h"
#include "transport/devices/DeviceDiscovery.h"
#include "transport/devices/NetworkPort.h"

#include <QComboBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QSignalBlocker>
#include <QVBoxLayout>

using logosmith::FoundDevice;
using logosmith::PortKind;
using logosmith::PortSettingsModel;

namespace {

// The queue entry that stands for the default printer; the setting itself is then empty.
const QString defaultQueueText = QStringLiteral("(default printer)");

template <std::size_t N>
QComboBox* makeList(QWidget* parent, const char* name, const std::array<const char*, N>& entries) {
    auto* list = new QComboBox(parent);
    list->setObjectName(QString::fromLatin1(name));
    list->setEditable(false);
    for (const char* entry : entries)
        list->addItem(QString::fromLatin1(entry));
    return list;
}

bool offeredFor(PortKind port, FoundDevice::Kind found) {
    if (port == PortKind::Serial)
        return found == FoundDevice::Kind::Serial;
    return port == PortKind::Parallel &&
           (found == FoundDevice::Kind::Parallel || found == FoundDevice::Kind::UsbPrinter);
}

} // namespace

PortSettingsDialog::PortSettingsDialog(PortSettingsModel& settings, QWidget* parent)
    : PortSettingsDialog(settings,
                         Finders{[] { return logosmith::findPortDevices(); },
                                 [] { return logosmith::findPrintQueues(); }},
                         parent) {}

PortSettingsDialog::PortSettingsDialog(PortSettingsModel& settings, Finders finders,
                                       QWidget* parent)
    : FixedDialog("Set Communication Port", 380, 310, parent), settings_(settings),
      finders_(std::move(finders)) {
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
    const auto addRow = [grid](int row, QLabel* label, QWidget* field) {
        label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        label->setBuddy(field);
        grid->addWidget(label, row, 0);
        grid->addWidget(field, row, 1);
    };
    for (int field = 0; field < 6; ++field) {
        // The device of the port sits right under the port list.
        const int row = field == 0 ? 0 : field + 2;
        addRow(row, new QLabel(QString::fromLatin1(captions[field]), group),
               lists_[std::size_t(field)]);
        if (field == 0) {
            deviceBox_ = new QComboBox(group);
            deviceBox_->setObjectName("DeviceCombo");
            deviceBox_->setEditable(true);
            deviceBox_->setInsertPolicy(QComboBox::NoInsert);
            deviceLabel_ = new QLabel("Device", group);
            deviceLabel_->setObjectName("DeviceLabel");
            addRow(1, deviceLabel_, deviceBox_);
            deviceNote_ = new QLabel(group);
            deviceNote_->setObjectName("DeviceNote");
            deviceNote_->setWordWrap(true);
            deviceNote_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
            QFont small = deviceNote_->font();
            small.setPointSizeF(small.pointSizeF() * 0.9);
            deviceNote_->setFont(small);
            grid->addWidget(deviceNote_, 2, 1);
        }
        connect(
            lists_[std::size_t(field)], &QComboBox::currentIndexChanged, this,
            [this, field](int index) { settings_.choose(PortSettingsModel::Field(field), index); });
    }

    connect(deviceBox_, &QComboBox::activated, this, &PortSettingsDialog::takeDevice);
    connect(deviceBox_->lineEdit(), &QLineEdit::editingFinished, this,
            &PortSettingsDialog::takeDevice);
    connect(deviceBox_, &QComboBox::editTextChanged, this, &PortSettingsDialog::showDeviceNote);

    auto* ok = new QPushButton("OK", group);
    ok->setObjectName("Button1");
    auto* cancel = new QPushButton("Cancel", group);
    cancel->setObjectName("Button2");
    auto* buttons = new QHBoxLayout();
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    grid->addLayout(buttons, 9, 0, 1, 2);

    auto* outer = new QVBoxLayout(this);
    outer->addWidget(group);

    // Cancel undoes nothing: both close, and closing saves what the lists show.
    connect(ok, &QPushButton::clicked, this, &QWidget::close);
    connect(cancel, &QPushButton::clicked, this, &QWidget::close);
}

void PortSettingsDialog::showChoices() {
    for (int row = 0; row < 6; ++row) {
        QComboBox* list = lists_[std::size_t(row)];
        const QSignalBlocker blocked(list);
        list->setCurrentIndex(settings_.choice(PortSettingsModel::Field(row)));
    }
    showDevice();
}

void PortSettingsDialog::showDevice() {
    if (showingDevice_)
        return;
    showingDevice_ = true;
    const int port = settings_.choice(PortSettingsModel::Port);
    const std::optional<PortKind> kind = logosmith::portKind(port);
    const QSignalBlocker blocked(deviceBox_);
    deviceBox_->clear();
    deviceBox_->setEnabled(kind.has_value());
    QString current = QString::fromStdString(settings_.device(port));
    if (kind == PortKind::Parallel || kind == PortKind::Serial) {
        deviceLabel_->setText("Device");
        deviceBox_->lineEdit()->setPlaceholderText({});
        for (const FoundDevice& device : found_)
            if (offeredFor(*kind, device.kind))
                deviceBox_->addItem(QString::fromStdString(device.path));
    } else if (kind == PortKind::Spooler) {
        deviceLabel_->setText("Queue");
        deviceBox_->lineEdit()->setPlaceholderText({});
        deviceBox_->addItem(defaultQueueText);
        for (const FoundDevice& queue : found_)
            if (queue.kind == FoundDevice::Kind::Queue)
                deviceBox_->addItem(QString::fromStdString(queue.name));
        if (current.isEmpty())
            current = defaultQueueText;
    } else {
        deviceLabel_->setText(kind ? "Address" : "Device");
        deviceBox_->lineEdit()->setPlaceholderText(
            kind ? QStringLiteral("host or host:%1").arg(logosmith::kRawPrinterPort) : QString());
    }
    deviceBox_->setEditText(current);
    showingDevice_ = false;
    showDeviceNote();
}

void PortSettingsDialog::showDeviceNote() {
    const int port = settings_.choice(PortSettingsModel::Port);
    const std::optional<PortKind> kind = logosmith::portKind(port);
    const QString text = deviceBox_->currentText().trimmed();
    QString note;
    if (kind == PortKind::Parallel || kind == PortKind::Serial) {
        // A device that has gone is shown as such and kept: it may come back when plugged in.
        note = QStringLiteral("missing: not on this machine now");
        if (!text.isEmpty() && QFileInfo::exists(text)) {
            note = QStringLiteral("not found among the ports of this machine");
            const QString real = QFileInfo(text).canonicalFilePath();
            for (const FoundDevice& device : found_)
                if (QFileInfo(QString::fromStdString(device.path)).canonicalFilePath() == real)
                    note = QString::fromStdString(device.description.empty() ? device.name
                                                                             : device.description);
        }
    } else if (kind == PortKind::Spooler) {
        note = QStringLiteral("missing: the print spooler has no such queue now");
        for (const FoundDevice& queue : found_)
            if (queue.kind == FoundDevice::Kind::Queue &&
                (QString::fromStdString(queue.name) == text ||
                 (text == defaultQueueText && queue.description == "default printer")))
                note = QString::fromStdString(queue.description);
        if (text == defaultQueueText && note.startsWith("missing"))
            note = QStringLiteral("the system's default printer");
    } else if (kind == PortKind::Network) {
        const auto address = logosmith::parseNetworkAddress(text.toStdString());
        note = text.isEmpty() ? QStringLiteral("a raw network printer or serial device server")
               : address      ? QStringLiteral("raw TCP to %1")
                               .arg(QString::fromStdString(logosmith::networkAddressText(*address)))
                         : QStringLiteral("not a network address");
    }
    deviceNote_->setText(note);
}

void PortSettingsDialog::takeDevice() {
    if (showingDevice_)
        return;
    const int port = settings_.choice(PortSettingsModel::Port);
    QString text = deviceBox_->currentText().trimmed();
    if (logosmith::portKind(port) == PortKind::Spooler && text == defaultQueueText)
        text.clear();
    logosmith::guarded([&] { settings_.chooseDevice(port, text.toStdString()); });
}

void PortSettingsDialog::showEvent(QShowEvent* event) {
    // What is plugged in is looked at afresh each time the dialog opens.
    if (!event->spontaneous()) {
        found_ = finders_.portDevices ? finders_.portDevices() : std::vector<FoundDevice>{};
        if (finders_.printQueues)
            for (FoundDevice& queue : finders_.printQueues())
                found_.push_back(std::move(queue));
        showDevice();
    }
    FixedDialog::showEvent(event);
}

void PortSettingsDialog::save() {
    logosmith::guarded([this] {
        if (!settings_.save())
            logosmith::userDialogs().showMessage(" check the settting !!!! ");
    });
}

void PortSettingsDialog::done(int result) {
    // A device typed but not yet confirmed counts, as the lists do.
    takeDevice();
    save();
    FixedDialog::done(result);
}
