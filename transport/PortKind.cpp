#include "transport/PortKind.h"

#include "platform/devices/ParallelPort.h"
#include "platform/devices/SerialPort.h"
#include "transport/SpoolerPort.h"

namespace logosmith {

std::unique_ptr<PrinterDevice> openPortDevice(int port, const PortSettings& settings,
                                              [[maybe_unused]] int lineLimit,
                                              const DeviceMap& devices,
                                              std::chrono::milliseconds writeTimeout) {
    const std::optional<PortKind> kind = portKind(port);
    if (!kind)
        throw PortOpenError("No port is chosen");
    switch (*kind) {
    case PortKind::Parallel:
        return ParallelPort::open(devices.pathFor(devicePortName(port)), writeTimeout);
    case PortKind::Serial: {
        // A line without a chosen parity, size or flow is refused before anything is opened.
        const SerialLine line = serialLineFor(settings);
        return SerialPort::open(devices.pathFor(devicePortName(port)), line, writeTimeout);
    }
    case PortKind::Spooler:
        break;
    }
    return SpoolerPort::open();
}

} // namespace logosmith
