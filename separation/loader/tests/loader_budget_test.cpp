#include "separation/loader/ChildDraw.h"
#include "separation/loader/tests/hostile_files.h"

#include <chrono>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
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

// Every input a fuzz target ever failed on, named for its reader.
std::vector<HostileFile> regressionFiles() {
    std::vector<HostileFile> files;
    const char* source = std::getenv("LOGOSMITH_SOURCE_DIR");
    const std::filesystem::path folder =
        std::filesystem::path(source ? source : ".") / "separation/loader/fuzz/regressions";
    for (const auto& target : std::filesystem::directory_iterator(folder)) {
        if (!target.is_directory())
            continue;
        const std::string reader = target.path().filename().string();
        for (const auto& file : std::filesystem::directory_iterator(target.path()))
            if (file.path().extension() != ".md")
                files.push_back({reader + "-" + file.path().stem().string() + "." +
                                     reader.substr(0, reader.find('_')),
                                 readBytes(file.path().string())});
    }
    return files;
}

} // namespace

// Whatever a file of at most 1 MB claims, it is decoded or refused within 2 s and 512 MB: the
// hostile files and every input the fuzz targets ever failed on.
TEST(WorkBudget, HostileFilesAreDecodedOrRefusedWithinTwoSecondsAndHalfAGigabyte) {
    if (sanitized)
        GTEST_SKIP() << "times and peak memory mean nothing under AddressSanitizer";
    std::vector<HostileFile> files = hostileFiles(scratchDir().string());
    const std::vector<HostileFile> regressions = regressionFiles();
    EXPECT_FALSE(regressions.empty()) << "the regression folder was not found";
    files.insert(files.end(), regressions.begin(), regressions.end());
    for (const HostileFile& file : files) {
        SCOPED_TRACE(file.name);
        ASSERT_FALSE(file.bytes.empty()) << "ImageMagick did not write it";
        EXPECT_LE(file.bytes.size(), 1024u * 1024u);
        const std::string path = scratch(file.name);
        writeBytes(path, file.bytes);
        const Outcome outcome = decodeAlone(path);
        EXPECT_TRUE(outcome.exitCode == 0 || outcome.exitCode == 1) << outcome.exitCode;
        EXPECT_LT(outcome.seconds, 2.0);
        EXPECT_LT(outcome.peakKilobytes, 512 * 1024);
        std::printf("%-60s %s %6.2f s %7ld KB\n", file.name.c_str(),
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

// Drawing inside embedded documents, style work, declared TIFF sizes and object tables count
// against the budget, and what asks for too much is refused with a reason; the same kinds of
// file within the limits are read.
TEST(WorkBudget, EmbeddedDocumentsStylesSamplesAndObjectTablesAreBounded) {
    auto text = [](const std::string& s) { return Bytes(s.begin(), s.end()); };
    auto fills = [](int count, int side) {
        std::string rects;
        for (int i = 0; i < count; ++i)
            rects += "<rect width=\"" + std::to_string(side) + "\" height=\"" +
                     std::to_string(side) + "\"/>";
        return svgDocument(side, side, rects);
    };
    EXPECT_TRUE(refused(text(svgDocument(9, 9, svgImage(fills(300, 2000), 9, 9))), "fills.svg",
                        "too much drawing"));
    EXPECT_TRUE(
        refused(text(svgDocument(
                    9, 9, svgImage(svgDocument(9, 9, svgImage(fills(300, 2000), 9, 9)), 9, 9))),
                "deeper.svg", "too much drawing"));
    EXPECT_NO_THROW(
        decodeBytes(text(svgDocument(9, 9, svgImage(fills(30, 200), 9, 9))), "few.svg"));
    // A style sheet for 2000 elements: one rule of 4000 declarations, 4000 rules, one rule.
    auto styled = [&](const std::string& css) {
        std::string elements;
        for (int i = 0; i < 2000; ++i)
            elements += "<rect class=\"c" + std::to_string(i) + "\"/>";
        return text(svgDocument(9, 9, "<style>" + css + "</style>" + elements));
    };
    std::string rules;
    for (int i = 0; i < 4000; ++i)
        rules += ".c" + std::to_string(i) + "{fill:red}";
    EXPECT_TRUE(
        refused(styled("rect{" + std::string(4000, ';') + "}"), "declarations.svg", "style rules"));
    EXPECT_TRUE(refused(styled(rules), "rules.svg", "style rules"));
    EXPECT_NO_THROW(decodeBytes(styled(".c1{fill:red}"), "styled.svg"));

    EXPECT_TRUE(refused(rgbTiff(65535, 1, 65535, 16, 1, Bytes(8, 0)), "claims.tif",
                        "65535 samples per pixel"));
    EXPECT_TRUE(refused(rgbTiff(8192, 8192, 16, 8, 16), "deep.tif", "MB of samples to decode"));
    EXPECT_NO_THROW(decodeBytes(rgbTiff(64, 64, 16, 16, 8), "samples.tif"));
    EXPECT_NO_THROW(decodeBytes(objectTableWmf(200 * 1000, false), "objects.wmf"));

    // A child that does not finish within its processor time says so as the readers do.
    logosmith::decoders::PictureBuilder out;
    try {
        logosmith::decoders::drawInChild("SVG", out, [](logosmith::decoders::PictureBuilder&) {
            volatile bool spinning = true;
            while (spinning) {
            }
        });
        ADD_FAILURE() << "the endless drawing came back";
    } catch (const logosmith::DecodeError& e) {
        EXPECT_STREQ(e.what(), "The SVG file asks for too much drawing (more than a second of it)");
    }
}
