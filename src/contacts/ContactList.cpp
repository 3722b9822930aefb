// The list reload and the last-name search of the main window.
#include "app/frmContactMgmt.h"

#include "contacts/ContactListModel.h"
#include "contacts/ContactListView.h"
#include "data/Connection.h"
#include "data/DbError.h"
#include "data/SqlQuote.h"
#include "platform/MessageBoxes.h"

#include <QGroupBox>
#include <QLineEdit>

namespace {

// The type filter is a piece of the statement, not a value: it comes only
// from the program's own constants and the filter strip, never from the user.
QString listStatement(const QString& typeFilter, const QString& lastNamePattern,
                      const QString& bookName) {
    return QStringLiteral("Select * from tblContactDetails ") +
           QStringLiteral("where fkContactType in (select pkContactTypeId from tblContactType "
                          "where ContactTypeDesc like '") +
           typeFilter + QStringLiteral("') ") + QStringLiteral("AND LastName like '") +
           sqlTextBody(lastNamePattern) + QStringLiteral("%' ") +
           QStringLiteral("AND fkContactBookId = (select pkContactBookId from tblContactBook "
                          "where ContactBookName = '") +
           sqlTextBody(bookName) + QStringLiteral("')");
}

} // namespace

void frmContactMgmt::loadContactList(const QString& typeFilter, const QString& lastNamePattern) {
    ContactListModel::Entries entries;
    entries.reserve(size_t(lvContacts->entryCount()));
    bool statementRan = false;
    try {
        Connection connection(ConnectionString);
        RowSet rows =
            connection.query(listStatement(typeFilter, lastNamePattern, CurrentContactBook));
        statementRan = true;
        const int id = rows.column(QStringLiteral("pkContactDetailsId"));
        const int firstName = rows.column(QStringLiteral("FirstName"));
        const int lastName = rows.column(QStringLiteral("LastName"));
        for (; !rows.atEnd(); rows.moveNext()) {
            int firstLength = 0;
            int lastLength = 0;
            const char* first = rows.utf8(firstName, firstLength);
            const char* last = rows.utf8(lastName, lastLength);
            entries.add(rows.integer(id), first, firstLength, last, lastLength);
        }
    } catch (const DbError&) {
        // A failed statement keeps the old entries; a failure while reading
        // keeps the entries read so far.
        if (statementRan)
            lvContacts->contacts()->replaceEntries(std::move(entries));
        platform::showMessage(QStringLiteral("There was an error retrieving data"));
        return;
    }
    lvContacts->contacts()->replaceEntries(std::move(entries));
    const int count = lvContacts->entryCount();
    if (count > 0)
        showContactDetails(QString::number(lvContacts->contacts()->id(count - 1)));
}

void frmContactMgmt::cmdFind_Click() {
    if (!isStorableText(txtSearchText->text())) {
        platform::showMessage(QStringLiteral("The search text holds a character that cannot be "
                                             "searched for (a NUL character)."),
                              platform::Icon::Exclamation);
        return;
    }
    loadContactList(QStringLiteral("Personal' or ContactTypeDesc like 'Business"),
                    QStringLiteral("%") + txtSearchText->text());
    Frame7->setTitle(QStringLiteral("Searching ALL Contacts"));
}
