// The program on the desktop: its data files wherever it was started from,
// its icon, and the little it remembers between runs (with QSettings): the
// recent designs and the folder the file dialogs last used. Nothing else is
// kept: every setting of the simulator starts afresh at every start.
#pragma once

#include <QIcon>
#include <QString>
#include <QStringList>

// Where the data file `name` (a sound or an instruction text, a bare name) is
// read from: the first folder of DataFolders (working directory, installed
// data folder, executable's folder) that holds it. When none does, the name
// in the working directory, so that a failure names the file as before.
QString DataFilePath(const QString& name);

// The program's icon in all its sizes, built into the program.
QIcon ProgramIcon();

// The recent designs, most recent first (at most `limit`).
QStringList LoadRecentDesigns(int limit);
void StoreRecentDesigns(const QStringList& paths);

// The folder the file dialogs start in: the last one used while it still
// exists, else the user's documents folder (or, without one, the home folder).
QString FileDialogFolder();
void RememberFileDialogFolder(const QString& folder);
