#pragma once

#include <QString>

// What main() does before the main window exists.

// True when there is a screen to show a window on, or a platform chosen by
// QT_QPA_PLATFORM; false on a machine without a display.
bool hasDisplay();

// The folder of contacts.mdb and attachment.csv: the program's own folder
// when it is writable (a build tree, a portable copy), else the per-user data
// folder, created when needed. An installed copy (beside its launcher under
// <prefix>/share/applications) always uses the per-user data folder.
QString chooseDataFolder();

// Creates contacts.mdb in the folder when it is missing, or checks the one
// there. When the file cannot be used, tells the user what is wrong and what
// to do, and returns false; the file is left exactly as it is.
bool prepareDataFolder(const QString& folder);

// The same for the command line, which has no window: creates or checks the
// file without progress, and returns what is wrong and what to do, or an
// empty text when the file can be used.
QString prepareDataFolderWithoutWindow(const QString& folder);
