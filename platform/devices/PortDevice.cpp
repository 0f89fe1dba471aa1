#include "platform/devices/PortDevice.h"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <mutex>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace logosmith {

namespace {

using Clock = std::chrono::steady_clock;

std::string systemMessage(int error) {
    return std::strerror(error);
}

// A reader that goes away must surface as EPIPE from write(), not end the program.
void ignoreBrokenPipes() {
    static std::once_flag once;
    std::call_once(once, [] { std::signal(SIGPIPE, SIG_IGN); });
}

speed_t speedFor(int baudRate) {
    switch (baudRate) {
    case 50:
        return B50;
    case 75:
        return B75;
    case 110:
        return B110;
    case 134:
        return B134;
    case 150:
        return B150;
    case 200:
        return B200;
    case 300:
        return B300;
    case 600:
        return B600;
    case 1200:
        return B1200;
    case 1800:
        return B1800;
    case 2400:
        return B2400;
    case 4800:
        return B4800;
    case 9600:
        return B9600;
    case 19200:
        return B19200;
    case 38400:
        return B38400;
    case 57600:
        return B57600;
    case 115200:
        return B115200;
    case 230400:
        return B230400;
    case 460800:
        return B460800;
    case 921600:
        return B921600;
    default:
        return B0;
    }
}

// Modem-line changes: pseudo-terminals and some adapters have no modem lines at all.
void changeModemLine(int fd, unsigned long request, int line, const std::string& path) {
    if (::ioctl(fd, request, &line) == 0)
        return;
    if (errno == ENOTTY || errno == EINVAL)
        return;
    throw TransferError("Cannot set the modem lines of " + path + ": " + systemMessage(errno));
}

// Only devices are ports: a device map naming a plain file (or a folder, a socket) would have
// the printer's data written over it and the transfer reported as sent.
template <class IsDevice>
void requireDevice(int fd, const std::string& path, const char* rule, IsDevice isDevice) {
    struct stat st {};
    if (::fstat(fd, &st) != 0)
        throw PortOpenError("Cannot open " + path + ": " + systemMessage(errno));
    if (!isDevice(st))
        throw NotAPortError(path + " is not a printer port: " + rule);
}

} // namespace

termios serialLineTermios(const termios& current, const SerialLine& line) {
    const speed_t speed = speedFor(line.baudRate);
    if (speed == B0)
        throw TransferError("The serial speed " + std::to_string(line.baudRate) +
                            " bit/s is not supported");
    if (line.dataBits != 7 && line.dataBits != 8)
        throw TransferError("A serial line has 7 or 8 data bits, not " +
                            std::to_string(line.dataBits));

    termios tio = current;
    // Raw bytes both ways: no translation, no echo, no signals, parity not checked on input.
    tio.c_iflag &= ~(IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL | IXON | IXOFF |
                     IXANY | INPCK | IUCLC | IMAXBEL);
    tio.c_oflag &= ~OPOST;
    tio.c_lflag &= ~(ECHO | ECHONL | ICANON | ISIG | IEXTEN);
    tio.c_cflag &= ~(CSIZE | PARENB | PARODD | CMSPAR | CSTOPB | CRTSCTS | HUPCL);
    tio.c_cflag |= CREAD | CLOCAL | (line.dataBits == 7 ? CS7 : CS8);
    if (line.parity != SerialParity::None)
        tio.c_cflag |= PARENB | (line.parity == SerialParity::Odd ? PARODD : 0);
    if (line.stopBits == 2)
        tio.c_cflag |= CSTOPB;
    if (line.flow == SerialFlow::XonXoff)
        tio.c_iflag |= IXON | IXOFF; // never IXANY: only 'X' may resume
    if (line.flow == SerialFlow::Hardware)
        tio.c_cflag |= CRTSCTS;
    tio.c_cc[VSTART] = kPrinterXon;
    tio.c_cc[VSTOP] = kPrinterXoff;
    tio.c_cc[VMIN] = 1;
    tio.c_cc[VTIME] = 0;
    ::cfsetispeed(&tio, speed);
    ::cfsetospeed(&tio, speed);
    return tio;
}

void applySerialLine(int fd, const SerialLine& line, const std::string& path) {
    termios current{};
    if (::tcgetattr(fd, &current) != 0)
        throw TransferError(path + " is not a serial line: " + systemMessage(errno));
    const termios tio = serialLineTermios(current, line);
    if (::tcsetattr(fd, TCSANOW, &tio) != 0)
        throw TransferError(path + " refused the serial line settings: " + systemMessage(errno));

    changeModemLine(fd, TIOCMBIC, TIOCM_DTR, path);
    changeModemLine(fd, TIOCMBIS, TIOCM_RTS, path);
}

PortDevice::PortDevice(int fd, std::string path, bool serial)
    : fd_(fd), path_(std::move(path)), serial_(serial) {}

PortDevice::PortDevice(PortDevice&& other) noexcept
    : fd_(other.fd_), path_(std::move(other.path_)), serial_(other.serial_),
      timeout_(other.timeout_) {
    other.fd_ = -1;
}

PortDevice& PortDevice::operator=(PortDevice&& other) noexcept {
    if (this != &other) {
        close();
        fd_ = other.fd_;
        path_ = std::move(other.path_);
        serial_ = other.serial_;
        timeout_ = other.timeout_;
        other.fd_ = -1;
    }
    return *this;
}

PortDevice::~PortDevice() {
    close();
}

void PortDevice::close() noexcept {
    if (fd_ < 0)
        return;
    if (serial_)
        ::ioctl(fd_, TIOCNXCL); // let the next opener in even if the terminal stays open
    ::close(fd_);
    fd_ = -1;
}

PortDevice PortDevice::openParallel(const std::string& path) {
    ignoreBrokenPipes();
    // Non-blocking: a FIFO without a reader (or an absent printer) fails at once instead of
    // hanging the program; writes wait in poll() under the time-out instead.
    const int fd = ::open(path.c_str(), O_WRONLY | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        throw PortOpenError("Cannot open " + path + ": " + systemMessage(errno));
    PortDevice device(fd, path, false);
    requireDevice(
        fd, path, "a parallel port must be a character device or a FIFO",
        [](const struct stat& st) { return S_ISCHR(st.st_mode) || S_ISFIFO(st.st_mode); });
    return device;
}

PortDevice PortDevice::openSerial(const std::string& path, const SerialLine& line) {
    ignoreBrokenPipes();
    const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        throw PortOpenError("Cannot open " + path + ": " + systemMessage(errno));
    PortDevice device(fd, path, true);
    requireDevice(fd, path, "a serial port must be a serial line",
                  [fd](const struct stat& st) { return S_ISCHR(st.st_mode) && ::isatty(fd); });
    // TIOCEXCL keeps other openers out, but root ignores it; the lock covers that case.
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0)
        throw PortOpenError(path + " is in use by another program");
    ::ioctl(fd, TIOCEXCL);
    applySerialLine(fd, line, path);
    return device;
}

void PortDevice::writeAll(const std::uint8_t* data, std::size_t size) {
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

void PortDevice::finish() {
    if (!serial_)
        return;
    const auto deadline = Clock::now() + timeout_;
    for (;;) {
        int pending = 0;
        if (::ioctl(fd_, TIOCOUTQ, &pending) != 0 || pending <= 0)
            return;
        if (Clock::now() >= deadline)
            throw TransferTimeout("The printer on " + path_ + " did not take the last " +
                                  std::to_string(pending) + " bytes");
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

} // namespace logosmith
