#include "RawSqlite.h"

#include "data/Connection.h"
#include "data/UnicodeCase.h"

#include <QFile>
#include <sqlite3.h>

#include <algorithm>
#include <cstdio>
#include <stdexcept>

#include <fcntl.h>
#include <unistd.h>

RawSqlite::RawSqlite(const QString& databasePath) {
    if (sqlite3_open_v2(QFile::encodeName(databasePath).constData(), &m_db,
                        SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr) != SQLITE_OK)
        throw std::runtime_error("cannot open the book");
    sqlite3_extended_result_codes(m_db, 1);
    sqlite3_busy_timeout(m_db, Connection::busyTimeoutMs);
    registerUnicodeCase(m_db);
}

RawSqlite::~RawSqlite() {
    sqlite3_close_v2(m_db);
}

long long RawSqlite::readAll(const QString& statement, const std::vector<Column>& columns) {
    sqlite3_stmt* prepared = nullptr;
    const QByteArray sql = statement.toUtf8();
    if (sqlite3_prepare_v2(m_db, sql.constData(), int(sql.size()), &prepared, nullptr) != SQLITE_OK)
        throw std::runtime_error(sqlite3_errmsg(m_db));
    std::vector<int> at;
    for (const Column& column : columns) {
        int found = -1;
        for (int i = 0; i < sqlite3_column_count(prepared) && found < 0; ++i)
            if (sqlite3_stricmp(sqlite3_column_name(prepared, i), column.name) == 0)
                found = i;
        if (found < 0)
            throw std::runtime_error(std::string("no column ") + column.name);
        at.push_back(found);
    }
    long long rows = 0;
    volatile size_t sink = 0;
    while (sqlite3_step(prepared) == SQLITE_ROW) {
        for (size_t c = 0; c < at.size(); ++c) {
            if (columns[c].integer) {
                sink = sink + size_t(sqlite3_column_int64(prepared, at[c]));
            } else {
                const unsigned char* text = sqlite3_column_text(prepared, at[c]);
                sink = sink + size_t(sqlite3_column_bytes(prepared, at[c])) + (text ? *text : 0);
            }
        }
        ++rows;
    }
    sqlite3_finalize(prepared);
    return rows;
}

long long RawSqlite::readAllIntoFile(const QString& statement, const std::vector<Column>& columns,
                                     const QByteArray& bytes, const QString& path) {
    const long long rows = readAll(statement, columns);
    const QByteArray target = QFile::encodeName(path);
    const QByteArray temporary = target + ".yardstick";
    const int fd = ::open(temporary.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0)
        throw std::runtime_error("cannot create the yardstick's file");
    constexpr qsizetype chunk = 1 << 20;
    for (qsizetype at = 0; at < bytes.size(); at += chunk) {
        const size_t size = size_t(std::min(chunk, bytes.size() - at));
        if (::write(fd, bytes.constData() + at, size) != ssize_t(size)) {
            ::close(fd);
            throw std::runtime_error("cannot write the yardstick's file");
        }
    }
    // The program's save file syncs its data the same way before renaming.
    const bool synced = ::fdatasync(fd) == 0;
    ::close(fd);
    if (!synced || std::rename(temporary.constData(), target.constData()) != 0)
        throw std::runtime_error("cannot complete the yardstick's file");
    return rows;
}

void RawSqlite::execute(const QString& statement) {
    if (sqlite3_exec(m_db, statement.toUtf8().constData(), nullptr, nullptr, nullptr) != SQLITE_OK)
        throw std::runtime_error(sqlite3_errmsg(m_db));
}

void RawSqlite::runInOneTransaction(const QStringList& statements) {
    execute(QStringLiteral("BEGIN IMMEDIATE"));
    for (const QString& statement : statements) {
        sqlite3_stmt* prepared = nullptr;
        const QByteArray sql = statement.toUtf8();
        if (sqlite3_prepare_v2(m_db, sql.constData(), int(sql.size()), &prepared, nullptr) !=
                SQLITE_OK ||
            sqlite3_step(prepared) != SQLITE_DONE) {
            sqlite3_finalize(prepared);
            throw std::runtime_error(sqlite3_errmsg(m_db));
        }
        sqlite3_finalize(prepared);
    }
    execute(QStringLiteral("COMMIT"));
}

namespace {

sqlite3_stmt* prepare(sqlite3* db, const char* sql) {
    sqlite3_stmt* prepared = nullptr;
    if (sqlite3_prepare_v2(db, sql, -1, &prepared, nullptr) != SQLITE_OK)
        throw std::runtime_error(sqlite3_errmsg(db));
    return prepared;
}

void bindText(sqlite3_stmt* statement, int index, const QByteArray& text) {
    sqlite3_bind_text64(statement, index, text.constData(), sqlite3_uint64(text.size()),
                        SQLITE_STATIC, SQLITE_UTF8);
}

void stepAndReset(sqlite3* db, sqlite3_stmt* statement) {
    if (sqlite3_step(statement) != SQLITE_DONE)
        throw std::runtime_error(sqlite3_errmsg(db));
    sqlite3_reset(statement);
}

} // namespace

void RawSqlite::insertPrepared(const std::vector<ContactRow>& rows, long long bookId) {
    execute(QStringLiteral("BEGIN IMMEDIATE"));
    sqlite3_stmt* contact = prepare(
        m_db, "insert into tblContactDetails (FirstName, MiddleName, LastName, Address, city, "
              "State, ZipCode, WorkPhoneNumber, HomePhoneNumber, CellPhoneNumber, EmailAddress, "
              "ParentOrGuardianName, Comments, fkContactType, fkContactBookId) values (?1, ?2, "
              "?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11, ?12, ?13, ?14, ?15)");
    sqlite3_stmt* card = prepare(m_db, "insert or replace into tblContactCard (fkContactDetailsId, "
                                       "Uid, Card, ColumnsDigest) values (?1, ?2, ?3, '')");
    try {
        for (const ContactRow& row : rows) {
            for (int i = 0; i < int(row.texts.size()); ++i)
                bindText(contact, i + 1, row.texts[size_t(i)]);
            sqlite3_bind_int64(contact, 14, row.type);
            sqlite3_bind_int64(contact, 15, bookId);
            stepAndReset(m_db, contact);
            sqlite3_bind_int64(card, 1, sqlite3_last_insert_rowid(m_db));
            bindText(card, 2, row.uid);
            bindText(card, 3, row.card);
            stepAndReset(m_db, card);
        }
    } catch (...) {
        sqlite3_finalize(contact);
        sqlite3_finalize(card);
        throw;
    }
    sqlite3_finalize(contact);
    sqlite3_finalize(card);
    execute(QStringLiteral("COMMIT"));
}

long long RawSqlite::integer(const QString& statement) {
    const QByteArray sql = statement.toUtf8();
    sqlite3_stmt* prepared = prepare(m_db, sql.constData());
    const long long value =
        sqlite3_step(prepared) == SQLITE_ROW ? sqlite3_column_int64(prepared, 0) : 0;
    sqlite3_finalize(prepared);
    return value;
}
