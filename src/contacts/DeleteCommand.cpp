// The main window's Delete command.
#include "app/frmContactMgmt.h"

bool frmContactMgmt::deleteContact(const QString&) {
    return false;
}
void frmContactMgmt::cmdDeleteRecord_Click() {}
