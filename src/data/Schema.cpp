#include "data/Schema.h"

#include "data/Connection.h"
#include "data/DbError.h"
#include "data/UnicodeCase.h"

#include <QFile>
#include <QFileInfo>
#include <sqlite3.h>

namespace {

// Text columns never hold NULL and compare without regard to case; keys are
// never reused, so a stale list entry can never point at another contact.
const char* const schemaStatements[] = {
    "CREATE TABLE tblContactType ("
    " pkContactTypeId INTEGER PRIMARY KEY AUTOINCREMENT,"
    " ContactTypeDesc TEXT NOT NULL DEFAULT '' COLLATE NOCASE)",
    "CREATE TABLE tblContactBook ("
    " pkContactBookId INTEGER PRIMARY KEY AUTOINCREMENT,"
    " ContactBookName TEXT NOT NULL DEFAULT '' COLLATE NOCASE UNIQUE)",
    "CREATE TABLE tblContactDetails ("
    " pkContactDetailsId INTEGER PRIMARY KEY AUTOINCREMENT,"
    " FirstName TEXT NOT NULL DEFAULT '' COLLATE NOCASE,"
    " MiddleName TEXT NOT NULL DEFAULT '' COLLATE NOCASE,"
    " LastName TEXT NOT NULL DEFAULT '' COLLATE NOCASE,"
    " Address TEXT NOT NULL DEFAULT '' COLLATE NOCASE,"
    " City TEXT NOT NULL DEFAULT '' COLLATE NOCASE,"
    " State TEXT NOT NULL DEFAULT '' COLLATE NOCASE,"
    " ZipCode TEXT NOT NULL DEFAULT '' COLLATE NOCASE,"
    " WorkPhoneNumber TEXT NOT NULL DEFAULT '' COLLATE NOCASE,"
    " HomePhoneNumber TEXT NOT NULL DEFAULT '' COLLATE NOCASE,"
    " CellPhoneNumber TEXT NOT NULL DEFAULT '' COLLATE NOCASE,"
    " EmailAddress TEXT NOT NULL DEFAULT '' COLLATE NOCASE,"
    " ParentOrGuardianName TEXT NOT NULL DEFAULT '' COLLATE NOCASE,"
    " Comments TEXT NOT NULL DEFAULT '' COLLATE NOCASE,"
    " fkContactType INTEGER NOT NULL DEFAULT 0,"
    " fkContactBookId INTEGER NOT NULL DEFAULT 0)",
    // Serves the list, export and print queries, which all pick one book.
    "CREATE INDEX idxContactDetailsBookType ON tblContactDetails (fkContactBookId, fkContactType)",
    "INSERT INTO tblContactType (pkContactTypeId, ContactTypeDesc) VALUES (1, 'Personal')",
    "INSERT INTO tblContactType (pkContactTypeId, ContactTypeDesc) VALUES (2, 'Business')",
    "INSERT INTO tblContactBook (ContactBookName) VALUES ('Default')",
};

class RawDatabase {
public:
    RawDatabase(const QString& path, int flags) {
        if (sqlite3_open_v2(QFile::encodeName(path).constData(), &db, flags, nullptr) !=
            SQLITE_OK) {
            const QString message = QString::fromUtf8(db ? sqlite3_errmsg(db) : "out of memory");
            sqlite3_close_v2(db);
            throw DbError(message);
        }
        registerUnicodeCase(db);
    }
    ~RawDatabase() { sqlite3_close_v2(db); }

    void run(const char* sql) {
        char* error = nullptr;
        if (sqlite3_exec(db, sql, nullptr, nullptr, &error) != SQLITE_OK) {
            const QString message = QString::fromUtf8(error ? error : "unknown error");
            sqlite3_free(error);
            throw DbError(message);
        }
    }

    int count(const char* sql) { return text(sql).toInt(); }

    // The first field of the first row.
    QString text(const char* sql) {
        sqlite3_stmt* statement = nullptr;
        if (sqlite3_prepare_v2(db, sql, -1, &statement, nullptr) != SQLITE_OK)
            throw DbError(QString::fromUtf8(sqlite3_errmsg(db)));
        const int rc = sqlite3_step(statement);
        const QString value = rc == SQLITE_ROW ? QString::fromUtf8(reinterpret_cast<const char*>(
                                                     sqlite3_column_text(statement, 0)))
                                               : QString();
        sqlite3_finalize(statement);
        if (rc != SQLITE_ROW)
            throw DbError(QString::fromUtf8(sqlite3_errmsg(db)));
        return value;
    }

    sqlite3* db = nullptr;
};

} // namespace

void createContactDatabase(const QString& path) {
    RawDatabase database(path, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
    database.run("BEGIN");
    for (const char* statement : schemaStatements)
        database.run(statement);
    database.run("COMMIT");
}

bool isContactDatabase(const QString& path) {
    if (!QFileInfo(path).isFile())
        return false;
    try {
        // Opened for writing (never created) so that a journal left by a
        // program killed while saving is rolled back, as any later operation
        // would do; a read-only connection refuses such a file. Nothing else
        // is written.
        RawDatabase database(path, SQLITE_OPEN_READWRITE);
        sqlite3_busy_timeout(database.db, Connection::busyTimeoutMs);
        if (database.count("SELECT count(*) FROM sqlite_master WHERE type = 'table' AND name "
                           "IN ('tblContactType', 'tblContactBook', 'tblContactDetails')") != 3)
            return false;
        // A truncated or damaged file still shows its tables on the first
        // page; the quick check reads every page and finds what is missing.
        return database.text("PRAGMA quick_check(1)") == QLatin1String("ok");
    } catch (const DbError&) {
        return false;
    }
}

DatabaseFileState prepareDatabaseFile(const QString& path) {
    if (QFileInfo::exists(path))
        return isContactDatabase(path) ? DatabaseFileState::Ready
                                       : DatabaseFileState::NotContactDatabase;
    // Built beside the target and renamed into place, so a crash half-way
    // never leaves a half-made contacts.mdb behind; the rename never
    // replaces a file another instance created meanwhile.
    const QString building = path + QStringLiteral(".new");
    QFile::remove(building);
    try {
        createContactDatabase(building);
    } catch (const DbError&) {
        QFile::remove(building);
        return DatabaseFileState::CannotCreate;
    }
    if (!QFile::rename(building, path)) {
        QFile::remove(building);
        return isContactDatabase(path) ? DatabaseFileState::Ready : DatabaseFileState::CannotCreate;
    }
    return DatabaseFileState::Created;
}
