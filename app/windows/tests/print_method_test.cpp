#include "app/windows/StorePrintPanel.h"
#include "app/windows/tests/AppFixture.h"

#include <QAction>
#include <QFileInfo>
#include <QPrinter>
#include <QRadioButton>

using namespace logosmith;

class PrintMethod : public AppFixture {
  protected:
    // The menu item is never enabled: a stored "DriverPrinter_Checked" is the person's way to
    // the driver method, and checks the button as this does.
    void chooseDriverMethod() { ui<QRadioButton>("DriverPrinter")->setChecked(true); }
};

TEST_F(PrintMethod, TheDriverMethodTakesAwayPortsAlignmentAndStore) {
    addPicture(makePicture("logo.bmp"));
    ASSERT_TRUE(button("btnStorePrinter")->isEnabled());
    chooseDriverMethod();
    EXPECT_TRUE(ui<QRadioButton>("DriverPrinter")->isChecked());
    EXPECT_FALSE(ui<QRadioButton>("DirectPrint")->isChecked());
    EXPECT_FALSE(button("btnStorePrinter")->isEnabled());
    EXPECT_FALSE(item("SetCommunicationPort1")->isEnabled());
    EXPECT_FALSE(item("CheckveticalAlignment1")->isEnabled());
    EXPECT_TRUE(button("btnPrint")->isEnabled()); // a test copy stays available

    item("directtoport1")->trigger();
    EXPECT_TRUE(ui<QRadioButton>("DirectPrint")->isChecked());
    EXPECT_TRUE(button("btnStorePrinter")->isEnabled());
    EXPECT_TRUE(item("SetCommunicationPort1")->isEnabled());
    EXPECT_TRUE(item("CheckveticalAlignment1")->isEnabled());
}

TEST_F(PrintMethod, DirectPrintBeforeAnyPictureLeavesStoreDisabled) {
    chooseDriverMethod();
    item("directtoport1")->trigger();
    EXPECT_FALSE(button("btnStorePrinter")->isEnabled());
    EXPECT_TRUE(item("SetCommunicationPort1")->isEnabled());
    // A load under the driver method leaves "Store" off.
    chooseDriverMethod();
    addPicture(makePicture("logo.bmp"));
    EXPECT_FALSE(button("btnStorePrinter")->isEnabled());
}

TEST_F(PrintMethod, TheDriverPrintsThePreviewCentredWithoutACommandFile) {
    addPicture(makePicture("logo.bmp", 100, 50));
    chooseDriverMethod();
    const QString pdf = pictures_.path() + "/copy.pdf";
    dialogs().printerSetUp = [&](QPrinter& printer) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        return true;
    };
    button("btnPrint")->click();
    dialogs().printerSetUp = nullptr;
    EXPECT_TRUE(dialogs().texts("error").isEmpty());
    EXPECT_GT(QFileInfo(pdf).size(), 0);
    EXPECT_FALSE(QFile::exists(rootDir() + "tlsdlek.prn"));

    // A cancelled print dialog prints nothing.
    button("btnPrint")->click();
    EXPECT_EQ(dialogs().texts("print").size(), 2);
}

TEST(DriverPrintOrigin, CentresOnTheWholePageTruncatingHalves) {
    EXPECT_EQ(driverPrintOrigin(QSize(4960, 7014), QSize(100, 50)), QPoint(2430, 3482));
    EXPECT_EQ(driverPrintOrigin(QSize(101, 11), QSize(100, 10)), QPoint(0, 0));
}
