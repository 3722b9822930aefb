#include "formats/CsvExport.h"

#include "data/Connection.h"
#include "data/ContactStore.h"
#include "data/DbError.h"
#include "formats/CsvColumns.h"
#include "formats/WriteBack.h"
#include "platform/MessageBoxes.h"
#include "platform/Progress.h"

#include <QCoreApplication>
#include <QSaveFile>

#include <cstdint>
#include <cstring>
#include <iterator>
#include <memory>

namespace {

const char header[] = "FirstName,MiddleName,LastName,Address,City,State,ZipCode,WorkPhoneNumber,"
                      "HomePhoneNumber,CellPhoneNumber,EmailAddress,ParentOrGuardianName,Comments,"
                      "ContactType\r\n";

bool reportFailure() {
    reportCsvFailure();
    return false;
}

// The bytes that make a field need quotes.
constexpr bool needsQuoting(unsigned char c) {
    return c == ',' || c == '"' || c == '\r' || c == '\n';
}

// Whether any of eight bytes needs quoting: a byte equal to a mark leaves a
// zero byte after the xor, which the classic test for a zero byte finds.
bool holdsQuotingByte(std::uint64_t eight) {
    constexpr std::uint64_t ones = 0x0101010101010101;
    constexpr std::uint64_t highs = 0x8080808080808080;
    auto hasZero = [](std::uint64_t v) { return ((v - ones) & ~v & highs) != 0; };
    return hasZero(eight ^ (ones * ',')) || hasZero(eight ^ (ones * '"')) ||
           hasZero(eight ^ (ones * '\r')) || hasZero(eight ^ (ones * '\n'));
}

// Whether a spreadsheet opening the file would take the value for a formula:
// it begins with = @ TAB or CR, or with + or - followed by more than the
// digits, blanks and marks of a telephone number. Only the first byte is
// looked at for every other value.
bool looksLikeFormula(const char* bytes, int length) {
    if (length == 0)
        return false;
    switch (bytes[0]) {
    case '=':
    case '@':
    case '\t':
    case '\r':
        return true;
    case '+':
    case '-':
        break;
    default:
        return false;
    }
    for (int i = 1; i < length; ++i) {
        const char c = bytes[i];
        if (!(c >= '0' && c <= '9') && !std::memchr(" ()./-+", c, 7))
            return true;
    }
    return false;
}

// The most bytes one field of `length` bytes can take: every byte a doubled
// quote, plus the enclosing quotes, the apostrophe and the comma.
constexpr qsizetype mostBytesOf(int length) {
    return 2 * qsizetype(length) + 4;
}

// One field as standard CSV at `out`, returning the end of what it wrote:
// enclosed in double quotes, inner quotes doubled, when it must be (or
// always, for Address and Comments); else as it is. A value that looks like
// a formula gets a leading apostrophe, inside the quotes, so that it opens as
// text. The bytes are UTF-8, in which no byte of a multi-byte letter is an
// ASCII mark. The room for mostBytesOf(length) bytes is the caller's.
char* writeField(char* out, const char* bytes, int length, bool alwaysQuoted) {
    const bool formula = looksLikeFormula(bytes, length);
    bool quoted = alwaysQuoted;
    // Fields that need no quotes are copied while they are checked, eight
    // bytes at a time; a quoted one is checked for quotes only, by memchr.
    if (!quoted) {
        char* start = out;
        if (formula)
            *out++ = '\'';
        int i = 0;
        for (; i + 8 <= length; i += 8) {
            std::uint64_t eight;
            std::memcpy(&eight, bytes + i, 8);
            if (holdsQuotingByte(eight)) {
                quoted = true;
                break;
            }
            std::memcpy(out, &eight, 8);
            out += 8;
        }
        for (; !quoted && i < length; ++i) {
            if (needsQuoting(static_cast<unsigned char>(bytes[i])))
                quoted = true;
            else
                *out++ = bytes[i];
        }
        if (!quoted)
            return out;
        out = start;
    }
    *out++ = '"';
    if (formula)
        *out++ = '\'';
    const char* end = bytes + length;
    while (const char* quote = static_cast<const char*>(std::memchr(bytes, '"', end - bytes))) {
        const size_t upToQuote = size_t(quote + 1 - bytes); // including the quote
        std::memcpy(out, bytes, upToQuote);
        out += upToQuote;
        *out++ = '"';
        bytes = quote + 1;
    }
    std::memcpy(out, bytes, size_t(end - bytes));
    out += end - bytes;
    *out++ = '"';
    return out;
}

// Writes the rows under the header line into a temporary file that replaces
// `path` only once complete: any failure, or a cancel, leaves an earlier file
// as it was. The rows are written straight into one buffer that goes out
// whenever it holds a megabyte, so even a book of 100,000 contacts needs one
// small buffer. The text is UTF-8, the system's encoding.
CsvOutcome writeCsv(const ContactStore& store, const QList<qint64>& ids, const QString& path,
                    platform::Progress* progress) {
    constexpr qsizetype chunk = 1 << 20;
    bool written = false;
    bool cancelled = false;
    try {
        store.readRows(ContactStore::Purpose::Export, ids, [&](RowSet& rows) {
            int columns[csvColumnCount];
            for (int i = 0; i < csvColumnCount; ++i)
                columns[i] = rows.column(QLatin1String(csvColumnNames[i]));
            QSaveFile file(path);
            if (!file.open(QIODevice::WriteOnly))
                return;
            qsizetype capacity = 2 * chunk;
            std::unique_ptr<char[]> buffer(new char[size_t(capacity)]);
            char* out = buffer.get();
            std::memcpy(out, header, sizeof header - 1);
            out += sizeof header - 1;
            qint64 sent = 0; // bytes handed to the disk so far
            auto writeOut = [&] {
                const qint64 size = out - buffer.get();
                if (file.write(buffer.get(), size) != size)
                    throw DbError(QStringLiteral("Cannot write ") + path);
                out = buffer.get();
                startWriteBack(file, sent);
            };
            const char* fields[csvColumnCount];
            int lengths[csvColumnCount];
            qint64 done = 0;
            for (; !rows.atEnd(); rows.moveNext()) {
                if (progress && !progress->advance(done++, ids.size())) {
                    cancelled = true;
                    return;
                }
                qsizetype most = 2;
                for (int i = 0; i < csvColumnCount; ++i) {
                    fields[i] = rows.utf8(columns[i], lengths[i]);
                    most += mostBytesOf(lengths[i]);
                }
                if (out - buffer.get() + most > capacity) {
                    writeOut();
                    if (most > capacity) { // one row larger than the buffer
                        capacity = most;
                        buffer.reset(new char[size_t(capacity)]);
                        out = buffer.get();
                    }
                }
                for (int i = 0; i < csvColumnCount; ++i) {
                    if (i > 0)
                        *out++ = ',';
                    out = writeField(out, fields[i], lengths[i],
                                     i == csvAddressColumn || i == csvCommentsColumn);
                }
                *out++ = '\r';
                *out++ = '\n';
                if (out - buffer.get() >= chunk)
                    writeOut();
            }
            writeOut();
            // The explicit flush catches a failed write that a commit alone
            // would miss; an uncommitted file removes its temporary file when
            // it closes.
            written = file.flush() && file.commit();
        });
    } catch (const DbError&) {
        written = false;
    }
    if (written)
        return CsvOutcome::Written;
    return cancelled ? CsvOutcome::Cancelled : CsvOutcome::Failed;
}

bool toldOutcome(CsvOutcome outcome) {
    return outcome == CsvOutcome::Written || (outcome == CsvOutcome::Failed && reportFailure());
}

} // namespace

void reportCsvFailure() {
    platform::showMessage(
        QCoreApplication::translate("CsvExport", "There was an error retrieving data"),
        platform::Icon::Critical);
}

CsvOutcome writeContactsCsv(const ContactStore& store, const QList<qint64>& ids,
                            const QString& path, platform::Progress* progress) {
    return writeCsv(store, ids, path, progress);
}

bool exportBookCsv(const ContactStore& store, const QString& path, platform::Progress* progress) {
    return toldOutcome(writeCsv(store, {}, path, progress));
}

bool exportSelectionCsv(const ContactStore& store, const QList<qint64>& ids, const QString& path,
                        platform::Progress* progress) {
    if (ids.isEmpty())
        return reportFailure();
    return toldOutcome(writeCsv(store, ids, path, progress));
}
