#include "support/ContactFolder.h"

#include "data/Schema.h"
#include "data/SqlQuote.h"

#include <sqlite3.h>

ContactFolder::ContactFolder() {
    createContactDatabase(databasePath());
}

qint64 ContactFolder::addContact(const TestContact& c) {
    const QStringList texts{c.firstName, c.middleName, c.lastName,  c.address,   c.city,
                            c.state,     c.zipCode,    c.workPhone, c.homePhone, c.cellPhone,
                            c.email,     c.guardian,   c.comments};
    QStringList values;
    for (const QString& text : texts)
        values << sqlText(text);
    execute(u"insert into tblContactDetails (FirstName, MiddleName, LastName, "
            "Address, City, State, ZipCode, WorkPhoneNumber, HomePhoneNumber, "
            "CellPhoneNumber, EmailAddress, ParentOrGuardianName, Comments, "
            "fkContactType, fkContactBookId) values(%1,%2,%3)"_s.arg(values.join(u','))
                .arg(c.type)
                .arg(c.bookId));
    return lastId();
}

qint64 ContactFolder::addBook(const QString& name) {
    execute(u"insert into tblContactBook(ContactBookName) values(%1)"_s.arg(sqlText(name)));
    return rows(u"select max(pkContactBookId) from tblContactBook"_s)[0].toLongLong();
}

QList<QStringList> queryRows(const QString& databasePath, const QString& statement,
                             QStringList* columnNames) {
    sqlite3* db = nullptr;
    sqlite3_open_v2(databasePath.toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_stmt* prepared = nullptr;
    QList<QStringList> result;
    if (sqlite3_prepare_v2(db, statement.toUtf8().constData(), -1, &prepared, nullptr) != SQLITE_OK)
        result << QStringList{u"<ERROR> "_s + QString::fromUtf8(sqlite3_errmsg(db))};
    const int columns = sqlite3_column_count(prepared);
    for (int i = 0; columnNames && i < columns; ++i)
        *columnNames << QString::fromUtf8(sqlite3_column_name(prepared, i));
    while (prepared && sqlite3_step(prepared) == SQLITE_ROW) {
        QStringList fields;
        for (int i = 0; i < columns; ++i) {
            const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(prepared, i));
            fields << (text ? QString::fromUtf8(text, sqlite3_column_bytes(prepared, i))
                            : u"<NULL>"_s);
        }
        result << fields;
    }
    sqlite3_finalize(prepared);
    sqlite3_close(db);
    return result;
}

QStringList ContactFolder::rows(const QString& statement) {
    QStringList joined;
    for (const QStringList& fields : queryRows(databasePath(), statement))
        joined << fields.join(u'|');
    return joined;
}

std::map<QString, QString> ContactFolder::contactRow(qint64 id) {
    QStringList names;
    const QList<QStringList> found = queryRows(
        databasePath(), u"select * from tblContactDetails where pkContactDetailsId = %1"_s.arg(id),
        &names);
    std::map<QString, QString> row;
    for (int i = 0; !found.isEmpty() && i < names.size(); ++i)
        row[names[i]] = found.first().value(i);
    return row;
}
