// Calling the selected contact at one of its numbers.
#include "app/frmContactMgmt.h"

#include "contacts/ContactListView.h"
#include "data/Connection.h"
#include "data/SqlQuote.h"
#include "platform/MessageBoxes.h"
#include "sharing/tapiCode.h"

#include <QCoreApplication>
#include <QCursor>
#include <QFileInfo>
#include <QMenu>

namespace {

// One column of one contact, told apart from a missing record and a failure,
// so that a marker text can never pass for a value.
struct FieldLookup {
    enum Outcome { Found, NotFound, Failed };
    Outcome outcome = Failed;
    QString value;
};

// `column` is one of the program's own column names, never user input; the
// id goes through sqlId, which refuses anything but digits.
FieldLookup lookUpField(const QString& connectionString, const QString& id, const QString& column) {
    try {
        Connection connection(connectionString);
        RowSet rows = connection.query(QStringLiteral("Select ") + column +
                                       QStringLiteral(" from tblContactDetails ") +
                                       QStringLiteral("where pkContactDetailsId = ") + sqlId(id));
        if (rows.atEnd())
            return {FieldLookup::NotFound, {}};
        FieldLookup found{FieldLookup::Found, rows.text(column)};
        rows.close();
        connection.close();
        return found;
    } catch (const std::exception&) {
        return {FieldLookup::Failed, {}};
    }
}

// The program's executable file name without its extension.
QString applicationName() {
    return QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
}

} // namespace

QString frmContactMgmt::GetContactField(const QString& id, const QString& column) {
    const FieldLookup field = lookUpField(ConnectionString, id, column);
    switch (field.outcome) {
    case FieldLookup::Found:
        return field.value;
    case FieldLookup::NotFound:
        return QStringLiteral("not found");
    case FieldLookup::Failed:
        break;
    }
    return QStringLiteral("Error getting data");
}

// Hands the number in `column` of the selected contact to the telephony
// service. Without a selection no request is made. When the contact cannot
// be read none is made either, and the user is told why with the program's
// retrieval messages: a lookup's marker text is never dialled as a number.
// A number of blanks only is no number either.
void frmContactMgmt::CallSelectedContact(const QString& column) {
    if (!lvContacts->hasSelectedEntry())
        return;
    const FieldLookup number =
        lookUpField(ConnectionString, lvContacts->selectedKey().mid(2), column);
    if (number.outcome == FieldLookup::NotFound) {
        platform::showMessage(QStringLiteral("internal error"));
        return;
    }
    if (number.outcome == FieldLookup::Failed) {
        platform::showMessage(QStringLiteral("There was an error retrieving data"));
        return;
    }
    if (number.value.trimmed().isEmpty()) {
        platform::showMessage(tr("This contact has no number to call."),
                              platform::Icon::Information);
        return;
    }
    tapiCode::tapiRequestMakeCall(number.value, applicationName(), lvContacts->selectedText(),
                                  QStringLiteral("Calling"));
}

void frmContactMgmt::cmdCallRecord_Click() {
    mnuCallMenu->popup(QCursor::pos());
}

void frmContactMgmt::mnuCallHome_Click() {
    CallSelectedContact(QStringLiteral("HomePhoneNumber"));
}

void frmContactMgmt::mnuCallWork_Click() {
    CallSelectedContact(QStringLiteral("WorkPhoneNumber"));
}

void frmContactMgmt::mnuCallCell_Click() {
    CallSelectedContact(QStringLiteral("CellPhoneNumber"));
}
