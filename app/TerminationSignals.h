#pragma once

class QWidget;

namespace logosmith {

// Closes window as its close box would when the program gets SIGTERM, SIGINT or SIGHUP (the
// session ending, Ctrl+C in the terminal that started it), so the close-down still writes the
// last picture and the library's history. A window that refuses to close (a transfer running)
// keeps the program running.
void closeOnTerminationSignals(QWidget* window);

} // namespace logosmith
