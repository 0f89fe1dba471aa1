#include "app/windows/tests/AppFixture.h"

#include "app/windows/EditorDialog.h"
#include "app/windows/EditorHandoff.h"
#include "app/windows/PictureView.h"
#include "platform/core/AtomicFile.h"
#include "platform/widgets/QtUserDialogs.h"
#include "separation/loader/PictureLoader.h"

#include <QDesktopServices>
#include <QElapsedTimer>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <QTreeWidget>
#include <QUrl>

using namespace logosmith;

namespace {

// Receives the "file" URLs the program asks the desktop to open.
class UrlCatcher : public QObject {
    Q_OBJECT
  public:
    QList<QUrl> opened;
  public slots:
    void open(const QUrl& url) { opened << url; }
};

bool waitForFile(const QString& path) {
    QElapsedTimer timer;
    timer.start();
    while (!QFile::exists(path) && timer.elapsed() < 10000)
        QThread::msleep(20);
    return QFile::exists(path);
}

} // namespace

class OutwardActions : public AppFixture {
  protected:
    // An editor that paints the whole picture black and leaves a mark when it is done.
    QString makeEditor() {
        editedPicture_ = makePicture("edited.bmp", 20, 10);
        const Picture black(20, 10, colours::black);
        writeBmpFile(black, editedPicture_.toStdString());
        const QString script = pictures_.path() + "/edit tool.sh";
        QFile f(script);
        f.open(QIODevice::WriteOnly);
        f.write("#!/bin/sh\ncp \"" + editedPicture_.toUtf8() + "\" \"$1\"\ntouch \"" +
                marker().toUtf8() + "\"\n");
        f.close();
        f.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        return script;
    }
    QString marker() const { return pictures_.path() + "/edited.mark"; }
    // The editor command, chosen with "OK" in the editor dialog.
    void chooseEditor(const QString& command) {
        item("SetImageEditer1")->trigger();
        dialogControl<QLineEdit>("ImageEditorForm", "Edit1")->setText(command);
        dialogControl<QPushButton>("ImageEditorForm", "Button1")->click();
    }
    QString editedPicture_;
};

TEST_F(OutwardActions, TheEditedPictureComesBackConvertedAndReachesOnlyTheLastEntry) {
    addPicture(makePicture("first.bmp"));
    addPicture(makePicture("last.bmp"));
    // The command text is split as a shell would, so a quoted path with a blank works.
    chooseEditor("\"" + makeEditor() + "\"");
    dialogs().onMessage = [&](const auto& shown) {
        if (shown.text == "Logosmith will now update the last image!")
            waitForFile(marker());
    };
    const auto edit = [&] {
        QFile::remove(marker());
        dialogs().clear();
        button("btnEdit")->click();
        EXPECT_EQ(dialogs().texts("message"),
                  (QStringList{"This function only affects last image",
                               "Logosmith will now update the last image!"}));
        EXPECT_EQ(pictures().working().width(), 20);
        EXPECT_EQ(pictures().preview().pixel(5, 5), colours::black);
    };

    // An earlier entry: the edited picture is shown, its stored file stays as it was.
    clickRow(0);
    const auto storedFirst = readWholeFile((libraryDir() + "first.bmp").toStdString());
    edit();
    button("Button9")->click();
    EXPECT_EQ(readWholeFile((libraryDir() + "first.bmp").toStdString()), storedFirst);

    // The last entry, live again: the next commit stores the edited picture.
    clickRow(1);
    edit();
    dialogs().onMessage = nullptr;
    EXPECT_NE(readWholeFile((libraryDir() + "last.bmp").toStdString()),
              encodeBmp24(pictures().preview()));
    button("Button9")->click();
    EXPECT_EQ(readWholeFile((libraryDir() + "last.bmp").toStdString()),
              encodeBmp24(pictures().preview()));
}

TEST_F(OutwardActions, AMissingEditorIsReportedAndThePictureComesBackUnchanged) {
    addPicture(makePicture("logo.bmp"));
    const Picture before = pictures().preview();
    chooseEditor("/nonexistent/paint.exe");
    button("btnEdit")->click();
    EXPECT_EQ(
        dialogs().texts("message"),
        (QStringList{"This function only affects last image",
                     "Not found   /nonexistent/paint.exe. Check Default Image Editor Setting ",
                     "Logosmith will now update the last image!"}));
    EXPECT_EQ(pictures().preview(), before);
    EXPECT_TRUE(editorExchangeFile().endsWith("/korvantMRX310.bmp"));
    EXPECT_FALSE(editorExchangeFile().startsWith("/tmp/korvant"));
}

TEST_F(OutwardActions, TheEditorDialogSetsTheCommandOnlyWithOk) {
    const QString before = session().editorCommand().command();
    item("SetImageEditer1")->trigger();
    dialogControl<QLineEdit>("ImageEditorForm", "Edit1")->setText("kolourpaint --new");
    dialogControl<QPushButton>("ImageEditorForm", "btnCancel")->click();
    EXPECT_EQ(session().editorCommand().command(), before);
    EXPECT_FALSE(dialog("ImageEditorForm")->isVisible());
    item("SetImageEditer1")->trigger();
    dialogControl<QPushButton>("ImageEditorForm", "Button1")->click();
    EXPECT_EQ(session().editorCommand().command(), "kolourpaint --new");
}

TEST_F(OutwardActions, SavingWritesBmpDataWhateverTheExtension) {
    addPicture(makePicture("logo.bmp"));
    const QString target = pictures_.path() + "/saved.jpg";
    dialogs().saveAnswers.push_back(target);
    button("btnSave")->click();
    EXPECT_EQ(dialogs().lastSaveSuffix, "bmp");
    EXPECT_EQ(ui<QLineEdit>("Edit1")->text(), target);
    const QByteArray data = contents(target);
    ASSERT_GT(data.size(), 54);
    EXPECT_TRUE(data.startsWith("BM"));
    EXPECT_EQ(data.size(), qsizetype(encodeBmp24(pictures().preview()).size()));
}

TEST_F(OutwardActions, TheHelpPageIsTakenFromTheTwoNames) {
    UrlCatcher catcher;
    QDesktopServices::setUrlHandler("file", &catcher, "open");
    item("help3")->trigger();
    QFile html(rootDir() + "help.html");
    html.open(QIODevice::WriteOnly);
    html.close();
    item("help3")->trigger();
    QFile htm(rootDir() + "help.htm");
    htm.open(QIODevice::WriteOnly);
    htm.close();
    item("help3")->trigger();
    QDesktopServices::unsetUrlHandler("file");
    ASSERT_EQ(catcher.opened.size(), 3);
    EXPECT_EQ(catcher.opened[0].toLocalFile(), rootDir() + "help.html"); // neither: still .html
    EXPECT_EQ(catcher.opened[1].toLocalFile(), rootDir() + "help.html");
    EXPECT_EQ(catcher.opened[2].toLocalFile(), rootDir() + "help.htm");
}

// No browser and no xdg-open: the person is told where the help page is.
TEST_F(OutwardActions, HelpWithoutABrowserSaysWhereThePageIs) {
    const QByteArray path = qgetenv("PATH");
    const QByteArray browser = qgetenv("BROWSER");
    QTemporaryDir nothing;
    qputenv("PATH", nothing.path().toLocal8Bit());
    qunsetenv("BROWSER");
    qunsetenv("DEFAULT_BROWSER");
    item("help3")->trigger();
    qputenv("PATH", path);
    if (!browser.isEmpty())
        qputenv("BROWSER", browser);
    ASSERT_EQ(dialogs().texts("message").size(), 1);
    EXPECT_TRUE(dialogs().texts("message").first().endsWith("\n" + rootDir() + "help.html"));
}

// The picture open dialog previews what a load would give, through the program's own loader,
// and opens in the folder of the picture chosen before.
TEST_F(OutwardActions, ThePictureDialogPreviewsThroughTheLoaderAndStartsWhereItWasLeft) {
    const QString picture = makePicture("logo.bmp", 40, 30);
    const QString damaged = pictures_.path() + "/damaged.bmp";
    QFile bad(damaged);
    bad.open(QIODevice::WriteOnly);
    bad.write(contents(picture).left(80)); // a header promising rows that are not there
    bad.close();

    QtUserDialogs real;
    real.setPicturePreview(previewPictureFile);
    // The person at the next file dialog: notes where it starts, points at the two files when it
    // has a preview, then chooses `choice` (empty: cancel).
    QStringList startFolders;
    int previewed = 0;
    const auto person = [&](const QString& choice) {
        QTimer::singleShot(0, [&, choice] {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            if (!dialog) {
                ADD_FAILURE() << "no file dialog";
                return;
            }
            startFolders << dialog->directory().absolutePath();
            if (auto* preview = dialog->findChild<PicturePreview*>()) {
                ++previewed;
                emit dialog->currentChanged(picture);
                EXPECT_EQ(preview->picture(), toQImage(decodePictureFile(picture.toStdString())));
                EXPECT_FALSE(preview->pixmap().isNull());
                emit dialog->currentChanged(damaged);
                EXPECT_TRUE(preview->picture().isNull());
                EXPECT_TRUE(preview->pixmap().isNull());
            }
            if (choice.isEmpty())
                dialog->reject();
            else {
                dialog->selectFile(choice);
                static_cast<QDialog*>(dialog)->accept();
            }
        });
    };
    person(picture);
    EXPECT_EQ(real.openPicture("Open Image", "*.bmp (*.bmp)"), picture);
    const QString elsewhere = root_.path() + "/logos.prn";
    person(elsewhere);
    EXPECT_EQ(real.saveFile("Store to File", "print files (*.prn)", "prn"), elsewhere);
    person(QString());
    EXPECT_EQ(real.openPicture("Open Image", "*.bmp (*.bmp)"), std::nullopt);
    EXPECT_EQ(previewed, 2);
    EXPECT_EQ(startFolders.value(2), pictures_.path()) << "not where another dialog was left";
}

#include "outward_actions_test.moc"
