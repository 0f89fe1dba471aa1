#include "transport/devices/DeviceMap.h"

namespace logosmith {

DeviceMap::DeviceMap()
    : paths_{{"LPT1", "/dev/lp0"},
             {"LPT2", "/dev/lp1"},
             {"COM1", "/dev/ttyS0"},
             {"COM2", "/dev/ttyS1"},
             {"COM3", "/dev/ttyS2"},
             {"COM4", "/dev/ttyS3"},
             {"USB", ""},
             {"NETWORK", ""}} {}

std::string DeviceMap::pathFor(const std::string& portName) const {
    const auto found = paths_.find(portName);
    return found == paths_.end() ? std::string() : found->second;
}

void DeviceMap::set(const std::string& portName, const std::string& devicePath) {
    if (isPortName(portName) && !devicePath.empty())
        paths_[portName] = devicePath;
}

bool DeviceMap::isPortName(const std::string& portName) {
    static const DeviceMap defaults;
    return defaults.paths_.count(portName) != 0;
}

} // namespace logosmith
