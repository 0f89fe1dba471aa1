#pragma once

#include <QObject>
#include <exception>
#include <type_traits>
#include <utility>

namespace logosmith {

// Shows the text of an escaped exception in the application's general error report.
void reportError(const std::exception& error);
void reportUnknownError();

// The one guard around every user action: an exception ends the action where it happened,
// its message is shown, and the program goes on with the state reached so far.
// Answers false when the action ended with an error.
template <class Action> bool guarded(Action&& action) {
    try {
        std::forward<Action>(action)();
        return true;
    } catch (const std::exception& error) {
        reportError(error);
    } catch (...) {
        reportUnknownError();
    }
    return false;
}

namespace detail {
// Runs a slot's action inside the guard, with the signal's arguments when it takes them.
template <class Action, class... Arguments>
void runGuarded(const Action& action, const Arguments&... arguments) {
    if constexpr (std::is_invocable_v<const Action&, const Arguments&...>)
        guarded([&] { action(arguments...); });
    else
        guarded([&] { action(); });
}
} // namespace detail

// Connects a control's signal to a user action run inside the guard. This is how every action
// starts: the error is caught where Qt calls in, so it never has to travel through Qt's own
// code, which cannot carry exceptions. The action takes the signal's arguments or none.
template <class Sender, class Signal, class Action>
QMetaObject::Connection connectGuarded(const Sender* sender, Signal signal, const QObject* context,
                                       Action action) {
    return QObject::connect(sender, signal, context,
                            [action = std::move(action)](const auto&... arguments) {
                                detail::runGuarded(action, arguments...);
                            });
}

// The same for a handler of the receiving window itself.
template <class Sender, class Signal, class Receiver>
QMetaObject::Connection connectGuarded(const Sender* sender, Signal signal, Receiver* receiver,
                                       void (Receiver::*handler)()) {
    return connectGuarded(sender, signal, receiver,
                          [receiver, handler] { (receiver->*handler)(); });
}

} // namespace logosmith
