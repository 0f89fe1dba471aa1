// The network port against a listener of the test's own on 127.0.0.1, and the reasons a port
// that cannot be opened is reported with.

#include "tests/support/TransportTestSupport.h"
#include "transport/PortSender.h"
#include "transport/devices/NetworkPort.h"
#include "transport/devices/PortDevice.h"
#include "transport/devices/SerialPort.h"

#include <chrono>
#include <grp.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

using namespace logosmith;
using namespace transport_test;
using namespace std::chrono_literals;

namespace {

TransferRequest overTheNetwork(const std::string& file, const std::string& address) {
    TransferRequest r;
    r.file = file;
    r.port = PortSettings{kNetworkPort, 2, 0, 1, 0, 0, address};
    r.writeTimeout = 5s;
    return r;
}

// A port on 127.0.0.1 that nothing listens on.
int closedPort() {
    const int probe = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(probe, reinterpret_cast<sockaddr*>(&address), sizeof address);
    socklen_t length = sizeof address;
    ::getsockname(probe, reinterpret_cast<sockaddr*>(&address), &length);
    ::close(probe);
    return ntohs(address.sin_port);
}

} // namespace

TEST(NetworkAddress, HostAndPortAreReadAsTypedOrRefused) {
    EXPECT_EQ(parseNetworkAddress("printer.shop"), (NetworkAddress{"printer.shop", 9100}));
    EXPECT_EQ(parseNetworkAddress("tcp://10.0.0.7:4001"), (NetworkAddress{"10.0.0.7", 4001}));
    EXPECT_EQ(parseNetworkAddress("[fe80::1]:9101"), (NetworkAddress{"fe80::1", 9101}));
    EXPECT_EQ(parseNetworkAddress("fe80::1"), (NetworkAddress{"fe80::1", 9100}));
    EXPECT_EQ(networkAddressText({"fe80::1", 9101}), "[fe80::1]:9101");
    for (const char* bad : {"", "tcp://", ":9100", "host:", "host:0", "host:65536", "host:91x",
                            "two words", "[::1", "[::1]9100", "host/path"})
        EXPECT_FALSE(parseNetworkAddress(bad)) << bad;
}

TEST(NetworkPort, TheFileArrivesWholeInPortPiecesAndTheEndOfDataIsSeen) {
    ScratchDir dir;
    TcpPrinter printer;
    const std::string file = dir.path("tlsdlek.prn");
    writeFile(file, patternBytes(1300));
    std::vector<std::size_t> pieces;
    TransferRequest r = overTheNetwork(file, "127.0.0.1:" + std::to_string(printer.port()));
    r.pieceWritten = [&](std::size_t size) { pieces.push_back(size); };
    EXPECT_EQ(SendToPrinter(r).status, TransferStatus::Sent);
    // The printer only hands the job on once the connection has ended.
    EXPECT_EQ(printer.nextJob(5s), patternBytes(1300));
    EXPECT_EQ(pieces, (std::vector<std::size_t>{512, 512, 276}));
}

TEST(NetworkPort, ARefusedOrMissingAddressIsAPortProblemWithItsReason) {
    ScratchDir dir;
    const std::string file = dir.path("tlsdlek.prn");
    writeFile(file, patternBytes(10));
    const auto start = std::chrono::steady_clock::now();
    const TransferResult refused =
        SendToPrinter(overTheNetwork(file, "127.0.0.1:" + std::to_string(closedPort())));
    EXPECT_LT(std::chrono::steady_clock::now() - start, 5s);
    EXPECT_EQ(refused.status, TransferStatus::OpenFailed);
    EXPECT_EQ(refused.message, " Check your port setting ");
    EXPECT_NE(refused.reason.find("refused the connection"), std::string::npos) << refused.reason;

    const TransferResult unset = SendToPrinter(overTheNetwork(file, ""));
    EXPECT_EQ(unset.status, TransferStatus::OpenFailed);
    EXPECT_NE(unset.reason.find("No network address"), std::string::npos) << unset.reason;
    const TransferResult unknown = SendToPrinter(overTheNetwork(file, "no-such-host.invalid"));
    EXPECT_EQ(unknown.status, TransferStatus::OpenFailed);
    EXPECT_NE(unknown.reason.find("no-such-host.invalid"), std::string::npos) << unknown.reason;
}

TEST(PortReasons, PermissionNamesTheGroupToJoinAndABusyLineSaysSo) {
    ScratchDir dir;
    const std::string device = dir.path("ttyUSB0");
    writeFile(device, {});
    const group* dialout = ::getgrnam("dialout");
    ASSERT_NE(dialout, nullptr);
    ASSERT_EQ(::chown(device.c_str(), ::getuid(), dialout->gr_gid), 0);
    const std::string denied = openFailureReason(device, EACCES);
    EXPECT_NE(denied.find("\"dialout\""), std::string::npos) << denied;
    EXPECT_NE(denied.find("adduser $USER dialout"), std::string::npos) << denied;
    EXPECT_NE(openFailureReason(device, EBUSY).find("is busy"), std::string::npos);
    EXPECT_NE(openFailureReason(dir.path("gone"), ENOENT).find("does not exist"),
              std::string::npos);

    // A line held by another program is refused as busy, with that reason.
    Pty line;
    const auto held = SerialPort::open(line.slavePath(), SerialLine{}, 5s);
    TransferRequest r;
    r.file = dir.path("tlsdlek.prn");
    writeFile(r.file, patternBytes(10));
    r.port = PortSettings{2, 2, 0, 1, 0, 0, line.slavePath()};
    const TransferResult busy = SendToPrinter(r);
    EXPECT_EQ(busy.message, " Check your port setting ");
    EXPECT_NE(busy.reason.find("is busy"), std::string::npos) << busy.reason;
}
