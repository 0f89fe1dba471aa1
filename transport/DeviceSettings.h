#pragma once

#include "platform/devices/DeviceMap.h"
#include "transport/PortSender.h"

namespace logosmith {

class SettingsStore;

// The port-name map with the "devices" group's values ("COM1" = "/dev/ttyUSB0", …) applied.
DeviceMap deviceMapFromSettings(const SettingsStore& store);

// A transfer request for the program's own settings store.
TransferRequest makeTransferRequest(const std::string& file, const PortSettings& port);

} // namespace logosmith
