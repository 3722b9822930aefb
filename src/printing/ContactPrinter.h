#pragma once

#include <QList>
#include <QString>

#include <functional>
#include <optional>

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

// Where a printout goes. With a printer: an empty text, nothing asked.
// Without one: the PDF file the user chose in a file dialog, set on the
// printer; std::nullopt when the user cancelled the dialog.
std::optional<QString> choosePrintDestination(platform::Printer& printer);
// Tells the user where a printout written to a PDF file went.
void tellPrintedToFile(const QString& pdfFile);
