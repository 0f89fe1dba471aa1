#include "transport/DeviceSettings.h"

#include "platform/SettingsStore.h"

namespace logosmith {

DeviceMap deviceMapFromSettings(const SettingsStore& store) {
    DeviceMap devices;
    for (const QString& name : store.valueNames("devices"))
        devices.set(name.toUpper().toStdString(),
                    store.readText("devices", name, QString()).toStdString());
    return devices;
}

PortSettings withDevice(PortSettings settings, const SettingsStore& store) {
    settings.device = deviceMapFromSettings(store).pathFor(deviceKey(settings.port));
    return settings;
}

} // namespace logosmith
