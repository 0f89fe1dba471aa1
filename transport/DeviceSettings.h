#pragma once

#include "transport/PortSettings.h"
#include "transport/devices/DeviceMap.h"

#include <string>

namespace logosmith {

class SettingsStore;

// The port-name map with the "devices" group's values ("COM1" = "/dev/ttyUSB0", …) applied.
DeviceMap deviceMapFromSettings(const SettingsStore& store);

// The settings with the device the chosen port leads to, as the "devices" group says now.
PortSettings withDevice(PortSettings settings, const SettingsStore& store);

} // namespace logosmith
