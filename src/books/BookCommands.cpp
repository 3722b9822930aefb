// The main window's "Manage contact books" command and its answer to a chosen book.
#include "app/frmContactMgmt.h"

#include "books/ctrContactBook.h"
#include "editor/ctrRecord.h"

void frmContactMgmt::createcontactbook_Click() {
    enterBookPane();
    ctrContactBooks->refreshData();
}

void frmContactMgmt::ctrContactBooks_ContactBookChosen(const QString& contactBookName) {
    returnToMainView();
    setWindowCaption(contactBookName);
    CurrentContactBook = contactBookName;
    store().setCurrentBook(CurrentContactBook);
    ctrRecord->gScurrentBookName = CurrentContactBook;
    loadContactList(QStringLiteral("personal"), QStringLiteral("%"));
}
