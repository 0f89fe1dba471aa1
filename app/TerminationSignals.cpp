#include "app/TerminationSignals.h"

#include "platform/ErrorGuard.h"

#include <QSocketNotifier>
#include <QWidget>

#include <cerrno>
#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace logosmith {

namespace {

// A signal handler may do next to nothing: it only wakes the event loop through this pair.
int wakePair[2] = {-1, -1};

void onTerminationSignal(int) {
    const int savedErrno = errno;
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(wakePair[1], &byte, 1);
    errno = savedErrno;
}

} // namespace

void closeOnTerminationSignals(QWidget* window) {
    if (wakePair[0] >= 0)
        return;
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, wakePair) != 0)
        return; // the signals keep their default action
    auto* notifier = new QSocketNotifier(wakePair[0], QSocketNotifier::Read, window);
    connectGuarded(notifier, &QSocketNotifier::activated, window, [window] {
        char drained[64];
        while (::read(wakePair[0], drained, sizeof drained) > 0) {
        }
        window->close();
    });
    struct sigaction action {};
    action.sa_handler = onTerminationSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int signalNumber : {SIGTERM, SIGINT, SIGHUP})
        ::sigaction(signalNumber, &action, nullptr);
}

} // namespace logosmith
