// A large firmware file goes to the port in small pieces and is never held whole: the peak
// memory of the process hardly moves during a 50 MB download.

#include "tests/support/PrinterTestSupport.h"
#include "tests/support/ScriptedDialogs.h"
#include "tests/support/WidgetLookup.h"
#include "transport/TransferWorker.h"
#include "transport/windows/FirmwareDialog.h"

#include <QFile>
#include <QJsonObject>
#include <QPushButton>
#include <QTemporaryDir>
#include <fstream>
#include <gtest/gtest.h>
#include <string>

using namespace logosmith::testing;

namespace {

// AddressSanitizer keeps freed memory in quarantine and gives each thread stacks of its own, so
// its builds grow for reasons of their own; the bound is checked in the ordinary build.
#if defined(__SANITIZE_ADDRESS__)
constexpr bool residentSizeMeaningful = false;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool residentSizeMeaningful = false;
#else
constexpr bool residentSizeMeaningful = true;
#endif
#else
constexpr bool residentSizeMeaningful = true;
#endif

// The peak resident size so far, in KiB.
long peakResidentKiB() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmHWM:", 0) == 0)
            return std::stol(line.substr(6));
    return -1;
}

TEST(FirmwareDownloadMemory, FiftyMegabytesStreamThroughSmallPieces) {
    constexpr qint64 size = 50LL * 1024 * 1024;
    QTemporaryDir dir;
    const QString file = dir.filePath("large.fls");
    writePatternFile(file, size);
    const QString expected = fileSha256(file);

    SendingParts parts;
    FirmwareDialog form(parts.sender, parts.method, [&] { return file; });
    Simulator printer(Expect::firmware, "pty");
    chooseCom1(printer.slavePath());
    form.showModeless();

    const long before = peakResidentKiB();
    logosmith::testing::child<QPushButton>(&form, "BitBtn1")->click();
    ASSERT_TRUE(waitForTransfer(parts.transfers, 120000));
    const long after = peakResidentKiB();
    const QJsonObject received = printer.report(120000)["firmware"].toObject();

    EXPECT_EQ(received["bytes"].toInteger(), size);
    EXPECT_EQ(received["sha256"].toString(), expected);
    EXPECT_EQ(logosmith::testing::scriptedDialogs().texts("message"),
              QStringList{"please wait until completing download"});
    ASSERT_GT(before, 0);
    RecordProperty("peak_kib_before", int(before));
    RecordProperty("peak_kib_after", int(after));
    std::printf("peak resident size: %ld KiB before, %ld KiB after the 50 MB download\n", before,
                after);
    if (residentSizeMeaningful) {
        EXPECT_LT(after - before, 8 * 1024) << "the file was held in memory";
    }
}

} // namespace
