#include "separation/loader/tests/hostile_files.h"

#include <chrono>
#include <cstdlib>
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

extern char** environ;

using namespace loadertest;

namespace {

#if defined(__SANITIZE_ADDRESS__)
constexpr bool sanitized = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool sanitized = true;
#else
constexpr bool sanitized = false;
#endif
#else
constexpr bool sanitized = false;
#endif

struct Outcome {
    int exitCode = -1; // -1: killed by a signal
    double seconds = 0;
    long peakKilobytes = 0;
};

// Decodes a file in a process of its own and measures it.
Outcome decodeAlone(const std::string& path) {
    const char* bin = std::getenv("LOGOSMITH_BIN_DIR");
    const std::string program = std::string(bin ? bin : ".") + "/loader_decode_one";
    const std::string devNull = "/dev/null";
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, devNull.c_str(), O_WRONLY, 0);
    char* argv[] = {const_cast<char*>(program.c_str()), const_cast<char*>(path.c_str()), nullptr};
    const auto start = std::chrono::steady_clock::now();
    pid_t pid = 0;
    Outcome outcome;
    if (posix_spawn(&pid, program.c_str(), &actions, nullptr, argv, environ) != 0) {
        posix_spawn_file_actions_destroy(&actions);
        return outcome;
    }
    posix_spawn_file_actions_destroy(&actions);
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    outcome.seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    outcome.peakKilobytes = usage.ru_maxrss;
    outcome.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return outcome;
}

} // namespace

// Whatever a file of at most 1 MB claims, it is decoded or refused within 2 s and 512 MB.
TEST(WorkBudget, HostileFilesAreDecodedOrRefusedWithinTwoSecondsAndHalfAGigabyte) {
    if (sanitized)
        GTEST_SKIP() << "times and peak memory mean nothing under AddressSanitizer";
    for (const HostileFile& file : hostileFiles(scratchDir().string())) {
        SCOPED_TRACE(file.name);
        ASSERT_FALSE(file.bytes.empty()) << "ImageMagick did not write it";
        EXPECT_LE(file.bytes.size(), 1024u * 1024u);
        const std::string path = scratch(file.name);
        writeBytes(path, file.bytes);
        const Outcome outcome = decodeAlone(path);
        EXPECT_TRUE(outcome.exitCode == 0 || outcome.exitCode == 1) << outcome.exitCode;
        EXPECT_LT(outcome.seconds, 2.0);
        EXPECT_LT(outcome.peakKilobytes, 512 * 1024);
        std::printf("%-32s %s %6.2f s %7ld KB\n", file.name.c_str(),
                    outcome.exitCode == 0 ? "decoded" : "refused", outcome.seconds,
                    outcome.peakKilobytes);
    }
}

// The limits refuse with messages that say what was too much.
TEST(WorkBudget, MetafilesAndJpegsThatAskTooMuchAreRefusedWithAReason) {
    EXPECT_TRUE(refused(EmfWriter(8192, 8192).finish(), "frame.emf", "too large to draw"));
    EXPECT_TRUE(refused(WmfWriter(0, 0, 8192, 8192, 96).finish(), "box.wmf", "too large to draw"));
    WmfWriter rectangles(0, 0, 2048, 2048, 96);
    for (int i = 0; i < 300; ++i)
        rectangles.rectangle(0, 0, 2048, 2048);
    EXPECT_TRUE(refused(rectangles.finish(), "rectangles.wmf", "too much drawing"));
    EmfWriter emf(2048, 2048);
    for (int i = 0; i < 300; ++i)
        emf.rectangle(0, 0, 2048, 2048);
    EXPECT_TRUE(refused(emf.finish(), "rectangles.emf", "too much drawing"));
    EXPECT_TRUE(refused(manyScanJpeg(2048, 2040, 14), "scans.jpg", "too much decoding work"));
    // The same kinds of file within the limits are drawn.
    EXPECT_NO_THROW(decodeBytes(manyScanJpeg(256, 256, 14), "few.jpg"));
    WmfWriter some(0, 0, 2048, 2048, 96);
    for (int i = 0; i < 30; ++i)
        some.rectangle(0, 0, 2048, 2048);
    EXPECT_NO_THROW(decodeBytes(some.finish(), "some.wmf"));
}
