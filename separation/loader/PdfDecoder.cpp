#include "separation/loader/PdfDecoder.h"

#include "platform/core/Error.h"
#include "separation/loader/PaintBudget.h"

#include <QByteArray>
#include <QImage>
#include <QVariant>

#include <poppler-qt6.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <poll.h>
#include <string>
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

// What the drawing process may spend: processor time (then it is stopped by a signal), memory
// beyond what it had when it started, and time on the clock (a busy machine gives it less
// processor time per second).
constexpr int cpuMilliseconds = 1000;
[[maybe_unused]] constexpr long long extraMemoryBytes = 512LL * 1024 * 1024;
constexpr int wallMilliseconds = 1600;

const char* const tooMuchDrawing =
    "The PDF file asks for too much drawing (more than a second of it)";

void quiet(const QString&, const QVariant&) {}

struct AbortState {
    std::chrono::steady_clock::time_point deadline;
    bool hit = false;
};

bool shouldAbort(const QVariant& payload) {
    auto* state = reinterpret_cast<AbortState*>(payload.value<quintptr>());
    if (std::chrono::steady_clock::now() < state->deadline)
        return false;
    state->hit = true;
    return true;
}

// The message the drawing process sends: a header, then the picture's rows or a message.
struct Header {
    std::int32_t ok = 0;
    std::int32_t width = 0; // the page's own size, or the message's length
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

// In the drawing process: bounds, the drawing, the answer. Never returns.
[[noreturn]] void drawAndAnswer(const std::uint8_t* data, std::size_t size, bool fit, int fd) {
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
    cpu.it_value.tv_sec = cpuMilliseconds / 1000;
    cpu.it_value.tv_usec = (cpuMilliseconds % 1000) * 1000;
    ::setitimer(ITIMER_PROF, &cpu, nullptr);

    std::string message;
    try {
        PictureBuilder page(LoadOptions{fit});
        drawPdfPage(data, size, page,
                    std::chrono::steady_clock::now() + std::chrono::milliseconds(cpuMilliseconds));
        const Header header{1, page.width(), page.height()};
        if (writeAll(fd, &header, sizeof header))
            writeAll(fd, page.output().bytes(), page.output().byteCount());
        ::_exit(0);
    } catch (const DecodeError& e) {
        message = e.what();
    } catch (const std::bad_alloc&) {
        message = "The PDF file needs too much memory to draw";
    } catch (const std::exception& e) {
        message = std::string("The PDF file cannot be drawn: ") + e.what();
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
        if (pid > 0) {
            ::kill(pid, SIGKILL);
            int status = 0;
            while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
            }
        }
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

void drawPdfPage(const std::uint8_t* data, std::size_t size, PictureBuilder& out,
                 std::chrono::steady_clock::time_point deadline) {
    Poppler::setDebugErrorFunction(quiet, QVariant());
    const std::unique_ptr<Poppler::Document> document = Poppler::Document::loadFromData(
        QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)));
    if (!document)
        throw DecodeError("The PDF file is damaged");
    if (document->isLocked())
        throw DecodeError("The PDF file is locked with a password");
    if (document->numPages() < 1)
        throw DecodeError("The PDF file holds no page");
    const std::unique_ptr<Poppler::Page> page = document->page(0);
    if (!page)
        throw DecodeError("The PDF file is damaged: its first page cannot be read");
    const QSizeF points = page->pageSizeF();
    const double width = points.width() * 96 / 72, height = points.height() * 96 / 72;
    if (!(width > 0) || !(height > 0) || !std::isfinite(width) || !std::isfinite(height))
        throw DecodeError("The PDF file is damaged: its first page has no size");
    out.begin(std::max<std::int64_t>(1, std::llround(std::min(width, 1e12))),
              std::max<std::int64_t>(1, std::llround(std::min(height, 1e12))));
    Picture& picture = out.output();
    checkCanvasSize("PDF", picture.width(), picture.height());
    if (picture.isEmpty())
        return;
    document->setPaperColor(Qt::white);
    document->setRenderHint(Poppler::Document::Antialiasing);
    document->setRenderHint(Poppler::Document::TextAntialiasing);
    AbortState abort{deadline};
    const QImage drawn = page->renderToImage(
        picture.width() * 72.0 / points.width(), picture.height() * 72.0 / points.height(), 0, 0,
        picture.width(), picture.height(), Poppler::Page::Rotate0, nullptr, nullptr, shouldAbort,
        QVariant::fromValue(reinterpret_cast<quintptr>(&abort)));
    if (abort.hit)
        throw DecodeError(tooMuchDrawing);
    if (drawn.isNull())
        throw DecodeError("The PDF file's first page cannot be drawn");
    const QImage argb = drawn.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < std::min(picture.height(), argb.height()); ++y) {
        const auto* in = reinterpret_cast<const std::uint32_t*>(argb.constScanLine(y));
        std::uint8_t* dst = picture.row(y);
        for (int x = 0; x < std::min(picture.width(), argb.width()); ++x, dst += 3)
            composeOnWhite(in[x], dst);
    }
}

void decodePdf(ByteSource& in, PictureBuilder& out) {
    const std::uint8_t* data = in.all();
    const std::size_t size = in.size();
    // Readers accept the header anywhere in the first kilobyte.
    const std::string start(reinterpret_cast<const char*>(data), std::min<std::size_t>(size, 1024));
    if (start.find("%PDF-") == std::string::npos)
        throw DecodeError("The file is not a PDF picture");

    int pipeEnds[2];
    if (::pipe2(pipeEnds, O_CLOEXEC) != 0)
        throw DecodeError(std::string("The PDF file cannot be drawn: ") + std::strerror(errno));
    Child child;
    child.fd = pipeEnds[0];
    child.pid = ::fork();
    if (child.pid < 0) {
        ::close(pipeEnds[1]);
        throw DecodeError(std::string("The PDF file cannot be drawn: ") + std::strerror(errno));
    }
    if (child.pid == 0) {
        ::close(pipeEnds[0]);
        drawAndAnswer(data, size, out.fits(), pipeEnds[1]);
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
        throw DecodeError(tooMuchDrawing);
    throw DecodeError("The PDF file cannot be drawn: it is damaged or needs too much memory");
}

} // namespace logosmith::decoders
