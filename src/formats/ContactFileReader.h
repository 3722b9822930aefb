#pragma once

#include "data/Contact.h"

#include <QCoreApplication>
#include <QList>
#include <QString>

#include <memory>

class QIODevice;

// Reading contacts from a vCard file (versions 2.1, 3.0 and 4.0) or from a
// CSV file with this program's own columns. The format code knows nothing of
// the store: it gives Contact values and the problems it met.
namespace vcard {

enum class FileFormat { Unknown, VCard, Csv };

// Something that was skipped or could not be read, with the line (1-based) it
// starts on, or 0 when it concerns the whole file.
struct ImportProblem {
    enum class Kind {
        NotContactFile,   // neither vCard nor CSV of our columns: nothing is read
        ReadError,        // the device failed; what was read before is kept
        UnterminatedCard, // a card without END:VCARD: skipped
        MalformedLine,    // a line that is not name:value: skipped, its card read
        TextOutsideCard,  // lines between cards: ignored
        EmptyCard,        // a card or row without any value: skipped
        ValueTooLong,     // one property longer than maxValueBytes: skipped
        TooLarge,         // a card or row of more than twice that: skipped
        MalformedRow,     // a CSV row whose field count differs from the header's
        UnclosedQuote,    // a CSV row whose quoted field never ends: skipped
        BinarySkipped,    // count: pictures, sounds, keys and other binary values
        VendorSkipped,    // count: X- properties of other programs
        MoreProblems,     // count: problems beyond the first thousand
    };
    Kind kind;
    qint64 line = 0;
    int count = 0;  // for the two counting kinds; the field count of a MalformedRow
    QString detail; // the property name or the start of the offending line

    // The text a user reads, translated.
    QString message() const;
    bool operator==(const ImportProblem&) const = default;

    Q_DECLARE_TR_FUNCTIONS(vcard::ImportProblem)
};

// One contact as read, with the card's UID (without "urn:uuid:"; empty for
// CSV and for cards without one) and the line its card or row starts on.
// `card` is the whole card as it is kept beside the contact: every property
// read, as vCard 3.0 or 4.0 UTF-8 text with CR LF line ends (empty for CSV).
struct ReadContact {
    Contact contact;
    QString uid;
    qint64 line = 0;
    QByteArray card;
};

// A value longer than this is skipped rather than kept, so that a broken or
// hostile file needs bounded memory.
inline constexpr qsizetype maxValueBytes = 4 << 20;

// Reads one contact at a time from an open device (a file or a buffer: the
// input ends where read() gives nothing more), so that an import can show
// progress (bytesRead() against the device's size) and stop at any point.
// Work is linear in the input and memory bounded; the device is read in chunks.
class ContactFileReader {
public:
    explicit ContactFileReader(QIODevice* device);
    ~ContactFileReader();
    ContactFileReader(const ContactFileReader&) = delete;
    ContactFileReader& operator=(const ContactFileReader&) = delete;

    // The next contact; false once the input is exhausted or not recognised.
    bool readNext(ReadContact& next);
    // Known once the first readNext() has looked at the start of the input.
    FileFormat format() const;
    // Problems so far; the counts of skipped properties are added at the end.
    const QList<ImportProblem>& problems() const;
    qint64 bytesRead() const;

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

struct ImportResult {
    FileFormat format = FileFormat::Unknown;
    QList<ReadContact> contacts;
    QList<ImportProblem> problems;
};

// The whole of a file at once.
ImportResult readContacts(QIODevice* device);
ImportResult readContacts(const QByteArray& bytes);

} // namespace vcard
