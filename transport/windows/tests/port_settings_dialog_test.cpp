// The "Set Communication Port" dialog, offscreen, over a real settings file.

#include "platform/SettingsStore.h"
#include "tests/support/ScriptedDialogs.h"
#include "tests/support/TransportTestSupport.h"
#include "transport/PortSender.h"
#include "transport/windows/PortSettingsDialog.h"

#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

using namespace logosmith;
using namespace transport_test;
using namespace std::chrono_literals;

namespace {

class PortDialog : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        static int argc = 1;
        static char name[] = "port_form_test";
        static char* argv[] = {name, nullptr};
        if (!QApplication::instance())
            new QApplication(argc, argv);
    }
    void SetUp() override {
        store_ = std::make_unique<SettingsStore>(QString::fromStdString(dir_.path("l.ini")));
        dialogs().clear();
    }
    static logosmith::testing::ScriptedDialogs& dialogs() {
        return logosmith::testing::scriptedDialogs();
    }

    std::optional<int> stored(const char* name) { return store_->readInteger("nport", name); }

    ScratchDir dir_;
    std::unique_ptr<SettingsStore> store_;
};

QStringList shown(const PortSettingsDialog& form) {
    return {form.PortCombo->currentText(),    form.BaudCombo->currentText(),
            form.ParityCombo->currentText(),  form.DataBitCombo->currentText(),
            form.StopBitCombo->currentText(), form.FlowCombo->currentText()};
}

TEST_F(PortDialog, FirstRunShowsAndStoresTheDefaults) {
    PortSettingsDialog form(*store_);
    EXPECT_EQ(form.windowTitle(), "Set Communication Port");
    auto* group = form.findChild<QGroupBox*>();
    ASSERT_NE(group, nullptr);
    EXPECT_EQ(group->title(), "Communication Port Setting");
    QStringList labels;
    for (auto* label : group->findChildren<QLabel*>()) {
        labels << label->text();
        EXPECT_TRUE(label->alignment() & Qt::AlignRight);
    }
    EXPECT_EQ(labels, (QStringList{"Port", "Baud Rate", "Parity", "Data bits", "Stop Bits",
                                   "Flow Control"}));
    EXPECT_EQ(form.findChild<QPushButton*>("Button1")->text(), "OK");
    EXPECT_EQ(form.findChild<QPushButton*>("Button2")->text(), "Cancel");
    EXPECT_EQ(form.findChild<QComboBox*>("PortCombo")->count(), 7);

    EXPECT_EQ(shown(form), (QStringList{"LPT1", "9600", "None", "8", "1", "None"}));
    SettingsStore reread(store_->fileName());
    const char* names[] = {"port", "baud", "parity", "data", "stop", "flow"};
    const int defaults[] = {0, 2, 0, 1, 0, 0};
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(reread.readInteger("nport", names[i]), defaults[i]) << names[i];
    EXPECT_TRUE(dialogs().shown.isEmpty());
}

TEST_F(PortDialog, MissingValuesTakeDefaultsAndAreWrittenOnlyAtClose) {
    store_->writeInteger("nport", "port", 4);
    store_->writeInteger("nport", "flow", 1);
    store_->sync();
    PortSettingsDialog form(*store_);
    EXPECT_EQ(shown(form), (QStringList{"COM3", "9600", "None", "8", "1", "Xon/Xoff"}));
    EXPECT_FALSE(store_->valueExists("nport", "baud"));
    form.show();
    form.Button1->click();
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(stored("baud"), 2);
    EXPECT_EQ(stored("data"), 1);
}

TEST_F(PortDialog, CancelAndTheCloseBoxSaveWhatTheListsShow) {
    PortSettingsDialog form(*store_);
    form.show();
    form.PortCombo->setCurrentIndex(3); // "COM2"
    form.Button2->click();
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(stored("port"), 3);

    form.show();
    form.BaudCombo->setCurrentIndex(5);
    form.close();
    EXPECT_EQ(stored("baud"), 5);

    form.show();
    form.FlowCombo->setCurrentIndex(2);
    form.reject(); // Esc
    EXPECT_EQ(stored("flow"), 2);
}

TEST_F(PortDialog, AStoredPortOutsideTheListChoosesNothingAndIsSavedAsMinusOne) {
    store_->writeInteger("nport", "port", 9);
    store_->sync();
    PortSettingsDialog form(*store_);
    EXPECT_EQ(form.PortCombo->currentIndex(), -1);
    EXPECT_EQ(form.PortCombo->currentText(), "");

    const std::string file = dir_.path("tlsdlek.prn");
    writeFile(file, patternBytes(10));
    TransferRequest r;
    r.file = file;
    r.port = form.portSettings();
    EXPECT_EQ(SendToPrinter(r).message, " Port does not exist ");

    form.show();
    form.Button1->click();
    EXPECT_EQ(stored("port"), -1);
}

TEST_F(PortDialog, AStoredBaudOutsideTheListRunsTheLineAt2400) {
    transport_test::Pty pty;
    store_->writeInteger("nport", "port", 2);
    store_->writeInteger("nport", "baud", 9);
    store_->sync();
    PortSettingsDialog form(*store_);
    EXPECT_EQ(form.BaudCombo->currentIndex(), -1);
    DeviceMap devices;
    devices.set("COM1", pty.slavePath());
    {
        PrinterPort port = OpenPrinterPort(form.portSettings(), kPortLineLimit, devices);
        ASSERT_EQ(port.outcome, PortOutcome::Opened) << port.reason;
        const termios tio = pty.line();
        EXPECT_EQ(::cfgetospeed(&tio), B2400);
    }
}

TEST_F(PortDialog, AStoredValueThatIsNoNumberIsReportedAndTheRestStayUnchosen) {
    store_->writeInteger("nport", "port", 1);
    store_->writeInteger("nport", "baud", 3);
    store_->writeText("nport", "parity", "Even");
    store_->writeInteger("nport", "data", 0);
    store_->sync();
    PortSettingsDialog form(*store_);
    const QStringList errors = dialogs().texts("error");
    ASSERT_EQ(errors.size(), 1);
    EXPECT_TRUE(errors[0].contains("parity")) << errors[0].toStdString();
    const PortSettings now = form.portSettings();
    EXPECT_EQ(now, (PortSettings{1, 3, -1, -1, -1, -1}));
}

TEST_F(PortDialog, AGroupGoneAtCloseIsReportedAndNothingIsWritten) {
    PortSettingsDialog form(*store_);
    for (const char* name : {"port", "baud", "parity", "data", "stop", "flow"})
        store_->remove("nport", name);
    store_->sync();
    form.show();
    form.PortCombo->setCurrentIndex(5);
    form.Button1->click();
    EXPECT_EQ(dialogs().texts("message"), QStringList{" check the settting !!!! "});
    EXPECT_FALSE(store_->groupExists("nport"));
    EXPECT_EQ(form.portSettings().port, 5) << "the live choice stays for this run";
}

TEST_F(PortDialog, AChangeInTheOpenDialogDecidesTheNextTransfer) {
    const std::string lpt1 = dir_.path("lp0");
    const std::string lpt2 = dir_.path("lp1");
    ASSERT_EQ(::mkfifo(lpt1.c_str(), 0600), 0);
    ASSERT_EQ(::mkfifo(lpt2.c_str(), 0600), 0);
    const int reader1 = ::open(lpt1.c_str(), O_RDONLY | O_NONBLOCK);
    const int reader2 = ::open(lpt2.c_str(), O_RDONLY | O_NONBLOCK);
    {
        ByteCollector first(reader1, true);
        ByteCollector second(reader2, true);

        PortSettingsDialog form(*store_);
        form.show();
        form.PortCombo->setCurrentIndex(1); // "LPT2", not yet saved
        TransferRequest r;
        r.file = dir_.path("tlsdlek.prn");
        r.port = form.portSettings();
        r.devices.set("LPT1", lpt1);
        r.devices.set("LPT2", lpt2);
        writeFile(r.file, patternBytes(700));
        EXPECT_EQ(SendToPrinter(r).status, TransferStatus::Sent);
        ASSERT_TRUE(second.waitDone(5s));
        EXPECT_EQ(second.bytes(), patternBytes(700));
        EXPECT_EQ(first.count(), 0u);
        EXPECT_EQ(stored("port"), 0) << "saved only when the dialog closes";
        form.Button1->click();
        EXPECT_EQ(stored("port"), 1);
    }
    ::close(reader1);
    ::close(reader2);
}

} // namespace
