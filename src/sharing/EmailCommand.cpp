// The e-mail command of the "Email" button and the File menu.
#include "app/frmContactMgmt.h"

#include "platform/MessageBoxes.h"

#include <QDir>

#include <exception>

namespace {

// Asks whether the whole book or the selection is meant, writes it to
// attachment.csv in the data folder and hands it to the mail service, whose
// own window lets the user address and send it. Escape or closing the
// question backs out before anything is written. A failed export has shown
// its message; a mail failure (no session, cancelled) ends the command
// silently.
void emailContacts(frmContactMgmt& window) {
    const platform::Answer answer = platform::messageBoxes().show(
        {QStringLiteral("Click Yes to send the current contact book\r\n"
                        "or No to send the selected contacts only"),
         platform::Buttons::YesNoCancel, platform::Icon::Question, QStringLiteral("Send as CSV")});
    if (answer == platform::Answer::Cancel)
        return;
    const bool wholeBook = answer == platform::Answer::Yes;
    const QString path = window.dataFolder() + QDir::separator() + QStringLiteral("attachment.csv");
    const bool exported =
        wholeBook ? window.ExportContactBook(path) : window.ExportSelectedContacts(path);
    if (!exported)
        return;
    try {
        platform::MapiMessages& message = window.MAPIMessages;
        message.Compose();
        message.MsgSubject = QStringLiteral("Contacts");
        message.MsgNoteText = QStringLiteral("Please type a personal message here");
        message.AttachmentPathName = path;
        message.AttachmentName = QStringLiteral("Contacts.csv");
        message.Send(true);
    } catch (const std::exception&) {
    }
}

} // namespace

void frmContactMgmt::cmdEmailRecord_Click() {
    emailContacts(*this);
}

void frmContactMgmt::emailcontactbook_Click() {
    emailContacts(*this);
}
