// Pictures named on the command line (a file manager's "Open with"), through the real window.
#include "app/CommandLine.h"
#include "app/windows/InformationDialog.h"
#include "app/windows/tests/AppFixture.h"

#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QTreeWidget>

using namespace logosmith;

class CommandLinePictures : public AppFixture {
  protected:
    QStringList libraryNames() {
        QStringList names;
        for (int i = 0; i < list()->topLevelItemCount(); ++i)
            names << list()->topLevelItem(i)->text(1);
        return names;
    }
};

TEST_F(CommandLinePictures, AreAddedInOrderWithTheMessagesOfAddImage) {
    const QString first = makePicture("first.bmp");
    const QString broken = pictures_.path() + "/broken.jpg";
    QFile file(broken);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("this is no JPEG");
    file.close();
    const QString missing = pictures_.path() + "/missing.gif";
    QDir(pictures_.path()).mkdir("other");
    const QString sameName = makePicture("other/FIRST.rle");
    const QString last = makePicture("last.bmp", 50, 20);

    addPicturesFromCommandLine(window(), {first, broken, missing, sameName, last});

    EXPECT_EQ(libraryNames(), (QStringList{"first.bmp", "last.bmp"}));
    QStringList kinds;
    for (const auto& box : dialogs().shown)
        kinds << box.kind;
    EXPECT_EQ(kinds, (QStringList{"error", "error", "confirmation"})); // never an open dialog
    EXPECT_TRUE(dialogs().shown[0].text.startsWith("JPEG error"))
        << dialogs().shown[0].text.toStdString();
    EXPECT_TRUE(dialogs().shown[1].text.contains("missing.gif"));
    EXPECT_EQ(dialogs().shown[2].text, duplicateImageMessage);
    EXPECT_EQ(ui<QLineEdit>("Edit1")->text(), last);
    EXPECT_EQ(pictures().working().width(), 50);
    // Adding the second picture committed the first, as "Add Image" does.
    EXPECT_TRUE(QFile::exists(libraryDir() + "first.bmp"));
    // The information dialog names the folder the library went to.
    EXPECT_EQ(dialogControl<QLabel>("helpForm", "filesFolderLabel")->toolTip(),
              QDir::cleanPath(rootDir()) + "/");
}

TEST_F(CommandLinePictures, BeyondTenEachPictureLeftGetsTheLimitMessage) {
    QStringList files;
    for (int i = 1; i <= 12; ++i)
        files << makePicture(QString("logo%1.bmp").arg(i));
    addPicturesFromCommandLine(window(), files);
    EXPECT_EQ(libraryNames().size(), 10);
    EXPECT_EQ(libraryNames().last(), "logo10.bmp");
    EXPECT_EQ(dialogs().allTexts(), QStringList(2, "message: " + libraryFullMessage));
}

TEST_F(CommandLinePictures, NoneIsAddedOnceTheWindowWasClosedDuringAMessage) {
    const QString logo = makePicture("logo.bmp");
    dialogs().onMessage = [this](const auto&) { window().close(); };
    addPicturesFromCommandLine(window(), {logo, logo, makePicture("later.bmp")});
    dialogs().onMessage = nullptr;
    EXPECT_EQ(libraryNames(), QStringList{"logo.bmp"});
}

TEST(CommandLineArguments, PicturesAreMadeAbsoluteAndUnknownOptionsRefused) {
    const QString here = QDir::currentPath();
    EXPECT_EQ(pictureArguments({"logosmith", "a.bmp", "/srv/b.gif", "--", "-c.bmp"}),
              (QStringList{here + "/a.bmp", "/srv/b.gif", here + "/-c.bmp"}));
    EXPECT_EQ(pictureArguments({"logosmith", "--bogus", "a.bmp"}), std::nullopt);
}
