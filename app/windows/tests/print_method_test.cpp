#include "app/windows/tests/AppFixture.h"

#include <QAction>
#include <QFileInfo>
#include <QPrinter>
#include <QRadioButton>

using namespace logosmith;

using PrintMethod = AppFixture;

TEST_F(PrintMethod, TheDriverMethodTakesAwayPortsAlignmentAndStore) {
    addPicture(makePicture("logo.bmp"));
    ASSERT_TRUE(Form1->btnStorePrinter->isEnabled());
    Form1->WindowPrintDriver1Click(); // the menu item itself is never enabled
    EXPECT_TRUE(Form1->DriverPrinter->isChecked());
    EXPECT_FALSE(Form1->DirectPrint->isChecked());
    EXPECT_FALSE(Form1->btnStorePrinter->isEnabled());
    EXPECT_FALSE(Form1->SetCommunicationPort1->isEnabled());
    EXPECT_FALSE(Form1->CheckveticalAlignment1->isEnabled());
    EXPECT_TRUE(Form1->btnPrint->isEnabled()); // a test copy stays available

    Form1->directtoport1->trigger();
    EXPECT_TRUE(Form1->DirectPrint->isChecked());
    EXPECT_TRUE(Form1->btnStorePrinter->isEnabled());
    EXPECT_TRUE(Form1->SetCommunicationPort1->isEnabled());
    EXPECT_TRUE(Form1->CheckveticalAlignment1->isEnabled());
}

TEST_F(PrintMethod, DirectPrintBeforeAnyPictureLeavesStoreDisabled) {
    Form1->WindowPrintDriver1Click();
    Form1->directtoport1Click();
    EXPECT_FALSE(Form1->btnStorePrinter->isEnabled());
    EXPECT_TRUE(Form1->SetCommunicationPort1->isEnabled());
    // A load under the driver method leaves "Store" off.
    Form1->WindowPrintDriver1Click();
    addPicture(makePicture("logo.bmp"));
    EXPECT_FALSE(Form1->btnStorePrinter->isEnabled());
}

TEST_F(PrintMethod, TheDriverPrintsThePreviewCentredWithoutACommandFile) {
    addPicture(makePicture("logo.bmp", 100, 50));
    Form1->WindowPrintDriver1Click();
    const QString pdf = pictures_.path() + "/copy.pdf";
    dialogs().printerSetUp = [&](QPrinter& printer) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        return true;
    };
    Form1->btnPrint->click();
    dialogs().printerSetUp = nullptr;
    EXPECT_TRUE(dialogs().texts("error").isEmpty());
    EXPECT_GT(QFileInfo(pdf).size(), 0);
    EXPECT_FALSE(QFile::exists(rootDir() + "tlsdlek.prn"));

    // A cancelled print dialog prints nothing.
    Form1->btnPrint->click();
    EXPECT_EQ(dialogs().texts("print").size(), 2);
}

TEST(DriverPrintOrigin, CentresOnTheWholePageTruncatingHalves) {
    EXPECT_EQ(driverPrintOrigin(QSize(4960, 7014), QSize(100, 50)), QPoint(2430, 3482));
    EXPECT_EQ(driverPrintOrigin(QSize(101, 11), QSize(100, 10)), QPoint(0, 0));
}
