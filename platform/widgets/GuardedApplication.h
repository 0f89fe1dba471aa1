#pragma once

#include <QApplication>

namespace logosmith {

// The application object. Every event handler runs inside the one error guard, so an
// exception that escapes a user action is reported and the program keeps running.
class GuardedApplication : public QApplication {
  public:
    using QApplication::QApplication;
    bool notify(QObject* receiver, QEvent* event) override;
};

} // namespace logosmith
