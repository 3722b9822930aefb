// The details tabs: one contact in full, shown when its entry is clicked and
// after every reload that lists something.
#include "app/frmContactMgmt.h"

#include "contacts/ContactDetailsTabs.h"
#include "contacts/DisplayText.h"
#include "data/Connection.h"
#include "data/DbError.h"
#include "data/SqlQuote.h"
#include "platform/MessageBoxes.h"

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>

namespace {

// Each value is shortened on its own, so that a huge address still leaves
// the city, state and zip code lines in view.
QString shownField(const RowSet& row, const QString& column) {
    return shortenedForDisplay(row.text(column), ContactDetailsTabs::shownLength);
}

QString addressBlock(const RowSet& row) {
    return shownField(row, QStringLiteral("Address")) + QStringLiteral("\r\n") +
           shownField(row, QStringLiteral("City")) + QStringLiteral("\r\n") +
           shownField(row, QStringLiteral("State")) + QStringLiteral("\r\n") +
           shownField(row, QStringLiteral("ZipCode"));
}

QString contactBlock(const RowSet& row) {
    return QStringLiteral("Work  ") + shownField(row, QStringLiteral("WorkPhoneNumber")) +
           QStringLiteral("\r\nHome  ") + shownField(row, QStringLiteral("HomePhoneNumber")) +
           QStringLiteral("\r\nCell  ") + shownField(row, QStringLiteral("CellPhoneNumber")) +
           QStringLiteral("\r\nEmail ") + shownField(row, QStringLiteral("EmailAddress"));
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
        ContactDetailsTabs::setShownText(SSTab1->txtFName,
                                         shownField(row, QStringLiteral("FirstName")));
        ContactDetailsTabs::setShownText(SSTab1->txtMidName,
                                         shownField(row, QStringLiteral("MiddleName")));
        ContactDetailsTabs::setShownText(SSTab1->txtLName,
                                         shownField(row, QStringLiteral("LastName")));
        ContactDetailsTabs::setShownText(SSTab1->lblAddress, addressBlock(row));
        ContactDetailsTabs::setShownText(SSTab1->lblContactInfo, contactBlock(row));
        ContactDetailsTabs::setShownText(SSTab1->txtGName,
                                         shownField(row, QStringLiteral("ParentOrGuardianName")));
        ContactDetailsTabs::setShownText(SSTab1->lblComments,
                                         shownField(row, QStringLiteral("Comments")));
    } catch (const DbError&) {
        platform::showMessage(QStringLiteral("There was an error retrieving data"));
    }
}
