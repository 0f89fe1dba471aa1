#pragma once

#include "transport/devices/PrinterDevice.h"
#include "transport/devices/SpoolerJob.h"

#include <memory>

namespace logosmith {

// "U S B": one raw document named "Print" for the system's default printer (or a queue named),
// through the print spooler. The document is the whole transfer; a device let go before finish()
// cancels it, so half a document never prints.
class SpoolerPort : public PrinterDevice {
  public:
    // Starts the document. Throws TransferError: no default printer ("There is no default
    // printer currently selected"), a spooler that cannot be reached, a queue that refuses jobs.
    // A queue other than the default one can be named.
    static std::unique_ptr<SpoolerPort> open(const std::string& queue = {});
    ~SpoolerPort() override;

    void write(const std::uint8_t* data, std::size_t size) override;
    // Ends the document; the spooler then owns it.
    void finish() override;

  private:
    SpoolerPort() = default;

    SpoolerJob job_;
};

} // namespace logosmith
