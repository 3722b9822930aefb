#pragma once

#include "support/MainWindowFixture.h"

#include <QProcess>
#include <QString>
#include <QStringList>

// What the reliability cases share: a snapshot of every stored contact, the
// integrity check, and the child processes some cases need (a lock holder,
// a writer to kill, an ordinary user's run of a case).
namespace reliability {

// Every row of every table and the schema of the database in `folder`, one
// text per row, for "nothing changed" checks; read with the plain C API.
QStringList everything(const QString& folder);
// The first row of PRAGMA integrity_check, read through a read-write
// connection so that a hot journal left by a killed writer is rolled back.
QString integrity(const QString& connectionString);

// Which case the child executable runs: empty when started by hand.
QString childMode();
QString childFolder();

// Starts the child executable running `mode` of ChildModes on
// `folder`; stdout and stderr are merged.
void startChild(QProcess& process, const QString& mode, const QString& folder);
// Reads the child's output until a line equal to `marker` comes; false when
// the child ends first.
bool waitForLine(QProcess& process, const QString& marker, QByteArray* seen = nullptr);

// Runs the named case of ChildModes as an ordinary user on `folder`: as uid
// 65534 through setpriv when this process is root (root writes through file
// permissions), directly otherwise. Returns the child's exit code (0: every
// check passed) and its output; -1 when no ordinary user is available.
int runAsUser(const QString& mode, const QString& folder, QString* output);

} // namespace reliability
