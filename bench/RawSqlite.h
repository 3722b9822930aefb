#pragma once

#include <QString>
#include <QStringList>

// The yardstick: the same statement on the same file through the SQLite C
// API alone, reading the same columns of every row as text.
class RawSqlite {
public:
    explicit RawSqlite(const QString& databasePath);
    ~RawSqlite();
    // Runs the statement, reads `columns` text columns of each row; returns the row count.
    long long readAll(const QString& statement, int columns);
    // Runs change statements one after the other inside one transaction.
    void runInOneTransaction(const QStringList& statements);
    void execute(const QString& statement);

private:
    struct sqlite3* m_db = nullptr;
};
