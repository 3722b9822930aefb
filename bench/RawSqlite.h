#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <vector>

// The yardstick: the same statement on the same file through the SQLite C
// API alone. The file is opened as the program's connection opens it: the
// same open flags, extended result codes, the same busy timeout and the same
// like() function (the program's, which ignores case for all of Unicode, so
// that both sides compute the same result). The program sets no pragmas.
class RawSqlite {
public:
    explicit RawSqlite(const QString& databasePath);
    ~RawSqlite();

    // A column the program reads, by name, and how it reads it.
    struct Column {
        const char* name;
        bool integer = false; // else UTF-8 text, pointer and length
    };
    // Runs the statement and reads the named columns of every row the way
    // the program reads them; returns the row count.
    long long readAll(const QString& statement, const std::vector<Column>& columns);
    // Reads as readAll() does, then writes `bytes` to a temporary file beside
    // `path` a megabyte per write call, syncs it to the disk and renames it
    // over `path`: a file export without the formatting.
    long long readAllIntoFile(const QString& statement, const std::vector<Column>& columns,
                              const QByteArray& bytes, const QString& path);
    // Runs change statements one after the other inside one transaction.
    void runInOneTransaction(const QStringList& statements);
    // One contact as an import writes it: the thirteen text columns as
    // UTF-8, its type, and the card kept beside it with its UID.
    struct ContactRow {
        std::vector<QByteArray> texts;
        int type = 1;
        QByteArray uid;
        QByteArray card;
    };
    // Inserts the rows into the book, each contact and its card, through one
    // prepared statement per table with bound values, in one transaction.
    void insertPrepared(const std::vector<ContactRow>& rows, long long bookId);
    // The first column of the first row of a query.
    long long integer(const QString& statement);
    void execute(const QString& statement);

private:
    struct sqlite3* m_db = nullptr;
};
