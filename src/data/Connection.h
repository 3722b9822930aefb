#pragma once

#include <QByteArrayView>
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
    friend class Statement;
    // `owned`: finalized on close; else a Statement's, only reset.
    RowSet(sqlite3* db, sqlite3_stmt* statement, bool owned = true);
    void step();

    sqlite3* m_db;
    sqlite3_stmt* m_statement;
    bool m_atEnd = true;
    bool m_owned = true;
};

// A statement prepared once and run many times with bound values (the many
// rows of an import). Values are bound by position, from 1.
class Statement {
public:
    Statement(Statement&& other) noexcept;
    Statement& operator=(Statement&&) = delete;
    Statement(const Statement&) = delete;
    ~Statement();

    void bind(int index, QByteArrayView utf8);
    void bind(int index, const QString& text) { bind(index, QByteArrayView(text.toUtf8())); }
    void bind(int index, qint64 value);
    // Binds the bytes without copying them: they must stay as they are until
    // the next execute(), returnsRow() or rows() has run.
    void bindUnchanged(int index, QByteArrayView utf8);
    // Runs the statement and makes it ready for the next values; the number
    // of rows it changed.
    qint64 execute();
    // Runs a query and makes it ready for the next values; true when it
    // gave a row.
    bool returnsRow();
    // Runs a query and gives its rows; the statement is ready for the next
    // values once the row set is closed or gone. One row set at a time.
    RowSet rows();

private:
    friend class Connection;
    Statement(sqlite3* db, sqlite3_stmt* statement) : m_db(db), m_statement(statement) {}
    sqlite3* m_db;
    sqlite3_stmt* m_statement;
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
    // Prepares one statement with ?N placeholders, for bound values.
    Statement prepared(const QString& statement);

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
