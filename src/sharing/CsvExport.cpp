// Writing contacts of the current book as comma-separated text.
#include "app/frmContactMgmt.h"

bool frmContactMgmt::ExportContactBook(const QString&) {
    return false;
}
bool frmContactMgmt::ExportSelectedContacts(const QString&) {
    return false;
}
