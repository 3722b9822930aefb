// The main window's Add and Edit buttons and its answers to the editor.
#include "app/frmContactMgmt.h"

void frmContactMgmt::cmdAddRecord_Click() {}
void frmContactMgmt::cmdEditRecord_Click() {}
void frmContactMgmt::ctrRecord_RecordAddedOrUpdated() {}
void frmContactMgmt::ctrRecord_OperationCancelled() {}
