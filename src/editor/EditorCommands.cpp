// The main window's Add and Edit buttons and its answers to the editor.
#include "app/frmContactMgmt.h"

#include "contacts/ContactListView.h"
#include "contacts/ctrTypeFilter.h"
#include "editor/ctrRecord.h"
#include "platform/MessageBoxes.h"

void frmContactMgmt::cmdAddRecord_Click() {
    enterEditorPane();
    ctrRecord->bIsUpdateRequest = false;
    ctrRecord->setupcontrol();
}

void frmContactMgmt::cmdEditRecord_Click() {
    if (!lvContacts->hasSelectedEntry()) {
        platform::showMessage(QStringLiteral("Please select a contact to edit"),
                              platform::Icon::Exclamation);
        return;
    }
    const QString id = lvContacts->selectedKey().mid(2);
    enterEditorPane();
    ctrRecord->bIsUpdateRequest = true;
    if (!ctrRecord->LoadRecordForEditing(id))
        returnToMainView();
}

// Called after every save, successful or not: the list shows every initial of
// the type chosen on the filter strip.
void frmContactMgmt::ctrRecord_RecordAddedOrUpdated() {
    loadContactList(ctrTypeFilter1->CurrentTypeFilter, QStringLiteral("%"));
    returnToMainView();
}

void frmContactMgmt::ctrRecord_OperationCancelled() {
    returnToMainView();
}
