#pragma once

#include "transport/devices/SerialPort.h"

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace logosmith {

// The six port choices, each the index of an entry in its fixed list (-1 means none chosen),
// and where the chosen port leads.
struct PortSettings {
    int port = 0;   // "LPT1"
    int baud = 2;   // "9600"
    int parity = 0; // "None"
    int data = 1;   // "8"
    int stop = 0;   // "1"
    int flow = 0;   // "None"
    // The device file a parallel or serial entry opens (empty: its usual device, see DeviceMap),
    // or the address a port of another kind reaches; filled in from the settings file when a
    // transfer starts.
    std::string device;

    bool operator==(const PortSettings&) const = default;
};

inline const PortSettings kDefaultPortSettings{};

// How a port of the list reaches the printer; each kind is one PrinterDevice class (see
// PortKind.h). A new port type is one class, one kind and its entries in the table below.
enum class PortKind { Parallel, Serial, Spooler, Network };

struct PortEntry {
    const char* name;
    PortKind kind;
};

// The port list, in the order of its indices, which the settings file keeps: a new entry goes at
// the end.
inline constexpr std::array<PortEntry, 8> kPorts{{{"LPT1", PortKind::Parallel},
                                                  {"LPT2", PortKind::Parallel},
                                                  {"COM1", PortKind::Serial},
                                                  {"COM2", PortKind::Serial},
                                                  {"COM3", PortKind::Serial},
                                                  {"COM4", PortKind::Serial},
                                                  {"U S B", PortKind::Spooler},
                                                  {"Network", PortKind::Network}}};

// The port list's texts.
inline constexpr std::array<const char*, kPorts.size()> kPortEntries = [] {
    std::array<const char*, kPorts.size()> names{};
    for (std::size_t i = 0; i < kPorts.size(); ++i)
        names[i] = kPorts[i].name;
    return names;
}();
inline constexpr std::array<const char*, 6> kBaudEntries{"2400",  "4800",  "9600",
                                                         "19200", "38400", "57600"};
inline constexpr std::array<const char*, 3> kParityEntries{"None", "Odd", "Even"};
inline constexpr std::array<const char*, 2> kDataBitEntries{"7", "8"};
inline constexpr std::array<const char*, 2> kStopBitEntries{"1", "2"};
inline constexpr std::array<const char*, 3> kFlowEntries{"None", "Xon/Xoff", "Hardware"};

inline constexpr int kUsbPort = 6;
inline constexpr int kNetworkPort = 7;

// The text of the chosen baud entry; empty when none is chosen.
std::string baudText(const PortSettings& settings);
// A baud text as bits per second: a decimal number, else 2400.
int baudRateFromText(std::string_view text);
// The serial line the settings describe. Throws TransferError when parity, data bits, stop
// bits or flow control has no entry chosen, since no sensible line follows from that.
SerialLine serialLineFor(const PortSettings& settings);

// The kind of the chosen port; nullopt when no port is chosen (-1, or past the list).
std::optional<PortKind> portKind(int port);
// The name a device file is found under in the device map ("LPT1" … "COM4"); empty for the
// spooler, the network and when no port is chosen.
std::string devicePortName(int port);
// The name under which the "devices" group says where a port leads: "LPT1" … "COM4" a device
// file, "USB" a print queue (none: the default printer), "NETWORK" a printer's address.
std::string deviceKey(int port);

} // namespace logosmith
