#include "data/Connection.h"

#include "data/ConnectionString.h"
#include "data/DbError.h"
#include "data/Schema.h"
#include "data/UnicodeCase.h"

#include <QCoreApplication>
#include <QFile>
#include <sqlite3.h>

namespace {

Connection::StatementObserver& statementObserver() {
    static Connection::StatementObserver observer;
    return observer;
}

bool isBusy(int resultCode) {
    return (resultCode & 0xff) == SQLITE_BUSY || (resultCode & 0xff) == SQLITE_LOCKED;
}

[[noreturn]] void fail(sqlite3* db, const QString& context) {
    throw DbError(context + QStringLiteral(": ") + QString::fromUtf8(sqlite3_errmsg(db)),
                  isBusy(sqlite3_errcode(db)));
}

[[noreturn]] void failStep(int resultCode, const QString& message) {
    throw DbError(QCoreApplication::translate("DbError", "Statement failed: %1").arg(message),
                  isBusy(resultCode));
}

} // namespace

RowSet::RowSet(sqlite3* db, sqlite3_stmt* statement, bool owned)
    : m_db(db), m_statement(statement), m_owned(owned) {
    try {
        step();
    } catch (...) {
        close();
        throw;
    }
}

RowSet::RowSet(RowSet&& other) noexcept
    : m_db(other.m_db), m_statement(other.m_statement), m_atEnd(other.m_atEnd),
      m_owned(other.m_owned) {
    other.m_statement = nullptr;
    other.m_atEnd = true;
}

RowSet::~RowSet() {
    close();
}

void RowSet::close() {
    if (m_statement) {
        if (m_owned)
            sqlite3_finalize(m_statement);
        else
            sqlite3_reset(m_statement);
        m_statement = nullptr;
    }
    m_atEnd = true;
}

void RowSet::step() {
    const int rc = sqlite3_step(m_statement);
    if (rc == SQLITE_ROW) {
        m_atEnd = false;
    } else if (rc == SQLITE_DONE) {
        m_atEnd = true;
    } else {
        m_atEnd = true;
        fail(m_db, QCoreApplication::translate("DbError", "Reading a row failed"));
    }
}

void RowSet::moveNext() {
    if (m_atEnd)
        throw DbError(QStringLiteral("Moved past the last row"));
    step();
}

int RowSet::column(const QString& name) const {
    if (!m_statement)
        throw DbError(QStringLiteral("The row set is closed"));
    const QByteArray wanted = name.toUtf8();
    const int count = sqlite3_column_count(m_statement);
    for (int i = 0; i < count; ++i) {
        if (sqlite3_stricmp(sqlite3_column_name(m_statement, i), wanted.constData()) == 0)
            return i;
    }
    throw DbError(QStringLiteral("No column named ") + name);
}

const char* RowSet::utf8(int column, int& length) const {
    if (m_atEnd)
        throw DbError(QStringLiteral("No current row"));
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(m_statement, column));
    length = sqlite3_column_bytes(m_statement, column);
    if (!text) {
        length = 0;
        return "";
    }
    return text;
}

QString RowSet::text(int column) const {
    int length = 0;
    const char* bytes = utf8(column, length);
    return QString::fromUtf8(bytes, length);
}

qint64 RowSet::integer(int column) const {
    if (m_atEnd)
        throw DbError(QStringLiteral("No current row"));
    return sqlite3_column_int64(m_statement, column);
}

bool RowSet::isNull(int column) const {
    if (m_atEnd)
        throw DbError(QStringLiteral("No current row"));
    return sqlite3_column_type(m_statement, column) == SQLITE_NULL;
}

Statement::Statement(Statement&& other) noexcept
    : m_db(other.m_db), m_statement(other.m_statement) {
    other.m_statement = nullptr;
}

Statement::~Statement() {
    if (m_statement)
        sqlite3_finalize(m_statement);
}

void Statement::bind(int index, QByteArrayView utf8) {
    // An empty view may have no data: bound as empty text, never as NULL.
    const char* bytes = utf8.data() ? utf8.data() : "";
    if (sqlite3_bind_text64(m_statement, index, bytes, sqlite3_uint64(utf8.size()),
                            SQLITE_TRANSIENT, SQLITE_UTF8) != SQLITE_OK)
        fail(m_db, QCoreApplication::translate("DbError", "Statement failed"));
}

void Statement::bindUnchanged(int index, QByteArrayView utf8) {
    const char* bytes = utf8.data() ? utf8.data() : "";
    if (sqlite3_bind_text64(m_statement, index, bytes, sqlite3_uint64(utf8.size()), SQLITE_STATIC,
                            SQLITE_UTF8) != SQLITE_OK)
        fail(m_db, QCoreApplication::translate("DbError", "Statement failed"));
}

void Statement::bind(int index, qint64 value) {
    if (sqlite3_bind_int64(m_statement, index, value) != SQLITE_OK)
        fail(m_db, QCoreApplication::translate("DbError", "Statement failed"));
}

qint64 Statement::execute() {
    int rc;
    while ((rc = sqlite3_step(m_statement)) == SQLITE_ROW) {
    }
    sqlite3_reset(m_statement);
    if (rc != SQLITE_DONE)
        failStep(rc, QString::fromUtf8(sqlite3_errmsg(m_db)));
    return sqlite3_changes64(m_db);
}

bool Statement::returnsRow() {
    const int rc = sqlite3_step(m_statement);
    sqlite3_reset(m_statement);
    if (rc != SQLITE_ROW && rc != SQLITE_DONE)
        failStep(rc, QString::fromUtf8(sqlite3_errmsg(m_db)));
    return rc == SQLITE_ROW;
}

RowSet Statement::rows() {
    return RowSet(m_db, m_statement, false);
}

Connection::Connection(const QString& connectionString) {
    const QString path = databasePathOf(connectionString);
    // A missing file is a failure of the operation: only start-up creates one.
    if (!QFile::exists(path))
        throw DbError(QCoreApplication::translate("DbError", "The database file does not exist: %1")
                          .arg(path));
    requireCheckedFile(path);
    const int rc = sqlite3_open_v2(QFile::encodeName(path).constData(), &m_db,
                                   SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr);
    if (rc != SQLITE_OK) {
        const QString message = m_db ? QString::fromUtf8(sqlite3_errmsg(m_db))
                                     : QCoreApplication::translate("DbError", "out of memory");
        sqlite3_close_v2(m_db);
        m_db = nullptr;
        throw DbError(
            QCoreApplication::translate("DbError", "Cannot open %1: %2").arg(path, message));
    }
    sqlite3_extended_result_codes(m_db, 1);
    sqlite3_busy_timeout(m_db, busyTimeoutMs);
    registerUnicodeCase(m_db);
}

Connection::~Connection() {
    close();
}

void Connection::close() {
    if (m_db) {
        sqlite3_close_v2(m_db);
        m_db = nullptr;
    }
}

sqlite3_stmt* Connection::prepare(const QString& statement) {
    if (!m_db)
        throw DbError(QCoreApplication::translate("DbError", "The connection is closed"));
    if (const auto& observer = statementObserver())
        observer(statement);
    const QByteArray sql = statement.toUtf8();
    sqlite3_stmt* prepared = nullptr;
    const char* tail = nullptr;
    if (sqlite3_prepare_v2(m_db, sql.constData(), int(sql.size()), &prepared, &tail) != SQLITE_OK)
        fail(m_db, QCoreApplication::translate("DbError", "Statement failed"));
    // One statement per call: anything after it other than blanks is refused,
    // so no text can ever smuggle a second statement in.
    while (tail && *tail && (*tail == ' ' || *tail == '\t' || *tail == '\r' || *tail == '\n'))
        ++tail;
    if (!prepared || (tail && *tail)) {
        sqlite3_finalize(prepared);
        throw DbError(QStringLiteral("Not exactly one statement"));
    }
    return prepared;
}

qint64 Connection::execute(const QString& statement) {
    sqlite3_stmt* prepared = prepare(statement);
    int rc;
    while ((rc = sqlite3_step(prepared)) == SQLITE_ROW) {
    }
    if (rc != SQLITE_DONE) {
        const QString message = QString::fromUtf8(sqlite3_errmsg(m_db));
        sqlite3_finalize(prepared);
        failStep(rc, message);
    }
    sqlite3_finalize(prepared);
    return sqlite3_changes64(m_db);
}

RowSet Connection::query(const QString& statement) {
    return RowSet(m_db, prepare(statement));
}

Statement Connection::prepared(const QString& statement) {
    return Statement(m_db, prepare(statement));
}

qint64 Connection::lastInsertId() const {
    return m_db ? sqlite3_last_insert_rowid(m_db) : 0;
}

void Connection::inTransaction(const std::function<void()>& work) {
    execute(QStringLiteral("BEGIN IMMEDIATE"));
    try {
        work();
        execute(QStringLiteral("COMMIT"));
    } catch (...) {
        sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
        throw;
    }
}

bool Connection::hasTable(const QString& name) {
    if (!m_db)
        throw DbError(QCoreApplication::translate("DbError", "The connection is closed"));
    return sqlite3_table_column_metadata(m_db, "main", name.toUtf8().constData(), nullptr, nullptr,
                                         nullptr, nullptr, nullptr, nullptr) == SQLITE_OK;
}

void Connection::setStatementObserver(StatementObserver observer) {
    statementObserver() = std::move(observer);
}
