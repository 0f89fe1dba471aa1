#pragma once

#include "transport/devices/PrinterDevice.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace logosmith::testing {

// A printer device that fails on demand, so that the failure paths of a transfer are tested
// without a printer that misbehaves: it takes bytes until `failAfter` have arrived, then fails
// the way it was told to.
class FailingDevice : public PrinterDevice {
  public:
    enum class Failure {
        None,
        WriteError,    // the printer goes away after failAfter bytes
        WriteTimeout,  // the printer stops taking data after failAfter bytes
        FinishError,   // everything is written, but the end is refused (a spool document)
        FinishTimeout, // everything is written, but the line never drains
    };
    static inline const std::string kMessage = "the printer went away";

    explicit FailingDevice(Failure failure, std::size_t failAfter = 0);

    void write(const std::uint8_t* data, std::size_t size) override;
    void finish() override;

    std::vector<std::uint8_t> taken;
    bool finished = false;

  private:
    Failure failure_;
    std::size_t failAfter_;
};

} // namespace logosmith::testing
