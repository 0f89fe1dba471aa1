#include "transport/PortSettingsModel.h"

#include "platform/SettingsStore.h"
#include "transport/DeviceSettings.h"

#include <array>

namespace logosmith {

namespace {

const QString group = QStringLiteral("nport");
const QString devicesGroup = QStringLiteral("devices");
constexpr std::array<const char*, 6> valueNames{"port", "baud", "parity", "data", "stop", "flow"};
constexpr std::array<std::size_t, 6> listSizes{kPortEntries.size(),    kBaudEntries.size(),
                                               kParityEntries.size(),  kDataBitEntries.size(),
                                               kStopBitEntries.size(), kFlowEntries.size()};

int inList(PortSettingsModel::Field field, int index) {
    return index >= 0 && index < int(listSizes[std::size_t(field)]) ? index : -1;
}

} // namespace

PortSettingsModel::PortSettingsModel(SettingsStore& store, QObject* parent)
    : SettingModel(parent), store_(store) {}

int& PortSettingsModel::field(Field which) {
    int* const fields[6] = {&choices_.port, &choices_.baud, &choices_.parity,
                            &choices_.data, &choices_.stop, &choices_.flow};
    return *fields[which];
}

int PortSettingsModel::choice(Field which) const {
    return const_cast<PortSettingsModel*>(this)->field(which);
}

void PortSettingsModel::choose(Field which, int index) {
    assign(field(which), inList(which, index));
}

void PortSettingsModel::chooseAll(const PortSettings& choices) {
    PortSettings next;
    const int wanted[6] = {choices.port, choices.baud, choices.parity,
                           choices.data, choices.stop, choices.flow};
    int* const fields[6] = {&next.port, &next.baud, &next.parity,
                            &next.data, &next.stop, &next.flow};
    for (int i = 0; i < 6; ++i)
        *fields[i] = inList(Field(i), wanted[i]);
    assign(choices_, next);
}

void PortSettingsModel::load() {
    const PortSettings defaults = kDefaultPortSettings;
    const int fallback[6] = {defaults.port, defaults.baud, defaults.parity,
                             defaults.data, defaults.stop, defaults.flow};
    // Announced once, whatever was read before a failure.
    struct Announce {
        PortSettingsModel& model;
        PortSettings before;
        ~Announce() {
            if (model.choices_ != before)
                emit model.changed();
        }
    } announce{*this, choices_};
    for (int i = 0; i < 6; ++i)
        field(Field(i)) = -1;
    if (!store_.groupExists(group)) {
        for (int i = 0; i < 6; ++i)
            field(Field(i)) = fallback[i];
        for (int i = 0; i < 6; ++i)
            store_.writeInteger(group, valueNames[std::size_t(i)], fallback[i]);
        store_.sync();
        return;
    }
    for (int i = 0; i < 6; ++i) {
        const std::optional<int> stored = store_.readInteger(group, valueNames[std::size_t(i)]);
        field(Field(i)) = inList(Field(i), stored.value_or(fallback[i]));
    }
}

bool PortSettingsModel::save() {
    if (!store_.groupExists(group))
        return false;
    for (int i = 0; i < 6; ++i)
        store_.writeInteger(group, valueNames[std::size_t(i)], choice(Field(i)));
    store_.sync();
    return true;
}

PortSettings PortSettingsModel::settings() const {
    return withDevice(choices_, store_);
}

std::string PortSettingsModel::device(int port) const {
    return deviceMapFromSettings(store_).pathFor(deviceKey(port));
}

void PortSettingsModel::chooseDevice(int port, const std::string& device) {
    const std::string key = deviceKey(port);
    if (key.empty() || this->device(port) == device)
        return;
    // Names are matched without regard to case when read; one entry per port is kept.
    for (const QString& name : store_.valueNames(devicesGroup))
        if (name.compare(QString::fromStdString(key), Qt::CaseInsensitive) == 0)
            store_.remove(devicesGroup, name);
    if (!device.empty() && device != DeviceMap().pathFor(key))
        store_.writeText(devicesGroup, QString::fromStdString(key), QString::fromStdString(device));
    store_.sync();
    emit changed();
}

} // namespace logosmith
