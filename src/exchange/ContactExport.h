#pragma once

#include "formats/VCardWriter.h"
#include "platform/Progress.h"

#include <QList>
#include <QString>

class ContactStore;
class QIODevice;

namespace exchange {

// What an export did. A file is written whole or not at all: an earlier file
// of the same name stays as it was unless the export succeeded. A named pipe
// (FIFO) is written to as it is, and is left a pipe.
struct ExportSummary {
    enum class Outcome {
        Written,
        Cancelled,      // the user stopped it
        CannotWrite,    // the file could not be written
        IsTheDatabase,  // the file chosen is the contact database itself
        NotAFile,       // a folder, a device or a socket: refused
        DatabaseFailed, // reading the contacts failed
    };
    Outcome outcome = Outcome::Written;
    int written = 0;
    QString detail; // why the file could not be written, or the database error

    bool succeeded() const { return outcome == Outcome::Written; }
    // For a message box.
    QString report(const QString& file, const QString& book) const;
    // For the command line.
    QString oneLine(const QString& file, const QString& book, vcard::VCardVersion version) const;
};

// Writes the store's current book, or some of its contacts, as vCards: each
// contact's kept card, with the properties of the columns changed since
// rewritten; a contact without one gets a new card with a random UID. The
// cards written are kept, so a contact keeps its card and UID from one
// export to the next.
class ContactExport {
public:
    explicit ContactExport(const ContactStore& store, platform::Progress* progress = nullptr);

    // `ids` empty: the whole book.
    ExportSummary run(const QString& path, const QList<qint64>& ids,
                      vcard::VCardVersion version = vcard::VCardVersion::V3_0);
    // The same onto a device open for writing (standard output, a pipe).
    ExportSummary run(QIODevice* device, const QList<qint64>& ids,
                      vcard::VCardVersion version = vcard::VCardVersion::V3_0);

    // True for a path that exists and is neither a file nor a named pipe.
    static bool isNeitherFileNorPipe(const QString& path);

private:
    ExportSummary write(QIODevice& out, const QList<qint64>& ids, vcard::VCardVersion version);

    const ContactStore& m_store;
    platform::Progress* m_progress;
    platform::NoProgress m_noProgress;
};

} // namespace exchange
