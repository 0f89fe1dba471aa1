#include "app/windows/AppWindows.h"

#include "app/windows/MainWindow.h"
#include "platform/widgets/GuardedApplication.h"
#include "platform/widgets/QtUserDialogs.h"

int main(int argc, char* argv[]) {
    logosmith::GuardedApplication app(argc, argv);
    QApplication::setApplicationName("logosmith");
    QApplication::setOrganizationName("KORVANT");
    QApplication::setApplicationDisplayName("Logosmith");

    logosmith::QtUserDialogs dialogs;
    logosmith::installUserDialogs(&dialogs);

    createWindows();
    dialogs.setParentWindow(Form1);
    Form1->show();
    const int result = QApplication::exec();
    destroyWindows();
    return result;
}
