// The details tabs: one contact in full, shown when its entry is clicked and
// after every reload that lists something.
#include "app/frmContactMgmt.h"

#include "contacts/ContactDetailsTabs.h"
#include "data/Connection.h"
#include "data/DbError.h"
#include "data/SqlQuote.h"
#include "platform/MessageBoxes.h"

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>

namespace {

QString addressBlock(const RowSet& row) {
    return row.text(QStringLiteral("Address")) + QStringLiteral("\r\n") +
           row.text(QStringLiteral("City")) + QStringLiteral("\r\n") +
           row.text(QStringLiteral("State")) + QStringLiteral("\r\n") +
           row.text(QStringLiteral("ZipCode"));
}

QString contactBlock(const RowSet& row) {
    return QStringLiteral("Work  ") + row.text(QStringLiteral("WorkPhoneNumber")) +
           QStringLiteral("\r\nHome  ") + row.text(QStringLiteral("HomePhoneNumber")) +
           QStringLiteral("\r\nCell  ") + row.text(QStringLiteral("CellPhoneNumber")) +
           QStringLiteral("\r\nEmail ") + row.text(QStringLiteral("EmailAddress"));
}

} // namespace

void frmContactMgmt::showContactDetails(const QString& contactId) {
    try {
        Connection connection(ConnectionString);
        RowSet row =
            connection.query(QStringLiteral("select * from tblContactDetails ") +
                             QStringLiteral("where pkContactDetailsId = ") + sqlId(contactId));
        if (row.atEnd()) {
            platform::showMessage(QStringLiteral("internal error"));
            return;
        }
        ContactDetailsTabs::setShownText(SSTab1->txtFName, row.text(QStringLiteral("FirstName")));
        ContactDetailsTabs::setShownText(SSTab1->txtMidName,
                                         row.text(QStringLiteral("MiddleName")));
        ContactDetailsTabs::setShownText(SSTab1->txtLName, row.text(QStringLiteral("LastName")));
        ContactDetailsTabs::setShownText(SSTab1->lblAddress, addressBlock(row));
        ContactDetailsTabs::setShownText(SSTab1->lblContactInfo, contactBlock(row));
        ContactDetailsTabs::setShownText(SSTab1->txtGName,
                                         row.text(QStringLiteral("ParentOrGuardianName")));
        ContactDetailsTabs::setShownText(SSTab1->lblComments, row.text(QStringLiteral("Comments")));
    } catch (const DbError&) {
        platform::showMessage(QStringLiteral("There was an error retrieving data"));
    }
}
