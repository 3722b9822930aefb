#pragma once

#include "data/Connection.h"
#include "data/ConnectionString.h"
#include "support/CsvReading.h"

#include <QDir>
#include <QFile>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>

#include <map>

using namespace Qt::StringLiterals;

// A contact to put straight into the database, bypassing the program.
struct TestContact {
    QString firstName, middleName, lastName;
    QString address, city, state, zipCode;
    QString workPhone, homePhone, cellPhone, email, guardian, comments;
    int type = 1;      // 1 Personal, 2 Business
    qint64 bookId = 1; // 1 is "Default"
};

// A query's rows read with the plain C API, not the program's data layer: NULL
// reads "<NULL>"; a failed query gives one row "<ERROR> message".
QList<QStringList> queryRows(const QString& databasePath, const QString& statement,
                             QStringList* columnNames = nullptr);

// A fresh program folder with a new contacts.mdb, and plain reads and
// writes on it for arranging and checking what is stored.
class ContactFolder {
public:
    ContactFolder();
    QString path() const { return m_dir.path(); }
    QString databasePath() const { return databasePathIn(path()); }
    QString connectionString() const { return connectionStringFor(path()); }
    QString file(const QString& name) const { return path() + u'/' + name; }

    qint64 addContact(const TestContact& contact);
    qint64 addBook(const QString& name);
    void execute(const QString& statement) { Connection(connectionString()).execute(statement); }

    // Rows of a query, each row its fields joined with "|".
    QStringList rows(const QString& statement);
    // One row of tblContactDetails by id, all columns by name; empty if none.
    std::map<QString, QString> contactRow(qint64 id);
    int count(const QString& table) { return rows(u"select count(*) from "_s + table)[0].toInt(); }
    qint64 lastId() { // the largest contact id
        return rows(u"select max(pkContactDetailsId) from tblContactDetails"_s)[0].toLongLong();
    }

private:
    QTemporaryDir m_dir;
};
