#include "sharing/CsvExport.h"

#include "data/Connection.h"
#include "data/ContactStore.h"
#include "data/CsvColumns.h"
#include "data/DbError.h"
#include "platform/MessageBoxes.h"
#include "platform/Progress.h"

#include <QCoreApplication>
#include <QSaveFile>

#include <cstring>
#include <iterator>
#include <string>

namespace {

const char header[] = "FirstName,MiddleName,LastName,Address,City,State,ZipCode,WorkPhoneNumber,"
                      "HomePhoneNumber,CellPhoneNumber,EmailAddress,ParentOrGuardianName,Comments,"
                      "ContactType\r\n";

// Every failure of an export ends in the same message.
bool reportFailure() {
    platform::showMessage(
        QCoreApplication::translate("CsvExport", "There was an error retrieving data"),
        platform::Icon::Critical);
    return false;
}

bool needsQuotes(const char* bytes, int length) {
    for (int i = 0; i < length; ++i) {
        const char c = bytes[i];
        if (c == ',' || c == '"' || c == '\r' || c == '\n')
            return true;
    }
    return false;
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

// One field as standard CSV: enclosed in double quotes, inner quotes doubled,
// when it must be (or always, for Address and Comments); else as it is. A
// value that looks like a formula gets a leading apostrophe, inside the
// quotes, so that it opens as text. The bytes are UTF-8, in which no byte of
// a multi-byte letter is an ASCII mark.
void appendField(std::string& out, const char* bytes, int length, bool alwaysQuoted) {
    const bool formula = looksLikeFormula(bytes, length);
    if (!alwaysQuoted && !needsQuotes(bytes, length)) {
        if (formula)
            out.push_back('\'');
        out.append(bytes, length);
        return;
    }
    out.push_back('"');
    if (formula)
        out.push_back('\'');
    const char* end = bytes + length;
    while (const char* quote = static_cast<const char*>(std::memchr(bytes, '"', end - bytes))) {
        out.append(bytes, quote + 1 - bytes); // up to and including the quote
        out.push_back('"');
        bytes = quote + 1;
    }
    out.append(bytes, end - bytes);
    out.push_back('"');
}

// Writes the rows under the header line into a temporary file that replaces
// `path` only once complete: any failure, or a cancel, leaves an earlier file
// as it was. The text goes out in large chunks, so even a book of 100,000
// contacts needs one small buffer. The text is UTF-8, the system's encoding.
bool writeCsv(const ContactStore& store, const QList<qint64>& ids, const QString& path,
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
            std::string out;
            out.reserve(chunk + chunk / 4);
            out.append(header);
            auto writeOut = [&] {
                if (file.write(out.data(), qint64(out.size())) != qint64(out.size()))
                    throw DbError(QStringLiteral("Cannot write ") + path);
                out.clear();
            };
            qint64 done = 0;
            for (; !rows.atEnd(); rows.moveNext()) {
                if (progress && !progress->advance(done++, ids.size())) {
                    cancelled = true;
                    return;
                }
                for (int i = 0; i < csvColumnCount; ++i) {
                    if (i > 0)
                        out.push_back(',');
                    int length = 0;
                    const char* bytes = rows.utf8(columns[i], length);
                    appendField(out, bytes, length,
                                i == csvAddressColumn || i == csvCommentsColumn);
                }
                out.append("\r\n", 2);
                if (qsizetype(out.size()) >= chunk)
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
    return written || (!cancelled && reportFailure());
}

} // namespace

bool exportBookCsv(const ContactStore& store, const QString& path, platform::Progress* progress) {
    return writeCsv(store, {}, path, progress);
}

bool exportSelectionCsv(const ContactStore& store, const QList<qint64>& ids, const QString& path,
                        platform::Progress* progress) {
    if (ids.isEmpty())
        return reportFailure();
    return writeCsv(store, ids, path, progress);
}
