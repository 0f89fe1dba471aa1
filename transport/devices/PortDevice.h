#pragma once

#include "transport/devices/PrinterDevice.h"

#include <chrono>
#include <string>
#include <sys/stat.h>

namespace logosmith {

// Why a device file could not be opened, in words a person can act on: which group a device
// without permission belongs to, that a device is busy, that it is not there.
std::string openFailureReason(const std::string& path, int error);
std::string busyReason(const std::string& path);

// A port opened as a device file (a parallel port, a serial line): non-blocking writes that
// wait in poll() under the write time-out. The port types derive from it.
class PortDevice : public PrinterDevice {
  public:
    ~PortDevice() override;

    // Writes every byte, retrying partial writes; throws TransferError on failure,
    // TransferTimeout when the printer takes nothing for the write time-out.
    void write(const std::uint8_t* data, std::size_t size) override;
    void finish() override {}

    int fd() const { return fd_; }
    const std::string& path() const { return path_; }

  protected:
    // Takes over an open descriptor; it is closed with the device.
    PortDevice(int fd, std::string path, std::chrono::milliseconds writeTimeout);
    // Opens a device file non-blocking (a FIFO without a reader, an absent printer fails at
    // once instead of hanging). Throws PortOpenError.
    static int openDeviceFile(const std::string& path, int accessFlags);
    // Throws NotAPortError, naming the rule, unless the open file is the right kind of device.
    using DeviceTest = bool (*)(const struct stat& status, int fd);
    void requireDevice(const char* rule, DeviceTest isDevice) const;

    std::chrono::milliseconds writeTimeout() const { return timeout_; }

  private:
    int fd_ = -1;
    std::string path_;
    std::chrono::milliseconds timeout_;
};

} // namespace logosmith
