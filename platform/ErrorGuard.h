#pragma once

#include <exception>
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

} // namespace logosmith
