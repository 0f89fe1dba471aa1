#pragma once

#include "transport/devices/PortDevice.h"

#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace logosmith {

// The port raw network printers and serial device servers listen on.
inline constexpr int kRawPrinterPort = 9100;
// How long a connection may take before the printer counts as unreachable.
inline constexpr std::chrono::milliseconds kConnectTimeout{4000};

struct NetworkAddress {
    std::string host;
    int port = kRawPrinterPort;

    bool operator==(const NetworkAddress&) const = default;
};

// "host", "host:port", "[v6 address]:port", each also after "tcp://"; nothing for anything
// else (an empty host, a port outside 1..65535, blanks inside).
std::optional<NetworkAddress> parseNetworkAddress(std::string_view text);
// "host:port", with brackets around an IPv6 address.
std::string networkAddressText(const NetworkAddress& address);

// The network port: a raw TCP connection to a printer or a serial device server. Writes are
// bounded by the write time-out as on the other ports.
class NetworkPort : public PortDevice {
  public:
    // Resolves and connects, both within connectTimeout. Throws PortOpenError naming the
    // reason: an address that does not parse or resolve, a refused or unreachable connection,
    // no answer in time.
    static std::unique_ptr<NetworkPort> open(const std::string& address,
                                             std::chrono::milliseconds connectTimeout,
                                             std::chrono::milliseconds writeTimeout);

    // Waits until the printer has acknowledged every byte (bounded by the write time-out), then
    // closes the sending side, so the printer sees the end of the data.
    void finish() override;

  private:
    using PortDevice::PortDevice;
};

} // namespace logosmith
