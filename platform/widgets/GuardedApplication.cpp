#include "GuardedApplication.h"

#include "ErrorGuard.h"

namespace logosmith {

bool GuardedApplication::notify(QObject* receiver, QEvent* event) {
    bool handled = false;
    guarded([&] { handled = QApplication::notify(receiver, event); });
    return handled;
}

} // namespace logosmith
