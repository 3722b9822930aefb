// The two print commands: ask, print, and report a failure.
#include "app/frmContactMgmt.h"
#include "platform/MessageBoxes.h"

void frmContactMgmt::cmdPrintRecord_Click() {
    if (!platform::askYesNo(QStringLiteral("Click Yes to Print the current contact details."),
                            QStringLiteral("Print selected contact")))
        return;
    if (!PrintSelectedContacts())
        platform::showMessage(
            QStringLiteral("An error occured while printing the selected records."),
            platform::Icon::Critical);
}

void frmContactMgmt::mnuPrintContactBook_Click() {
    if (!platform::askYesNo(QStringLiteral("Print the complete contact book?"),
                            QStringLiteral("Print contact book")))
        return;
    if (!PrintContactBook())
        platform::showMessage(QStringLiteral("An error occured while printing the contact book."),
                              platform::Icon::Critical);
}
