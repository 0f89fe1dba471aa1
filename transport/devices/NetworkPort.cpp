#include "transport/devices/NetworkPort.h"

#include <cerrno>
#include <charconv>
#include <cstring>
#include <fcntl.h>
#include <linux/sockios.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

namespace logosmith {

namespace {

using Clock = std::chrono::steady_clock;

int remainingMilliseconds(Clock::time_point deadline) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    return left.count() > 0 ? int(left.count()) : 0;
}

std::string seconds(std::chrono::milliseconds time) {
    return std::to_string((time.count() + 999) / 1000) + " s";
}

// The name looked up with a deadline: glibc's asynchronous lookup, so a resolver that does not
// answer cannot hold the transfer.
addrinfo* resolve(const NetworkAddress& address, Clock::time_point deadline,
                  std::chrono::milliseconds timeout) {
    const std::string service = std::to_string(address.port);
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = AI_ADDRCONFIG | AI_NUMERICSERV;
    gaicb request{};
    request.ar_name = address.host.c_str();
    request.ar_service = service.c_str();
    request.ar_request = &hints;
    gaicb* requests[] = {&request};
    if (::getaddrinfo_a(GAI_NOWAIT, requests, 1, nullptr) != 0)
        throw PortOpenError("The address " + address.host + " cannot be looked up");
    for (;;) {
        const int wait = remainingMilliseconds(deadline);
        const timespec limit{wait / 1000, long(wait % 1000) * 1000000L};
        const int status = ::gai_suspend(requests, 1, &limit);
        if (status == EAI_INTR)
            continue;
        const int result = ::gai_error(&request);
        if (result == EAI_INPROGRESS) {
            if (wait > 0)
                continue;
            ::gai_cancel(&request);
            // The lookup may still be finishing; it owns the request until it has.
            while (::gai_error(&request) == EAI_INPROGRESS)
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
            if (request.ar_result)
                ::freeaddrinfo(request.ar_result);
            throw PortOpenError("The address " + address.host + " could not be looked up within " +
                                seconds(timeout));
        }
        if (result != 0)
            throw PortOpenError("The address " + address.host +
                                " is not known: " + ::gai_strerror(result));
        return request.ar_result;
    }
}

// One connection attempt, non-blocking, until the deadline; the socket or -1 with errno.
int connectTo(const addrinfo& target, Clock::time_point deadline) {
    const int fd = ::socket(target.ai_family, target.ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC,
                            target.ai_protocol);
    if (fd < 0)
        return -1;
    if (::connect(fd, target.ai_addr, target.ai_addrlen) == 0)
        return fd;
    if (errno != EINPROGRESS) {
        const int error = errno;
        ::close(fd);
        errno = error;
        return -1;
    }
    for (;;) {
        pollfd wait{fd, POLLOUT, 0};
        const int ready = ::poll(&wait, 1, remainingMilliseconds(deadline));
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready <= 0) {
            ::close(fd);
            errno = ready == 0 ? ETIMEDOUT : errno;
            return -1;
        }
        int error = 0;
        socklen_t length = sizeof error;
        if (::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &length) != 0)
            error = errno;
        if (error == 0)
            return fd;
        ::close(fd);
        errno = error;
        return -1;
    }
}

} // namespace

std::optional<NetworkAddress> parseNetworkAddress(std::string_view text) {
    if (text.substr(0, 6) == "tcp://")
        text.remove_prefix(6);
    if (text.empty() || text.find_first_of(" \t\r\n/") != std::string_view::npos)
        return std::nullopt;
    NetworkAddress address;
    std::string_view host = text;
    std::string_view port;
    if (text.front() == '[') {
        const std::size_t close = text.find(']');
        if (close == std::string_view::npos)
            return std::nullopt;
        host = text.substr(1, close - 1);
        const std::string_view rest = text.substr(close + 1);
        if (!rest.empty()) {
            if (rest.front() != ':')
                return std::nullopt;
            port = rest.substr(1);
            if (port.empty())
                return std::nullopt;
        }
    } else if (const std::size_t colon = text.rfind(':'); colon != std::string_view::npos) {
        // More than one colon without brackets is a bare IPv6 address.
        if (text.find(':') == colon) {
            host = text.substr(0, colon);
            port = text.substr(colon + 1);
            if (port.empty())
                return std::nullopt;
        }
    }
    if (host.empty())
        return std::nullopt;
    if (!port.empty()) {
        int number = 0;
        const auto [end, error] = std::from_chars(port.data(), port.data() + port.size(), number);
        if (error != std::errc() || end != port.data() + port.size() || number < 1 ||
            number > 65535)
            return std::nullopt;
        address.port = number;
    }
    address.host = std::string(host);
    return address;
}

std::string networkAddressText(const NetworkAddress& address) {
    const bool v6 = address.host.find(':') != std::string::npos;
    return (v6 ? "[" + address.host + "]" : address.host) + ":" + std::to_string(address.port);
}

std::unique_ptr<NetworkPort> NetworkPort::open(const std::string& text,
                                               std::chrono::milliseconds connectTimeout,
                                               std::chrono::milliseconds writeTimeout) {
    const std::optional<NetworkAddress> address = parseNetworkAddress(text);
    if (!address)
        throw PortOpenError(text.empty() ? "No network address is set for the network port"
                                         : "\"" + text +
                                               "\" is not a network address (host or "
                                               "host:port)");
    const std::string shown = networkAddressText(*address);
    const auto deadline = Clock::now() + connectTimeout;
    addrinfo* found = resolve(*address, deadline, connectTimeout);
    int fd = -1;
    int error = 0;
    for (const addrinfo* target = found; target && fd < 0; target = target->ai_next) {
        fd = connectTo(*target, deadline);
        if (fd < 0)
            error = errno;
    }
    ::freeaddrinfo(found);
    if (fd < 0) {
        switch (error) {
        case ECONNREFUSED:
            throw PortOpenError("The printer at " + shown +
                                " refused the connection: nothing listens on that port.");
        case ETIMEDOUT:
            throw PortOpenError("The printer at " + shown + " did not answer within " +
                                seconds(connectTimeout) + ".");
        case EHOSTUNREACH:
        case ENETUNREACH:
            throw PortOpenError("The printer at " + shown +
                                " cannot be reached: " + std::strerror(error) + ".");
        default:
            throw PortOpenError("Cannot connect to " + shown + ": " + std::strerror(error) + ".");
        }
    }
    const int on = 1;
    ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
    return std::unique_ptr<NetworkPort>(new NetworkPort(fd, shown, writeTimeout));
}

void NetworkPort::finish() {
    const auto deadline = Clock::now() + writeTimeout();
    for (;;) {
        int unacknowledged = 0;
        if (::ioctl(fd(), SIOCOUTQ, &unacknowledged) != 0 || unacknowledged <= 0)
            break;
        if (Clock::now() >= deadline)
            throw TransferTimeout("The printer at " + path() + " did not take the last " +
                                  std::to_string(unacknowledged) + " bytes");
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    ::shutdown(fd(), SHUT_WR);
}

} // namespace logosmith
