// The vertical alignment dialog, offscreen, sending its commands to the printer simulator or to
// a bare pseudo-terminal.

#include "printdata/Commands.h"
#include "tests/support/PrinterTestSupport.h"
#include "tests/support/ScriptedDialogs.h"
#include "tests/support/TransportTestSupport.h"
#include "tests/support/WidgetLookup.h"
#include "transport/AlignmentModel.h"
#include "transport/TransferWorker.h"
#include "transport/devices/SerialPort.h"
#include "transport/windows/AlignmentDialog.h"

#include <QFile>
#include <QJsonObject>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace logosmith::testing;
using Bytes = std::vector<std::uint8_t>;

namespace {

// One 26-byte set-alignment record.
Bytes setupRecord(std::uint8_t mode, std::uint8_t position) {
    Bytes record{0x1B, 0x78, 0x01, 0x02, mode, position};
    record.resize(26, 0);
    return record;
}

Bytes setupCommand(std::uint8_t low, std::uint8_t normal, std::uint8_t high, std::uint8_t color) {
    Bytes all;
    const std::uint8_t positions[4] = {low, normal, high, color};
    for (std::uint8_t mode = 1; mode <= 4; ++mode) {
        const Bytes record = setupRecord(mode, positions[mode - 1]);
        all.insert(all.end(), record.begin(), record.end());
    }
    return all;
}

class VerticalAlignment : public ::testing::Test {
  protected:
    void SetUp() override {
        dialogs().clear();
        QObject::connect(&form_, &AlignmentDialog::pieceWritten,
                         [this](qsizetype size) { pieces_.push_back(size); });
        QObject::connect(progress(), &QProgressBar::valueChanged, [this](int value) {
            if (value > 0)
                bar_.push_back(value);
        });
        form_.showModeless();
    }

    static logosmith::testing::ScriptedDialogs& dialogs() {
        return logosmith::testing::scriptedDialogs();
    }

    // Presses a button and lets the transfer it starts run to its end.
    void press(QPushButton* button) {
        button->click();
        ASSERT_TRUE(waitForTransfer(transfers_));
    }

    // Row letter l, n, h or c, position 1..7.
    QRadioButton* choice(char row, int position) {
        return child<QRadioButton>(&form_,
                                   QStringLiteral("%1%2").arg(QLatin1Char(row)).arg(position));
    }
    QPushButton* button(const char* name) { return child<QPushButton>(&form_, name); }
    QProgressBar* progress() { return child<QProgressBar>(&form_, "progress"); }

    // Low −3, normal 0, high +2, colour +3.
    void chooseExample() {
        choice('l', 1)->click();
        choice('n', 4)->click();
        choice('h', 6)->click();
        choice('c', 7)->click();
    }

    SendingParts parts_;
    logosmith::TransferWorker& transfers_ = parts_.transfers;
    const QString scratch_ = parts_.scratchFile();
    logosmith::AlignmentModel alignment_;
    AlignmentDialog form_{alignment_, parts_.method, parts_.sender};
    std::vector<qsizetype> pieces_;
    std::vector<int> bar_; // every value the bar took above 0
};

// Every row starts at "-3" (position 1) and keeps one choice; a button's place is its position,
// and the setup command carries the positions.
TEST_F(VerticalAlignment, EachRowHoldsOneChoiceStartingAtMinusThree) {
    EXPECT_EQ(alignment_.positions(), (std::array<int, 4>{1, 1, 1, 1}));
    EXPECT_TRUE(choice('n', 1)->isChecked());
    EXPECT_EQ(choice('n', 3)->text(), "-1");
    choice('n', 3)->click();
    choice('n', 5)->click();
    choice('c', 7)->click();
    EXPECT_FALSE(choice('n', 3)->isChecked());
    EXPECT_EQ(alignment_.positions(), (std::array<int, 4>{1, 5, 1, 7}));
    chooseExample();
    EXPECT_EQ(logosmith::SetupCommand(alignment_.positions()), setupCommand(1, 4, 6, 7));
    // A choice made elsewhere shows in the rows.
    alignment_.choose(2, 2);
    EXPECT_TRUE(choice('h', 2)->isChecked());
    EXPECT_FALSE(choice('h', 6)->isChecked());
}

// Setup: 104 bytes in 52 pieces of 2, the bar one step per piece; the simulator reads back the
// values it was set to. The untouched dialog first, then the example.
TEST_F(VerticalAlignment, SetupSendsTwoBytePiecesAndThePrinterTakesTheValues) {
    for (const bool example : {false, true}) {
        SCOPED_TRACE(example ? "example" : "untouched");
        pieces_.clear();
        bar_.clear();
        if (example)
            chooseExample();
        Simulator printer(Expect::align, "pty");
        chooseCom1(printer.slavePath());
        press(button("Button3"));
        const QJsonObject report = printer.report();

        EXPECT_TRUE(report["ok"].toBool());
        EXPECT_EQ(report["bytes"].toInt(), 104);
        const QJsonObject set = report["alignment"].toObject();
        EXPECT_EQ(set["low"].toInt(), 1);
        EXPECT_EQ(set["normal"].toInt(), example ? 4 : 1);
        EXPECT_EQ(set["high"].toInt(), example ? 6 : 1);
        EXPECT_EQ(set["color"].toInt(), example ? 7 : 1);

        EXPECT_EQ(pieces_, std::vector<qsizetype>(52, 2));
        std::vector<int> steps(52);
        for (int i = 0; i < 52; ++i)
            steps[std::size_t(i)] = i + 1;
        EXPECT_EQ(bar_, steps);
        EXPECT_FALSE(QFile::exists(scratch_));
        EXPECT_TRUE(dialogs().shown.isEmpty()) << "no message reports success";
    }

    // Closing and reopening keeps the choice and starts the bar again.
    button("Button4")->click();
    EXPECT_FALSE(form_.isVisible());
    form_.showModeless();
    EXPECT_EQ(progress()->value(), 0);
    EXPECT_EQ(alignment_.positions(), (std::array<int, 4>{1, 4, 6, 7}));
}

TEST_F(VerticalAlignment, PrintPatternAndCheckSetupAreOneTenByteWriteEach) {
    transport_test::Pty port;
    chooseCom1(QString::fromStdString(port.slavePath()));
    chooseExample(); // the choice does not enter these commands

    press(button("Button1"));
    EXPECT_EQ(port.take(), (Bytes{0x1B, 0x40, 0x1B, 0x78, 0x01, 0x01, 0x1D, 0x76, 0x66, 0x00}));
    EXPECT_EQ(pieces_, std::vector<qsizetype>{10});
    EXPECT_FALSE(QFile::exists(scratch_));

    pieces_.clear();
    press(button("Button2"));
    EXPECT_EQ(port.take(), (Bytes{0x1B, 0x40, 0x1B, 0x78, 0x01, 0x03, 0x1D, 0x76, 0x66, 0x00}));
    EXPECT_EQ(pieces_, std::vector<qsizetype>{10});
    EXPECT_FALSE(QFile::exists(scratch_));
    EXPECT_TRUE(bar_.empty());
    EXPECT_TRUE(dialogs().shown.isEmpty());
}

TEST_F(VerticalAlignment, APortHeldElsewhereGetsNothingAndLeavesNoScratchFile) {
    transport_test::Pty port;
    chooseCom1(QString::fromStdString(port.slavePath()));
    const auto held = logosmith::SerialPort::open(port.slavePath(), logosmith::SerialLine{},
                                                  logosmith::kDefaultWriteTimeout);

    progress()->setValue(17);
    press(button("Button3"));
    EXPECT_EQ(dialogs().texts("message"), QStringList{" Check your port setting "});
    EXPECT_EQ(progress()->value(), 0);
    EXPECT_FALSE(QFile::exists(scratch_));

    dialogs().clear();
    press(button("Button1"));
    EXPECT_EQ(dialogs().texts("message"), QStringList{" Check your port setting "});
    EXPECT_FALSE(QFile::exists(scratch_));
    EXPECT_TRUE(port.take().empty());
    EXPECT_TRUE(pieces_.empty());

    dialogs().clear();
    choosePort(-1);
    press(button("Button3"));
    EXPECT_EQ(dialogs().texts("message"), QStringList{" Port does not exist "});
    EXPECT_FALSE(QFile::exists(scratch_));
    EXPECT_TRUE(form_.isVisible());
}

TEST_F(VerticalAlignment, WithTheDriverMethodNothingIsWrittenOrSent) {
    transport_test::Pty port;
    chooseCom1(QString::fromStdString(port.slavePath()));
    parts_.method.choose(logosmith::PrintMethodModel::Method::Driver);
    press(button("Button1"));
    press(button("Button2"));
    press(button("Button3"));
    EXPECT_FALSE(QFile::exists(scratch_));
    EXPECT_TRUE(port.take().empty());
    EXPECT_TRUE(pieces_.empty());
    EXPECT_TRUE(dialogs().shown.isEmpty());
}

} // namespace
