#include "app/windows/AppWindows.h"

#include "app/windows/MainWindow.h"
#include "platform/widgets/GuardedApplication.h"
#include "platform/widgets/QtUserDialogs.h"

int main(int argc, char* argv[]) {
    logosmith::GuardedApplication app(argc, argv);
    QApplication::setApplicationName("logosmith");
    QApplication::setOrganizationName("KORVANT");
    // No display name: Qt would append it to every window title, cutting the captions short.

    logosmith::QtUserDialogs dialogs;
    logosmith::installUserDialogs(&dialogs);

    createWindows();
    dialogs.setParentWindow(Form1);
    Form1->show();
    const int result = QApplication::exec();
    destroyWindows();
    return result;
}
