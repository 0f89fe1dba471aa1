#pragma once

// A full disk, for real: while a FileSizeLimit lives, every write that would grow a file of this
// process beyond the limit fails with EFBIG, whoever runs the test (root included). Files
// already larger stay readable; only writing past the limit fails.

#include <csignal>
#include <sys/resource.h>

namespace logosmith::testing {

class FileSizeLimit {
  public:
    explicit FileSizeLimit(rlim_t bytes) {
        ::getrlimit(RLIMIT_FSIZE, &saved_);
        // The kernel also sends SIGXFSZ, which would end the test program.
        previousHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limited{bytes, saved_.rlim_max};
        ::setrlimit(RLIMIT_FSIZE, &limited);
    }
    ~FileSizeLimit() {
        ::setrlimit(RLIMIT_FSIZE, &saved_);
        std::signal(SIGXFSZ, previousHandler_);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

  private:
    rlimit saved_{};
    void (*previousHandler_)(int) = nullptr;
};

} // namespace logosmith::testing
