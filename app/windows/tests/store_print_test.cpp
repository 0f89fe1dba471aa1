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
        Form1->RadioGreen->click(); // colours changed on the last one
        ASSERT_TRUE(dialogs().texts("error").isEmpty());
    }

    static QJsonArray storedLogos(const QJsonObject& report) {
        return report.value("stored_logos").toArray();
    }
};

TEST_F(StoreAndPrint, StoreReachesThePrinterWithThreeLogosAndSavesTheSameBytesToAFile) {
    Simulator sim(Expect::store, "pty");
    chooseCom1(sim.slavePath());
    press(Form1->btnStorePrinter);
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
    Form1->btnPrintFile->click();
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
    Form1->scaleCheckBox->setChecked(false);
    addPicture(makePicture("tall.bmp", 250, 2000)); // far more than a pty holds
    Simulator sim(Expect::print, "pty", {"--xoff-after", "4096", "--xoff-ms", "1500"});
    chooseCom1(sim.slavePath());
    PortForm->FlowCombo->setCurrentIndex(1); // "Xon/Xoff"
    dialogs().clear();
    Form1->btnPrint->click();
    ASSERT_TRUE(transferWorker().isBusy());
    EXPECT_FALSE(Form1->transferProgress->isVisible()) << "no bar for what may end at once";
    for (QWidget* command : std::initializer_list<QWidget*>{
             Form1->btnStorePrinter, Form1->btnPrintFile, Form1->btnPrint, Form1->Button9})
        EXPECT_FALSE(command->isEnabled()) << command->objectName().toStdString();
    EXPECT_FALSE(Form1->firmwaredownload1->isEnabled());
    EXPECT_FALSE(Form1->exit1->menuAction()->isEnabled())
        << "Print To File writes the scratch file";
    Form1->PrintToFile1->trigger();
    EXPECT_TRUE(dialogs().shown.isEmpty()) << "a command started under a running transfer";
    EXPECT_TRUE(Form1->btnAddImage->isEnabled());
    QTest::qWait(700);
    EXPECT_TRUE(Form1->transferProgress->isVisible());
    EXPECT_GT(Form1->transferProgress->value(), 0);

    ASSERT_TRUE(waitForTransfer(transferWorker()));
    EXPECT_FALSE(Form1->transferProgress->isVisible());
    EXPECT_TRUE(Form1->btnPrint->isEnabled());
    EXPECT_TRUE(Form1->Button9->isEnabled());
    EXPECT_TRUE(Form1->exit1->menuAction()->isEnabled());
    EXPECT_TRUE(sim.report().value("ok").toBool());
    EXPECT_TRUE(dialogs().shown.isEmpty()) << dialogs().allTexts().join("\n").toStdString();
    EXPECT_FALSE(QFile::exists(rootDir() + "tlsdlek.prn"));
}

TEST_F(StoreAndPrint, StoreToFileAsksBeforeReplacingAndKeepsTheOldFileOnNo) {
    const QString prn = pictures_.path() + "/logos.prn";
    writeFileAtomically(prn.toStdString(), {1, 2, 3});
    dialogs().saveAnswers.push_back(prn);
    dialogs().yesNoAnswers.push_back(false);
    Form1->btnPrintFile->click();
    EXPECT_EQ(readWholeFile(prn.toStdString()), (std::vector<std::uint8_t>{1, 2, 3}));
    EXPECT_EQ(dialogs().texts("question").size(), 1);

    dialogs().saveAnswers.push_back(prn);
    dialogs().yesNoAnswers.push_back(true);
    Form1->PrintToFile1->trigger();
    EXPECT_GT(readWholeFile(prn.toStdString()).size(), 100u);
    EXPECT_FALSE(QFile::exists(rootDir() + "tlsdlek.prn"));
}

TEST_F(StoreAndPrint, DoubleDensityWidensEveryLogo) {
    ResolutionForm->RadioButton2->setChecked(true);
    const QString prn = pictures_.path() + "/double.prn";
    dialogs().saveAnswers.push_back(prn);
    Form1->btnPrintFile->click();
    Simulator sim(Expect::store, prn);
    const QJsonArray logos = storedLogos(sim.report());
    ASSERT_EQ(logos.size(), 3);
    EXPECT_EQ(logos[1].toObject().value("width").toInt(), 128);
    EXPECT_EQ(sim.report().value("bit_image_modes").toArray().first().toInt(), 1);
}

TEST_F(StoreAndPrint, AMissingEntryFileRefusesTheStoreNamingIt) {
    Form1->Button9->click(); // everything committed
    QFile::remove(libraryDir() + "second.bmp");
    dialogs().clear();
    const QString prn = pictures_.path() + "/never.prn";
    dialogs().saveAnswers.push_back(prn);
    Form1->btnPrintFile->click();
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
    press(Form1->btnStorePrinter);
    ASSERT_EQ(dialogs().texts("error").size(), 1);
    EXPECT_TRUE(dialogs().texts("error").first().contains("too large"));

    Form1->Button9->click();
    QFile::remove(libraryDir() + "second.bmp");
    press(Form1->btnStorePrinter);
    ASSERT_EQ(dialogs().texts("error").size(), 2);
    EXPECT_TRUE(dialogs().texts("error").last().contains("second.bmp"));

    EXPECT_TRUE(dialogs().texts("warning").isEmpty());
    EXPECT_FALSE(QFile::exists(rootDir() + "tlsdlek.prn"));
}

TEST_F(StoreAndPrint, PrintGivesPaperWhoseDotsAreThePreviewsInks) {
    Simulator sim(Expect::print, "pty");
    chooseCom1(sim.slavePath());
    press(Form1->btnPrint);
    ASSERT_TRUE(sim.report().value("ok").toBool());
    const QImage paper(sim.outPath("paper.png"));
    const Picture& preview = Form1->previewImage;
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
        Form1->ListView1->clearSelection();
        Form1->ListView1->topLevelItem(0)->setSelected(true);
        Form1->btnDeleteImage->click();
    }
    dialogs().clear();
    press(Form1->btnStorePrinter);
    EXPECT_EQ(dialogs().texts("error"), QStringList{emptyLibraryMessage});
    EXPECT_TRUE(dialogs().texts("warning").isEmpty());

    Form1->scaleCheckBox->setChecked(false);
    addPicture(makePicture("wide.bmp", 1016, 10));
    dialogs().clear();
    press(Form1->btnPrint);
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
    press(Form1->btnStorePrinter);
    const QJsonObject report = sim.report();
    EXPECT_TRUE(dialogs().texts("error").isEmpty())
        << dialogs().allTexts().join("\n").toStdString();
    EXPECT_TRUE(report.value("ok").toBool());
    EXPECT_EQ(report.value("stored_logos").toArray().size(), 3);
    EXPECT_FALSE(QFile::exists(rootDir() + "tlsdlek.prn"));

    // No default printer: the error, nothing lost silently, no scratch file left.
    ASSERT_TRUE(spooler.removeQueue("mrx310"));
    dialogs().clear();
    press(Form1->btnStorePrinter);
    EXPECT_EQ(dialogs().texts("error"),
              QStringList{"There is no default printer currently selected"});
    EXPECT_FALSE(QFile::exists(rootDir() + "tlsdlek.prn"));
}
