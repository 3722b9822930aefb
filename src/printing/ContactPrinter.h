#pragma once

#include <QList>

class ContactStore;

namespace platform {
class Printer;
}

// Prints contacts of the store's current book on the printer, one block each,
// sorted by first name: every contact when `ids` is empty, else those ids.
// The selection's printout leaves an empty line after each name. Any failure
// drops the document begun, so nothing of a failed run comes out later with
// another one; returns false then.
bool printContacts(const ContactStore& store, const QList<qint64>& ids, bool emptyLineAfterName,
                   platform::Printer& printer);
