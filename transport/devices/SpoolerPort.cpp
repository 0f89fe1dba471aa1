#include "transport/devices/SpoolerPort.h"

namespace logosmith {

std::unique_ptr<SpoolerPort> SpoolerPort::open(const std::string& queue) {
    std::unique_ptr<SpoolerPort> port(new SpoolerPort());
    if (!port->job_.BeginDoc("Print", queue))
        throw TransferError(port->job_.lastError());
    return port;
}

SpoolerPort::~SpoolerPort() {
    if (job_.documentOpen)
        job_.Abandon();
}

void SpoolerPort::write(const std::uint8_t* data, std::size_t size) {
    if (size > 0 && !job_.Write(std::string(reinterpret_cast<const char*>(data), size)))
        throw TransferError(job_.lastError());
}

void SpoolerPort::finish() {
    if (!job_.EndDoc())
        throw TransferError(job_.lastError());
}

} // namespace logosmith
