// The firmware download dialog, offscreen, sending real files to the printer simulator over a
// pseudo-terminal.

#include "tests/support/PrinterTestSupport.h"
#include "tests/support/ScriptedDialogs.h"
#include "tests/support/TransportTestSupport.h"
#include "tests/support/WidgetLookup.h"
#include "transport/PortSender.h"
#include "transport/TransferWorker.h"
#include "transport/windows/FirmwareDialog.h"

#include <QDir>
#include <QJsonObject>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace logosmith::testing;

namespace {

const QString kWait = "please wait until completing download";

class FirmwareDownload : public ::testing::Test {
  protected:
    void SetUp() override {
        dialogs().clear();
        connect();
    }

    static logosmith::testing::ScriptedDialogs& dialogs() {
        return logosmith::testing::scriptedDialogs();
    }

    QString makeFirmware(qint64 size) {
        firmware_ = dir_.filePath(QString("printer-%1.fls").arg(size));
        writePatternFile(firmware_, size);
        return firmware_;
    }

    // Opens the dialog as the menu item does and presses "Download".
    void download() {
        progress()->setValue(0);
        form_.showModeless();
        pressDownload();
    }
    void pressDownload() {
        button("BitBtn1")->click();
        ASSERT_TRUE(waitForTransfer(transfers_));
    }

    void connect() {
        QObject::connect(&form_, &FirmwareDialog::pieceWritten,
                         [this](qsizetype size) { pieces_.push_back(size); });
        QObject::connect(progress(), &QProgressBar::valueChanged, [this](int value) {
            if (value > 0) // not the reset when the dialog opens
                stepsAt_.push_back(qsizetype(pieces_.size()));
        });
    }

    qint64 bytesSent() const {
        qint64 sum = 0;
        for (qsizetype piece : pieces_)
            sum += piece;
        return sum;
    }

    QProgressBar* progress() { return child<QProgressBar>(&form_, "progress"); }
    QPushButton* button(const char* name) { return child<QPushButton>(&form_, name); }

    QTemporaryDir dir_;
    SendingParts parts_;
    logosmith::TransferWorker& transfers_ = parts_.transfers;
    FirmwareDialog form_{parts_.sender, parts_.method, [this] { return firmware_; }};
    QString firmware_;
    std::vector<qsizetype> pieces_;  // every piece that reached the port
    std::vector<qsizetype> stepsAt_; // the piece count at each move of the bar
};

// The bar moves once per step size of 512-byte pieces, the step size being size / 51,200.
TEST_F(FirmwareDownload, TheBarMovesOncePerStepSizeOfPiecesAndTheWholeFileArrives) {
    struct Case {
        qint64 size;
        qsizetype pieces, lastPiece;
        qsizetype fullAt; // the piece after which the bar stands at 100; 0: it never moves
    };
    for (const Case& one : {Case{1024000, 2000, 512, 2000}, Case{1000000, 1954, 64, 1900},
                            Case{60000, 118, 96, 100}, Case{51199, 100, 511, 0}}) {
        const qint64 size = one.size;
        SCOPED_TRACE(size);
        dialogs().clear();
        pieces_.clear();
        stepsAt_.clear();
        const QString file = makeFirmware(size);
        const qint64 stepSize = size / 51200;
        EXPECT_EQ(logosmith::FirmwareStepSize(file.toStdString()), stepSize);

        Simulator printer(Expect::firmware, "pty");
        chooseCom1(printer.slavePath());
        qint64 sentWhenTold = -1;
        dialogs().onMessage = [&](const auto&) { sentWhenTold = bytesSent(); };
        download();
        dialogs().onMessage = nullptr;
        const QJsonObject report = printer.report();

        const QJsonObject received = report["firmware"].toObject();
        EXPECT_EQ(received["bytes"].toInteger(), size);
        EXPECT_EQ(received["sha256"].toString(), fileSha256(file));
        EXPECT_TRUE(report["ok"].toBool());

        const qsizetype pieceCount = one.pieces;
        ASSERT_EQ(qsizetype(pieces_.size()), pieceCount);
        for (qsizetype i = 0; i + 1 < pieceCount; ++i)
            ASSERT_EQ(pieces_[std::size_t(i)], 512) << "piece " << i;
        EXPECT_EQ(pieces_.back(), one.lastPiece);

        std::vector<qsizetype> expectedSteps;
        if (stepSize > 0)
            for (qsizetype at = stepSize; at <= pieceCount && expectedSteps.size() < 100;
                 at += stepSize)
                expectedSteps.push_back(at);
        EXPECT_EQ(stepsAt_, expectedSteps);
        EXPECT_EQ(stepsAt_.empty() ? 0 : stepsAt_.back(), one.fullAt);
        EXPECT_EQ(progress()->value(), stepSize > 0 ? 100 : 0);

        EXPECT_FALSE(form_.isVisible());
        EXPECT_EQ(dialogs().texts("message"), QStringList{kWait});
        EXPECT_EQ(sentWhenTold, size) << "told to wait before the last byte went out";
        EXPECT_TRUE(QFile::exists(file)) << "the firmware file is never deleted";
    }
}

// "Close", and "Download" under the driver method, send nothing and ask for no waiting.
TEST_F(FirmwareDownload, CloseAndTheDriverMethodSendNothing) {
    transport_test::Pty port;
    chooseCom1(QString::fromStdString(port.slavePath()));
    const QString file = makeFirmware(70000);

    form_.showModeless();
    button("BitBtn2")->click();
    EXPECT_FALSE(form_.isVisible());

    parts_.method.choose(logosmith::PrintMethodModel::Method::Driver);
    download();
    EXPECT_FALSE(form_.isVisible());

    EXPECT_TRUE(port.take().empty()) << "a byte reached the port";
    EXPECT_TRUE(pieces_.empty());
    EXPECT_TRUE(dialogs().shown.isEmpty());
    EXPECT_TRUE(QFile::exists(file));
}

// A failed transfer must not be followed by "wait until completing download".
TEST_F(FirmwareDownload, PortProblemsAreShownInsteadOfTheWaitMessage) {
    const QString file = makeFirmware(60000);

    chooseCom1(dir_.filePath("no-such-tty"));
    download();
    EXPECT_EQ(dialogs().texts("message"), QStringList{" Check your port setting "});
    EXPECT_FALSE(form_.isVisible());

    dialogs().clear();
    choosePort(-1);
    download();
    EXPECT_EQ(dialogs().texts("message"), QStringList{" Port does not exist "});
    EXPECT_FALSE(form_.isVisible());
    EXPECT_TRUE(pieces_.empty());
    EXPECT_EQ(progress()->value(), 0);
}

// The file is looked at before the port: a wrong one is named, the port is left alone, and the
// dialog stays open for another try.
TEST_F(FirmwareDownload, AFileThatCannotBeReadIsNamedPlainlyAndTheDialogStaysOpen) {
    chooseCom1(dir_.filePath("no-such-tty"));
    firmware_ = dir_.filePath("gone.fls");
    download();
    ASSERT_EQ(dialogs().texts("error").size(), 1);
    const QString error = dialogs().texts("error").first();
    EXPECT_TRUE(error.contains("gone.fls")) << error.toStdString();
    EXPECT_TRUE(error.contains("does not exist")) << error.toStdString();
    EXPECT_TRUE(dialogs().texts("message").isEmpty()) << "the port was opened first";
    EXPECT_TRUE(form_.isVisible());

    dialogs().clear();
    firmware_ = dir_.path();
    pressDownload();
    ASSERT_EQ(dialogs().texts("error").size(), 1);
    EXPECT_TRUE(dialogs().texts("error").first().contains("is not a firmware file"));
    EXPECT_TRUE(dialogs().texts("message").isEmpty());

    dialogs().clear();
    firmware_.clear();
    pressDownload();
    EXPECT_EQ(dialogs().texts("error"), QStringList{"No firmware file has been chosen."});
    EXPECT_TRUE(form_.isVisible());
    form_.close();
}

} // namespace
