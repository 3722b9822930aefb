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

// `localName`: the file's name as the command line gave it, undecoded; it
// opens a file whose name `file` cannot spell.
int importForCommandLine(ContactStore& store, const QString& file, const QByteArray& localName,
                         QTextStream& out, QTextStream& err);

// `file` "-": the cards go to standard output. A named pipe gets them too; a
// folder or a device is refused, and so is a name `file` cannot spell.
int exportForCommandLine(const ContactStore& store, const QString& file,
                         const QByteArray& localName, vcard::VCardVersion version, QTextStream& out,
                         QTextStream& err);

} // namespace exchange
