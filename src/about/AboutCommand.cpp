// The main window's "&About" menu item.
#include "app/frmContactMgmt.h"

#include "about/frmAbout.h"

void frmContactMgmt::mnuAbout_Click() {}
