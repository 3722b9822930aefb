// The two print commands and their routines.
#include "app/frmContactMgmt.h"

bool frmContactMgmt::PrintContactBook() {
    return false;
}
bool frmContactMgmt::PrintSelectedContacts() {
    return false;
}
void frmContactMgmt::cmdPrintRecord_Click() {}
void frmContactMgmt::mnuPrintContactBook_Click() {}
