// mrx310-sim: the virtual printer. Reads one byte stream from a file, standard input, a TCP
// connection or a pseudo-terminal, checks it strictly and writes what the printer would have
// printed and stored (see README.md beside this file).

#include "platform/core/AtomicFile.h"
#include "platform/core/Error.h"
#include "tools/mrx310-sim/SimPrinter.h"

#include <QBuffer>
#include <QImage>
#include <QImageWriter>

#include <arpa/inet.h>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <netinet/in.h>
#include <new>
#include <optional>
#include <poll.h>
#include <string>
#include <sys/socket.h>
#include <termios.h>
#include <thread>
#include <unistd.h>

using logosmith::sim::Expect;
using logosmith::sim::SimPrinter;

namespace {

struct Options {
    std::string outDir;
    std::optional<std::string> file;
    std::optional<int> tcpPort;
    bool pty = false;
    std::optional<long> xoffAfter;
    long xoffMs = 500;
    Expect expect = Expect::anything;
};

const char usageText[] =
    "usage: mrx310-sim --out DIR [--expect store|print|align|firmware | --firmware]\n"
    "                  [FILE | - | --tcp PORT | --pty [--xoff-after N --xoff-ms T]]\n"
    "       mrx310-sim --version | --help\n";

[[noreturn]] void usage(const std::string& problem) {
    std::fprintf(stderr, "mrx310-sim: %s\n%s", problem.c_str(), usageText);
    std::exit(2);
}

[[noreturn]] void fail(const std::string& what) {
    std::fprintf(stderr, "mrx310-sim: %s: %s\n", what.c_str(), std::strerror(errno));
    std::exit(2);
}

long parseNumber(const char* text, const char* option) {
    char* end = nullptr;
    errno = 0;
    const long value = std::strtol(text, &end, 10);
    if (errno != 0 || end == text || *end != '\0' || value < 0)
        usage(std::string("bad number for ") + option + ": " + text);
    return value;
}

Options parseOptions(int argc, char** argv) {
    Options o;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        auto value = [&]() -> const char* {
            if (i + 1 >= argc)
                usage(arg + " needs a value");
            return argv[++i];
        };
        if (arg == "--version") {
            std::printf("mrx310-sim %s\n", LOGOSMITH_VERSION);
            std::exit(0);
        }
        if (arg == "--help") {
            std::fputs(usageText, stdout);
            std::exit(0);
        }
        if (arg == "--out")
            o.outDir = value();
        else if (arg == "--tcp")
            o.tcpPort = int(parseNumber(value(), "--tcp"));
        else if (arg == "--pty")
            o.pty = true;
        else if (arg == "--xoff-after")
            o.xoffAfter = parseNumber(value(), "--xoff-after");
        else if (arg == "--xoff-ms")
            o.xoffMs = parseNumber(value(), "--xoff-ms");
        else if (arg == "--firmware" || arg == "--expect") {
            const auto expect =
                arg == "--firmware" ? Expect::firmware : logosmith::sim::expectFromName(value());
            if (!expect)
                usage(std::string("--expect takes store, print, align or firmware, not ") +
                      argv[i]);
            if (o.expect != Expect::anything && o.expect != *expect)
                usage("expect one document only");
            o.expect = *expect;
        } else if (arg.size() > 1 && arg[0] == '-' && arg != "-")
            usage("unknown option " + arg);
        else if (o.file)
            usage("only one input file");
        else
            o.file = arg;
    }
    if (o.outDir.empty())
        usage("--out DIR is required");
    if (int(o.pty) + int(o.tcpPort.has_value()) + int(o.file.has_value()) > 1)
        usage("choose one input: FILE, --tcp or --pty");
    if (o.xoffAfter && !o.pty)
        usage("--xoff-after works only with --pty");
    if (o.tcpPort && *o.tcpPort > 65535)
        usage("--tcp takes a port up to 65535");
    return o;
}

void readAll(int fd, SimPrinter& printer) {
    std::uint8_t buffer[65536];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n > 0)
            printer.feed(buffer, std::size_t(n));
        else if (n == 0)
            return;
        else if (errno != EINTR)
            fail("read");
    }
}

void readTcp(int port, SimPrinter& printer) {
    const int listener = ::socket(AF_INET, SOCK_STREAM, 0);
    if (listener < 0)
        fail("socket");
    const int yes = 1;
    ::setsockopt(listener, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(std::uint16_t(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0)
        fail("bind 127.0.0.1:" + std::to_string(port));
    if (::listen(listener, 1) != 0)
        fail("listen");
    socklen_t size = sizeof address;
    ::getsockname(listener, reinterpret_cast<sockaddr*>(&address), &size);
    std::printf("listening on 127.0.0.1:%d\n", int(ntohs(address.sin_port)));
    std::fflush(stdout);
    int connection;
    do
        connection = ::accept(listener, nullptr, nullptr);
    while (connection < 0 && errno == EINTR);
    if (connection < 0)
        fail("accept");
    ::close(listener);
    readAll(connection, printer);
    ::close(connection);
}

// Reads the master side until the sender has opened and closed the slave. Linux reports a
// hang-up on the master only while no slave is open (some kernels also before the first open,
// which is why a hang-up counts only after the slave has been seen open or data has come).
std::string readPty(const Options& o, SimPrinter& printer) {
    const int master = ::posix_openpt(O_RDWR | O_NOCTTY);
    if (master < 0 || ::grantpt(master) != 0 || ::unlockpt(master) != 0)
        fail("pseudo-terminal");
    termios raw{};
    if (::tcgetattr(master, &raw) == 0) {
        ::cfmakeraw(&raw);
        ::tcsetattr(master, TCSANOW, &raw);
    }
    std::printf("%s\n", ::ptsname(master));
    std::fflush(stdout);

    using Clock = std::chrono::steady_clock;
    bool slaveSeenOpen = false;
    std::size_t received = 0;
    std::optional<Clock::time_point> pausedAt;
    std::optional<std::size_t> pausedAfter;
    bool resumed = false;
    std::size_t receivedWhilePaused = 0;
    long pauseMs = 0;
    std::uint8_t buffer[4096];

    auto sendFlowByte = [&](char c) {
        while (::write(master, &c, 1) < 0 && errno == EINTR) {
        }
    };

    for (;;) {
        int timeout = 50;
        if (pausedAt && !resumed) {
            const auto due = *pausedAt + std::chrono::milliseconds(o.xoffMs);
            timeout = int(std::max<long>(
                0,
                std::chrono::duration_cast<std::chrono::milliseconds>(due - Clock::now()).count()));
        }
        pollfd p{master, POLLIN, 0};
        const int r = ::poll(&p, 1, timeout);
        if (r < 0 && errno != EINTR)
            fail("poll");
        if (pausedAt && !resumed &&
            Clock::now() >= *pausedAt + std::chrono::milliseconds(o.xoffMs)) {
            sendFlowByte('X');
            resumed = true;
            pauseMs =
                long(std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - *pausedAt)
                         .count());
        }
        if (r <= 0) {
            if (r == 0)
                slaveSeenOpen =
                    true; // no hang-up reported: a slave is open (or never was, see above)
            continue;
        }
        if (p.revents & POLLIN) {
            const ssize_t n = ::read(master, buffer, sizeof buffer);
            if (n > 0) {
                slaveSeenOpen = true;
                printer.feed(buffer, std::size_t(n));
                received += std::size_t(n);
                if (pausedAt && !resumed)
                    receivedWhilePaused += std::size_t(n);
                if (o.xoffAfter && !pausedAt && received >= std::size_t(*o.xoffAfter)) {
                    sendFlowByte('P');
                    pausedAt = Clock::now();
                    pausedAfter = received;
                }
                continue;
            }
            if (n < 0 && errno != EIO && errno != EINTR && errno != EAGAIN)
                fail("read");
        }
        if (p.revents & (POLLHUP | POLLERR | POLLIN)) {
            if (slaveSeenOpen)
                break;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
    }
    ::close(master);

    std::string flow = "\"input\": \"pty\"";
    if (o.xoffAfter) {
        flow += ", \"flow\": {\"pause_sent_after\": " +
                (pausedAfter ? std::to_string(*pausedAfter) : std::string("null")) +
                ", \"resume_sent\": " + (resumed ? "true" : "false") +
                ", \"pause_ms\": " + std::to_string(pauseMs) +
                ", \"received_while_paused\": " + std::to_string(receivedWhilePaused) + "}";
    }
    return flow;
}

void writeText(const std::string& path, const std::string& text) {
    logosmith::writeFileAtomically(path, std::vector<std::uint8_t>(text.begin(), text.end()));
}

// A PNG with one palette entry per ink combination: paper white, L black, R red, both dark
// purple. Fast compression: the picture can be large, and its time counts against the stream's.
void writeSheet(const std::string& path, const logosmith::sim::Sheet& sheet) {
    int width = 0, height = 0;
    const auto dots = sheet.render(width, height);
    QImage image(dots.data(), width, height, width, QImage::Format_Indexed8);
    image.setColorTable({qRgb(255, 255, 255), qRgb(0, 0, 0), qRgb(255, 0, 0), qRgb(112, 0, 112)});
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "png");
    writer.setQuality(80); // zlib level 1
    if (!writer.write(image))
        throw logosmith::FileError("Cannot encode " + path + " as PNG");
    logosmith::writeFileAtomically(path, std::vector<std::uint8_t>(png.begin(), png.end()));
}

int run(int argc, char** argv) {
    const Options o = parseOptions(argc, argv);
    std::error_code ec;
    std::filesystem::create_directories(o.outDir, ec);
    if (ec) {
        std::fprintf(stderr, "mrx310-sim: cannot create %s: %s\n", o.outDir.c_str(),
                     ec.message().c_str());
        return 2;
    }

    SimPrinter printer(o.expect);
    std::string extra;
    if (o.tcpPort) {
        readTcp(*o.tcpPort, printer);
        extra = "\"input\": \"tcp\"";
    } else if (o.pty) {
        extra = readPty(o, printer);
    } else if (o.file && *o.file != "-") {
        const int fd = ::open(o.file->c_str(), O_RDONLY);
        if (fd < 0)
            fail("open " + *o.file);
        readAll(fd, printer);
        ::close(fd);
        extra = "\"input\": \"file\"";
    } else {
        readAll(STDIN_FILENO, printer);
        extra = "\"input\": \"stdin\"";
    }
    printer.finish();

    const std::string dir = o.outDir + "/";
    writeText(dir + "report.json", printer.reportJson(extra));
    if (!printer.firmware()) {
        writeSheet(dir + "paper.png", printer.paper());
        for (const auto& logo : printer.storedLogos())
            writeSheet(dir + "logo-" + std::to_string(logo.number) + ".png", logo.sheet);
    }

    for (const auto& e : printer.errors())
        std::fprintf(stderr, "mrx310-sim: offset %zu: %s\n", e.offset, e.message.c_str());
    std::fprintf(stderr, "mrx310-sim: %zu bytes, %s\n", printer.bytes(),
                 printer.ok() ? "ok" : "rejected");
    return printer.ok() ? 0 : 1;
}

} // namespace

// Whatever goes wrong ends in a message and exit code 2, never in an abort without a report.
int main(int argc, char** argv) {
    try {
        return run(argc, argv);
    } catch (const std::bad_alloc&) {
        std::fprintf(stderr, "mrx310-sim: out of memory\n");
    } catch (const std::exception& e) {
        std::fprintf(stderr, "mrx310-sim: %s\n", e.what());
    } catch (...) {
        std::fprintf(stderr, "mrx310-sim: unexpected failure\n");
    }
    return 2;
}
