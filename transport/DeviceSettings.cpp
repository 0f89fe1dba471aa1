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

TransferRequest makeTransferRequest(const std::string& file, const PortSettings& port) {
    TransferRequest request;
    request.file = file;
    request.port = port;
    request.devices = deviceMapFromSettings(settingsStore());
    return request;
}

} // namespace logosmith
