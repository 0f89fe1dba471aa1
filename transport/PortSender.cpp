#include "transport/PortSender.h"

#include "platform/UserDialogs.h"
#include "platform/core/AtomicFile.h"
#include "transport/SpoolerJob.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace logosmith {

namespace {

// A file opened for reading, closed on every way out.
class InputFile {
  public:
    explicit InputFile(const std::string& path) : path_(path) {
        fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd_ < 0)
            throw FileError("Cannot open " + path + ": " + std::strerror(errno));
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

TransferOutcome reportPortProblem(PortOutcome outcome) {
    const TransferOutcome result =
        outcome == PortOutcome::NoPort ? TransferOutcome::NoPort : TransferOutcome::OpenFailed;
    userDialogs().showMessage(QString::fromUtf8(transferMessage(result)));
    return result;
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

TransferOutcome SendToPrinter(const TransferRequest& request) {
    return runThenDelete(request.file, [&] {
        PrinterPort port = OpenPrinterPort(request.port, kPortLineLimit, request.devices);
        if (port.outcome == PortOutcome::Spooler) {
            SpoolRawFile(request.file, SpoolMode::Command);
            return TransferOutcome::Spooled;
        }
        if (port.outcome != PortOutcome::Opened)
            return reportPortProblem(port.outcome);
        port.device->setWriteTimeout(request.writeTimeout);
        copyToPort(request.file, *port.device, kPortPieceSize, request.pieceWritten);
        return TransferOutcome::Sent;
    });
}

std::int64_t FirmwareStepSize(const std::string& file) {
    return InputFile(file).size() / 51200;
}

TransferOutcome DownloadFirmware(const TransferRequest& request) {
    PrinterPort port = OpenPrinterPort(request.port, kPortLineLimit, request.devices);
    if (port.outcome == PortOutcome::Spooler) {
        SpoolRawFile(request.file, SpoolMode::Firmware, request.progressStep);
        return TransferOutcome::Spooled;
    }
    if (port.outcome != PortOutcome::Opened)
        return reportPortProblem(port.outcome);
    port.device->setWriteTimeout(request.writeTimeout);
    const std::int64_t stepSize = FirmwareStepSize(request.file);
    std::int64_t pieces = 0;
    copyToPort(request.file, *port.device, kPortPieceSize, [&](std::size_t size) {
        if (request.pieceWritten)
            request.pieceWritten(size);
        if (++pieces == stepSize) {
            pieces = 0;
            if (request.progressStep)
                request.progressStep();
        }
    });
    return TransferOutcome::Sent;
}

TransferOutcome SendAlignmentSetup(const TransferRequest& request) {
    return runThenDelete(request.file, [&] {
        PrinterPort port = OpenPrinterPort(request.port, kAlignmentLineLimit, request.devices);
        if (port.outcome == PortOutcome::Spooler) {
            SpoolRawFile(request.file, SpoolMode::Alignment, request.progressStep);
            return TransferOutcome::Spooled;
        }
        if (port.outcome != PortOutcome::Opened)
            return reportPortProblem(port.outcome);
        port.device->setWriteTimeout(request.writeTimeout);
        copyToPort(request.file, *port.device, kAlignmentPieceSize, [&](std::size_t size) {
            if (request.pieceWritten)
                request.pieceWritten(size);
            if (request.progressStep)
                request.progressStep();
        });
        return TransferOutcome::Sent;
    });
}

const char* transferMessage(TransferOutcome outcome) {
    switch (outcome) {
    case TransferOutcome::NoPort:
        return kPortDoesNotExist;
    case TransferOutcome::OpenFailed:
        return kCheckPortSetting;
    default:
        return "";
    }
}

} // namespace logosmith
