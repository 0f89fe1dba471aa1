#include "app/windows/AppWindows.h"

#include "app/windows/MainWindow.h"
#include "platform/ErrorGuard.h"
#include "platform/widgets/GuardedApplication.h"
#include "platform/widgets/QtUserDialogs.h"

int main(int argc, char* argv[]) {
    logosmith::GuardedApplication app(argc, argv);
    QApplication::setApplicationName("logosmith");
    QApplication::setOrganizationName("KORVANT");
    // No display name: Qt would append it to every window title, cutting the captions short.

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
    const int result = QApplication::exec();
    destroyWindows();
    return result;
}
