#include "sharing/EmailCommand.h"

#include "platform/Mail.h"
#include "platform/MessageBoxes.h"
#include "sharing/CsvExport.h"

#include <QCoreApplication>
#include <QDir>

#include <exception>

void emailContacts(const ContactStore& store, const QList<qint64>& selection,
                   const QString& dataFolder, platform::MapiMessages& message) {
    const platform::Answer answer = platform::messageBoxes().show(
        {QCoreApplication::translate("Emailing", "Click Yes to send the current contact book\r\n"
                                                 "or No to send the selected contacts only"),
         platform::Buttons::YesNoCancel, platform::Icon::Question,
         QCoreApplication::translate("Emailing", "Send as CSV")});
    if (answer == platform::Answer::Cancel)
        return;
    const QString path = dataFolder + QDir::separator() + QStringLiteral("attachment.csv");
    const bool exported = answer == platform::Answer::Yes
                              ? exportBookCsv(store, path)
                              : exportSelectionCsv(store, selection, path);
    if (!exported)
        return;
    try {
        message.Compose();
        message.MsgSubject = QCoreApplication::translate("Emailing", "Contacts");
        message.MsgNoteText =
            QCoreApplication::translate("Emailing", "Please type a personal message here");
        message.AttachmentPathName = path;
        message.AttachmentName = QStringLiteral("Contacts.csv");
        message.Send(true);
    } catch (const std::exception&) {
    }
}
