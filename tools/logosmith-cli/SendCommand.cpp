#include "tools/logosmith-cli/SendCommand.h"

#include "platform/core/AtomicFile.h"
#include "platform/core/Error.h"
#include "tools/logosmith-cli/ConsoleDialogs.h"
#include "tools/logosmith-cli/Options.h"
#include "transport/DeviceSettings.h"
#include "transport/PortSender.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <iostream>
#include <sys/stat.h>
#include <unistd.h>

namespace logosmith::cli {

namespace {

// The port list's entries as typed on a command line: "U S B" is written USB.
const std::vector<std::string> portNames{"LPT1", "LPT2", "COM1", "COM2", "COM3", "COM4", "USB"};

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

std::string tooLarge(const std::string& file) {
    return file + " is larger than any printer stream (" +
           std::to_string(maxStreamBytes / (1024 * 1024)) + " MB at most)";
}

void copyDescriptor(int from, int to, const std::string& file, const std::string& copy) {
    char buffer[64 * 1024];
    std::int64_t copied = 0;
    for (;;) {
        const ssize_t got = ::read(from, buffer, sizeof buffer);
        if (got == 0)
            return;
        if (got > 0 && (copied += got) > maxStreamBytes) // a file that grows while we copy
            throw FileError(tooLarge(file));
        if (got < 0) {
            if (errno == EINTR)
                continue;
            throw FileError("Cannot read " + file + ": " + std::strerror(errno));
        }
        for (ssize_t done = 0; done < got;) {
            const ssize_t put = ::write(to, buffer + done, std::size_t(got - done));
            if (put < 0 && errno == EINTR)
                continue;
            if (put < 0)
                throw FileError("Cannot write " + copy + ": " + std::strerror(errno));
            done += put;
        }
    }
}

// Installs a set of dialogs for the lifetime of one command.
class InstalledDialogs {
  public:
    explicit InstalledDialogs(UserDialogs& dialogs) { installUserDialogs(&dialogs); }
    ~InstalledDialogs() { installUserDialogs(nullptr); }
    InstalledDialogs(const InstalledDialogs&) = delete;
    InstalledDialogs& operator=(const InstalledDialogs&) = delete;
};

// Removes the temporary copy if the send did not get as far as deleting it.
struct RemoveOnExit {
    std::string path;
    ~RemoveOnExit() {
        try {
            deleteFileIfExists(path);
        } catch (...) {
            // a leftover temporary file is no reason to hide the command's own outcome
        }
    }
};

int run(const std::vector<std::string>& arguments, std::ostream& out) {
    const SendRequest request = parseSend(arguments);
    ConsoleDialogs dialogs(std::cerr, "logosmith-cli send:");
    InstalledDialogs installed(dialogs);

    // The general send deletes what it has sent; the user's file must survive, so a copy goes.
    const RemoveOnExit copy{copyToTemporaryFile(request.file)};
    TransferRequest transfer = makeTransferRequest(copy.path, request.port);
    std::uint64_t sent = 0;
    transfer.pieceWritten = [&sent](std::size_t size) { sent += size; };
    const TransferOutcome outcome = SendToPrinter(transfer);

    if (outcome == TransferOutcome::Sent)
        out << request.file << ": " << sent << " bytes sent to " << portNames[request.port.port]
            << "\n";
    else if (outcome == TransferOutcome::Spooled)
        out << request.file << ": handed to the default printer's spooler\n";
    const bool succeeded =
        (outcome == TransferOutcome::Sent || outcome == TransferOutcome::Spooled) &&
        dialogs.messagesShown() == 0;
    return succeeded ? 0 : 1;
}

} // namespace

SendRequest parseSend(const std::vector<std::string>& arguments) {
    const Options options(arguments, {"port", "baud", "parity", "data", "stop", "flow"}, {});
    if (options.positional().size() != 1)
        throw UsageError("send needs exactly one file");
    if (!options.value("port"))
        throw UsageError("send needs --port");
    SendRequest request;
    request.file = options.positional()[0];
    PortSettings& p = request.port;
    p.port = options.choice("port", portNames, kDefaultPortSettings.port);
    p.baud = options.choice("baud", entries(kBaudEntries), kDefaultPortSettings.baud);
    p.parity = options.choice("parity", {"none", "odd", "even"}, kDefaultPortSettings.parity);
    p.data = options.choice("data", entries(kDataBitEntries), kDefaultPortSettings.data);
    p.stop = options.choice("stop", entries(kStopBitEntries), kDefaultPortSettings.stop);
    p.flow = options.choice("flow", {"none", "xon", "hardware"}, kDefaultPortSettings.flow);
    return request;
}

std::string copyToTemporaryFile(const std::string& file) {
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
        throw FileError(tooLarge(file));
    std::string copy =
        (std::filesystem::temp_directory_path() / "logosmith-cli-send-XXXXXX").string();
    Descriptor output{::mkstemp(copy.data())};
    if (output.fd < 0)
        throw FileError("Cannot create a temporary file in " +
                        std::filesystem::temp_directory_path().string() + ": " +
                        std::strerror(errno));
    try {
        copyDescriptor(input.fd, output.fd, file, copy);
        const int fd = output.fd;
        output.fd = -1;
        if (::close(fd) != 0)
            throw FileError("Cannot write " + copy + ": " + std::strerror(errno));
    } catch (...) {
        ::unlink(copy.c_str());
        throw;
    }
    return copy;
}

Subcommand sendSubcommand() {
    return Subcommand{
        "send",
        "FILE --port LPT1|LPT2|COM1|COM2|COM3|COM4|USB [--baud 2400..57600]\n"
        "        [--parity none|odd|even] [--data 7|8] [--stop 1|2] [--flow none|xon|hardware]",
        "send a command file to the printer as the program does; the file is kept", &run};
}

} // namespace logosmith::cli
