#include "app/windows/tests/AppFixture.h"

#include "app/windows/EditorDialog.h"
#include "app/windows/InformationDialog.h"
#include "app/windows/PictureView.h"
#include "printdata/windows/ResolutionDialog.h"
#include "tests/support/PrinterTestSupport.h"
#include "transport/TransferWorker.h"
#include "transport/windows/AlignmentDialog.h"
#include "transport/windows/FirmwareDialog.h"
#include "transport/windows/PortSettingsDialog.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QFileInfo>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTest>
#include <QTreeWidget>

using namespace logosmith;

using MainWindowTest = AppFixture;

TEST_F(MainWindowTest, StartsWithItsSevenWindowsAndOnlyTheMainOneShown) {
    const QList<QPair<QString, QString>> windows = {{"Form1", "KORVANT MRX-310 Logosmith"},
                                                    {"DownloadForm", "Information"},
                                                    {"helpForm", "Help"},
                                                    {"ImageEditorForm", "Select Image Editor"},
                                                    {"PortForm", "Set Communication Port"},
                                                    {"ResolutionForm", "Set resolution"},
                                                    {"verticalForm", "Vertical Alignment"}};
    for (const auto& [name, caption] : windows) {
        const QWidget* shown = dialog(name);
        EXPECT_EQ(shown->windowTitle(), caption);
        EXPECT_EQ(shown->isVisible(), shown == &window()) << caption.toStdString();
    }
    EXPECT_EQ(window().centralWidget()->size(), QSize(606, 609));
    EXPECT_EQ(window().minimumSize(), window().maximumSize());
    EXPECT_FALSE(window().windowFlags() & Qt::WindowMaximizeButtonHint);
}

TEST_F(MainWindowTest, BeforeAnyPictureThePictureCommandsAreDisabled) {
    for (QPushButton* b : {button("btnPrint"), button("btnSave"), button("btnPrintFile"),
                           button("btnCenter"), button("btnStorePrinter"), button("btnEdit")})
        EXPECT_FALSE(b->isEnabled()) << b->objectName().toStdString();
    for (QAction* a :
         {item("save1"), item("PrintOnPrinter1"), item("PrintToFile1"), item("StoreInPrinter1")})
        EXPECT_FALSE(a->isEnabled()) << a->objectName().toStdString();
    EXPECT_TRUE(ui<QRadioButton>("DirectPrint")->isChecked());
    EXPECT_FALSE(ui<QRadioButton>("DriverPrinter")->isEnabled());
    EXPECT_FALSE(item("WindowPrintDriver1")->isEnabled());
    EXPECT_TRUE(ui<QMenu>("ImageResize1")->menuAction()->isEnabled());
    EXPECT_FALSE(button("btnScale")->isVisible());
    EXPECT_TRUE(ui<PictureView>("Image2")->drawing().isNull());
    EXPECT_EQ(library().storeImageCount(), 1);
    EXPECT_EQ(session().state().RootDir, rootDir());
}

TEST_F(MainWindowTest, AddingAPictureFitsItSeparatesItAndEnablesTheCommands) {
    addPicture(makePicture("shop.bmp", 300, 200));
    ASSERT_TRUE(dialogs().texts("error").isEmpty())
        << dialogs().allTexts().join("\n").toStdString();

    EXPECT_EQ(pictures().working().width(), 243);
    EXPECT_EQ(pictures().working().height(), 162);
    EXPECT_EQ(pictures().decoded().width(), 300);
    // Every preview pixel is exactly one of the inks or paper.
    for (int y = 0; y < pictures().preview().height(); ++y)
        for (int x = 0; x < pictures().preview().width(); ++x) {
            const Colour c = pictures().preview().pixel(x, y);
            EXPECT_TRUE(c == colours::red || c == colours::black || c == colours::white);
        }
    EXPECT_EQ(pictures().preview().pixel(10, 10), colours::red);
    EXPECT_EQ(pictures().preview().pixel(240, 10), colours::black);
    EXPECT_EQ(ui<PictureView>("Image2")->drawing(), toQImage(pictures().preview()));

    for (QPushButton* b : {button("btnPrint"), button("btnSave"), button("btnPrintFile"),
                           button("btnCenter"), button("btnStorePrinter"), button("btnEdit")})
        EXPECT_TRUE(b->isEnabled()) << b->objectName().toStdString();
    EXPECT_FALSE(item("StoreInPrinter1")->isEnabled());
    EXPECT_EQ(ui<QLineEdit>("Edit1")->text(), pictures_.path() + "/shop.bmp");
    ASSERT_EQ(list()->topLevelItemCount(), 1);
    EXPECT_EQ(list()->topLevelItem(0)->text(1), "shop.bmp");
}

TEST_F(MainWindowTest, ABadFileLeavesThePreviousPictureAndSettings) {
    addPicture(makePicture("good.bmp"));
    ui<QRadioButton>("RadioGreen")->setChecked(true);
    const Picture before = pictures().preview();

    const QString bad = pictures_.path() + "/broken.bmp";
    QFile f(bad);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("BM this is not a picture");
    f.close();
    addPicture(bad);

    ASSERT_EQ(dialogs().texts("error").size(), 1);
    EXPECT_EQ(pictures().preview(), before);
    EXPECT_TRUE(ui<QRadioButton>("RadioGreen")->isChecked());
    EXPECT_EQ(list()->topLevelItemCount(), 1);
}

TEST_F(MainWindowTest, FitScaleClearedKeepsFullSizeAndResizeAlwaysStartsFromTheLoad) {
    addPicture(makePicture("wide.bmp", 300, 200));
    item("N751")->trigger();
    EXPECT_EQ(pictures().working().width(), 182);
    EXPECT_EQ(pictures().working().height(), 121);
    item("N251")->trigger();
    EXPECT_EQ(pictures().working().width(), 60);
    EXPECT_EQ(pictures().working().height(), 40);
    item("N1001")->trigger();
    EXPECT_EQ(pictures().working().width(), 243);

    button("btnCenter")->click();
    EXPECT_TRUE(ui<PictureView>("Image2")->center());
    ui<QCheckBox>("scaleCheckBox")->setChecked(false);
    EXPECT_EQ(pictures().working().width(), 300);
    EXPECT_EQ(pictures().preview().width(), 300);
    EXPECT_FALSE(ui<PictureView>("Image2")->center());
    ui<QCheckBox>("scaleCheckBox")->setChecked(true);
    EXPECT_EQ(pictures().working().width(), 243);
}

// A picture without pixels could never be stored, and every later commit would fail on it:
// each road to one is refused, and the library stays usable to the end.
TEST_F(MainWindowTest, APictureThatWouldBeEmptyIsRefusedWhicheverWayItComes) {
    addPicture(makePicture("logo.bmp"));
    const Picture shown = pictures().preview();
    addPicture(makePicture("strip.bmp", 2000, 50)); // fits to 248 x 0
    ASSERT_EQ(dialogs().texts("error").size(), 1);
    EXPECT_TRUE(dialogs().texts("error").first().contains("248 x 0"));
    EXPECT_EQ(list()->topLevelItemCount(), 1);
    EXPECT_EQ(pictures().preview(), shown);
    EXPECT_TRUE(library().LastImageLive());

    addPicture(makePicture("low.bmp", 40, 3));
    item("N251")->trigger(); // 10 x 0
    EXPECT_EQ(dialogs().texts("error").size(), 2);
    EXPECT_EQ(pictures().working().height(), 3);

    ui<QCheckBox>("scaleCheckBox")->setChecked(false);
    addPicture(makePicture("strip.bmp", 2000, 50)); // at full size it is fine
    ui<QCheckBox>("scaleCheckBox")->setChecked(true);
    EXPECT_EQ(dialogs().texts("error").size(), 3);
    EXPECT_EQ(pictures().working().width(), 2000);
    EXPECT_TRUE(pictures().settings().fitOnLoad) << "later pictures are fitted";

    button("Button9")->click();
    EXPECT_EQ(dialogs().texts("error").size(), 3);
    EXPECT_EQ(settingsStore().readText("history", "n3").value_or(""), "strip.bmp");
    EXPECT_TRUE(QFile::exists(libraryDir() + "strip.bmp"));
}

// The last entry's files no longer decode: the start reports it and comes up with the list,
// an empty preview and the picture commands disabled; the list survives the next close-down.
TEST_F(MainWindowTest, AStartWithADamagedLastPictureReportsItAndKeepsTheList) {
    addPicture(makePicture("a.bmp"));
    addPicture(makePicture("b.bmp"));
    button("Button9")->click();
    const auto damage = [](const QString& path) {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write("BM not a picture any more");
    };
    for (const bool withTempImage : {true, false}) {
        SCOPED_TRACE(withTempImage ? "tempImage.bmp damaged" : "b.bmp damaged");
        stop();
        if (withTempImage)
            damage(libraryDir() + "tempImage.bmp");
        else {
            QFile::remove(libraryDir() + "tempImage.bmp");
            damage(libraryDir() + "b.bmp");
        }
        dialogs().clear();
        start();
        EXPECT_EQ(dialogs().texts("error").size(), 1);
        ASSERT_EQ(list()->topLevelItemCount(), 2);
        EXPECT_TRUE(pictures().preview().isEmpty());
        EXPECT_TRUE(ui<PictureView>("Image2")->drawing().isNull());
        EXPECT_FALSE(button("btnPrint")->isEnabled());
        EXPECT_FALSE(button("btnStorePrinter")->isEnabled());
        button("Button9")->click();
        EXPECT_EQ(settingsStore().readText("history", "n2").value_or(""), "b.bmp");
    }
}

// A stored program folder that has gone (an unmounted disk) is not made again at start-up:
// the failure shows at the first file operation.
TEST_F(MainWindowTest, StartUpDoesNotRecreateAMissingProgramFolder) {
    stop();
    const QString gone = rootDir() + "unmounted/disk/";
    settingsStore().writeText("", "RootDir", gone);
    settingsStore().sync();
    start();
    EXPECT_EQ(session().state().RootDir, gone);
    EXPECT_FALSE(QFileInfo::exists(rootDir() + "unmounted"));
}

TEST_F(MainWindowTest, ExitClosesDownAndTheNextStartUsesTheStoredFolder) {
    addPicture(makePicture("logo.bmp"));
    button("Button9")->click();
    EXPECT_TRUE(QFile::exists(libraryDir() + "logo.bmp"));
    EXPECT_TRUE(QFile::exists(libraryDir() + "tempImage.bmp"));
    EXPECT_EQ(settingsStore().readText("history", "n1").value_or(""), "logo.bmp");
    EXPECT_EQ(settingsStore().readText("history", "n10").value_or("missing"), "");

    restart();
    EXPECT_EQ(session().state().RootDir, rootDir());
    ASSERT_EQ(list()->topLevelItemCount(), 1);
    EXPECT_EQ(pictures().working().width(), 40);
    EXPECT_TRUE(button("btnPrint")->isEnabled());
}

TEST_F(MainWindowTest, TheMenuItemsThatDoNothingDoNothing) {
    addPicture(makePicture("logo.bmp"));
    dialogs().clear();
    item("StoreInPrinter1")->trigger();
    item("SaveSettingsOnExit1")->trigger();
    EXPECT_TRUE(dialogs().shown.isEmpty());
    EXPECT_TRUE(window().isVisible());
}

TEST_F(MainWindowTest, FirmwareDownloadAsksForAFlsFileThenOpensItsDialog) {
    item("firmwaredownload1")->trigger(); // cancelled
    EXPECT_FALSE(dialog("DownloadForm")->isVisible());
    EXPECT_EQ(dialogs().lastOpenFilter, "*.fls (*.fls)");

    const QString firmware = pictures_.path() + "/printer.fls";
    dialogs().openAnswers.push_back(firmware);
    item("firmwaredownload1")->trigger();
    EXPECT_TRUE(dialog("DownloadForm")->isVisible());
    EXPECT_EQ(ui<QLineEdit>("Edit1")->text(), firmware);
    EXPECT_EQ(session().state().CurrentSourcePath, firmware);
    dialogControl<QPushButton>("DownloadForm", "BitBtn2")->click(); // "Close": nothing sent
    EXPECT_FALSE(dialog("DownloadForm")->isVisible());
    EXPECT_EQ(session().state().CurrentSourcePath, firmware);
}

TEST_F(MainWindowTest, TheSettingMenuOpensItsDialogsModeless) {
    item("SetResolution1")->trigger();
    item("SetCommunicationPort1")->trigger();
    item("CheckveticalAlignment1")->trigger();
    item("PrinterInfo1")->trigger();
    for (const char* name : {"ResolutionForm", "PortForm", "verticalForm", "helpForm"}) {
        EXPECT_TRUE(dialog(name)->isVisible()) << name;
        EXPECT_FALSE(dialog(name)->isModal());
    }
    EXPECT_TRUE(window().isEnabled());
}

// Counts the paints a window processes while a transfer is running.
class PaintsDuringTransfer : public QObject {
  public:
    explicit PaintsDuringTransfer(TransferWorker& transfers) : transfers_(transfers) {}
    int count = 0;
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint && transfers_.isBusy())
            ++count;
        return false;
    }

  private:
    TransferWorker& transfers_;
};

// A firmware download over a serial line at 9600 baud that the printer holds up for a while
// ('P', then 'X' a second and a half later): the main window keeps processing paints, the
// program cannot be ended under it, the dialog tells the time left, and the printer gets the
// file byte for byte.
TEST_F(MainWindowTest, AFirmwareDownloadAt9600BaudLeavesTheWindowRepaintingAndArrivesWhole) {
    using namespace logosmith::testing;
    TransferWorker& transfers = session_->transfers();
    Simulator printer(Expect::firmware, "pty", {"--xoff-after", "4096", "--xoff-ms", "1500"});
    chooseCom1(printer.slavePath());
    dialogControl<QComboBox>("PortForm", "BaudCombo")->setCurrentIndex(2); // "9600"
    dialogControl<QComboBox>("PortForm", "FlowCombo")->setCurrentIndex(1); // "Xon/Xoff"
    const QString firmware = pictures_.path() + "/printer.fls";
    writePatternFile(firmware, 300000);
    dialogs().openAnswers.push_back(firmware);
    item("firmwaredownload1")->trigger();
    auto* download = dialog<FirmwareDialog>("DownloadForm");
    auto* timeLeftLabel = dialogControl<QLabel>("DownloadForm", "timeLeft");
    QStringList timeLeft;
    QObject::connect(download, &FirmwareDialog::pieceWritten, [&] {
        if (!timeLeftLabel->text().isEmpty())
            timeLeft << timeLeftLabel->text();
    });
    PaintsDuringTransfer paints(transfers);
    window().installEventFilter(&paints);
    dialogControl<QPushButton>("DownloadForm", "BitBtn1")->click();

    ASSERT_TRUE(transfers.isBusy()) << "the press waited for the whole transfer";
    window().update();
    QTest::qWait(300);
    EXPECT_GT(paints.count, 0) << "the main window did not repaint during the transfer";
    EXPECT_FALSE(window().close());
    EXPECT_FALSE(download->close());
    button("Button9")->click();
    EXPECT_TRUE(window().isVisible());
    EXPECT_TRUE(download->isVisible());

    ASSERT_TRUE(waitForTransfer(transfers));
    window().removeEventFilter(&paints);
    const QJsonObject received = printer.report()["firmware"].toObject();
    EXPECT_EQ(received["bytes"].toInteger(), 300000);
    EXPECT_EQ(received["sha256"].toString(), fileSha256(firmware));
    EXPECT_EQ(dialogs().texts("message"), QStringList{"please wait until completing download"});
    ASSERT_FALSE(timeLeft.isEmpty()) << "no time left was shown";
    EXPECT_TRUE(QRegularExpression("^About (\\d+ h )?(\\d+ min )?\\d+ (s|min) left$")
                    .match(timeLeft.first())
                    .hasMatch())
        << timeLeft.first().toStdString();
    EXPECT_TRUE(timeLeftLabel->text().isEmpty());
    EXPECT_FALSE(download->isVisible());
    EXPECT_TRUE(window().close());
}
