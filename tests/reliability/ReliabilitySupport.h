#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>

class QWidget;

class frmContactMgmt;

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

// Driving the real window as a user does.
void click(QWidget& root, const QString& objectName);
void trigger(QWidget& root, const QString& objectName);
void selectRow(frmContactMgmt& window, int row);
QStringList listed(frmContactMgmt& window);
// Puts the text into the box as a paste from the clipboard would, replacing
// what it held: the way a user gets any character into a box.
void paste(QWidget* box, const QString& text);
// Add, type a first and a last name, Save.
void addContact(frmContactMgmt& window, const QString& firstName, const QString& lastName);

// Which child a run of the test executable is: empty in the normal run.
QString childMode();
QString childFolder();

// Starts this test executable as a child running `mode` of ChildModes on
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
