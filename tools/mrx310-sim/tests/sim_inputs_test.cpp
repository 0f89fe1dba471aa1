// The simulator as a program: its TCP and pseudo-terminal inputs, driven by a real sender.

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <netinet/in.h>
#include <poll.h>
#include <sstream>
#include <string>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>
#include <vector>

#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define UNDER_ADDRESS_SANITIZER
#endif
#endif
#if defined(__SANITIZE_ADDRESS__) && !defined(UNDER_ADDRESS_SANITIZER)
#define UNDER_ADDRESS_SANITIZER
#endif

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

namespace {

// The 33-byte print of a centred 10 x 8 black picture.
Bytes centredBlackPrint() {
    Bytes s = {0x1B, 0x61, 0x01, 0x1B, 0x72, 0x00, 0x1B, 0x2A, 0x00, 0x0A, 0x00};
    s.insert(s.end(), 10, 0xFF);
    s.insert(s.end(), {0x0D, 0x0D, 0x1B, 0x4A, 0x10, 0x0D, 0x1B, 0x4A, 0x10, 0x1B, 0x61, 0x00});
    return s;
}

class Simulator {
  public:
    // dataLimit: the most memory the program may take (RLIMIT_DATA), 0 for no limit.
    explicit Simulator(std::vector<std::string> args, rlim_t dataLimit = 0) {
        const char* binDir = std::getenv("LOGOSMITH_BIN_DIR");
        const std::string program = std::string(binDir ? binDir : ".") + "/mrx310-sim";
        int out[2];
        if (::pipe(out) != 0)
            throw std::runtime_error("pipe");
        pid_ = ::fork();
        if (pid_ == 0) {
            if (dataLimit) {
                const rlimit limit{dataLimit, dataLimit};
                ::setrlimit(RLIMIT_DATA, &limit);
            }
            ::dup2(out[1], STDOUT_FILENO);
            ::close(out[0]);
            ::close(out[1]);
            std::vector<char*> argv{const_cast<char*>(program.c_str())};
            for (auto& a : args)
                argv.push_back(a.data());
            argv.push_back(nullptr);
            ::execv(program.c_str(), argv.data());
            ::_exit(127);
        }
        ::close(out[1]);
        stdout_ = out[0];
    }
    ~Simulator() {
        if (pid_ > 0 && !reaped_) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, nullptr, 0);
        }
        ::close(stdout_);
    }

    // The first line the program prints, waiting at most five seconds.
    std::string firstLine() {
        std::string line;
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (std::chrono::steady_clock::now() < deadline) {
            pollfd p{stdout_, POLLIN, 0};
            if (::poll(&p, 1, 100) <= 0)
                continue;
            char c;
            if (::read(stdout_, &c, 1) != 1)
                break;
            if (c == '\n')
                return line;
            line += c;
        }
        return line;
    }

    // The exit code, or -1 when the program did not end within ten seconds.
    int exitCode() {
        for (int i = 0; i < 1000; ++i) {
            int status = 0;
            if (::waitpid(pid_, &status, WNOHANG) == pid_) {
                reaped_ = true;
                return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
            }
            ::usleep(10000);
        }
        return -1;
    }

  private:
    pid_t pid_ = -1;
    int stdout_ = -1;
    bool reaped_ = false;
};

std::string readText(const fs::path& path) {
    std::ifstream in(path);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

void writeFile(const fs::path& path, const Bytes& bytes) {
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

void writeAll(int fd, const Bytes& bytes) {
    std::size_t at = 0;
    while (at < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + at, bytes.size() - at);
        ASSERT_GT(n, 0);
        at += std::size_t(n);
    }
}

class SimulatorInputs : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("sim-inputs-" + std::to_string(::getpid()) + "-" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }

    int connectTo(const std::string& listeningLine) {
        const auto colon = listeningLine.rfind(':');
        EXPECT_EQ(listeningLine.rfind("listening on 127.0.0.1:", 0), 0u) << listeningLine;
        const int port = std::stoi(listeningLine.substr(colon + 1));
        const int s = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_port = htons(std::uint16_t(port));
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        EXPECT_EQ(::connect(s, reinterpret_cast<sockaddr*>(&a), sizeof a), 0);
        return s;
    }

    int openSlave(const std::string& path) {
        const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY);
        EXPECT_GE(fd, 0) << path;
        termios t{};
        ::tcgetattr(fd, &t);
        ::cfmakeraw(&t);
        ::tcsetattr(fd, TCSANOW, &t);
        return fd;
    }

    fs::path dir_;
};

} // namespace

TEST_F(SimulatorInputs, TcpTakesOneConnectionToItsEnd) {
    Simulator sim({"--tcp", "0", "--out", (dir_ / "out").string(), "--expect", "print"});
    const int s = connectTo(sim.firstLine());
    writeAll(s, centredBlackPrint());
    ::close(s);
    EXPECT_EQ(sim.exitCode(), 0);
    const std::string report = readText(dir_ / "out" / "report.json");
    EXPECT_NE(report.find("\"bytes\": 33"), std::string::npos) << report;
    EXPECT_NE(report.find("\"printed\": {\"width\": 10, \"height\": 16}"), std::string::npos)
        << report;
    EXPECT_TRUE(fs::exists(dir_ / "out" / "paper.png"));
}

TEST_F(SimulatorInputs, TcpRejectsACorruptStreamWithItsOffset) {
    Simulator sim({"--tcp", "0", "--out", (dir_ / "out").string(), "--expect", "print"});
    const int s = connectTo(sim.firstLine());
    Bytes stream = centredBlackPrint();
    stream[5] = 0x07; // ESC r 7
    writeAll(s, stream);
    ::close(s);
    EXPECT_EQ(sim.exitCode(), 1);
    const std::string report = readText(dir_ / "out" / "report.json");
    EXPECT_NE(report.find("\"ok\": false"), std::string::npos);
    EXPECT_NE(report.find("\"offset\": 5"), std::string::npos) << report;
}

TEST_F(SimulatorInputs, PtyReadsUntilTheSenderCloses) {
    Simulator sim({"--pty", "--out", (dir_ / "out").string(), "--expect", "print"});
    const std::string path = sim.firstLine();
    ASSERT_EQ(path.rfind("/dev/pts/", 0), 0u) << path;
    const int fd = openSlave(path);
    // Carriage returns and ESC must pass untranslated.
    writeAll(fd, centredBlackPrint());
    ::tcdrain(fd);
    ::close(fd);
    EXPECT_EQ(sim.exitCode(), 0);
    const std::string report = readText(dir_ / "out" / "report.json");
    EXPECT_NE(report.find("\"ok\": true"), std::string::npos) << report;
    EXPECT_NE(report.find("\"bytes\": 33"), std::string::npos) << report;
}

TEST_F(SimulatorInputs, PtyPausesAndResumesAnXonXoffSender) {
    Simulator sim({"--pty", "--out", (dir_ / "out").string(), "--expect", "print", "--xoff-after",
                   "1000", "--xoff-ms", "400"});
    const int fd = openSlave(sim.firstLine());
    termios t{};
    ::tcgetattr(fd, &t);
    t.c_iflag |= IXON | IXOFF;
    t.c_cc[VSTART] = 'X';
    t.c_cc[VSTOP] = 'P';
    ::tcsetattr(fd, TCSANOW, &t);
    // Far more than the terminal buffers: the writes must wait out the pause. A blank picture
    // of 600,000 rows.
    Bytes feeds;
    for (int band = 0; band < 75000; ++band)
        feeds.insert(feeds.end(), {0x0D, 0x1B, 0x4A, 0x10});
    const auto start = std::chrono::steady_clock::now();
    writeAll(fd, feeds);
    ::tcdrain(fd);
    const auto took = std::chrono::steady_clock::now() - start;
    ::close(fd);
    EXPECT_EQ(sim.exitCode(), 0);
    EXPECT_GE(took, std::chrono::milliseconds(300));
    const std::string report = readText(dir_ / "out" / "report.json");
    EXPECT_NE(report.find("\"bytes\": 300000"), std::string::npos) << report;
    EXPECT_NE(report.find("\"resume_sent\": true"), std::string::npos) << report;
}

// One 65535-column bit image and 1000 feeds of 255 units once needed gigabytes and a minute,
// then aborted; the paper is capped and the report says where the stream crossed the cap.
TEST_F(SimulatorInputs, PaperBeyondTheCapEndsInAReportNotAnAbort) {
    Bytes stream = {0x1B, 0x2A, 0x00, 0xFF, 0xFF};
    stream.insert(stream.end(), 65535, 0xFF);
    for (int i = 0; i < 1000; ++i)
        stream.insert(stream.end(), {0x1B, 0x4A, 0xFF});
    writeFile(dir_ / "wide.prn", stream);
    const auto start = std::chrono::steady_clock::now();
    Simulator sim({"--out", (dir_ / "out").string(), (dir_ / "wide.prn").string()});
    EXPECT_EQ(sim.exitCode(), 1);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
    const std::string report = readText(dir_ / "out" / "report.json");
    EXPECT_NE(report.find("\"offset\": 65552, \"message\": \"rendering would take"),
              std::string::npos)
        << report;
    EXPECT_NE(report.find("\"limits\": {"), std::string::npos) << report;
    EXPECT_TRUE(fs::exists(dir_ / "out" / "paper.png"));
}

// Whatever fails inside, even an allocation, ends in a message and exit code 2.
TEST_F(SimulatorInputs, RunningOutOfMemoryIsAnErrorNotAnAbort) {
#ifdef UNDER_ADDRESS_SANITIZER
    GTEST_SKIP() << "the address sanitizer needs more memory than the limit leaves";
#endif
    writeFile(dir_ / "long.prn", Bytes(40 << 20, 0x0D));
    Simulator sim({"--out", (dir_ / "out").string(), (dir_ / "long.prn").string()}, 48 << 20);
    EXPECT_EQ(sim.exitCode(), 2);
}

TEST_F(SimulatorInputs, AnUnknownExpectationIsAUsageError) {
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"--expect", "picture"}, {"--expect", "store", "--firmware"}}) {
        std::vector<std::string> all = {"--out", (dir_ / "out").string()};
        all.insert(all.end(), args.begin(), args.end());
        all.push_back("-");
        Simulator sim(all);
        EXPECT_EQ(sim.exitCode(), 2);
    }
}
