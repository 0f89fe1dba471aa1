#pragma once

#include <QStringList>
#include <optional>

class MainWindow;

namespace logosmith {

// The desktop entry's id: the name of the installed .desktop, AppStream and icon files.
inline constexpr char desktopFileId[] = "com.korvant.logosmith";

// "--version" and "--help" (before any "--"): prints the answer on standard output and returns
// the exit status. Answered before the window system is started, so they need no display.
std::optional<int> answerInformationOptions(int argc, char** argv);

// The picture files named on the command line (arguments as the application has them, its own
// options taken out), made absolute against the current folder, in order. Everything after
// "--" is a file. nullopt after an unknown option, with the usage printed on standard error.
std::optional<QStringList> pictureArguments(const QStringList& arguments);

// Adds each picture to the library as "Add Image" would, in order, with the same messages; a
// file that fails is reported and the next one is added. Stops once the window has been closed.
void addPicturesFromCommandLine(MainWindow& window, const QStringList& pictures);

} // namespace logosmith
