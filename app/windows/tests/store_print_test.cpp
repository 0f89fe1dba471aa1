#include "app/windows/tests/AppFixture.h"

#include "app/windows/PictureView.h"
#include "platform/core/AtomicFile.h"
#include "printdata/windows/ResolutionDialog.h"
#include "tests/support/PrinterTestSupport.h"
#include "transport/TransferWorker.h"
#include "transport/windows/PortSettingsDialog.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QMenu>
#include <QProgressBar>
#include <QRadioButton>
#include <QTest>
#include <QTreeWidget>

using namespace logosmith;
using namespace logosmith::testing;

// The whole road: pictures added and adjusted in the window, commands sent over a serial
// line to the virtual printer, which checks every byte.
class StoreAndPrint : public AppFixture {
  protected:
    void SetUp() override {
        AppFixture::SetUp();
        addPicture(makePicture("first.bmp", 40, 16));
        addPicture(makePicture("second.bmp", 64, 20));
        addPicture(makePicture("third.bmp", 30, 9));
        ui<QRadioButton>("RadioGreen")->click(); // colours changed on the last one
        ASSERT_TRUE(dialogs().texts("error").isEmpty());
    }

    static QJsonArray storedLogos(const QJsonObject& report) {
        return report.value("stored_logos").toArray();
    }
};

TEST_F(StoreAndPrint, StoreReachesThePrinterWithThreeLogosAndSavesTheSameBytesToAFile) {
    Simulator sim(Expect::store, "pty");
    chooseCom1(sim.slavePath());
    press("btnStorePrinter");
    EXPECT_EQ(dialogs().texts("warning"),
              QStringList{" Please wait until download is completed. \r When complete, both the "
                          "LEFT CARTRIDGE LED and RIGHT CARTRIDGE LED are ON."});
    EXPECT_TRUE(dialogs().texts("error").isEmpty())
        << dialogs().allTexts().join("\n").toStdString();
    const QJsonObject report = sim.report();
    EXPECT_TRUE(report.value("ok").toBool()) << QJsonDocument(report).toJson().toStdString();
    const QJsonArray logos = storedLogos(report);
    ASSERT_EQ(logos.size(), 3);
    const int widths[] = {40, 64, 30};
    const int heights[] = {16 + 8, 16 + 8, 16}; // every 8 rows one band, plus the blank one
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(logos[i].toObject().value("width").toInt(), widths[i]);
        EXPECT_EQ(logos[i].toObject().value("height").toInt(), heights[i]);
    }
    EXPECT_FALSE(QFile::exists(rootDir() + "tlsdlek.prn"));

    // "Store to File" writes the very stream the printer received.
    const QString prn = pictures_.path() + "/logos.prn";
    dialogs().saveAnswers.push_back(prn);
    button("btnPrintFile")->click();
    EXPECT_EQ(dialogs().lastSaveSuffix, "prn");
    Simulator fromFile(Expect::store, prn);
    EXPECT_EQ(fromFile.report().value("stored_logos"), report.value("stored_logos"));
    EXPECT_EQ(fromFile.report().value("bytes"), report.value("bytes"));
    EXPECT_FALSE(QFile::exists(rootDir() + "tlsdlek.prn"));
}

// A print the printer holds up ('P', then 'X' a second and a half later) shows its progress
// after a moment and keeps every command that would start another transfer, or end the
// program, off until it ends; the rest of the window stays usable.
TEST_F(StoreAndPrint, ASlowPrintShowsItsProgressAndHoldsBackTheOtherTransfers) {
    ui<QCheckBox>("scaleCheckBox")->setChecked(false);
    addPicture(makePicture("tall.bmp", 250, 2000)); // far more than a pty holds
    Simulator sim(Expect::print, "pty", {"--xoff-after", "4096", "--xoff-ms", "1500"});
    chooseCom1(sim.slavePath());
    dialogControl<QComboBox>("PortForm", "FlowCombo")->setCurrentIndex(1); // "Xon/Xoff"
    dialogs().clear();
    button("btnPrint")->click();
    ASSERT_TRUE(session_->transfers().isBusy());
    EXPECT_FALSE(ui<QProgressBar>("transferProgress")->isVisible())
        << "no bar for what may end at once";
    for (const char* command : {"btnStorePrinter", "btnPrintFile", "btnPrint", "Button9"})
        EXPECT_FALSE(button(command)->isEnabled()) << command;
    EXPECT_FALSE(item("firmwaredownload1")->isEnabled());
    EXPECT_FALSE(ui<QMenu>("exit1")->menuAction()->isEnabled())
        << "Print To File writes the scratch file";
    item("PrintToFile1")->trigger();
    EXPECT_TRUE(dialogs().shown.isEmpty()) << "a command started under a running transfer";
    EXPECT_TRUE(button("btnAddImage")->isEnabled());
    QTest::qWait(700);
    EXPECT_TRUE(ui<QProgressBar>("transferProgress")->isVisible());
    EXPECT_GT(ui<QProgressBar>("transferProgress")->value(), 0);

    ASSERT_TRUE(waitForTransfer(session_->transfers()));
    EXPECT_FALSE(ui<QProgressBar>("transferProgress")->isVisible());
    EXPECT_TRUE(button("btnPrint")->isEnabled());
    EXPECT_TRUE(button("Button9")->isEnabled());
    EXPECT_TRUE(ui<QMenu>("exit1")->menuAction()->isEnabled());
    EXPECT_TRUE(sim.report().value("ok").toBool());
    EXPECT_TRUE(dialogs().shown.isEmpty()) << dialogs().allTexts().join("\n").toStdString();
    EXPECT_FALSE(QFile::exists(rootDir() + "tlsdlek.prn"));
}

TEST_F(StoreAndPrint, StoreToFileAsksBeforeReplacingAndKeepsTheOldFileOnNo) {
    const QString prn = pictures_.path() + "/logos.prn";
    writeFileAtomically(prn.toStdString(), {1, 2, 3});
    dialogs().saveAnswers.push_back(prn);
    dialogs().yesNoAnswers.push_back(false);
    button("btnPrintFile")->click();
    EXPECT_EQ(readWholeFile(prn.toStdString()), (std::vector<std::uint8_t>{1, 2, 3}));
    EXPECT_EQ(dialogs().texts("question").size(), 1);

    dialogs().saveAnswers.push_back(prn);
    dialogs().yesNoAnswers.push_back(true);
    item("PrintToFile1")->trigger();
    EXPECT_GT(readWholeFile(prn.toStdString()).size(), 100u);
    EXPECT_FALSE(QFile::exists(rootDir() + "tlsdlek.prn"));
}

TEST_F(StoreAndPrint, DoubleDensityWidensEveryLogo) {
    dialogControl<QRadioButton>("ResolutionForm", "RadioButton2")->setChecked(true);
    const QString prn = pictures_.path() + "/double.prn";
    dialogs().saveAnswers.push_back(prn);
    button("btnPrintFile")->click();
    Simulator sim(Expect::store, prn);
    const QJsonArray logos = storedLogos(sim.report());
    ASSERT_EQ(logos.size(), 3);
    EXPECT_EQ(logos[1].toObject().value("width").toInt(), 128);
    EXPECT_EQ(sim.report().value("bit_image_modes").toArray().first().toInt(), 1);
}

TEST_F(StoreAndPrint, AMissingEntryFileRefusesTheStoreNamingIt) {
    button("Button9")->click(); // everything committed
    QFile::remove(libraryDir() + "second.bmp");
    dialogs().clear();
    const QString prn = pictures_.path() + "/never.prn";
    dialogs().saveAnswers.push_back(prn);
    button("btnPrintFile")->click();
    ASSERT_EQ(dialogs().texts("error").size(), 1);
    EXPECT_TRUE(dialogs().texts("error").first().contains("second.bmp"));
    EXPECT_FALSE(QFile::exists(prn));
    EXPECT_EQ(dialogs().texts("save").size(), 0);
}

// The wait warning means the data goes out: every refusal comes before it, and nothing is sent.
TEST_F(StoreAndPrint, StoreRefusesBeforeItsWaitWarning) {
    // 250 dots wide and 1200 rows with ink in every band: far more than a 16-bit block length.
    addPicture(makePicture("tall.bmp", 250, 1200));
    dialogs().clear();
    press("btnStorePrinter");
    ASSERT_EQ(dialogs().texts("error").size(), 1);
    EXPECT_TRUE(dialogs().texts("error").first().contains("too large"));

    button("Button9")->click();
    QFile::remove(libraryDir() + "second.bmp");
    press("btnStorePrinter");
    ASSERT_EQ(dialogs().texts("error").size(), 2);
    EXPECT_TRUE(dialogs().texts("error").last().contains("second.bmp"));

    EXPECT_TRUE(dialogs().texts("warning").isEmpty());
    EXPECT_FALSE(QFile::exists(rootDir() + "tlsdlek.prn"));
}

TEST_F(StoreAndPrint, PrintGivesPaperWhoseDotsAreThePreviewsInks) {
    Simulator sim(Expect::print, "pty");
    chooseCom1(sim.slavePath());
    press("btnPrint");
    ASSERT_TRUE(sim.report().value("ok").toBool());
    const QImage paper(sim.outPath("paper.png"));
    const Picture& preview = pictures().preview();
    ASSERT_GE(paper.width(), preview.width());
    ASSERT_GE(paper.height(), preview.height());
    int inked = 0;
    for (int y = 0; y < preview.height(); ++y)
        for (int x = 0; x < preview.width(); ++x) {
            const Colour c = preview.pixel(x, y);
            const QRgb dot = paper.pixel(x, y);
            // Under the print rule the L colour prints black, the pure colours print red.
            const QRgb expected = c == colours::black   ? qRgb(0, 0, 0)
                                  : c == colours::white ? qRgb(255, 255, 255)
                                                        : qRgb(255, 0, 0);
            EXPECT_EQ(dot, expected) << x << "," << y;
            inked += c != colours::white;
        }
    EXPECT_GT(inked, 0);
}

TEST_F(StoreAndPrint, AnEmptyLibraryIsRefusedAndATooWidePictureIsNotPrinted) {
    for (int i = 0; i < 3; ++i) {
        list()->clearSelection();
        list()->topLevelItem(0)->setSelected(true);
        button("btnDeleteImage")->click();
    }
    dialogs().clear();
    press("btnStorePrinter");
    EXPECT_EQ(dialogs().texts("error"), QStringList{emptyLibraryMessage});
    EXPECT_TRUE(dialogs().texts("warning").isEmpty());

    ui<QCheckBox>("scaleCheckBox")->setChecked(false);
    addPicture(makePicture("wide.bmp", 1016, 10));
    dialogs().clear();
    press("btnPrint");
    EXPECT_EQ(dialogs().texts("message"), QStringList{"Image file size is too large."});
    EXPECT_FALSE(QFile::exists(rootDir() + "tlsdlek.prn"));
}

TEST_F(StoreAndPrint, StoreOverUsbGoesThroughTheSpoolerAsOneRawJob) {
    PrivateSpooler spooler;
    if (!spooler.problem().isEmpty())
        GTEST_SKIP() << spooler.problem().toStdString();
    Simulator sim(Expect::store, "tcp");
    ASSERT_TRUE(spooler.makeDefaultQueue("mrx310", sim.tcpPort()));
    choosePort(6); // "U S B"
    press("btnStorePrinter");
    const QJsonObject report = sim.report();
    EXPECT_TRUE(dialogs().texts("error").isEmpty())
        << dialogs().allTexts().join("\n").toStdString();
    EXPECT_TRUE(report.value("ok").toBool());
    EXPECT_EQ(report.value("stored_logos").toArray().size(), 3);
    EXPECT_FALSE(QFile::exists(rootDir() + "tlsdlek.prn"));

    // No default printer: the error, nothing lost silently, no scratch file left.
    ASSERT_TRUE(spooler.removeQueue("mrx310"));
    dialogs().clear();
    press("btnStorePrinter");
    EXPECT_EQ(dialogs().texts("error"),
              QStringList{"There is no default printer currently selected"});
    EXPECT_FALSE(QFile::exists(rootDir() + "tlsdlek.prn"));
}

// Where a port leads is chosen in the port dialog: a network printer by its address, a serial
// line by any device path typed in (a pseudo-terminal here). Both take the store as a file
// of the same command would give it.
TEST_F(StoreAndPrint, ThePortDialogLeadsTheStoreToANetworkPrinterOrATypedDevice) {
    const QString prn = pictures_.path() + "/logos.prn";
    dialogs().saveAnswers.push_back(prn);
    button("btnPrintFile")->click();
    ASSERT_TRUE(QFile::exists(prn)) << dialogs().allTexts().join("\n").toStdString();
    Simulator fromFile(Expect::store, prn);
    const QJsonObject expected = fromFile.report();
    ASSERT_TRUE(expected.value("ok").toBool()) << QJsonDocument(expected).toJson().toStdString();

    const auto leadThere = [this](int port, const QString& device) {
        item("SetCommunicationPort1")->trigger();
        dialogControl<QComboBox>("PortForm", "PortCombo")->setCurrentIndex(port);
        auto* box = dialogControl<QComboBox>("PortForm", "DeviceCombo");
        box->setEditText(device);
        dialogControl<QPushButton>("PortForm", "Button1")->click();
    };
    {
        Simulator sim(Expect::store, "tcp");
        leadThere(kNetworkPort, QStringLiteral("127.0.0.1:%1").arg(sim.tcpPort()));
        EXPECT_EQ(settingsStore().readText("devices", "NETWORK").value_or(""),
                  QStringLiteral("127.0.0.1:%1").arg(sim.tcpPort()));
        press("btnStorePrinter");
        const QJsonObject report = sim.report();
        EXPECT_TRUE(report.value("ok").toBool()) << QJsonDocument(report).toJson().toStdString();
        EXPECT_EQ(report.value("bytes"), expected.value("bytes"));
        EXPECT_EQ(report.value("stored_logos"), expected.value("stored_logos"));
    }
    {
        Simulator sim(Expect::store, "pty");
        leadThere(4, sim.slavePath()); // "COM3"
        EXPECT_EQ(settingsStore().readText("devices", "COM3").value_or(""), sim.slavePath());
        press("btnStorePrinter");
        const QJsonObject report = sim.report();
        EXPECT_TRUE(report.value("ok").toBool()) << QJsonDocument(report).toJson().toStdString();
        EXPECT_EQ(report.value("stored_logos"), expected.value("stored_logos"));
    }
    // Nothing listens any more: the port problem with its reason, within a few seconds.
    dialogs().clear();
    leadThere(kNetworkPort, "127.0.0.1:1");
    press("btnStorePrinter");
    ASSERT_EQ(dialogs().texts("message"), QStringList{" Check your port setting "});
    EXPECT_TRUE(dialogs().shown.last().details.contains("refused"))
        << dialogs().shown.last().details.toStdString();
    EXPECT_FALSE(QFile::exists(rootDir() + "tlsdlek.prn"));
}
