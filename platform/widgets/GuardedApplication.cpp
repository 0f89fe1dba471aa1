#include "platform/widgets/GuardedApplication.h"

#include "platform/ErrorGuard.h"

namespace logosmith {

bool GuardedApplication::notify(QObject* receiver, QEvent* event) {
    bool handled = false;
    guarded([&] { handled = QApplication::notify(receiver, event); });
    return handled;
}

} // namespace logosmith
