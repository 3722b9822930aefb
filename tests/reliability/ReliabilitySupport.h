#pragma once

#include "support/MainWindowFixture.h"

#include <QProcess>

// What the reliability cases share: a snapshot of every stored contact, the
// integrity check, and the child processes of ChildModes.
namespace reliability {

// Folders anyone may list and enter, read-only; files anyone may read and write.
inline const QFile::Permissions readOnly = QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther |
                                           QFile::ExeOwner | QFile::ExeGroup | QFile::ExeOther;
inline const QFile::Permissions readWriteFile = QFile::ReadOwner | QFile::ReadGroup |
                                                QFile::ReadOther | QFile::WriteOwner |
                                                QFile::WriteGroup | QFile::WriteOther;

// Every row of every table and the schema, one text per row, read with the C API.
QStringList everything(const QString& folder);
// Read-write, so that a hot journal left by a killed writer is rolled back first.
QString integrity(const QString& connectionString);

// Starts the child executable running `mode` on `folder`, and with
// startLocked waits for its line "LOCKED" (false when it ends first).
void startChild(QProcess& process, const QString& mode, const QString& folder);
bool startLocked(QProcess& process, const QString& mode, const QString& folder);
bool release(QProcess& process); // tells a lock holder to let go, waits for its end

// Runs `mode` as an ordinary user (uid 65534 through setpriv when root, who
// writes through permissions): the exit code, -1 without such a user.
int runAsUser(const QString& mode, const QString& folder, QString* output);

} // namespace reliability
