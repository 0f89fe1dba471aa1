#pragma once

namespace logosmith {
class TransferWorker;
}

// Creates the program's seven windows once, in their fixed order: main window, download,
// information, editor, port, resolution and alignment dialogs. Each dialog is hidden.
void createWindows();
// Destroys them again, the main window last-created-first (its destruction runs the close-down).
void destroyWindows();
// The transfer worker the windows share, while they exist.
logosmith::TransferWorker& transferWorker();
