#include "app/CommandLine.h"
#include "app/Session.h"
#include "app/TerminationSignals.h"

#include <QApplication>
#include <QIcon>

int main(int argc, char* argv[]) {
    if (const std::optional<int> status = logosmith::answerInformationOptions(argc, argv))
        return *status;
    QApplication app(argc, argv);
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

    logosmith::Session session;
    if (!session.windowsMade())
        return 1;
    session.start(*pictures);
    logosmith::closeOnTerminationSignals(&session.mainWindow());
    return QApplication::exec();
}
