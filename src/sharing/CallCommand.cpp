// Calling the selected contact at one of its numbers.
#include "app/frmContactMgmt.h"

QString frmContactMgmt::GetContactField(const QString&, const QString&) {
    return {};
}
void frmContactMgmt::CallSelectedContact(const QString&) {}
void frmContactMgmt::cmdCallRecord_Click() {}
void frmContactMgmt::mnuCallHome_Click() {}
void frmContactMgmt::mnuCallWork_Click() {}
void frmContactMgmt::mnuCallCell_Click() {}
