#pragma once

#include <QString>
#include <QStringList>

// The default editor: the first of gimp, kolourpaint and pinta found on PATH, else xdg-open.
QString defaultEditorCommand();

// The exchange file handed to the editor: "korvantMRX310.bmp" in the per-user cache folder
// (never a shared temporary folder, where another user could plant a file).
QString editorExchangeFile();

// Starts the editor without waiting: the command text split as a shell would split it, the
// exchange file's path appended as the last argument. Nothing goes through a shell.
// Answers false when the program could not be started.
bool startEditor(const QString& command, const QString& exchangeFile);
