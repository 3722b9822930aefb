// The main window's "&About" menu item.
#include "app/frmContactMgmt.h"

#include "about/frmAbout.h"

// Opens the About box without an owner and without blocking the main window.
// There is one box at a time: choosing the item again brings it forward.
void frmContactMgmt::mnuAbout_Click() {
    if (!aboutBox)
        aboutBox = new frmAbout();
    aboutBox->show();
    aboutBox->raise();
    aboutBox->activateWindow();
}
