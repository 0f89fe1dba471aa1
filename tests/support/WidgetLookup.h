#pragma once

// Tests find a window's controls and menu items by their object names, as a person finds them
// by their captions: never through the window's own fields.

#include <QApplication>
#include <QObject>
#include <QString>
#include <QWidget>
#include <stdexcept>

namespace logosmith::testing {

// The descendant of `parent` with this object name and type. Throws (failing the test with the
// name) when there is none.
template <class T = QWidget> T* child(const QObject* parent, const QString& name) {
    T* found = parent ? parent->findChild<T*>(name) : nullptr;
    if (!found)
        throw std::runtime_error("no control named " + name.toStdString());
    return found;
}

// The top-level window with this object name (a main window or a dialog). Throws when there is
// none.
template <class T = QWidget> T* topLevel(const QString& name) {
    for (QWidget* window : QApplication::topLevelWidgets())
        if (window->objectName() == name)
            if (T* found = dynamic_cast<T*>(window))
                return found;
    throw std::runtime_error("no window named " + name.toStdString());
}

} // namespace logosmith::testing
