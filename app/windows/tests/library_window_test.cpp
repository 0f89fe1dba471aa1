#include "app/windows/tests/AppFixture.h"

#include "app/windows/PictureView.h"

#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QTreeWidget>

using namespace logosmith;

class LibraryWindow : public AppFixture {
  protected:
    // The list's rows as "n name".
    QStringList rows() {
        QStringList out;
        for (int i = 0; i < list()->topLevelItemCount(); ++i) {
            const QTreeWidgetItem* row = list()->topLevelItem(i);
            out << row->text(0) + " " + row->text(1);
        }
        return out;
    }
};

TEST_F(LibraryWindow, TheTenthPictureIsTheLastOne) {
    for (int i = 1; i <= 10; ++i)
        addPicture(makePicture(QString("logo%1.bmp").arg(i)));
    EXPECT_EQ(list()->topLevelItemCount(), 10);
    dialogs().clear();
    addPicture(makePicture("eleven.bmp"));
    EXPECT_EQ(
        dialogs().texts("message"),
        QStringList{" The limit of 10 Images has been reached. You cannot add another image "});
    EXPECT_EQ(dialogs().texts("open").size(), 0); // refused before the dialog
    dialogs().openAnswers.clear();
    EXPECT_EQ(list()->topLevelItemCount(), 10);
}

TEST_F(LibraryWindow, ASecondPictureWithTheSameNameIsRefusedWhateverItsFolderAndType) {
    addPicture(makePicture("logo.bmp"));
    QDir(pictures_.path()).mkdir("other");
    const QString second = makePicture("other/LOGO.rle");
    dialogs().clear();
    addPicture(second);
    EXPECT_EQ(dialogs().texts("confirmation"), QStringList{"This Image is already added."});
    EXPECT_EQ(rows(), QStringList{"1 logo.bmp"});
    EXPECT_EQ(ui<QLineEdit>("Edit1")->text(), second); // the path box shows the refused path
}

TEST_F(LibraryWindow, CancellingTheOpenDialogAfterACommitKeepsTheList) {
    addPicture(makePicture("a.bmp"));
    ui<QRadioButton>("RadioGreen")->click();
    button("btnAddImage")->click(); // nothing queued: cancelled
    EXPECT_EQ(rows(), QStringList{"1 a.bmp"});
    // The commit before the dialog wrote the green conversion.
    EXPECT_TRUE(QFile::exists(libraryDir() + "a.bmp"));
    EXPECT_TRUE(QFile::exists(libraryDir() + "tempImage.bmp"));
}

TEST_F(LibraryWindow, ThreePicturesComeBackAfterARestartShownAsTheLastWasLeft) {
    addPicture(makePicture("a.bmp"));
    addPicture(makePicture("b.bmp"));
    addPicture(makePicture("c.bmp", 50, 20));
    ui<QRadioButton>("RadioBlue")->click();
    item("exit2")->trigger();
    restart();
    EXPECT_EQ(rows(), (QStringList{"1 a.bmp", "2 b.bmp", "3 c.bmp"}));
    EXPECT_EQ(pictures().working().width(), 50); // from tempImage.bmp
    EXPECT_TRUE(library().LastImageLive());
    EXPECT_EQ(ui<QLineEdit>("Edit1")->text(), "/storeImage/c.bmp");
}

TEST_F(LibraryWindow, HistoryGapsAreKeptAsSlotNumbersAndAMissingSlotEndsTheList) {
    addPicture(makePicture("a.bmp"));
    addPicture(makePicture("b.bmp"));
    addPicture(makePicture("c.bmp"));
    button("Button9")->click();
    stop();
    settingsStore().writeText("history", "n2", "");
    settingsStore().sync();
    start();
    EXPECT_EQ(rows(), (QStringList{"1 a.bmp", "3 c.bmp"}));
    // The close-down has rewritten the slots as 1 a.bmp, 2 c.bmp: set "n3" again behind a
    // missing "n2" (all three files are still there).
    stop();
    settingsStore().remove("history", "n2");
    settingsStore().writeText("history", "n3", "c.bmp");
    settingsStore().sync();
    start();
    EXPECT_EQ(rows(), QStringList{"1 a.bmp"});
}

TEST_F(LibraryWindow, WithoutTempImageTheLastEntryComesBackFromItsStoredFile) {
    addPicture(makePicture("a.bmp"));
    button("Button9")->click();
    stop();
    QFile::remove(libraryDir() + "tempImage.bmp");
    start();
    EXPECT_EQ(rows(), QStringList{"1 a.bmp"});
    EXPECT_FALSE(library().LastImageLive());
    EXPECT_TRUE(button("btnPrint")->isEnabled());
}

TEST_F(LibraryWindow, DeletingTheLastEntryRemovesTempImageAndShowsTheNewLast) {
    addPicture(makePicture("a.bmp"));
    addPicture(makePicture("b.bmp"));
    clickRow(1); // commits b and shows it from tempImage.bmp
    button("btnDeleteImage")->click();
    EXPECT_EQ(rows(), QStringList{"1 a.bmp"});
    EXPECT_FALSE(QFile::exists(libraryDir() + "b.bmp"));
    EXPECT_FALSE(QFile::exists(libraryDir() + "tempImage.bmp"));
    EXPECT_FALSE(library().LastImageLive());
}

TEST_F(LibraryWindow, DeletingAMiddleEntryRenumbersAndKeepsANewlyAddedLastPicture) {
    addPicture(makePicture("a.bmp"));
    addPicture(makePicture("b.bmp"));
    addPicture(makePicture("c.bmp", 33, 21)); // not yet committed
    clickRow(1);                              // commits c, shows b
    addPicture(makePicture("d.bmp", 44, 22));
    list()->clearSelection();
    list()->topLevelItem(1)->setSelected(true);
    button("btnDeleteImage")->click();
    EXPECT_EQ(rows(), (QStringList{"1 a.bmp", "2 c.bmp", "3 d.bmp"}));
    // The last entry's picture was committed before the deletion, so it survives.
    EXPECT_TRUE(QFile::exists(libraryDir() + "d.bmp"));
    EXPECT_EQ(pictures().working().width(), 44);
}

TEST_F(LibraryWindow, DeleteWithoutSelection) {
    button("btnDeleteImage")->click();
    EXPECT_TRUE(dialogs().shown.isEmpty()); // empty list: silent
    addPicture(makePicture("a.bmp"));
    list()->clearSelection();
    dialogs().clear();
    button("btnDeleteImage")->click();
    EXPECT_EQ(dialogs().texts("message"), QStringList{"Please Select the Item."});
}

TEST_F(LibraryWindow, DeletingTheOnlyEntryLeavesThePictureAndTheCommands) {
    addPicture(makePicture("a.bmp"));
    clickRow(0);
    button("btnDeleteImage")->click();
    EXPECT_EQ(list()->topLevelItemCount(), 0);
    EXPECT_FALSE(pictures().working().isEmpty());
    EXPECT_TRUE(button("btnPrint")->isEnabled());
    button("Button9")->click();
    EXPECT_FALSE(QFile::exists(libraryDir() + "a.bmp"));
    EXPECT_EQ(settingsStore().readText("history", "n1").value_or("missing"), "");
}

TEST_F(LibraryWindow, APictureNamedLikeTheScratchFileIsRefused) {
    addPicture(makePicture("tempImage.gif.bmp"));
    EXPECT_EQ(dialogs().texts("message").size(), 1);
    EXPECT_EQ(list()->topLevelItemCount(), 0);
}

// A close-down that cannot write (a full disk, a read-only folder) is reported, then the person
// decides: "No" keeps the program running, "Yes" ends it. The history of what is stored is
// written either way, and nothing already stored is touched.
TEST_F(LibraryWindow, APersonWhoCannotSaveIsAskedAndCanStillQuit) {
    addPicture(makePicture("a.bmp"));
    addPicture(makePicture("b.bmp")); // commits a
    const QByteArray storedA = contents(libraryDir() + "a.bmp");
    // A folder where b's stored file must go: even root cannot write the file there.
    ASSERT_TRUE(QDir().mkpath(libraryDir() + "b.bmp/inside"));
    dialogs().clear();
    dialogs().yesNoAnswers = {false, true};
    bool stillRunning = false;
    const int result = runUntilTheProgramEnds([&] {
        button("Button9")->click(); // "No"
        QTimer::singleShot(0, &window(), [&] {
            stillRunning = true;
            window().close(); // the close box, "Yes"
        });
    });
    EXPECT_EQ(result, 0);
    EXPECT_TRUE(stillRunning);
    stop();
    EXPECT_EQ(dialogs().texts("error").size(), 2) << "nothing more at the destruction";
    EXPECT_EQ(dialogs().texts("question").size(), 2);
    EXPECT_EQ(settingsStore().readText("history", "n1").value_or(""), "a.bmp");
    EXPECT_EQ(settingsStore().readText("history", "n2").value_or(""), "b.bmp");
    EXPECT_EQ(contents(libraryDir() + "a.bmp"), storedA);
}

TEST_F(LibraryWindow, AFileThatCannotBeWrittenIsReportedAndNothingStoredIsLost) {
    addPicture(makePicture("a.bmp"));
    addPicture(makePicture("b.bmp")); // commits a
    const auto readA = [&] { return contents(libraryDir() + "a.bmp"); };
    const QByteArray storedA = readA();
    ASSERT_FALSE(storedA.isEmpty());
    // A folder where b's stored file must go: even root cannot write the file there.
    ASSERT_TRUE(QDir().mkpath(libraryDir() + "b.bmp/inside"));
    dialogs().clear();
    addPicture(makePicture("c.bmp"));
    EXPECT_EQ(dialogs().texts("error").size(), 1);
    EXPECT_EQ(dialogs().texts("open").size(), 0); // the action ended at the failed commit
    EXPECT_EQ(rows(), (QStringList{"1 a.bmp", "2 b.bmp"}));
    EXPECT_EQ(readA(), storedA);
}
