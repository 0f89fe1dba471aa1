#include "transport/devices/PortDevice.h"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <grp.h>
#include <mutex>
#include <poll.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace logosmith {

namespace {

using Clock = std::chrono::steady_clock;

std::string systemMessage(int error) {
    return std::strerror(error);
}

// The group a device file belongs to, by name; empty when it cannot be told.
std::string groupOf(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0)
        return {};
    const group* owner = ::getgrgid(st.st_gid);
    return owner && owner->gr_name ? owner->gr_name : std::string();
}

// A reader that goes away must surface as EPIPE from write(), not end the program.
void ignoreBrokenPipes() {
    static std::once_flag once;
    std::call_once(once, [] { std::signal(SIGPIPE, SIG_IGN); });
}

} // namespace

PortDevice::PortDevice(int fd, std::string path, std::chrono::milliseconds writeTimeout)
    : fd_(fd), path_(std::move(path)), timeout_(writeTimeout) {
    ignoreBrokenPipes();
}

PortDevice::~PortDevice() {
    if (fd_ >= 0)
        ::close(fd_);
}

int PortDevice::openDeviceFile(const std::string& path, int accessFlags) {
    const int fd = ::open(path.c_str(), accessFlags | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        throw PortOpenError(openFailureReason(path, errno));
    return fd;
}

std::string openFailureReason(const std::string& path, int error) {
    switch (error) {
    case EACCES:
    case EPERM: {
        // Serial lines belong to "dialout" and printers to "lp" on Debian; a member may use them.
        const std::string group = groupOf(path);
        if (group.empty() || group == "root")
            return "You may not use " + path + " (permission denied).";
        return "You may not use " + path + ": it belongs to the group \"" + group +
               "\". Add yourself to that group (sudo adduser $USER " + group +
               "), then log out and in again.";
    }
    case EBUSY:
        return busyReason(path);
    case ENOENT:
    case ENODEV:
        return path + " does not exist: is the printer connected and switched on?";
    case ENXIO:
        return "Nothing answers at " + path + ": is the printer switched on?";
    default:
        return "Cannot open " + path + ": " + systemMessage(error);
    }
}

std::string busyReason(const std::string& path) {
    return path + " is busy: another program is using it.";
}

// Only devices are ports: a device map naming a plain file (or a folder, a socket) would have
// the printer's data written over it and the transfer reported as sent.
void PortDevice::requireDevice(const char* rule, DeviceTest isDevice) const {
    struct stat st {};
    if (::fstat(fd_, &st) != 0)
        throw PortOpenError("Cannot open " + path_ + ": " + systemMessage(errno));
    if (!isDevice(st, fd_))
        throw NotAPortError(path_ + " is not a printer port: " + rule);
}

void PortDevice::write(const std::uint8_t* data, std::size_t size) {
    const auto deadline = Clock::now() + timeout_;
    bool lastWaitWasInstant = false;
    while (size > 0) {
        const ssize_t written = ::write(fd_, data, size);
        if (written > 0) {
            data += written;
            size -= static_cast<std::size_t>(written);
            lastWaitWasInstant = false;
            continue;
        }
        if (written < 0 && errno == EINTR)
            continue;
        if (written < 0 && errno != EAGAIN && errno != EWOULDBLOCK)
            throw TransferError("Writing to " + path_ + " failed: " + systemMessage(errno));

        const auto now = Clock::now();
        if (now >= deadline)
            throw TransferTimeout(
                "The printer on " + path_ + " did not take the data within " +
                std::to_string(std::chrono::duration_cast<std::chrono::seconds>(timeout_).count()) +
                " s");
        // Some drivers (the parallel port) cannot poll and always answer "ready": back off
        // a little instead of spinning.
        if (lastWaitWasInstant)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - now);
        pollfd pfd{fd_, POLLOUT, 0};
        const int wait = static_cast<int>(std::min<long long>(left.count() + 1, 200));
        const auto before = Clock::now();
        const int ready = ::poll(&pfd, 1, wait);
        if (ready < 0 && errno != EINTR)
            throw TransferError("Waiting for " + path_ + " failed: " + systemMessage(errno));
        lastWaitWasInstant = ready > 0 && Clock::now() - before < std::chrono::milliseconds(1);
    }
}

} // namespace logosmith
