// The e-mail command of the "Email" button and the File menu.
#include "app/frmContactMgmt.h"

void frmContactMgmt::cmdEmailRecord_Click() {}
void frmContactMgmt::emailcontactbook_Click() {}
