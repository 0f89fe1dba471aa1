#include "platform/UserDialogs.h"

#include <QFileInfo>
#include <stdexcept>

namespace logosmith {

namespace {
UserDialogs* installed = nullptr;
}

std::optional<QString> UserDialogs::openPicture(const QString& caption, const QString& filter,
                                                FileDialogPlace* place) {
    const std::optional<QString> path = openFile(caption, filter);
    if (path && place)
        place->folder = QFileInfo(*path).absolutePath();
    return path;
}

void UserDialogs::showMessageWithDetails(const QString& text, const QString& details) {
    showMessage(details.isEmpty() ? text : text + "\n\n" + details);
}

UserDialogs& userDialogs() {
    if (!installed)
        throw std::logic_error("no UserDialogs installed");
    return *installed;
}

UserDialogs* installUserDialogs(UserDialogs* dialogs) {
    UserDialogs* previous = installed;
    installed = dialogs;
    return previous;
}

} // namespace logosmith
