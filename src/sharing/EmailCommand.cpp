#include "sharing/EmailCommand.h"

#include "formats/CsvExport.h"
#include "platform/Mail.h"
#include "platform/MessageBoxes.h"
#include "platform/ProgressDialog.h"

#include <QCoreApplication>
#include <QDir>
#include <QWidget>

namespace {

void tellRefusal() {
    platform::showMessage(
        QCoreApplication::translate("Emailing", "The mail program did not take the message."),
        platform::Icon::Exclamation);
}

} // namespace

void emailContacts(const ContactStore& store, const QList<qint64>& selection,
                   const QString& dataFolder, platform::MapiMessages& message, QWidget* window) {
    const platform::Answer answer = platform::messageBoxes().show(
        {QCoreApplication::translate("Emailing", "Click Yes to send the current contact book\r\n"
                                                 "or No to send the selected contacts only"),
         platform::Buttons::YesNoCancel, platform::Icon::Question,
         QCoreApplication::translate("Emailing", "Send as CSV")});
    if (answer == platform::Answer::Cancel)
        return;
    if (answer == platform::Answer::No && selection.isEmpty()) {
        platform::showMessage(
            QCoreApplication::translate("Emailing", "Please select a contact to email"),
            platform::Icon::Exclamation);
        return;
    }
    const QString path = dataFolder + QDir::separator() + QStringLiteral("attachment.csv");
    platform::DialogProgress progress(
        window, QCoreApplication::translate("Emailing", "Writing the attachment… %1 contacts"), 500,
        platform::DialogProgress::Label::CountsDone);
    const bool exported = answer == platform::Answer::Yes
                              ? exportBookCsv(store, path, &progress)
                              : exportSelectionCsv(store, selection, path, &progress);
    if (!exported)
        return;
    try {
        message.Compose();
        message.MsgSubject = QCoreApplication::translate("Emailing", "Contacts");
        message.MsgNoteText =
            QCoreApplication::translate("Emailing", "Please type a personal message here");
        message.AttachmentPathName = path;
        message.AttachmentName = QStringLiteral("Contacts.csv");
        message.Send(true, window, [](platform::Handover handover) {
            if (handover == platform::Handover::Refused)
                tellRefusal();
        });
    } catch (const platform::MailError& error) {
        if (error.kind != platform::MailError::Kind::NoMailProgram) {
            tellRefusal();
            return;
        }
        platform::showMessage(QCoreApplication::translate(
                                  "Emailing", "No mail program was found to send the contacts "
                                              "with. They are saved in %1.")
                                  .arg(QDir::toNativeSeparators(path)),
                              platform::Icon::Exclamation);
    }
}
