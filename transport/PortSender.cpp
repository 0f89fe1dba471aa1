#include "transport/PortSender.h"

#include "transport/SpoolerJob.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <variant>
#include <vector>

namespace logosmith {

namespace {

// A file opened for reading, closed on every way out.
class InputFile {
  public:
    explicit InputFile(const std::string& path) : path_(path) {
        // Non-blocking, so that a FIFO put in a file's place is refused instead of waited on.
        fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
        if (fd_ < 0)
            throw FileError("Cannot open " + path + ": " + std::strerror(errno));
        struct stat info {};
        if (::fstat(fd_, &info) != 0 || !S_ISREG(info.st_mode)) {
            ::close(fd_);
            throw FileError(path + " is not a file that can be sent");
        }
    }
    InputFile(const InputFile&) = delete;
    InputFile& operator=(const InputFile&) = delete;
    ~InputFile() { ::close(fd_); }

    std::size_t read(std::uint8_t* buffer, std::size_t size) {
        for (;;) {
            const ssize_t got = ::read(fd_, buffer, size);
            if (got >= 0)
                return static_cast<std::size_t>(got);
            if (errno != EINTR)
                throw FileError("Cannot read " + path_ + ": " + std::strerror(errno));
        }
    }

    std::int64_t size() const {
        struct stat info {};
        if (::fstat(fd_, &info) != 0)
            throw FileError("Cannot read " + path_ + ": " + std::strerror(errno));
        return info.st_size;
    }

  private:
    std::string path_;
    int fd_ = -1;
};

// Streams a file to the port piece by piece; afterPiece runs once each piece is written.
void copyToPort(const std::string& file, PortDevice& device, std::size_t pieceSize,
                const std::function<void(std::size_t)>& afterPiece) {
    InputFile input(file);
    std::vector<std::uint8_t> buffer(pieceSize);
    for (;;) {
        const std::size_t got = input.read(buffer.data(), pieceSize);
        if (got == 0)
            break;
        device.writeAll(buffer.data(), got);
        if (afterPiece)
            afterPiece(got);
    }
    device.finish();
}

TransferResult portProblem(PortOutcome outcome) {
    if (outcome == PortOutcome::NoPort)
        return {TransferStatus::NoPort, kPortDoesNotExist};
    return {TransferStatus::OpenFailed, kCheckPortSetting};
}

// Opens the chosen port; what keeps it from being opened is a result, not an error. A port
// that refuses (not a port at all, a line it cannot be set to) has been sent nothing.
std::variant<PrinterPort, TransferResult> openPort(const TransferRequest& request, int lineLimit) {
    try {
        PrinterPort port = OpenPrinterPort(request.port, lineLimit, request.devices);
        if (port.outcome == PortOutcome::NoPort || port.outcome == PortOutcome::OpenFailed)
            return portProblem(port.outcome);
        if (port.device)
            port.device->setWriteTimeout(request.writeTimeout);
        return port;
    } catch (const std::exception& error) {
        return TransferResult{TransferStatus::Refused, error.what()};
    }
}

// Runs the part of a transfer after the port is open and turns whatever ends it into a result.
template <class Body> TransferResult outcomeOf(Body&& body) noexcept {
    try {
        return body();
    } catch (const TransferTimeout& error) {
        return {TransferStatus::TimedOut, error.what()};
    } catch (const std::exception& error) {
        return {TransferStatus::Failed, error.what()};
    } catch (...) {
        return {TransferStatus::Failed, "Unknown error"};
    }
}

} // namespace

PrinterPort OpenPrinterPort(const PortSettings& settings, [[maybe_unused]] int lineLimit,
                            const DeviceMap& devices) {
    PrinterPort result;
    if (settings.port == kUsbPort) {
        result.outcome = PortOutcome::Spooler;
        return result;
    }
    const std::string name = devicePortName(settings.port);
    if (name.empty()) {
        result.outcome = PortOutcome::NoPort;
        return result;
    }
    const std::string path = devices.pathFor(name);
    try {
        if (settings.port < kFirstComPort) {
            result.device.emplace(PortDevice::openParallel(path));
        } else {
            const SerialLine line = serialLineFor(settings);
            result.device.emplace(PortDevice::openSerial(path, line));
        }
    } catch (const PortOpenError& error) {
        result.outcome = PortOutcome::OpenFailed;
        result.reason = error.what();
        return result;
    }
    result.outcome = PortOutcome::Opened;
    return result;
}

std::int64_t FirmwareStepSize(const std::string& file) {
    return InputFile(file).size() / 51200;
}

TransferResult RunTransfer(TransferKind kind, const TransferRequest& request) {
    const bool setup = kind == TransferKind::AlignmentSetup;
    auto opened = openPort(request, setup ? kAlignmentLineLimit : kPortLineLimit);
    if (auto* result = std::get_if<TransferResult>(&opened))
        return *result;
    PrinterPort& port = std::get<PrinterPort>(opened);
    return outcomeOf([&] {
        if (port.outcome == PortOutcome::Spooler) {
            const SpoolMode mode = kind == TransferKind::Firmware ? SpoolMode::Firmware
                                   : setup                        ? SpoolMode::Alignment
                                                                  : SpoolMode::Command;
            SpoolRawFile(request.file, mode, request.progressStep);
            return TransferResult{TransferStatus::Spooled, {}};
        }
        // A firmware bar moves once per step size of pieces, a setup bar after every piece.
        const std::int64_t piecesPerStep = kind == TransferKind::Firmware
                                               ? FirmwareStepSize(request.file)
                                           : setup ? 1
                                                   : 0;
        std::int64_t pieces = 0;
        copyToPort(request.file, *port.device, setup ? kAlignmentPieceSize : kPortPieceSize,
                   [&](std::size_t size) {
                       if (request.pieceWritten)
                           request.pieceWritten(size);
                       if (piecesPerStep > 0 && ++pieces == piecesPerStep) {
                           pieces = 0;
                           if (request.progressStep)
                               request.progressStep();
                       }
                   });
        return TransferResult{TransferStatus::Sent, {}};
    });
}

TransferResult SendToPrinter(const TransferRequest& request) {
    return RunTransfer(TransferKind::Command, request);
}

TransferResult DownloadFirmware(const TransferRequest& request) {
    return RunTransfer(TransferKind::Firmware, request);
}

TransferResult SendAlignmentSetup(const TransferRequest& request) {
    return RunTransfer(TransferKind::AlignmentSetup, request);
}

} // namespace logosmith
