#pragma once

#include "transport/devices/PortDevice.h"

#include <memory>

namespace logosmith {

// "LPT1", "LPT2": a parallel port, or a FIFO standing in for one, opened write-only and shared.
class ParallelPort : public PortDevice {
  public:
    // Throws PortOpenError when it cannot be opened, NotAPortError when the path is something
    // else than a character device or FIFO.
    static std::unique_ptr<ParallelPort> open(const std::string& path,
                                              std::chrono::milliseconds writeTimeout);

  private:
    using PortDevice::PortDevice;
};

} // namespace logosmith
