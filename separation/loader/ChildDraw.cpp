#include "separation/loader/ChildDraw.h"

#include "platform/core/Error.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <new>
#include <poll.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/time.h>
#include <sys/wait.h>
#include <unistd.h>

#if defined(__SANITIZE_ADDRESS__)
#define LOGOSMITH_SANITIZED 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define LOGOSMITH_SANITIZED 1
#endif
#endif

namespace logosmith::decoders {

namespace {

// Memory beyond what the child had when it started, and time on the clock (a busy machine
// gives it less processor time per second).
[[maybe_unused]] constexpr long long extraMemoryBytes = 512LL * 1024 * 1024;
constexpr int wallMilliseconds = 1600;

std::string tooMuchDrawing(const std::string& format) {
    return "The " + format + " file asks for too much drawing (more than a second of it)";
}

// The message the child sends: a header, then the picture's rows or a message.
struct Header {
    std::int32_t ok = 0;
    std::int32_t width = 0; // the picture's own size, or the message's length
    std::int32_t height = 0;
};

bool writeAll(int fd, const void* data, std::size_t size) {
    const auto* p = static_cast<const std::uint8_t*>(data);
    while (size > 0) {
        const ssize_t n = ::write(fd, p, size);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        p += n;
        size -= std::size_t(n);
    }
    return true;
}

// Reads until `size` bytes are in or the deadline passes; false on the end of the pipe or time.
bool readAll(int fd, void* into, std::size_t size, std::chrono::steady_clock::time_point deadline,
             bool& late) {
    auto* p = static_cast<std::uint8_t*>(into);
    while (size > 0) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            late = true;
            return false;
        }
        pollfd wait{fd, POLLIN, 0};
        const int ready = ::poll(&wait, 1, int(left.count()));
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready <= 0)
            continue; // the deadline is checked above
        const ssize_t n = ::read(fd, p, size);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        p += n;
        size -= std::size_t(n);
    }
    return true;
}

void limitChild() {
    ::prctl(PR_SET_PDEATHSIG, SIGKILL);
#ifndef LOGOSMITH_SANITIZED
    // The sanitizers reserve terabytes of address space; the memory bound is left to the
    // fuzzer's own limits there.
    long pages = 0;
    if (FILE* statm = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(statm, "%ld", &pages) != 1)
            pages = 0;
        std::fclose(statm);
    }
    if (pages > 0) {
        const rlim_t limit = rlim_t(pages) * rlim_t(::sysconf(_SC_PAGESIZE)) + extraMemoryBytes;
        const rlimit memory{limit, limit};
        ::setrlimit(RLIMIT_AS, &memory);
    }
#endif
    std::signal(SIGPROF, SIG_DFL);
    sigset_t profiling;
    sigemptyset(&profiling);
    sigaddset(&profiling, SIGPROF);
    ::sigprocmask(SIG_UNBLOCK, &profiling, nullptr);
    itimerval cpu{};
    cpu.it_value.tv_sec = childDrawingMilliseconds / 1000;
    cpu.it_value.tv_usec = (childDrawingMilliseconds % 1000) * 1000;
    ::setitimer(ITIMER_PROF, &cpu, nullptr);
}

// In the child: bounds, the drawing, the answer. Never returns.
[[noreturn]] void drawAndAnswer(const std::string& format, bool fit,
                                const std::function<void(PictureBuilder&)>& draw, int fd) {
    limitChild();
    std::string message;
    try {
        PictureBuilder picture(LoadOptions{fit});
        draw(picture);
        const Header header{1, picture.width(), picture.height()};
        if (writeAll(fd, &header, sizeof header))
            writeAll(fd, picture.output().bytes(), picture.output().byteCount());
        ::_exit(0);
    } catch (const DecodeError& e) {
        message = e.what();
    } catch (const std::bad_alloc&) {
        message = "The " + format + " file needs too much memory to draw";
    } catch (const std::exception& e) {
        message = "The " + format + " file cannot be drawn: " + e.what();
    }
    const Header header{0, std::int32_t(message.size()), 0};
    if (writeAll(fd, &header, sizeof header))
        writeAll(fd, message.data(), message.size());
    ::_exit(0);
}

struct Child {
    pid_t pid = -1;
    int fd = -1;
    ~Child() {
        if (fd >= 0)
            ::close(fd);
        if (pid > 0)
            finish(true);
    }
    // Waits for the child to end (killing it first when told) and says how it ended.
    int finish(bool kill) {
        if (kill)
            ::kill(pid, SIGKILL);
        int status = 0;
        while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
        }
        pid = -1;
        return status;
    }
};

} // namespace

void drawInChild(const std::string& format, PictureBuilder& out,
                 const std::function<void(PictureBuilder&)>& draw) {
    const std::string cannot = "The " + format + " file cannot be drawn: ";
    int pipeEnds[2];
    if (::pipe2(pipeEnds, O_CLOEXEC) != 0)
        throw DecodeError(cannot + std::strerror(errno));
    Child child;
    child.fd = pipeEnds[0];
    child.pid = ::fork();
    if (child.pid < 0) {
        ::close(pipeEnds[1]);
        throw DecodeError(cannot + std::strerror(errno));
    }
    if (child.pid == 0) {
        ::close(pipeEnds[0]);
        drawAndAnswer(format, out.fits(), draw, pipeEnds[1]);
    }
    ::close(pipeEnds[1]);

    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(wallMilliseconds);
    bool late = false;
    Header header;
    if (readAll(child.fd, &header, sizeof header, deadline, late)) {
        if (header.ok == 0) {
            std::string message(std::size_t(std::clamp(header.width, 0, 4096)), '\0');
            if (readAll(child.fd, message.data(), message.size(), deadline, late))
                throw DecodeError(message);
        } else {
            out.begin(header.width, header.height, true);
            Picture& picture = out.output();
            if (readAll(child.fd, picture.bytes(), picture.byteCount(), deadline, late)) {
                child.finish(false);
                return;
            }
        }
    }
    const int status = child.finish(late);
    if (late ||
        (WIFSIGNALED(status) && (WTERMSIG(status) == SIGPROF || WTERMSIG(status) == SIGKILL)))
        throw DecodeError(tooMuchDrawing(format));
    throw DecodeError(cannot + "it is damaged or needs too much memory");
}

} // namespace logosmith::decoders
