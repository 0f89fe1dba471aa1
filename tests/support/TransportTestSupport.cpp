#include "tests/support/TransportTestSupport.h"

#include <arpa/inet.h>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <netinet/in.h>
#include <poll.h>
#include <pty.h>
#include <stdexcept>
#include <sys/socket.h>
#include <unistd.h>

namespace transport_test {

ScratchDir::ScratchDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "transport-XXXXXX").string();
    if (!::mkdtemp(pattern.data()))
        throw std::runtime_error("mkdtemp failed");
    dir_ = pattern;
}

ScratchDir::~ScratchDir() {
    std::error_code ignored;
    std::filesystem::remove_all(dir_, ignored);
}

Pty::Pty() {
    char name[256];
    if (::openpty(&master_, &slave_, name, nullptr, nullptr) != 0)
        throw std::runtime_error("openpty failed");
    slavePath_ = name;
    ::fcntl(master_, F_SETFL, ::fcntl(master_, F_GETFL) | O_NONBLOCK);
}

Pty::~Pty() {
    ::close(master_);
    ::close(slave_);
}

termios Pty::line() const {
    termios tio{};
    ::tcgetattr(slave_, &tio);
    return tio;
}

std::vector<std::uint8_t> Pty::take() {
    std::vector<std::uint8_t> got;
    std::uint8_t buffer[512];
    ssize_t n;
    while ((n = ::read(master_, buffer, sizeof buffer)) > 0)
        got.insert(got.end(), buffer, buffer + n);
    return got;
}

std::vector<std::uint8_t> patternBytes(std::size_t size, unsigned seed) {
    std::vector<std::uint8_t> bytes(size);
    std::uint32_t state = seed * 2654435761u + 1;
    for (auto& byte : bytes) {
        state = state * 1103515245u + 12345u;
        byte = static_cast<std::uint8_t>(state >> 16);
    }
    return bytes;
}

void writeFile(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    if (!out)
        throw std::runtime_error("cannot write " + path);
}

bool exists(const std::string& path) {
    return std::filesystem::exists(path);
}

ByteCollector::ByteCollector(int fd, bool stopAtHangUp, std::size_t expected)
    : fd_(fd), stopAtHangUp_(stopAtHangUp), expected_(expected), thread_([this] { run(); }) {}

ByteCollector::~ByteCollector() {
    stop();
}

void ByteCollector::stop() {
    stop_ = true;
    if (thread_.joinable())
        thread_.join();
}

void ByteCollector::run() {
    std::uint8_t buffer[4096];
    while (!stop_) {
        pollfd pfd{fd_, POLLIN, 0};
        if (::poll(&pfd, 1, 20) <= 0)
            continue;
        const ssize_t got = ::read(fd_, buffer, sizeof buffer);
        if (got > 0) {
            std::lock_guard lock(mutex_);
            bytes_.insert(bytes_.end(), buffer, buffer + got);
            if (expected_ && bytes_.size() >= expected_)
                break;
            continue;
        }
        if (got == 0 && stopAtHangUp_ && (pfd.revents & POLLHUP))
            break;
        if (got < 0 && errno != EAGAIN && errno != EINTR)
            break;
        if (got == 0 && !stopAtHangUp_)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    done_ = true;
}

bool ByteCollector::waitDone(std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!done_ && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    return done_;
}

std::vector<std::uint8_t> ByteCollector::bytes() {
    std::lock_guard lock(mutex_);
    return bytes_;
}

std::size_t ByteCollector::count() {
    std::lock_guard lock(mutex_);
    return bytes_.size();
}

TcpPrinter::TcpPrinter() {
    listener_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address);
    ::listen(listener_, 8);
    socklen_t length = sizeof address;
    ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length);
    port_ = ntohs(address.sin_port);
    thread_ = std::thread([this] { run(); });
}

TcpPrinter::~TcpPrinter() {
    stop_ = true;
    thread_.join();
    ::close(listener_);
}

std::optional<std::vector<std::uint8_t>> TcpPrinter::nextJob(std::chrono::milliseconds timeout) {
    std::unique_lock lock(mutex_);
    if (!arrived_.wait_for(lock, timeout, [&] { return !jobs_.empty(); }))
        return std::nullopt;
    auto job = std::move(jobs_.front());
    jobs_.pop_front();
    return job;
}

void TcpPrinter::run() {
    while (!stop_) {
        pollfd pfd{listener_, POLLIN, 0};
        if (::poll(&pfd, 1, 50) <= 0)
            continue;
        const int connection = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
        if (connection < 0)
            continue;
        std::vector<std::uint8_t> bytes;
        std::uint8_t buffer[65536];
        for (;;) {
            const ssize_t got = ::read(connection, buffer, sizeof buffer);
            if (got <= 0)
                break;
            bytes.insert(bytes.end(), buffer, buffer + got);
        }
        ::close(connection);
        std::lock_guard lock(mutex_);
        jobs_.push_back(std::move(bytes));
        arrived_.notify_all();
    }
}

} // namespace transport_test
