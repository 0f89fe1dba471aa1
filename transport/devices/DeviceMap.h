#pragma once

#include <map>
#include <string>

namespace logosmith {

// Where each port name leads. "LPT1" … "COM4" lead to the usual Linux devices and can be pointed
// elsewhere (a USB-serial adapter, a pseudo-terminal or FIFO in tests); "USB" leads to a print
// queue and "NETWORK" to a printer's address, neither of them set at first.
class DeviceMap {
  public:
    DeviceMap();

    // Where the port name leads; empty for an unknown name or one not set.
    std::string pathFor(const std::string& portName) const;
    // Points a known port name at another device; unknown names and empty paths are ignored.
    void set(const std::string& portName, const std::string& devicePath);

    static bool isPortName(const std::string& portName);

  private:
    std::map<std::string, std::string> paths_;
};

} // namespace logosmith
