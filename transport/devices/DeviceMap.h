#pragma once

#include <map>
#include <string>

namespace logosmith {

// Where each of the six port names leads. The defaults are the usual Linux devices; any name
// can be pointed elsewhere (a USB-serial adapter, a pseudo-terminal or FIFO in tests).
class DeviceMap {
  public:
    DeviceMap();

    // The device path for "LPT1", "LPT2", "COM1" … "COM4"; empty for an unknown name.
    std::string pathFor(const std::string& portName) const;
    // Points a known port name at another device; unknown names and empty paths are ignored.
    void set(const std::string& portName, const std::string& devicePath);

    static bool isPortName(const std::string& portName);

  private:
    std::map<std::string, std::string> paths_;
};

} // namespace logosmith
