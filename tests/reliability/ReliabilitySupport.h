#pragma once

#include "support/MainWindowFixture.h"

#include <QProcess>

// What the reliability cases share: a snapshot of every stored contact, the
// integrity check, and the child processes some cases need (a lock holder,
// a writer to kill, an ordinary user's run of a case).
namespace reliability {

// Folders anyone may list and enter, read-only; files anyone may read and write.
inline const QFile::Permissions readOnly = QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther |
                                           QFile::ExeOwner | QFile::ExeGroup | QFile::ExeOther;
inline const QFile::Permissions readWriteFile = QFile::ReadOwner | QFile::ReadGroup |
                                                QFile::ReadOther | QFile::WriteOwner |
                                                QFile::WriteGroup | QFile::WriteOther;

// Every row of every table and the schema of the database in `folder`, one
// text per row, for "nothing changed" checks; read with the plain C API.
QStringList everything(const QString& folder);
// The first row of PRAGMA integrity_check, read through a read-write
// connection so that a hot journal left by a killed writer is rolled back.
QString integrity(const QString& connectionString);

// Which case the child executable runs (empty when started by hand), on which folder.
inline QString childMode() {
    return qEnvironmentVariable("ORVANTA_RELIABILITY_CHILD");
}
inline QString childFolder() {
    return qEnvironmentVariable("ORVANTA_RELIABILITY_FOLDER");
}

// Starts the child executable running `mode` of ChildModes on `folder`
// (stdout and stderr merged).
void startChild(QProcess& process, const QString& mode, const QString& folder);
// The same, then waits for the child's line "LOCKED"; false, with its
// output as a warning, when it ends first.
bool startLocked(QProcess& process, const QString& mode, const QString& folder);
// Tells a child holding a lock to let go, and waits for its end.
bool release(QProcess& process);

// Runs the named case of ChildModes as an ordinary user on `folder`: as uid
// 65534 through setpriv when this process is root (root writes through file
// permissions), directly otherwise. Returns the child's exit code (0: every
// check passed) and its output; -1 when no ordinary user is available.
int runAsUser(const QString& mode, const QString& folder, QString* output);

} // namespace reliability
