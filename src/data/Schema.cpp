#include "data/Schema.h"

#include "data/Connection.h"
#include "data/DbError.h"
#include "data/UnicodeCase.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QMutex>
#include <QRandomGenerator>
#include <QSaveFile>
#include <QSet>
#include <sqlite3.h>

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace {

// Text columns never hold NULL and use SQLite's own NOCASE collation, so the
// file stays a standard SQLite database; keys are never reused, so a stale
// list entry can never point at another contact.
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

// A failure of the plain C API, with SQLite's extended result code, so the
// check can tell a lock from damage.
struct SqliteFailure {
    int code;
    QString message;
};

class RawDatabase {
public:
    RawDatabase(const QString& path, int flags) {
        const int rc = sqlite3_open_v2(QFile::encodeName(path).constData(), &db, flags, nullptr);
        if (rc != SQLITE_OK) {
            const int code = db ? sqlite3_extended_errcode(db) : rc;
            const QString message = QString::fromUtf8(db ? sqlite3_errmsg(db) : "out of memory");
            sqlite3_close_v2(db);
            db = nullptr;
            throw SqliteFailure{code, message};
        }
        sqlite3_extended_result_codes(db, 1);
        sqlite3_busy_timeout(db, Connection::busyTimeoutMs);
        registerUnicodeCase(db);
    }
    ~RawDatabase() { sqlite3_close_v2(db); }

    void run(const char* sql) {
        if (sqlite3_exec(db, sql, nullptr, nullptr, nullptr) != SQLITE_OK)
            fail();
    }

    int count(const char* sql) { return text(sql).toInt(); }

    // The first field of the first row.
    QString text(const char* sql) {
        sqlite3_stmt* statement = nullptr;
        if (sqlite3_prepare_v2(db, sql, -1, &statement, nullptr) != SQLITE_OK)
            fail();
        const int rc = sqlite3_step(statement);
        const QString value = rc == SQLITE_ROW ? QString::fromUtf8(reinterpret_cast<const char*>(
                                                     sqlite3_column_text(statement, 0)))
                                               : QString();
        sqlite3_finalize(statement);
        if (rc != SQLITE_ROW)
            fail();
        return value;
    }

    // True when the statement compiles: every table and column it names exists.
    bool compiles(const char* sql) {
        sqlite3_stmt* statement = nullptr;
        const int rc = sqlite3_prepare_v2(db, sql, -1, &statement, nullptr);
        sqlite3_finalize(statement);
        if (rc == SQLITE_ERROR)
            return false;
        if (rc != SQLITE_OK)
            fail();
        return true;
    }

    [[noreturn]] void fail() {
        throw SqliteFailure{sqlite3_extended_errcode(db), QString::fromUtf8(sqlite3_errmsg(db))};
    }

    sqlite3* db = nullptr;
};

// Each of the three tables with every column the program reads or writes.
const char* const columnChecks[] = {
    "SELECT pkContactTypeId, ContactTypeDesc FROM tblContactType",
    "SELECT pkContactBookId, ContactBookName FROM tblContactBook",
    "SELECT pkContactDetailsId, FirstName, MiddleName, LastName, Address, City, State, ZipCode,"
    " WorkPhoneNumber, HomePhoneNumber, CellPhoneNumber, EmailAddress, ParentOrGuardianName,"
    " Comments, fkContactType, fkContactBookId FROM tblContactDetails",
};

DatabaseFileState stateOf(const SqliteFailure& failure) {
    switch (failure.code & 0xff) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return DatabaseFileState::InUse;
    case SQLITE_READONLY:
    case SQLITE_CANTOPEN:
        // The file itself could be read (checked before opening): what could
        // not be opened or written is the journal or log beside it.
        return DatabaseFileState::NeedsRecovery;
    case SQLITE_PERM:
    case SQLITE_AUTH:
        return DatabaseFileState::Unreadable;
    case SQLITE_NOTADB:
        return DatabaseFileState::NotContactDatabase;
    default:
        return DatabaseFileState::Damaged;
    }
}

// An earlier version of the program ordered the unique index on book names
// by a collation of its own. Rebuilt with SQLite's own collation, the index
// matches what every SQLite program expects; nothing else changes.
void repairBookIndex(RawDatabase& database) {
    if (database.text("PRAGMA integrity_check(tblContactBook)") != QLatin1String("ok"))
        database.run("REINDEX tblContactBook");
}

} // namespace

void createContactDatabase(const QString& path) {
    try {
        RawDatabase database(path, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
        database.run("BEGIN");
        for (const char* statement : schemaStatements)
            database.run(statement);
        database.run("COMMIT");
    } catch (const SqliteFailure& failure) {
        throw DbError(failure.message);
    }
}

namespace {

// The header's own record of the file's length (page size times page count)
// against the file on disk: a file cut short fails without reading it all.
// While a write-ahead log lies beside it, the header may lag behind.
bool lengthMatchesHeader(const QString& path) {
    if (QFileInfo::exists(path + QStringLiteral("-wal")))
        return true;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray header = file.read(100);
    if (header.size() < 100)
        return header.isEmpty(); // an empty file is an empty database
    const auto byte = [&](int at) { return quint64(quint8(header[at])); };
    quint64 pageSize = (byte(16) << 8) | byte(17);
    if (pageSize == 1)
        pageSize = 65536;
    const quint64 pages = (byte(28) << 24) | (byte(29) << 16) | (byte(30) << 8) | byte(31);
    return pages == 0 || quint64(file.size()) >= pageSize * pages;
}

int reportProgress(void* progress) {
    (*static_cast<const CheckProgress*>(progress))();
    return 0;
}

} // namespace

DatabaseFileState checkDatabaseFile(const QString& path, CheckDepth depth,
                                    const CheckProgress& progress) {
    const QFileInfo file(path);
    if (!file.isFile())
        return DatabaseFileState::NotContactDatabase;
    if (!file.isReadable())
        return DatabaseFileState::Unreadable;
    try {
        // Opened for writing (never created) so that a journal left by a
        // program killed while saving is rolled back, as any later operation
        // would do. Nothing else is written.
        RawDatabase database(path, SQLITE_OPEN_READWRITE);
        for (const char* check : columnChecks)
            if (!database.compiles(check))
                return DatabaseFileState::NotContactDatabase;
        if (!lengthMatchesHeader(path))
            return DatabaseFileState::Damaged;
        if (depth == CheckDepth::Quick)
            return DatabaseFileState::Ready;
        // A damaged file still shows its tables on the first page; the
        // quick check reads every page and finds what is wrong.
        if (progress)
            sqlite3_progress_handler(database.db, 100000, reportProgress,
                                     const_cast<CheckProgress*>(&progress));
        return database.text("PRAGMA quick_check(1)") == QLatin1String("ok")
                   ? DatabaseFileState::Ready
                   : DatabaseFileState::Damaged;
    } catch (const SqliteFailure& failure) {
        return stateOf(failure);
    }
}

bool hasJournalBeside(const QString& path) {
    return QFileInfo::exists(path + QStringLiteral("-journal")) ||
           QFileInfo::exists(path + QStringLiteral("-wal"));
}

namespace {

DatabaseFileState checkAndRepair(const QString& path, CheckDepth depth,
                                 const CheckProgress& progress) {
    const DatabaseFileState state = checkDatabaseFile(path, depth, progress);
    if (state != DatabaseFileState::Ready)
        return state;
    try {
        RawDatabase database(path, SQLITE_OPEN_READWRITE);
        repairBookIndex(database);
    } catch (const SqliteFailure&) {
        // A file this user may only read stays as it is; every read works.
    }
    return state;
}

// Moves the finished file into place unless a file appeared there
// meanwhile; never replaces one.
bool moveIntoPlaceIfAbsent(const QString& from, const QString& to) {
    const QByteArray source = QFile::encodeName(from);
    const QByteArray target = QFile::encodeName(to);
    if (::link(source.constData(), target.constData()) == 0) {
        ::unlink(source.constData());
        return true;
    }
    if (errno == EEXIST)
        return false;
    // A file system without hard links.
    return ::renameat2(AT_FDCWD, source.constData(), AT_FDCWD, target.constData(),
                       RENAME_NOREPLACE) == 0;
}

// The files that passed the check in this process.
QSet<QString>& checkedFiles() {
    static QSet<QString> files;
    return files;
}
QMutex checkedFilesLock;

bool isChecked(const QString& path) {
    const QMutexLocker locker(&checkedFilesLock);
    return checkedFiles().contains(path);
}

DatabaseFileState remembered(const QString& path, DatabaseFileState state) {
    const QMutexLocker locker(&checkedFilesLock);
    if (state == DatabaseFileState::Ready || state == DatabaseFileState::Created)
        checkedFiles().insert(path);
    else
        checkedFiles().remove(path);
    return state;
}

} // namespace

void requireCheckedFile(const QString& path) {
    if (isChecked(path))
        return;
    const DatabaseFileState state = checkDatabaseFile(path);
    if (remembered(path, state) != DatabaseFileState::Ready)
        throw DbError(
            QCoreApplication::translate("DbError", "The file failed the contact database check: %1")
                .arg(path));
}

namespace {

// The size and modification time of the file at the last clean exit, kept
// beside it.
QString cleanExitRecordOf(const QString& path) {
    return path + QStringLiteral(".clean-exit");
}

QByteArray fileStamp(const QString& path) {
    const QFileInfo file(path);
    return QByteArray::number(file.size()) + ' ' +
           QByteArray::number(file.lastModified().toMSecsSinceEpoch());
}

// The depth this start needs; the record is used up, so a run that does not
// end cleanly leaves none and the next start checks every page.
CheckDepth depthForThisStart(const QString& path) {
    QFile record(cleanExitRecordOf(path));
    const bool clean = record.open(QIODevice::ReadOnly) && record.readAll() == fileStamp(path);
    record.close();
    record.remove();
    return clean ? CheckDepth::Quick : CheckDepth::Full;
}

DatabaseFileState prepareNewOrExisting(const QString& path, const CheckProgress& progress,
                                       CheckDepth* depthUsed) {
    if (QFileInfo::exists(path)) {
        const CheckDepth depth = depthForThisStart(path);
        if (depthUsed)
            *depthUsed = depth;
        return checkAndRepair(path, depth, progress);
    }
    if (depthUsed)
        *depthUsed = CheckDepth::Full;
    // Built under a name of its own and moved into place complete, so a crash
    // half-way never leaves a half-made contacts.mdb behind, and two starts
    // at the same moment never write into one file.
    const QString building =
        QStringLiteral("%1.new-%2-%3")
            .arg(path)
            .arg(QCoreApplication::applicationPid())
            .arg(QRandomGenerator::global()->generate(), 8, 16, QLatin1Char('0'));
    try {
        createContactDatabase(building);
    } catch (const DbError&) {
        QFile::remove(building);
        return DatabaseFileState::CannotCreate;
    }
    const bool moved = moveIntoPlaceIfAbsent(building, path);
    QFile::remove(building);
    if (moved)
        return DatabaseFileState::Created;
    // Another start created it first.
    return QFileInfo::exists(path) ? checkAndRepair(path, CheckDepth::Full, progress)
                                   : DatabaseFileState::CannotCreate;
}

} // namespace

DatabaseFileState prepareDatabaseFile(const QString& path, const CheckProgress& progress,
                                      CheckDepth* depthUsed) {
    return remembered(path, prepareNewOrExisting(path, progress, depthUsed));
}

void recordCleanExit(const QString& path) {
    if (!QFileInfo::exists(path))
        return;
    QSaveFile record(cleanExitRecordOf(path));
    if (record.open(QIODevice::WriteOnly) && record.write(fileStamp(path)) > 0)
        record.commit();
}
