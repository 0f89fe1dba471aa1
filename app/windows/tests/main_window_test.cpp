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
    const QList<QPair<QWidget*, QString>> windows = {{Form1, "KORVANT MRX-310 Logosmith"},
                                                     {DownloadForm, "Information"},
                                                     {helpForm, "Help"},
                                                     {ImageEditorForm, "Select Image Editor"},
                                                     {PortForm, "Set Communication Port"},
                                                     {ResolutionForm, "Set resolution"},
                                                     {verticalForm, "Vertical Alignment"}};
    for (const auto& [window, caption] : windows) {
        ASSERT_NE(window, nullptr);
        EXPECT_EQ(window->windowTitle(), caption);
        EXPECT_EQ(window->isVisible(), window == Form1) << caption.toStdString();
    }
    EXPECT_EQ(Form1->centralWidget()->size(), QSize(606, 609));
    EXPECT_EQ(Form1->minimumSize(), Form1->maximumSize());
    EXPECT_FALSE(Form1->windowFlags() & Qt::WindowMaximizeButtonHint);
}

TEST_F(MainWindowTest, BeforeAnyPictureThePictureCommandsAreDisabled) {
    for (QPushButton* b : {Form1->btnPrint, Form1->btnSave, Form1->btnPrintFile, Form1->btnCenter,
                           Form1->btnStorePrinter, Form1->btnEdit})
        EXPECT_FALSE(b->isEnabled()) << b->objectName().toStdString();
    for (QAction* a :
         {Form1->save1, Form1->PrintOnPrinter1, Form1->PrintToFile1, Form1->StoreInPrinter1})
        EXPECT_FALSE(a->isEnabled()) << a->objectName().toStdString();
    EXPECT_TRUE(Form1->DirectPrint->isChecked());
    EXPECT_FALSE(Form1->DriverPrinter->isEnabled());
    EXPECT_FALSE(Form1->WindowPrintDriver1->isEnabled());
    EXPECT_TRUE(Form1->ImageResize1->menuAction()->isEnabled());
    EXPECT_FALSE(Form1->btnScale->isVisible());
    EXPECT_TRUE(Form1->Image2->drawing().isNull());
    EXPECT_EQ(Form1->state.StoreImageCount, 1);
    EXPECT_EQ(Form1->state.RootDir, rootDir());
}

TEST_F(MainWindowTest, AddingAPictureFitsItSeparatesItAndEnablesTheCommands) {
    addPicture(makePicture("shop.bmp", 300, 200));
    ASSERT_TRUE(dialogs().texts("error").isEmpty())
        << dialogs().allTexts().join("\n").toStdString();

    EXPECT_EQ(Form1->workingImage.width(), 243);
    EXPECT_EQ(Form1->workingImage.height(), 162);
    EXPECT_EQ(Form1->decodedImage.width(), 300);
    // Every preview pixel is exactly one of the inks or paper.
    for (int y = 0; y < Form1->previewImage.height(); ++y)
        for (int x = 0; x < Form1->previewImage.width(); ++x) {
            const Colour c = Form1->previewImage.pixel(x, y);
            EXPECT_TRUE(c == colours::red || c == colours::black || c == colours::white);
        }
    EXPECT_EQ(Form1->previewImage.pixel(10, 10), colours::red);
    EXPECT_EQ(Form1->previewImage.pixel(240, 10), colours::black);
    EXPECT_EQ(Form1->Image2->drawing(), toQImage(Form1->previewImage));

    for (QPushButton* b : {Form1->btnPrint, Form1->btnSave, Form1->btnPrintFile, Form1->btnCenter,
                           Form1->btnStorePrinter, Form1->btnEdit})
        EXPECT_TRUE(b->isEnabled()) << b->objectName().toStdString();
    EXPECT_FALSE(Form1->StoreInPrinter1->isEnabled());
    EXPECT_EQ(Form1->Edit1->text(), pictures_.path() + "/shop.bmp");
    ASSERT_EQ(Form1->ListView1->topLevelItemCount(), 1);
    EXPECT_EQ(Form1->ListView1->topLevelItem(0)->text(1), "shop.bmp");
}

TEST_F(MainWindowTest, ABadFileLeavesThePreviousPictureAndSettings) {
    addPicture(makePicture("good.bmp"));
    Form1->RadioGreen->setChecked(true);
    const Picture before = Form1->previewImage;

    const QString bad = pictures_.path() + "/broken.bmp";
    QFile f(bad);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("BM this is not a picture");
    f.close();
    addPicture(bad);

    ASSERT_EQ(dialogs().texts("error").size(), 1);
    EXPECT_EQ(Form1->previewImage, before);
    EXPECT_TRUE(Form1->RadioGreen->isChecked());
    EXPECT_EQ(Form1->ListView1->topLevelItemCount(), 1);
}

TEST_F(MainWindowTest, FitScaleClearedKeepsFullSizeAndResizeAlwaysStartsFromTheLoad) {
    addPicture(makePicture("wide.bmp", 300, 200));
    Form1->N751->trigger();
    EXPECT_EQ(Form1->workingImage.width(), 182);
    EXPECT_EQ(Form1->workingImage.height(), 121);
    Form1->N251->trigger();
    EXPECT_EQ(Form1->workingImage.width(), 60);
    EXPECT_EQ(Form1->workingImage.height(), 40);
    Form1->N1001->trigger();
    EXPECT_EQ(Form1->workingImage.width(), 243);

    Form1->btnCenter->click();
    EXPECT_TRUE(Form1->Image2->center());
    Form1->scaleCheckBox->setChecked(false);
    EXPECT_EQ(Form1->workingImage.width(), 300);
    EXPECT_EQ(Form1->previewImage.width(), 300);
    EXPECT_FALSE(Form1->Image2->center());
    Form1->scaleCheckBox->setChecked(true);
    EXPECT_EQ(Form1->workingImage.width(), 243);
}

// A picture without pixels could never be stored, and every later commit would fail on it:
// each road to one is refused, and the library stays usable to the end.
TEST_F(MainWindowTest, APictureThatWouldBeEmptyIsRefusedWhicheverWayItComes) {
    addPicture(makePicture("logo.bmp"));
    const Picture shown = Form1->previewImage;
    addPicture(makePicture("strip.bmp", 2000, 50)); // fits to 248 x 0
    ASSERT_EQ(dialogs().texts("error").size(), 1);
    EXPECT_TRUE(dialogs().texts("error").first().contains("248 x 0"));
    EXPECT_EQ(Form1->ListView1->topLevelItemCount(), 1);
    EXPECT_EQ(Form1->previewImage, shown);
    EXPECT_TRUE(Form1->library().LastImageLive());

    addPicture(makePicture("low.bmp", 40, 3));
    Form1->N251->trigger(); // 10 x 0
    EXPECT_EQ(dialogs().texts("error").size(), 2);
    EXPECT_EQ(Form1->workingImage.height(), 3);

    Form1->scaleCheckBox->setChecked(false);
    addPicture(makePicture("strip.bmp", 2000, 50)); // at full size it is fine
    Form1->scaleCheckBox->setChecked(true);
    EXPECT_EQ(dialogs().texts("error").size(), 3);
    EXPECT_EQ(Form1->workingImage.width(), 2000);
    EXPECT_TRUE(Form1->settings.fitOnLoad) << "later pictures are fitted";

    Form1->Button9->click();
    EXPECT_EQ(dialogs().texts("error").size(), 3);
    EXPECT_EQ(settingsStore().readText("history", "n3").value_or(""), "strip.bmp");
    EXPECT_TRUE(QFile::exists(libraryDir() + "strip.bmp"));
}

// The last entry's files no longer decode: the start reports it and comes up with the list,
// an empty preview and the picture commands disabled; the list survives the next close-down.
TEST_F(MainWindowTest, AStartWithADamagedLastPictureReportsItAndKeepsTheList) {
    addPicture(makePicture("a.bmp"));
    addPicture(makePicture("b.bmp"));
    Form1->Button9->click();
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
        ASSERT_EQ(Form1->ListView1->topLevelItemCount(), 2);
        EXPECT_TRUE(Form1->previewImage.isEmpty());
        EXPECT_TRUE(Form1->Image2->drawing().isNull());
        EXPECT_FALSE(Form1->btnPrint->isEnabled());
        EXPECT_FALSE(Form1->btnStorePrinter->isEnabled());
        Form1->Button9->click();
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
    EXPECT_EQ(Form1->state.RootDir, gone);
    EXPECT_FALSE(QFileInfo::exists(rootDir() + "unmounted"));
}

TEST_F(MainWindowTest, ExitClosesDownAndTheNextStartUsesTheStoredFolder) {
    addPicture(makePicture("logo.bmp"));
    Form1->Button9->click();
    EXPECT_TRUE(QFile::exists(libraryDir() + "logo.bmp"));
    EXPECT_TRUE(QFile::exists(libraryDir() + "tempImage.bmp"));
    EXPECT_EQ(settingsStore().readText("history", "n1").value_or(""), "logo.bmp");
    EXPECT_EQ(settingsStore().readText("history", "n10").value_or("missing"), "");

    restart();
    EXPECT_EQ(Form1->state.RootDir, rootDir());
    ASSERT_EQ(Form1->ListView1->topLevelItemCount(), 1);
    EXPECT_EQ(Form1->workingImage.width(), 40);
    EXPECT_TRUE(Form1->btnPrint->isEnabled());
}

TEST_F(MainWindowTest, TheMenuItemsThatDoNothingDoNothing) {
    addPicture(makePicture("logo.bmp"));
    dialogs().clear();
    Form1->StoreInPrinter1->trigger();
    Form1->SaveSettingsOnExit1->trigger();
    EXPECT_TRUE(dialogs().shown.isEmpty());
    EXPECT_TRUE(Form1->isVisible());
}

TEST_F(MainWindowTest, FirmwareDownloadAsksForAFlsFileThenOpensItsDialog) {
    Form1->firmwaredownload1->trigger(); // cancelled
    EXPECT_FALSE(DownloadForm->isVisible());
    EXPECT_EQ(dialogs().lastOpenFilter, "*.fls (*.fls)");

    const QString firmware = pictures_.path() + "/printer.fls";
    dialogs().openAnswers.push_back(firmware);
    Form1->firmwaredownload1->trigger();
    EXPECT_TRUE(DownloadForm->isVisible());
    EXPECT_EQ(Form1->Edit1->text(), firmware);
    EXPECT_EQ(Form1->state.CurrentSourcePath, firmware);
    DownloadForm->BitBtn2->click(); // "Close": nothing sent, the file stays chosen
    EXPECT_FALSE(DownloadForm->isVisible());
    EXPECT_EQ(Form1->state.CurrentSourcePath, firmware);
}

TEST_F(MainWindowTest, TheSettingMenuOpensItsDialogsModeless) {
    Form1->SetResolution1->trigger();
    Form1->SetCommunicationPort1->trigger();
    Form1->CheckveticalAlignment1->trigger();
    Form1->PrinterInfo1->trigger();
    for (QWidget* dialog : {(QWidget*)ResolutionForm, (QWidget*)PortForm, (QWidget*)verticalForm,
                            (QWidget*)helpForm}) {
        EXPECT_TRUE(dialog->isVisible()) << dialog->objectName().toStdString();
        EXPECT_FALSE(dialog->isModal());
    }
    EXPECT_TRUE(Form1->isEnabled());
}

// Counts the paints a window processes while a transfer is running.
class PaintsDuringTransfer : public QObject {
  public:
    int count = 0;
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint && transferWorker().isBusy())
            ++count;
        return false;
    }
};

// A firmware download over a serial line at 9600 baud that the printer holds up for a while
// ('P', then 'X' a second and a half later): the main window keeps processing paints, the
// program cannot be ended under it, the dialog tells the time left, and the printer gets the
// file byte for byte.
TEST_F(MainWindowTest, AFirmwareDownloadAt9600BaudLeavesTheWindowRepaintingAndArrivesWhole) {
    using namespace logosmith::testing;
    Simulator printer(Expect::firmware, "pty", {"--xoff-after", "4096", "--xoff-ms", "1500"});
    chooseCom1(printer.slavePath());
    PortForm->BaudCombo->setCurrentIndex(2); // "9600"
    PortForm->FlowCombo->setCurrentIndex(1); // "Xon/Xoff"
    const QString firmware = pictures_.path() + "/printer.fls";
    writePatternFile(firmware, 300000);
    dialogs().openAnswers.push_back(firmware);
    Form1->firmwaredownload1->trigger();
    QStringList timeLeft;
    QObject::connect(DownloadForm, &FirmwareDialog::pieceWritten, [&] {
        if (!DownloadForm->timeLeft->text().isEmpty())
            timeLeft << DownloadForm->timeLeft->text();
    });
    PaintsDuringTransfer paints;
    Form1->installEventFilter(&paints);
    DownloadForm->BitBtn1->click();

    ASSERT_TRUE(transferWorker().isBusy()) << "the press waited for the whole transfer";
    Form1->update();
    QTest::qWait(300);
    EXPECT_GT(paints.count, 0) << "the main window did not repaint during the transfer";
    EXPECT_FALSE(Form1->close());
    EXPECT_FALSE(DownloadForm->close());
    Form1->Button9Click();
    EXPECT_TRUE(Form1->isVisible());
    EXPECT_TRUE(DownloadForm->isVisible());

    ASSERT_TRUE(waitForTransfer(transferWorker()));
    Form1->removeEventFilter(&paints);
    const QJsonObject received = printer.report()["firmware"].toObject();
    EXPECT_EQ(received["bytes"].toInteger(), 300000);
    EXPECT_EQ(received["sha256"].toString(), fileSha256(firmware));
    EXPECT_EQ(dialogs().texts("message"), QStringList{"please wait until completing download"});
    ASSERT_FALSE(timeLeft.isEmpty()) << "no time left was shown";
    EXPECT_TRUE(QRegularExpression("About \\d+ s left").match(timeLeft.first()).hasMatch())
        << timeLeft.first().toStdString();
    EXPECT_TRUE(DownloadForm->timeLeft->text().isEmpty());
    EXPECT_FALSE(DownloadForm->isVisible());
    EXPECT_TRUE(Form1->close());
}
