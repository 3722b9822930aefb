#include "sharing/EmailCommand.h"

#include "data/ContactStore.h"
#include "formats/CsvExport.h"
#include "platform/Background.h"
#include "platform/Mail.h"
#include "platform/MessageBoxes.h"

#include <QCoreApplication>
#include <QDir>
#include <QPointer>
#include <QWidget>

namespace {

void tellRefusal() {
    platform::showMessage(
        QCoreApplication::translate("Emailing", "The mail program did not take the message."),
        platform::Icon::Exclamation);
}

void sendAttachment(const QString& path, platform::MapiMessages& message, QWidget* window) {
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

} // namespace

void emailContacts(const ContactStore& store, const QList<qint64>& selection,
                   const QString& dataFolder, platform::MapiMessages& message,
                   platform::Background& background, QWidget* window) {
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
    const QList<qint64> ids = answer == platform::Answer::Yes ? QList<qint64>() : selection;
    background.reporting<CsvOutcome>(
        QCoreApplication::translate("Emailing", "Writing the attachment… %1 contacts"),
        platform::Background::Label::CountsDone,
        [store, ids, path](platform::Background::WorkProgress& progress) {
            return writeContactsCsv(store, ids, path, &progress);
        },
        [path, &message, window = QPointer<QWidget>(window)](CsvOutcome& outcome) {
            if (outcome == CsvOutcome::Failed)
                reportCsvFailure();
            if (outcome == CsvOutcome::Written)
                sendAttachment(path, message, window);
        });
}
