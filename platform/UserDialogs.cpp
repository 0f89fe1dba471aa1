#include "platform/UserDialogs.h"

#include <stdexcept>

namespace logosmith {

namespace {
UserDialogs* installed = nullptr;
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
