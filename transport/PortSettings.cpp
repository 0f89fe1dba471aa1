#include "transport/PortSettings.h"

#include <charconv>

namespace logosmith {

namespace {

template <std::size_t N> bool chosen(int index, const std::array<const char*, N>&) {
    return index >= 0 && index < static_cast<int>(N);
}

void requireChosen(bool isChosen, const char* what) {
    if (!isChosen)
        throw TransferError(std::string("No ") + what +
                            " is chosen in the communication port settings");
}

} // namespace

std::string baudText(const PortSettings& settings) {
    return chosen(settings.baud, kBaudEntries) ? kBaudEntries[settings.baud] : "";
}

int baudRateFromText(std::string_view text) {
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || value <= 0)
        return 2400;
    return value;
}

SerialLine serialLineFor(const PortSettings& settings) {
    requireChosen(chosen(settings.parity, kParityEntries), "parity");
    requireChosen(chosen(settings.data, kDataBitEntries), "number of data bits");
    requireChosen(chosen(settings.stop, kStopBitEntries), "number of stop bits");
    requireChosen(chosen(settings.flow, kFlowEntries), "flow control");

    SerialLine line;
    line.baudRate = baudRateFromText(baudText(settings));
    line.dataBits = settings.data + 7;
    line.parity = settings.parity == 0   ? SerialParity::None
                  : settings.parity == 1 ? SerialParity::Odd
                                         : SerialParity::Even;
    line.stopBits = settings.stop + 1;
    line.flow = settings.flow == 0   ? SerialFlow::None
                : settings.flow == 1 ? SerialFlow::XonXoff
                                     : SerialFlow::Hardware;
    return line;
}

std::optional<PortKind> portKind(int port) {
    if (port < 0 || port >= static_cast<int>(kPorts.size()))
        return std::nullopt;
    return kPorts[static_cast<std::size_t>(port)].kind;
}

std::string devicePortName(int port) {
    const std::optional<PortKind> kind = portKind(port);
    return kind && (*kind == PortKind::Parallel || *kind == PortKind::Serial)
               ? kPorts[static_cast<std::size_t>(port)].name
               : "";
}

std::string deviceKey(int port) {
    const std::optional<PortKind> kind = portKind(port);
    if (!kind)
        return "";
    switch (*kind) {
    case PortKind::Spooler:
        return "USB";
    case PortKind::Network:
        return "NETWORK";
    case PortKind::Parallel:
    case PortKind::Serial:
        break;
    }
    return devicePortName(port);
}

} // namespace logosmith
