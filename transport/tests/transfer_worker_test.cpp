// The transfer worker against a FIFO standing in for "LPT1": reports arrive on the worker's
// thread in order, one transfer runs at a time, a receiver that is gone hears nothing, and a
// worker let go stops its transfer between two pieces.

#include "tests/support/TransportTestSupport.h"
#include "transport/TimeLeft.h"
#include "transport/TransferWorker.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QThread>
#include <QTimer>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace logosmith;
using namespace transport_test;
using namespace std::chrono_literals;

namespace {

class Worker : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        static int argc = 1;
        static char name[] = "transfer_worker_test";
        static char* argv[] = {name, nullptr};
        if (!QCoreApplication::instance())
            new QCoreApplication(argc, argv);
    }
    void SetUp() override {
        fifo_ = dir_.path("lp0");
        ASSERT_EQ(::mkfifo(fifo_.c_str(), 0600), 0);
        reader_ = ::open(fifo_.c_str(), O_RDONLY | O_NONBLOCK);
        ASSERT_GE(reader_, 0);
    }
    void TearDown() override { ::close(reader_); }

    // A request for a new file of `size` bytes.
    TransferRequest request(std::size_t size, const std::string& name) const {
        TransferRequest r;
        r.file = dir_.path(name);
        writeFile(r.file, patternBytes(size));
        r.port = PortSettings{0, 2, 0, 1, 0, 0, {}};
        r.port.device = fifo_;
        r.writeTimeout = 5s;
        return r;
    }

    static void waitUntilIdle(TransferWorker& worker) {
        QEventLoop loop;
        QObject::connect(&worker, &TransferWorker::busyChanged, &loop, [&](bool busy) {
            if (!busy)
                loop.quit();
        });
        QTimer::singleShot(20000, &loop, &QEventLoop::quit);
        if (worker.isBusy())
            loop.exec();
    }

    ScratchDir dir_;
    std::string fifo_;
    int reader_ = -1;
};

TEST_F(Worker, ReportsInOrderOnItsOwnThreadAndTakesOneTransferAtATime) {
    ByteCollector printer(reader_, true);
    TransferWorker worker;
    std::vector<bool> busy;
    QObject::connect(&worker, &TransferWorker::busyChanged, [&](bool b) { busy.push_back(b); });
    QObject receiver;
    std::vector<std::size_t> pieces;
    std::vector<TransferStatus> ends;
    bool offThread = false;
    TransferWorker::Listener listener;
    listener.pieceWritten = [&](std::size_t size) {
        offThread |= QThread::currentThread() != receiver.thread();
        EXPECT_TRUE(ends.empty()) << "a piece after the end";
        pieces.push_back(size);
    };
    listener.finished = [&](const TransferResult& result) {
        offThread |= QThread::currentThread() != receiver.thread();
        EXPECT_FALSE(worker.isBusy()) << "the end is told once the worker is free";
        ends.push_back(result.status);
    };

    ASSERT_TRUE(
        worker.start(TransferKind::Command, request(300 * 1024 + 7, "first"), &receiver, listener));
    EXPECT_TRUE(worker.isBusy());
    EXPECT_FALSE(worker.start(TransferKind::Command, request(10, "second"), &receiver, listener));
    waitUntilIdle(worker);

    EXPECT_EQ(ends, std::vector<TransferStatus>{TransferStatus::Sent});
    ASSERT_EQ(pieces.size(), 601u);
    EXPECT_EQ(pieces.back(), 7u);
    EXPECT_FALSE(offThread);
    EXPECT_EQ(busy, (std::vector<bool>{true, false}));
}

TEST_F(Worker, AReceiverGoneHearsNothingAndAWorkerLetGoStopsBetweenPieces) {
    // A slow printer: 512 bytes every 5 ms would take the 8 MB over a minute.
    std::atomic<bool> stop{false};
    std::atomic<std::size_t> taken{0};
    std::thread printer([&] {
        std::uint8_t buffer[512];
        while (!stop) {
            const ssize_t n = ::read(reader_, buffer, sizeof buffer);
            if (n > 0)
                taken += static_cast<std::size_t>(n);
            std::this_thread::sleep_for(5ms);
        }
    });
    auto worker = std::make_unique<TransferWorker>();
    auto receiver = std::make_unique<QObject>();
    bool heardAfterGone = false;
    bool gone = false;
    TransferWorker::Listener listener;
    listener.pieceWritten = [&](std::size_t) { heardAfterGone |= gone; };
    listener.finished = [&](const TransferResult&) { heardAfterGone |= gone; };
    ASSERT_TRUE(
        worker->start(TransferKind::Command, request(8 << 20, "large"), receiver.get(), listener));
    QThread::msleep(100);
    QCoreApplication::processEvents();
    receiver.reset();
    gone = true;
    QThread::msleep(100);
    QCoreApplication::processEvents();
    EXPECT_FALSE(heardAfterGone);

    const auto before = std::chrono::steady_clock::now();
    worker.reset();
    EXPECT_LT(std::chrono::steady_clock::now() - before, 2s);
    stop = true;
    printer.join();
    EXPECT_LT(taken.load(), std::size_t{8} << 20);
}

TEST(TimeLeft, FollowsTheRateSoFarOnceItSaysSomething) {
    EXPECT_EQ(estimateTimeLeft(0, 1000, 5s), std::nullopt);
    EXPECT_EQ(estimateTimeLeft(900, 1000, 900ms), std::nullopt) << "buffers fill at any speed";
    EXPECT_EQ(estimateTimeLeft(250, 1000, 10s), std::chrono::seconds(30));
    EXPECT_EQ(estimateTimeLeft(999, 1000, 10s), std::chrono::seconds(1)) << "rounded up";
    EXPECT_EQ(estimateTimeLeft(1000, 1000, 10s), std::chrono::seconds(0));
    EXPECT_EQ(timeLeftText(std::chrono::seconds(40)), "About 40 s left");
    EXPECT_EQ(timeLeftText(std::chrono::seconds(200)), "About 3 min 20 s left");
    EXPECT_EQ(timeLeftText(std::chrono::seconds(7500)), "About 2 h 5 min left");
}

} // namespace
