// How transfers end when the device fails, through a device of the test support that fails on
// demand: the result says so, progress reports only what was delivered, the device is not
// finished, and a spool document that was not taken whole moves no bar.

#include "tests/support/FailingDevice.h"
#include "tests/support/TransportTestSupport.h"
#include "transport/PortSender.h"

#include <gtest/gtest.h>

using namespace logosmith;
using namespace transport_test;
using Failure = logosmith::testing::FailingDevice::Failure;

namespace {

struct FailureCase {
    const char* what;
    PortKind port;
    TransferKind kind;
    std::size_t fileSize;
    Failure failure;
    std::size_t failAfter;
    TransferStatus status;
    std::vector<std::size_t> pieces; // reported as written, in order
    int steps;                       // progress steps, all after the last piece for the spooler
};

class TransferThroughADevice : public ::testing::TestWithParam<FailureCase> {};

TEST_P(TransferThroughADevice, EndsAsTheDeviceDoes) {
    const FailureCase c = GetParam();
    ScratchDir dir;
    TransferRequest request;
    request.file = dir.path("data");
    const auto data = patternBytes(c.fileSize);
    writeFile(request.file, data);
    std::vector<std::size_t> pieces;
    int steps = 0;
    std::size_t piecesAtFirstStep = 0;
    request.pieceWritten = [&](std::size_t size) { pieces.push_back(size); };
    request.progressStep = [&] {
        if (steps++ == 0)
            piecesAtFirstStep = pieces.size();
    };

    logosmith::testing::FailingDevice device(c.failure, c.failAfter);
    const TransferResult result = TransferThrough(device, c.port, c.kind, request);

    EXPECT_EQ(result.status, c.status);
    EXPECT_EQ(result.message,
              c.status == TransferStatus::Sent || c.status == TransferStatus::Spooled
                  ? ""
                  : logosmith::testing::FailingDevice::kMessage);
    EXPECT_EQ(pieces, c.pieces);
    EXPECT_EQ(steps, c.steps);
    if (c.port == PortKind::Spooler && steps > 0) {
        EXPECT_EQ(piecesAtFirstStep, c.pieces.size()) << "the bar moved before the hand-over";
    }
    EXPECT_EQ(device.finished, result.succeeded());
    const std::size_t delivered =
        c.failure == Failure::WriteError || c.failure == Failure::WriteTimeout ? c.failAfter
                                                                               : c.fileSize;
    EXPECT_EQ(device.taken, std::vector<std::uint8_t>(data.begin(), data.begin() + delivered));
}

INSTANTIATE_TEST_SUITE_P(
    Failures, TransferThroughADevice,
    ::testing::Values(FailureCase{"lost mid-piece",
                                  PortKind::Parallel,
                                  TransferKind::Command,
                                  2000,
                                  Failure::WriteError,
                                  1300,
                                  TransferStatus::Failed,
                                  {512, 512},
                                  0},
                      FailureCase{"stalled setup",
                                  PortKind::Serial,
                                  TransferKind::AlignmentSetup,
                                  104,
                                  Failure::WriteTimeout,
                                  10,
                                  TransferStatus::TimedOut,
                                  {2, 2, 2, 2, 2},
                                  5},
                      FailureCase{"line never drains", PortKind::Serial, TransferKind::Firmware,
                                  60000, Failure::FinishTimeout, 0, TransferStatus::TimedOut,
                                  [] {
                                      std::vector<std::size_t> p(117, 512);
                                      p.push_back(96);
                                      return p;
                                  }(),
                                  118},
                      FailureCase{"spool document broken off",
                                  PortKind::Spooler,
                                  TransferKind::Firmware,
                                  200000,
                                  Failure::WriteError,
                                  70000,
                                  TransferStatus::Failed,
                                  {65536},
                                  0},
                      FailureCase{"spool document refused at the end",
                                  PortKind::Spooler,
                                  TransferKind::AlignmentSetup,
                                  104,
                                  Failure::FinishError,
                                  0,
                                  TransferStatus::Failed,
                                  {104},
                                  0},
                      FailureCase{"spool document taken",
                                  PortKind::Spooler,
                                  TransferKind::AlignmentSetup,
                                  200000,
                                  Failure::None,
                                  0,
                                  TransferStatus::Spooled,
                                  {65536, 65536, 65536, 3392},
                                  52}),
    [](const ::testing::TestParamInfo<FailureCase>& test) {
        std::string name = test.param.what;
        for (char& ch : name)
            if (!std::isalnum(static_cast<unsigned char>(ch)))
                ch = '_';
        return name;
    });

} // namespace
