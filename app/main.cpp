#include "app/CommandLine.h"
#include "app/TerminationSignals.h"
#include "app/windows/AppWindows.h"
#include "app/windows/MainWindow.h"
#include "app/windows/PictureView.h"
#include "platform/ErrorGuard.h"
#include "platform/widgets/GuardedApplication.h"
#include "platform/widgets/QtUserDialogs.h"

#include <QIcon>
#include <QTimer>

int main(int argc, char* argv[]) {
    if (const std::optional<int> status = logosmith::answerInformationOptions(argc, argv))
        return *status;
    logosmith::GuardedApplication app(argc, argv);
    QApplication::setApplicationName("logosmith");
    QApplication::setOrganizationName("KORVANT");
    // No display name: Qt would append it to every window title, cutting the captions short.
    QApplication::setApplicationVersion(LOGOSMITH_VERSION);
    // Lets the desktop match the window to its menu entry and icon once installed.
    QGuiApplication::setDesktopFileName(logosmith::desktopFileId);
    QApplication::setWindowIcon(QIcon::fromTheme(logosmith::desktopFileId));
    const std::optional<QStringList> pictures =
        logosmith::pictureArguments(QApplication::arguments());
    if (!pictures)
        return 2;

    logosmith::QtUserDialogs dialogs;
    dialogs.setPicturePreview(previewPictureFile);
    logosmith::installUserDialogs(&dialogs);

    // Start-up runs inside the error guard like every action. The main window's own start-up
    // steps report their failures and go on, so the program comes up with what could be read;
    // only windows that could not be made at all end it.
    if (!logosmith::guarded(createWindows)) {
        destroyWindows();
        return 1;
    }
    dialogs.setParentWindow(Form1);
    Form1->show();
    logosmith::closeOnTerminationSignals(Form1);
    // Pictures from the file manager's "Open with" are added once the event loop runs, so a
    // close during their messages ends the program as it does at any other time.
    QTimer::singleShot(0, Form1, [&] { logosmith::addPicturesFromCommandLine(*Form1, *pictures); });
    const int result = QApplication::exec();
    destroyWindows();
    return result;
}
