#include "app/windows/LibraryPanel.h"
#include "app/windows/tests/AppFixture.h"

#include "platform/widgets/QtUserDialogs.h"
#include "separation/loader/PictureFormats.h"

#include <QClipboard>
#include <QDropEvent>
#include <QFileDialog>
#include <QLineEdit>
#include <QMimeData>
#include <QUrl>

using namespace logosmith;

namespace {

class DesktopTest : public AppFixture {
  protected:
    void TearDown() override {
        dialogs().pictureFilterChoice.clear();
        AppFixture::TearDown();
    }
    // A drag that enters the widget and is dropped there, as the desktop delivers it.
    static void drop(QWidget* target, const QList<QUrl>& urls) {
        QMimeData data;
        data.setUrls(urls);
        QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, {});
        QCoreApplication::sendEvent(target, &enter);
        EXPECT_TRUE(enter.isAccepted());
        QDropEvent dropped(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, {});
        QCoreApplication::sendEvent(target, &dropped);
        QCoreApplication::processEvents();
    }
    QStringList entryNames() {
        QStringList names;
        for (const LibraryEntry& entry : library().entries())
            names << entry.name;
        return names;
    }
};

} // namespace

// Dropped files are added in order as "Add Image" adds them: an address or a file of a type the
// program cannot load is told with the loader's own message, a duplicate is told, and a full
// library says so once however many files came.
TEST_F(DesktopTest, DroppedFilesAreAddedInOrderAsAddImageAddsThem) {
    const QString shop = makePicture("shop.bmp");
    const QString logo = makePicture("logo.bmp", 90, 20);
    const QString notes = pictures_.path() + "/notes.txt";
    QFile(notes).open(QIODevice::WriteOnly);
    drop(list()->viewport(), {QUrl::fromLocalFile(shop), QUrl("https://example.com/cat.png"),
                              QUrl::fromLocalFile(notes), QUrl::fromLocalFile(logo)});
    EXPECT_EQ(entryNames(), QStringList({"shop.bmp", "logo.bmp"}));
    EXPECT_EQ(dialogs().texts("error"),
              QStringList({"Pictures of the type \".PNG\" cannot be loaded: "
                           "https://example.com/cat.png",
                           "Pictures of the type \".TXT\" cannot be loaded: " + notes}));
    EXPECT_EQ(pictures().working().width(), 90);
    EXPECT_EQ(ui<QLineEdit>("Edit1")->text(), logo);

    dialogs().clear();
    QList<QUrl> many = {QUrl::fromLocalFile(shop)};
    for (int i = 0; i < 10; ++i)
        many << QUrl::fromLocalFile(makePicture(QString("more%1.bmp").arg(i)));
    drop(&window(), many);
    EXPECT_EQ(library().entries().size(), 10);
    EXPECT_EQ(entryNames().last(), "more7.bmp");
    EXPECT_EQ(dialogs().texts("confirmation"), QStringList{duplicateImageMessage});
    EXPECT_EQ(dialogs().texts("message"), QStringList{libraryFullMessage});
}

// Ctrl+V adds the clipboard's picture, transparent parts white, as "pasted-N.bmp": the first N
// that neither a file in the library folder nor an entry has. Without a picture on the
// clipboard nothing changes.
TEST_F(DesktopTest, APastedPictureIsAddedUnderTheFirstFreeName) {
    QGuiApplication::clipboard()->clear();
    item("PasteImage1")->trigger();
    EXPECT_EQ(dialogs().texts("message"), QStringList{noPictureToPasteMessage});
    EXPECT_TRUE(library().isEmpty());

    QFile(libraryDir() + "pasted-1.bmp").open(QIODevice::WriteOnly);
    addPicture(makePicture("pasted-2.bmp"));
    QImage copied(30, 20, QImage::Format_ARGB32);
    copied.fill(Qt::transparent);
    for (int y = 0; y < copied.height(); ++y)
        for (int x = 0; x < 10; ++x)
            copied.setPixelColor(x, y, Qt::red);
    QGuiApplication::clipboard()->setImage(copied);
    window().activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window()));
    dialogs().clear();
    QTest::keyClick(&window(), Qt::Key_V, Qt::ControlModifier);

    EXPECT_TRUE(dialogs().allTexts().isEmpty()) << dialogs().allTexts().join("\n").toStdString();
    EXPECT_EQ(entryNames(), QStringList({"pasted-2.bmp", "pasted-3.bmp"}));
    EXPECT_TRUE(ui<QLineEdit>("Edit1")->text().endsWith("/storeImage/pasted-3.bmp"));
    EXPECT_EQ(pictures().working().width(), 30);
    EXPECT_EQ(pictures().working().pixel(0, 0), colours::red);
    EXPECT_EQ(pictures().working().pixel(29, 19), colours::white);
    EXPECT_EQ(QFileInfo(libraryDir() + "pasted-1.bmp").size(), 0);
}

// The picture open dialog starts in the folder of the last picture chosen, with the filter entry
// then in use, after a restart too; an entry it no longer offers is not handed to it.
TEST_F(DesktopTest, ThePictureDialogStartsWhereItWasLeftInTheLastRun) {
    const QStringList filters = QString::fromStdString(pictureOpenFilter()).split(";;");
    ASSERT_EQ(filters.size(), 2);
    addPicture(makePicture("shop.bmp"));
    EXPECT_TRUE(dialogs().lastPicturePlace.folder.isEmpty());
    dialogs().pictureFilterChoice = filters[1];
    QTemporaryDir elsewhere;
    const QString logo = elsewhere.path() + "/logo.bmp";
    writeBmpFile(Picture(20, 20), logo.toStdString());
    addPicture(logo);

    restart();
    dialogs().openAnswers.push_back(QString());
    button("btnAddImage")->click();
    EXPECT_EQ(dialogs().lastPicturePlace.folder, elsewhere.path());
    EXPECT_EQ(dialogs().lastPicturePlace.filter, filters[1]);

    settingsStore().writeText("PictureDialog", "Filter", "Logos (*.lgo)");
    dialogs().openAnswers.push_back(QString());
    button("btnAddImage")->click();
    EXPECT_EQ(dialogs().lastPicturePlace.folder, elsewhere.path());
    EXPECT_TRUE(dialogs().lastPicturePlace.filter.isEmpty());
}

// The real dialog opens in the place handed to it and hands back where the choice was made.
TEST_F(DesktopTest, TheRealPictureDialogStartsInThePlaceGiven) {
    const QStringList filters = QString::fromStdString(pictureOpenFilter()).split(";;");
    const QString shop = makePicture("shop.bmp");
    QString startFolder, startFilter;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        ASSERT_TRUE(dialog);
        startFolder = dialog->directory().absolutePath();
        startFilter = dialog->selectedNameFilter();
        dialog->selectNameFilter(filters[0]);
        dialog->selectFile(shop);
        static_cast<QDialog*>(dialog)->accept();
    });
    FileDialogPlace place{pictures_.path(), filters[1]};
    EXPECT_EQ(QtUserDialogs().openPicture("Open Image", filters.join(";;"), &place), shop);
    EXPECT_EQ(startFolder, pictures_.path());
    EXPECT_EQ(startFilter, filters[1]);
    EXPECT_EQ(place.folder, pictures_.path());
    EXPECT_EQ(place.filter, filters[0]);
}

// Ctrl+Q leaves through "Exit": the close-down commits the picture and writes the history, and
// the window is stored as still shown, as "Exit" leaves it.
TEST_F(DesktopTest, CtrlQLeavesThroughTheCloseDownOfExit) {
    addPicture(makePicture("shop.bmp"));
    EXPECT_EQ(runUntilTheProgramEnds([this] {
                  window().activateWindow();
                  QTest::keyClick(&window(), Qt::Key_Q, Qt::ControlModifier);
              }),
              0);
    EXPECT_EQ(settingsStore().readText("history", "n1").value_or(""), "shop.bmp");
    EXPECT_TRUE(QFile::exists(libraryDir() + "shop.bmp"));
    stop();
    EXPECT_EQ(settingsStore().readText("main", "Visible").value_or(""), "1");
}
