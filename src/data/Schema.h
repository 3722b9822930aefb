#pragma once

#include <QString>

#include <functional>

// The contact database file: its three tables, the delivered content, and the
// check that a file is one.
enum class DatabaseFileState {
    Ready,              // a contact database, usable
    Created,            // was missing and has been created with the delivered content
    InUse,              // another program holds a lock on it past the wait
    NeedsRecovery,      // a journal must be rolled back, which needs a folder this user can write
    Unreadable,         // this user may not read the file
    NotContactDatabase, // not a database, or one without the contact tables and columns
    Damaged,            // a contact database whose pages fail the check
    CannotCreate,       // was missing and could not be created
};

// How much of a file a check reads. Quick: the header, the tables and their
// columns. Full: every page as well, which on a large book takes most of a
// second.
enum class CheckDepth { Quick, Full };

// Called now and then while a full check runs, so the caller can show
// progress and keep its window alive.
using CheckProgress = std::function<void()>;

// Start-up only: creates the file with the schema and the delivered content
// when it is missing; checks an existing file, and repairs the order of its
// book-name index when an earlier version of the program disordered it.
// Nothing is written to a file that fails the check. The check is quick
// when the file is as the last clean exit left it (recordCleanExit), full
// otherwise: after a run that was killed or crashed, or when another
// program changed the file meanwhile. `depthUsed` tells which it was.
DatabaseFileState prepareDatabaseFile(const QString& path, const CheckProgress& progress = {},
                                      CheckDepth* depthUsed = nullptr);

// Notes the file's size and modification time as the program ends cleanly,
// for the next start-up's quick check.
void recordCleanExit(const QString& path);

// Checks an existing file without changing it: can it be opened and read,
// does it hold the three tables with their columns, and, for a full check,
// do its pages pass SQLite's quick check.
DatabaseFileState checkDatabaseFile(const QString& path, CheckDepth depth = CheckDepth::Full,
                                    const CheckProgress& progress = {});

// Every connection calls this first: a file that has not passed the check in
// this process is checked now, and one that fails it throws DbError, so
// nothing is ever written to it. A file that passed once is not checked again.
void requireCheckedFile(const QString& path);

// True when a rollback journal or a write-ahead log lies beside the file:
// it holds changes that belong to the file, so the file must not be moved
// without it.
bool hasJournalBeside(const QString& path);

// Writes the schema and the delivered content into a new, empty file.
void createContactDatabase(const QString& path);
