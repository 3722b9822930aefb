#include "support/ContactFolder.h"

#include "data/Connection.h"
#include "data/ConnectionString.h"
#include "data/Schema.h"
#include "data/SqlQuote.h"

#include <sqlite3.h>

ContactFolder::ContactFolder() {
    createContactDatabase(databasePath());
}

QString ContactFolder::databasePath() const {
    return databasePathIn(m_dir.path());
}

QString ContactFolder::connectionString() const {
    return connectionStringFor(m_dir.path());
}

void ContactFolder::execute(const QString& statement) {
    Connection(connectionString()).execute(statement);
}

void ContactFolder::useNullableContactWith(const QString& column, const QString& value) {
    execute(QStringLiteral("drop table tblContactDetails"));
    execute(QStringLiteral(
        "create table tblContactDetails (pkContactDetailsId integer primary key autoincrement, "
        "FirstName text, MiddleName text, LastName text, Address text, City text, State text, "
        "ZipCode text, WorkPhoneNumber text, HomePhoneNumber text, CellPhoneNumber text, "
        "EmailAddress text, ParentOrGuardianName text, Comments text, fkContactType integer, "
        "fkContactBookId integer)"));
    execute(QStringLiteral("insert into tblContactDetails (%1, fkContactType, fkContactBookId) "
                           "values (%2, 1, 1)")
                .arg(column, sqlText(value)));
}

qint64 ContactFolder::addContact(const TestContact& c) {
    const QStringList texts{c.firstName, c.middleName, c.lastName,  c.address,   c.city,
                            c.state,     c.zipCode,    c.workPhone, c.homePhone, c.cellPhone,
                            c.email,     c.guardian,   c.comments};
    QStringList values;
    for (const QString& text : texts)
        values << sqlText(text);
    execute(QStringLiteral("insert into tblContactDetails (FirstName, MiddleName, LastName, "
                           "Address, City, State, ZipCode, WorkPhoneNumber, HomePhoneNumber, "
                           "CellPhoneNumber, EmailAddress, ParentOrGuardianName, Comments, "
                           "fkContactType, fkContactBookId) values(%1,%2,%3)")
                .arg(values.join(QLatin1Char(',')))
                .arg(c.type)
                .arg(c.bookId));
    return rows(QStringLiteral("select max(pkContactDetailsId) from tblContactDetails"))
        .first()
        .toLongLong();
}

qint64 ContactFolder::addBook(const QString& name) {
    execute(QStringLiteral("insert into tblContactBook(ContactBookName) values(%1)")
                .arg(sqlText(name)));
    return rows(QStringLiteral("select pkContactBookId from tblContactBook where "
                               "ContactBookName = %1")
                    .arg(sqlText(name)))
        .first()
        .toLongLong();
}

QStringList ContactFolder::rows(const QString& statement) {
    // Read with the plain C API, independent of the program's own data layer.
    sqlite3* db = nullptr;
    sqlite3_open_v2(databasePath().toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_stmt* prepared = nullptr;
    QStringList result;
    if (sqlite3_prepare_v2(db, statement.toUtf8().constData(), -1, &prepared, nullptr) ==
        SQLITE_OK) {
        while (sqlite3_step(prepared) == SQLITE_ROW) {
            QStringList fields;
            for (int i = 0; i < sqlite3_column_count(prepared); ++i) {
                const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(prepared, i));
                fields << (text ? QString::fromUtf8(text, sqlite3_column_bytes(prepared, i))
                                : QStringLiteral("<NULL>"));
            }
            result << fields.join(QLatin1Char('|'));
        }
    } else {
        result << QStringLiteral("<ERROR> ") + QString::fromUtf8(sqlite3_errmsg(db));
    }
    sqlite3_finalize(prepared);
    sqlite3_close(db);
    return result;
}

std::map<QString, QString> ContactFolder::contactRow(qint64 id) {
    std::map<QString, QString> row;
    sqlite3* db = nullptr;
    sqlite3_open_v2(databasePath().toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_stmt* statement = nullptr;
    sqlite3_prepare_v2(db, "select * from tblContactDetails where pkContactDetailsId = ?", -1,
                       &statement, nullptr);
    sqlite3_bind_int64(statement, 1, id);
    if (sqlite3_step(statement) == SQLITE_ROW) {
        for (int i = 0; i < sqlite3_column_count(statement); ++i) {
            const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement, i));
            row[QString::fromUtf8(sqlite3_column_name(statement, i))] =
                text ? QString::fromUtf8(text, sqlite3_column_bytes(statement, i))
                     : QStringLiteral("<NULL>");
        }
    }
    sqlite3_finalize(statement);
    sqlite3_close(db);
    return row;
}

int ContactFolder::count(const QString& table) {
    return rows(QStringLiteral("select count(*) from ") + table).first().toInt();
}
