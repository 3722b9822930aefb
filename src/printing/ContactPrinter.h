#pragma once

#include <QList>

#include <functional>

class ContactStore;

namespace platform {
class Printer;
}

// Asked after each contact printed, with the number printed so far; false
// stops the printout.
using PrintProgress = std::function<bool(int printed)>;

enum class PrintOutcome { Printed, Failed, Cancelled };

// Prints contacts of the store's current book on the printer, one block each,
// sorted by first name: every contact when `ids` is empty, else those ids.
// The selection's printout leaves an empty line after each name. A failure or
// a stop drops the document begun, so nothing of it comes out later with
// another one.
PrintOutcome printContacts(const ContactStore& store, const QList<qint64>& ids,
                           bool emptyLineAfterName, platform::Printer& printer,
                           const PrintProgress& progress = {});
