// The "Set Communication Port" dialog, offscreen, over the port settings of a real settings
// file: what it shows, that a change is the next transfer's at once, and that every way of
// closing saves.

#include "platform/SettingsStore.h"
#include "tests/support/ScriptedDialogs.h"
#include "tests/support/TransportTestSupport.h"
#include "tests/support/WidgetLookup.h"
#include "transport/PortSender.h"
#include "transport/PortSettingsModel.h"
#include "transport/windows/PortSettingsDialog.h"

#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace logosmith;
using namespace transport_test;
using namespace std::chrono_literals;
using logosmith::testing::child;

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
        dialogs().clear();
        model_.load();
    }
    static logosmith::testing::ScriptedDialogs& dialogs() {
        return logosmith::testing::scriptedDialogs();
    }

    std::optional<int> stored(const char* name) { return store_.readInteger("nport", name); }
    QComboBox* list(const char* name) { return child<QComboBox>(&form_, name); }
    QPushButton* button(const char* name) { return child<QPushButton>(&form_, name); }
    QStringList shown() {
        QStringList texts;
        for (const char* name :
             {"PortCombo", "BaudCombo", "ParityCombo", "DataBitCombo", "StopBitCombo", "FlowCombo"})
            texts << list(name)->currentText();
        return texts;
    }

    ScratchDir dir_;
    SettingsStore store_{QString::fromStdString(dir_.path("l.ini"))};
    PortSettingsModel model_{store_};
    PortSettingsDialog form_{model_};
};

TEST_F(PortDialog, ShowsTheSettingsInItsSixLists) {
    EXPECT_EQ(form_.windowTitle(), "Set Communication Port");
    auto* group = form_.findChild<QGroupBox*>();
    EXPECT_EQ(group->title(), "Communication Port Setting");
    QStringList labels;
    for (auto* label : group->findChildren<QLabel*>()) {
        if (!label->buddy())
            continue;
        labels << label->text();
        EXPECT_TRUE(label->alignment() & Qt::AlignRight);
    }
    EXPECT_EQ(labels, (QStringList{"Port", "Device", "Baud Rate", "Parity", "Data bits",
                                   "Stop Bits", "Flow Control"}));
    EXPECT_EQ(button("Button1")->text(), "OK");
    EXPECT_EQ(button("Button2")->text(), "Cancel");
    EXPECT_EQ(list("PortCombo")->count(), 8);
    EXPECT_EQ(list("PortCombo")->itemText(7), "Network");
    EXPECT_EQ(shown(), (QStringList{"LPT1", "9600", "None", "8", "1", "None"}));

    // A choice made elsewhere (read again, a stored index outside the list) shows as well.
    model_.chooseAll(PortSettings{4, 9, 0, 1, 0, 1, {}});
    EXPECT_EQ(shown(), (QStringList{"COM3", "", "None", "8", "1", "Xon/Xoff"}));
    EXPECT_TRUE(dialogs().shown.isEmpty());
}

TEST_F(PortDialog, OkCancelTheCloseBoxAndEscAllSaveWhatTheListsShow) {
    form_.show();
    list("PortCombo")->setCurrentIndex(3); // "COM2"
    button("Button2")->click();
    EXPECT_FALSE(form_.isVisible());
    EXPECT_EQ(stored("port"), 3);

    form_.show();
    list("BaudCombo")->setCurrentIndex(5);
    form_.close();
    EXPECT_EQ(stored("baud"), 5);

    form_.show();
    list("FlowCombo")->setCurrentIndex(2);
    form_.reject(); // Esc
    EXPECT_EQ(stored("flow"), 2);

    form_.show();
    list("DataBitCombo")->setCurrentIndex(0);
    button("Button1")->click();
    EXPECT_EQ(stored("data"), 0);
}

TEST_F(PortDialog, AGroupGoneAtCloseIsReportedAndNothingIsWritten) {
    for (const char* name : {"port", "baud", "parity", "data", "stop", "flow"})
        store_.remove("nport", name);
    store_.sync();
    form_.show();
    list("PortCombo")->setCurrentIndex(5);
    button("Button1")->click();
    EXPECT_EQ(dialogs().texts("message"), QStringList{" check the settting !!!! "});
    EXPECT_FALSE(store_.groupExists("nport"));
    EXPECT_EQ(model_.settings().port, 5) << "the live choice stays for this run";
}

TEST_F(PortDialog, AChangeInTheOpenDialogDecidesTheNextTransfer) {
    const std::string lpt1 = dir_.path("lp0");
    const std::string lpt2 = dir_.path("lp1");
    ASSERT_EQ(::mkfifo(lpt1.c_str(), 0600), 0);
    ASSERT_EQ(::mkfifo(lpt2.c_str(), 0600), 0);
    store_.writeText("devices", "LPT1", QString::fromStdString(lpt1));
    store_.writeText("devices", "LPT2", QString::fromStdString(lpt2));
    const int reader1 = ::open(lpt1.c_str(), O_RDONLY | O_NONBLOCK);
    const int reader2 = ::open(lpt2.c_str(), O_RDONLY | O_NONBLOCK);
    {
        ByteCollector first(reader1, true);
        ByteCollector second(reader2, true);

        form_.show();
        list("PortCombo")->setCurrentIndex(1); // "LPT2", not yet saved
        TransferRequest r;
        r.file = dir_.path("tlsdlek.prn");
        r.port = model_.settings();
        writeFile(r.file, patternBytes(700));
        EXPECT_EQ(SendToPrinter(r).status, TransferStatus::Sent);
        ASSERT_TRUE(second.waitDone(5s));
        EXPECT_EQ(second.bytes(), patternBytes(700));
        EXPECT_EQ(first.count(), 0u);
        EXPECT_EQ(stored("port"), 0) << "saved only when the dialog closes";
        button("Button1")->click();
        EXPECT_EQ(stored("port"), 1);
    }
    ::close(reader1);
    ::close(reader2);
}

} // namespace
