#include "transport/PortKind.h"

#include "transport/devices/DeviceMap.h"
#include "transport/devices/NetworkPort.h"
#include "transport/devices/ParallelPort.h"
#include "transport/devices/SerialPort.h"
#include "transport/devices/SpoolerPort.h"

namespace logosmith {

namespace {

std::string devicePath(int port, const PortSettings& settings) {
    return settings.device.empty() ? DeviceMap().pathFor(devicePortName(port)) : settings.device;
}

} // namespace

std::unique_ptr<PrinterDevice> openPortDevice(int port, const PortSettings& settings,
                                              [[maybe_unused]] int lineLimit,
                                              std::chrono::milliseconds writeTimeout) {
    const std::optional<PortKind> kind = portKind(port);
    if (!kind)
        throw PortOpenError("No port is chosen");
    switch (*kind) {
    case PortKind::Parallel:
        return ParallelPort::open(devicePath(port, settings), writeTimeout);
    case PortKind::Serial: {
        // A line without a chosen parity, size or flow is refused before anything is opened.
        const SerialLine line = serialLineFor(settings);
        return SerialPort::open(devicePath(port, settings), line, writeTimeout);
    }
    case PortKind::Network:
        return NetworkPort::open(settings.device, kConnectTimeout, writeTimeout);
    case PortKind::Spooler:
        break;
    }
    return SpoolerPort::open(settings.device);
}

} // namespace logosmith
