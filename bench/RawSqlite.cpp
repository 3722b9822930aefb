#include "RawSqlite.h"

#include <sqlite3.h>

#include <stdexcept>

RawSqlite::RawSqlite(const QString& databasePath) {
    if (sqlite3_open_v2(databasePath.toUtf8().constData(), &m_db, SQLITE_OPEN_READWRITE, nullptr) !=
        SQLITE_OK)
        throw std::runtime_error("cannot open the book");
}

RawSqlite::~RawSqlite() {
    sqlite3_close(m_db);
}

long long RawSqlite::readAll(const QString& statement, int columns) {
    sqlite3_stmt* prepared = nullptr;
    const QByteArray sql = statement.toUtf8();
    if (sqlite3_prepare_v2(m_db, sql.constData(), int(sql.size()), &prepared, nullptr) != SQLITE_OK)
        throw std::runtime_error(sqlite3_errmsg(m_db));
    long long rows = 0;
    volatile size_t bytes = 0;
    while (sqlite3_step(prepared) == SQLITE_ROW) {
        for (int c = 0; c < columns; ++c) {
            sqlite3_column_text(prepared, c);
            bytes = bytes + size_t(sqlite3_column_bytes(prepared, c));
        }
        ++rows;
    }
    sqlite3_finalize(prepared);
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
