// The main window's "Manage contact books" command and its answer to a chosen book.
#include "app/frmContactMgmt.h"

void frmContactMgmt::createcontactbook_Click() {}
void frmContactMgmt::ctrContactBooks_ContactBookChosen(const QString&) {}
