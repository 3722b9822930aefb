#pragma once

#include "formats/VCardWriter.h"

#include <QString>

class ContactStore;
class QTextStream;

// The command line's import and export, for scripts: no window, no
// question. Each writes a one-line summary to `out`, or the reason it failed
// to `err`, and returns the exit code: 0 when it worked, 1 when not (no such
// book, a file that cannot be read or written, not a vCard or CSV file, a
// database failure).
namespace exchange {

int importForCommandLine(ContactStore& store, const QString& file, QTextStream& out,
                         QTextStream& err);

int exportForCommandLine(const ContactStore& store, const QString& file,
                         vcard::VCardVersion version, QTextStream& out, QTextStream& err);

} // namespace exchange
