#include "tools/logosmith-cli/SendCommand.h"

#include "platform/SettingsStore.h"
#include "platform/core/Error.h"
#include "tools/logosmith-cli/Options.h"
#include "transport/DeviceSettings.h"
#include "transport/PortSender.h"
#include "transport/devices/NetworkPort.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <iostream>
#include <sys/stat.h>
#include <unistd.h>

namespace logosmith::cli {

namespace {

// The port list's entries as typed on a command line: "U S B" is written USB. A network printer
// is given as tcp://HOST[:PORT] instead.
const std::vector<std::string> portNames{"LPT1", "LPT2", "COM1", "COM2",
                                         "COM3", "COM4", "USB",  "NETWORK"};

std::vector<std::string> entries(const auto& list) {
    return std::vector<std::string>(list.begin(), list.end());
}

// A file descriptor closed on every way out.
struct Descriptor {
    int fd = -1;
    ~Descriptor() {
        if (fd >= 0)
            ::close(fd);
    }
};

// The largest stream the program writes is a print command of the tallest picture, about
// 9 MB; a file beyond this is no printer stream (a device, a picture, a disk image).
constexpr std::int64_t maxStreamBytes = 16LL * 1024 * 1024;

int run(const std::vector<std::string>& arguments, std::ostream& out) {
    const SendRequest request = parseSend(arguments);
    requireSendableFile(request.file);

    TransferRequest transfer;
    transfer.file = request.file;
    // A port name leads where the settings file's "devices" group points it, as in the program;
    // an address or queue given here goes first.
    transfer.port =
        request.port.device.empty() ? withDevice(request.port, settingsStore()) : request.port;
    std::uint64_t sent = 0;
    transfer.pieceWritten = [&sent](std::size_t size) { sent += size; };
    const TransferResult result = SendToPrinter(transfer);

    if (result.status == TransferStatus::Sent)
        out << request.file << ": " << sent << " bytes sent to "
            << (request.port.port == kNetworkPort ? transfer.port.device
                                                  : portNames[std::size_t(request.port.port)])
            << "\n";
    else if (result.status == TransferStatus::Spooled)
        out << request.file << ": handed to the default printer's spooler\n";
    else if (result.isPortProblem())
        // The program's port messages keep their blanks: " Port does not exist ".
        std::cerr << "logosmith-cli send:" << result.message
                  << (result.reason.empty() ? "" : "\n  " + result.reason) << std::endl;
    else
        std::cerr << "logosmith-cli send: " << result.message << std::endl;
    return result.succeeded() ? 0 : 1;
}

} // namespace

SendRequest parseSend(const std::vector<std::string>& arguments) {
    const Options options(arguments, {"port", "queue", "baud", "parity", "data", "stop", "flow"},
                          {});
    if (options.positional().size() != 1)
        throw UsageError("send needs exactly one file");
    if (!options.value("port"))
        throw UsageError("send needs --port");
    SendRequest request;
    request.file = options.positional()[0];
    PortSettings& p = request.port;
    const std::string port = *options.value("port");
    if (port.rfind("tcp://", 0) == 0) {
        const std::optional<NetworkAddress> address = parseNetworkAddress(port);
        if (!address)
            throw UsageError("not a network address: " + port + " (tcp://HOST[:PORT])");
        p.port = kNetworkPort;
        p.device = networkAddressText(*address);
    } else {
        p.port = options.choice("port", portNames, kDefaultPortSettings.port);
    }
    if (const std::optional<std::string> queue = options.value("queue")) {
        if (p.port != kUsbPort)
            throw UsageError("--queue names a print queue for --port USB");
        p.device = *queue;
    }
    p.baud = options.choice("baud", entries(kBaudEntries), kDefaultPortSettings.baud);
    p.parity = options.choice("parity", {"none", "odd", "even"}, kDefaultPortSettings.parity);
    p.data = options.choice("data", entries(kDataBitEntries), kDefaultPortSettings.data);
    p.stop = options.choice("stop", entries(kStopBitEntries), kDefaultPortSettings.stop);
    p.flow = options.choice("flow", {"none", "xon", "hardware"}, kDefaultPortSettings.flow);
    return request;
}

void requireSendableFile(const std::string& file) {
    // Non-blocking, so that a FIFO without a writer is refused rather than waited for.
    Descriptor input{::open(file.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY)};
    if (input.fd < 0)
        throw FileError("Cannot open " + file + ": " + std::strerror(errno));
    struct stat st {};
    if (::fstat(input.fd, &st) != 0)
        throw FileError("Cannot read " + file + ": " + std::strerror(errno));
    if (!S_ISREG(st.st_mode))
        throw FileError(file + " is not a regular file; only a saved command file can be sent");
    if (st.st_size > maxStreamBytes)
        throw FileError(file + " is larger than any printer stream (" +
                        std::to_string(maxStreamBytes / (1024 * 1024)) + " MB at most)");
}

Subcommand sendSubcommand() {
    return Subcommand{
        "send",
        "FILE --port LPT1|LPT2|COM1|COM2|COM3|COM4|USB|NETWORK|tcp://HOST[:PORT]\n"
        "        [--queue QUEUE] [--baud 2400..57600] [--parity none|odd|even] [--data 7|8]\n"
        "        [--stop 1|2] [--flow none|xon|hardware]",
        "send a command file to the printer as the program does; the file is kept", &run};
}

} // namespace logosmith::cli
