// The main window's Delete command.
#include "app/frmContactMgmt.h"

#include "contacts/ContactListView.h"
#include "data/Connection.h"
#include "data/DbError.h"
#include "data/SqlQuote.h"
#include "platform/MessageBoxes.h"

// True when the statement ran; an id whose row is already gone counts as
// deleted.
bool frmContactMgmt::deleteContact(const QString& contactId) {
    try {
        Connection connection(ConnectionString);
        connection.execute(QStringLiteral("Delete from tblContactDetails ") +
                           QStringLiteral("where pkContactDetailsId = ") + sqlId(contactId));
        connection.close();
        return true;
    } catch (const DbError&) {
        return false;
    }
}

void frmContactMgmt::cmdDeleteRecord_Click() {
    if (!lvContacts->hasSelectedEntry()) {
        platform::showMessage(QStringLiteral("Please select a contact to delete"),
                              platform::Icon::Exclamation);
        return;
    }
    const QString key = lvContacts->selectedKey();
    if (!platform::askYesNo(QStringLiteral("Are you sure you want to delete the current Record ") +
                            lvContacts->selectedText() + QStringLiteral("?")))
        return;
    if (deleteContact(key.mid(2))) {
        platform::showMessage(QStringLiteral("Record Deleted successfully"),
                              platform::Icon::Information);
        loadContactList(QStringLiteral("personal"), QStringLiteral("%"));
    } else {
        platform::showMessage(QStringLiteral("Record could not be deleted"),
                              platform::Icon::Information);
    }
}
