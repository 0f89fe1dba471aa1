#pragma once

#include "platform/devices/PortDevice.h"

#include <array>
#include <string>
#include <string_view>

namespace logosmith {

// The six port choices, each the index of an entry in its fixed list; -1 means none chosen.
struct PortSettings {
    int port = 0;   // "LPT1"
    int baud = 2;   // "9600"
    int parity = 0; // "None"
    int data = 1;   // "8"
    int stop = 0;   // "1"
    int flow = 0;   // "None"

    bool operator==(const PortSettings&) const = default;
};

inline constexpr PortSettings kDefaultPortSettings{};

inline constexpr std::array<const char*, 7> kPortEntries{"LPT1", "LPT2", "COM1", "COM2",
                                                         "COM3", "COM4", "U S B"};
inline constexpr std::array<const char*, 6> kBaudEntries{"2400",  "4800",  "9600",
                                                         "19200", "38400", "57600"};
inline constexpr std::array<const char*, 3> kParityEntries{"None", "Odd", "Even"};
inline constexpr std::array<const char*, 2> kDataBitEntries{"7", "8"};
inline constexpr std::array<const char*, 2> kStopBitEntries{"1", "2"};
inline constexpr std::array<const char*, 3> kFlowEntries{"None", "Xon/Xoff", "Hardware"};

inline constexpr int kFirstComPort = 2;
inline constexpr int kUsbPort = 6;

// The text of the chosen baud entry; empty when none is chosen.
std::string baudText(const PortSettings& settings);
// A baud text as bits per second: a decimal number, else 2400.
int baudRateFromText(std::string_view text);
// The serial line the settings describe. Throws TransferError when parity, data bits, stop
// bits or flow control has no entry chosen, since no sensible line follows from that.
SerialLine serialLineFor(const PortSettings& settings);

// "LPT1" … "COM4" for ports 0–5; empty otherwise.
std::string devicePortName(int port);

} // namespace logosmith
