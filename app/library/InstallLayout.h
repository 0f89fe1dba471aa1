#pragma once

#include <QString>

namespace logosmith {

// Where the program's own documents are. Run from its build folder they sit beside the program;
// installed (prefix/bin/logosmith) they sit in the documentation folder under prefix/share.

// The folder of the running program, ending with "/".
QString programFolder();

// The documentation folder that belongs to a program installed in programFolder, ending with
// "/". It need not exist.
QString installedDocFolder(const QString& programFolder);

// True when programFolder holds an installed program: its documentation folder has the help
// page. Such a folder belongs to the system, whoever may write to it.
bool isInstalledProgramFolder(const QString& programFolder);

// The help page: rootDir + "help.htm", else rootDir + "help.html" when it exists, else the page
// in the installed documentation folder when there is one, else rootDir + "help.html" whether
// it exists or not.
QString helpPagePath(const QString& rootDir, const QString& programFolder);

} // namespace logosmith
