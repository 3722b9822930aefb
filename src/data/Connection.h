#pragma once

#include <QString>

#include <functional>

struct sqlite3;
struct sqlite3_stmt;

// The forward-only row set of one query: test for the end, read a field of
// the current row by column name (ignoring case), move to the next row.
// A NULL read as text is empty text.
class RowSet {
public:
    RowSet(RowSet&& other) noexcept;
    RowSet& operator=(RowSet&&) = delete;
    RowSet(const RowSet&) = delete;
    ~RowSet();

    bool atEnd() const { return m_atEnd; }
    void moveNext();
    void close();

    // The position of a column, for loops that read many rows; throws
    // DbError when the result has no such column.
    int column(const QString& name) const;

    QString text(int column) const;
    QString text(const QString& name) const { return text(column(name)); }
    qint64 integer(int column) const;
    qint64 integer(const QString& name) const { return integer(column(name)); }
    bool isNull(int column) const;

    // The raw UTF-8 bytes of a text field, valid until the next moveNext().
    const char* utf8(int column, int& length) const;

private:
    friend class Connection;
    RowSet(sqlite3* db, sqlite3_stmt* statement);
    void step();

    sqlite3* m_db;
    sqlite3_stmt* m_statement;
    bool m_atEnd = true;
};

// One connection to the contact database, opened from a connection string and
// closed when it goes out of scope. It opens an existing file only and never
// creates one. Every failure throws DbError.
class Connection {
public:
    explicit Connection(const QString& connectionString);
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    // Runs one change statement; returns the number of rows it changed.
    qint64 execute(const QString& statement);
    // Runs one query; the rows are read forward from the row set.
    RowSet query(const QString& statement);

    // The id of the row the last insert on this connection added.
    qint64 lastInsertId() const;

    // Runs `work` inside one transaction: committed when it returns, rolled
    // back when it throws.
    void inTransaction(const std::function<void()>& work);

    void close();

    // True when the database holds a table of that name. Asked of SQLite
    // directly, without a statement, so statement logs do not change.
    bool hasTable(const QString& name);

    // Every statement text handed to execute() or query(), before it runs.
    // Tests use it to check statement texts; nothing else does.
    using StatementObserver = std::function<void(const QString&)>;
    static void setStatementObserver(StatementObserver observer);

    // How long a statement waits for a lock held by another program.
    static constexpr int busyTimeoutMs = 3000;

private:
    sqlite3_stmt* prepare(const QString& statement);

    sqlite3* m_db = nullptr;
};
