#pragma once

#include "formats/ContactFileReader.h"
#include "platform/Progress.h"

#include <QList>
#include <QString>

class ContactStore;
class QIODevice;

namespace exchange {

// What an import did. Everything it added is in the book, or nothing is.
struct ImportSummary {
    enum class Outcome {
        Imported,       // committed (possibly nothing new)
        Cancelled,      // the user stopped it: rolled back
        NotContactFile, // neither vCard nor the program's CSV: nothing read
        Unreadable,     // the file could not be opened or read to its end: rolled back
        NoSuchBook,     // the book is gone
        DatabaseFailed, // the store failed: rolled back
        NoIdsLeft,      // the database has no contact id left to give: rolled back
    };
    Outcome outcome = Outcome::Imported;
    vcard::FileFormat format = vcard::FileFormat::Unknown;
    int imported = 0;
    // Identical (every column and the type) to a contact of the book, or to
    // one earlier in the same file.
    int alreadyThere = 0;
    // What the reader skipped or noted, with line numbers.
    QList<vcard::ImportProblem> problems;
    // The lines of cards with a value the database cannot hold (a NUL
    // character): skipped.
    QList<qint64> unstorable;
    // Why the file could not be read, or the database error.
    QString detail;

    bool succeeded() const { return outcome == Outcome::Imported; }
    // Contacts and rows that were not imported because of a fault of their own.
    int skipped() const;
    // For a message box: what came in, what was already there, what was
    // skipped and why, line by line. `file` and `book` name the two.
    QString report(const QString& file, const QString& book) const;
    // For the command line: the outcome in one line.
    QString oneLine(const QString& file, const QString& book) const;
    // The skipped and noted items, one text each, at most `limit` (then one
    // line saying how many more).
    QStringList problemLines(int limit = -1) const;
};

// Imports a vCard or CSV file into the store's current book: one transaction
// for the whole file, contacts identical to one in the book (or earlier in
// the file) skipped, malformed cards skipped and reported by line.
class ContactImport {
public:
    explicit ContactImport(ContactStore& store, platform::Progress* progress = nullptr);

    ImportSummary run(const QString& path);
    // `size`: the bytes the device will give, for progress; 0 when unknown.
    ImportSummary run(QIODevice* device, qint64 size);

private:
    ContactStore& m_store;
    platform::Progress* m_progress;
    platform::NoProgress m_noProgress;
};

} // namespace exchange
