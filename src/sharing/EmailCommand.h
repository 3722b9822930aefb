#pragma once

#include <QList>
#include <QString>

class ContactStore;
class QWidget;

namespace platform {
class Background;
class MapiMessages;
} // namespace platform

// The e-mail command: asks whether the whole current book or the selected
// contacts are meant, writes them to attachment.csv in the data folder and
// hands that to the mail service, whose own window lets the user address and
// send it. Escape or closing the question backs out before anything is
// written; the selection without one says that a contact must be selected.
// A failed export has shown its message. The command returns once the
// message is handed over; when there is no mail program, or it refuses the
// message (now or later), the user is told. The attachment is written on a
// worker of `background`, with progress and Cancel, which ends the command;
// the message is handed over, with `window` as its owner, once it is
// written. `messages` must outlive `background`.
void emailContacts(const ContactStore& store, const QList<qint64>& selection,
                   const QString& dataFolder, platform::MapiMessages& messages,
                   platform::Background& background, QWidget* window);
