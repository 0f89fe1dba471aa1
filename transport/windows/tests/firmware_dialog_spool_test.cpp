// "U S B": the firmware and the alignment setup through a private print spooler whose default
// queue leads to the printer simulator on a TCP port.

#include "tests/support/PrinterTestSupport.h"
#include "tests/support/ScriptedDialogs.h"
#include "tests/support/WidgetLookup.h"
#include "transport/AlignmentModel.h"
#include "transport/TransferWorker.h"
#include "transport/windows/AlignmentDialog.h"
#include "transport/windows/FirmwareDialog.h"

#include <QElapsedTimer>
#include <QFile>
#include <QJsonObject>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

using namespace logosmith::testing;

namespace {

class OverTheSpooler : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { spooler_ = std::make_unique<PrivateSpooler>(); }
    static void TearDownTestSuite() { spooler_.reset(); }

    void SetUp() override {
        if (!spooler_->problem().isEmpty())
            GTEST_SKIP() << "no private print spooler: " << spooler_->problem().toStdString();
        dialogs().clear();
        choosePort(logosmith::kUsbPort);
    }

    static logosmith::testing::ScriptedDialogs& dialogs() {
        return logosmith::testing::scriptedDialogs();
    }

    // Every value the bar takes, in order.
    static std::shared_ptr<std::vector<int>> watch(QProgressBar* bar) {
        auto values = std::make_shared<std::vector<int>>();
        QObject::connect(bar, &QProgressBar::valueChanged,
                         [values](int value) { values->push_back(value); });
        return values;
    }

    // Presses a button and lets the transfer it starts run to its end.
    void press(QPushButton* button) {
        button->click();
        ASSERT_TRUE(waitForTransfer(transfers_));
    }

    template <class T> static T* in(QWidget& form, const char* name) {
        return child<T>(&form, name);
    }

    static std::unique_ptr<PrivateSpooler> spooler_;
    QTemporaryDir dir_;
    SendingParts parts_;
    logosmith::TransferWorker& transfers_ = parts_.transfers;
};

std::unique_ptr<PrivateSpooler> OverTheSpooler::spooler_;

std::vector<int> counting(int from, int to) {
    std::vector<int> values;
    for (int v = from; v <= to; ++v)
        values.push_back(v);
    return values;
}

// The whole file goes over as one document; only then does the bar fill, a step every 10 ms,
// from where it stood. The firmware file is kept.
TEST_F(OverTheSpooler, FirmwareIsHandedOverWholeAndTheBarFillsAfterwards) {
    Simulator printer(Expect::firmware, "tcp");
    ASSERT_TRUE(spooler_->makeDefaultQueue("mrx", printer.tcpPort()));
    const QString file = dir_.filePath("printer.fls");
    writePatternFile(file, 300000);

    FirmwareDialog form(parts_.sender, parts_.method, [&] { return file; });
    in<QProgressBar>(form, "progress")->setValue(7);
    const auto bar = watch(in<QProgressBar>(form, "progress"));
    form.showModeless();
    QElapsedTimer clock;
    clock.start();
    press(in<QPushButton>(form, "BitBtn1"));
    const qint64 elapsed = clock.elapsed();

    const QJsonObject report = printer.report();
    const QJsonObject received = report["firmware"].toObject();
    EXPECT_EQ(received["bytes"].toInteger(), 300000);
    EXPECT_EQ(received["sha256"].toString(), fileSha256(file));
    EXPECT_EQ(*bar, counting(8, 100));
    EXPECT_GE(elapsed, 1000) << "100 steps of 10 ms";
    EXPECT_TRUE(QFile::exists(file));
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(dialogs().texts("message"), QStringList{"please wait until completing download"});
}

TEST_F(OverTheSpooler, AlignmentSetupIsOneDocumentThenTheBarGoesToFiftyTwo) {
    Simulator printer(Expect::align, "tcp");
    ASSERT_TRUE(spooler_->makeDefaultQueue("mrx", printer.tcpPort()));
    const QString scratch = parts_.scratchFile();

    logosmith::AlignmentModel positions;
    AlignmentDialog form(positions, parts_.method, parts_.sender);
    form.showModeless();
    in<QRadioButton>(form, "n4")->click();
    in<QRadioButton>(form, "c7")->click();
    const auto bar = watch(in<QProgressBar>(form, "progress"));
    press(in<QPushButton>(form, "Button3"));

    const QJsonObject report = printer.report();
    EXPECT_TRUE(report["ok"].toBool());
    EXPECT_EQ(report["bytes"].toInt(), 104);
    const QJsonObject set = report["alignment"].toObject();
    EXPECT_EQ(set["low"].toInt(), 1);
    EXPECT_EQ(set["normal"].toInt(), 4);
    EXPECT_EQ(set["high"].toInt(), 1);
    EXPECT_EQ(set["color"].toInt(), 7);
    EXPECT_EQ(*bar, counting(1, 52));
    EXPECT_FALSE(QFile::exists(scratch));
    EXPECT_TRUE(dialogs().shown.isEmpty());
}

// Runs last: it takes the queue away.
TEST_F(OverTheSpooler, WithoutADefaultPrinterTheErrorIsShownAndNoWaitIsAsked) {
    ASSERT_TRUE(spooler_->removeQueue("mrx"));
    const QString file = dir_.filePath("printer.fls");
    writePatternFile(file, 1000);

    FirmwareDialog download(parts_.sender, parts_.method, [&] { return file; });
    download.showModeless();
    press(in<QPushButton>(download, "BitBtn1"));
    EXPECT_EQ(dialogs().texts("error"),
              QStringList{"There is no default printer currently selected"});
    EXPECT_TRUE(dialogs().texts("message").isEmpty());
    EXPECT_TRUE(download.isVisible());
    EXPECT_TRUE(QFile::exists(file));
    EXPECT_EQ(in<QProgressBar>(download, "progress")->value(), 0);

    dialogs().clear();
    const QString scratch = parts_.scratchFile();
    logosmith::AlignmentModel positions;
    AlignmentDialog alignment(positions, parts_.method, parts_.sender);
    press(in<QPushButton>(alignment, "Button3"));
    EXPECT_EQ(dialogs().texts("error"),
              QStringList{"There is no default printer currently selected"});
    EXPECT_FALSE(QFile::exists(scratch));
    EXPECT_EQ(in<QProgressBar>(alignment, "progress")->value(), 0);
}

} // namespace
