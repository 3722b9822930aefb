#include "formats/ContactFileReader.h"
#include "formats/Parsers.h"

#include <QBuffer>
#include <QCoreApplication>

namespace vcard {

namespace {

using namespace detail;

constexpr qint64 chunkSize = 64 * 1024;
// The first line must show the format within this many bytes.
constexpr qsizetype maxFirstLine = 64 * 1024;

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// BEGIN:VCARD, in any case, with or without a group ("home.begin:vcard").
bool beginsCard(const QByteArray& line) {
    const qsizetype colon = line.indexOf(':');
    if (colon < 0 || line.mid(colon + 1).trimmed().compare("VCARD", Qt::CaseInsensitive) != 0)
        return false;
    const QByteArray name = line.left(colon).trimmed();
    return name.mid(name.lastIndexOf('.') + 1).compare("BEGIN", Qt::CaseInsensitive) == 0;
}

// The first CR or LF from `from` on, or -1.
qsizetype lineEndFrom(const QByteArray& text, qsizetype from) {
    for (qsizetype i = from; i < text.size(); ++i)
        if (text[i] == '\n' || text[i] == '\r')
            return i;
    return -1;
}

} // namespace

QString ImportProblem::message() const {
    using K = Kind;
    switch (kind) {
    case K::NotContactFile:
        return tr("The file is neither a vCard file nor a CSV file with the columns of "
                  "this program's export. Nothing was read.");
    case K::ReadError:
        return tr("The file could not be read to its end.");
    case K::UnterminatedCard:
        return tr("Line %1: a card without END:VCARD was skipped.").arg(line);
    case K::MalformedLine:
        return tr("Line %1: \"%2\" is not a property of the form name:value and was "
                  "skipped.")
            .arg(line)
            .arg(detail);
    case K::TextOutsideCard:
        return tr("Line %1: text outside a card was ignored.").arg(line);
    case K::EmptyCard:
        return tr("Line %1: a contact without any value was skipped.").arg(line);
    case K::ValueTooLong:
        return tr("Line %1: the %2 value is longer than %3 MiB and was skipped.")
            .arg(line)
            .arg(detail)
            .arg(maxValueBytes >> 20);
    case K::TooLarge:
        return tr("Line %1: a contact larger than %2 MiB was skipped.")
            .arg(line)
            .arg(maxRecordBytes >> 20);
    case K::MalformedRow:
        return tr("Line %1: the row has %n value(s), not one for each column of the "
                  "header; it was skipped.",
                  nullptr, count)
            .arg(line);
    case K::UnclosedQuote:
        return tr("Line %1: a value in double quotes is not closed; the row was skipped.")
            .arg(line);
    case K::BinarySkipped:
        return tr("%n picture(s), sound(s), key(s) or other binary value(s) were skipped.", nullptr,
                  count);
    case K::VendorSkipped:
        return tr("%n propert(y/ies) that only other programs use were skipped.", nullptr, count);
    case K::MoreProblems:
        return tr("%n more problem(s) were not listed.", nullptr, count);
    }
    return {};
}

struct ContactFileReader::Impl {
    QIODevice* device;
    ReaderOutput out;
    FileFormat format = FileFormat::Unknown;
    bool detected = false;
    bool finished = false;
    qint64 bytesRead = 0;
    QByteArray start; // what has been read before the format is known
    std::optional<VCardParser> vcard;
    std::optional<CsvParser> csv;

    void feed(QByteArrayView bytes) {
        if (vcard)
            vcard->feed(bytes);
        else
            csv->feed(bytes);
    }

    // Decides from the first line that is not blank, once it is whole.
    bool detect(bool atEnd) {
        if (start.startsWith("\xEF\xBB\xBF"))
            start.remove(0, 3);
        else if (start.size() < 3 && !atEnd && QByteArrayView("\xEF\xBB\xBF").startsWith(start))
            return false;
        qsizetype first = 0;
        while (first < start.size() && isBlank(start[first]))
            ++first;
        qsizetype end = lineEndFrom(start, first);
        if (end < 0) {
            if (!atEnd && start.size() - first <= maxFirstLine)
                return false;
            end = start.size();
        }
        const QByteArray line = start.mid(first, end - first).trimmed();
        if (line.size() <= maxFirstLine && beginsCard(line)) {
            format = FileFormat::VCard;
            vcard.emplace(out);
        } else if (line.size() <= maxFirstLine && isCsvHeader(line)) {
            format = FileFormat::Csv;
            csv.emplace(out);
        } else {
            out.problem(ImportProblem::Kind::NotContactFile, 0);
            finished = true;
            start.clear();
            return true;
        }
        detected = true;
        feed(start);
        start.clear();
        return true;
    }

    void end() {
        if (vcard)
            vcard->finish();
        else if (csv)
            csv->finish();
        using K = ImportProblem::Kind;
        if (out.binarySkipped > 0)
            out.problems.append({K::BinarySkipped, 0, out.binarySkipped, {}});
        if (out.vendorSkipped > 0)
            out.problems.append({K::VendorSkipped, 0, out.vendorSkipped, {}});
        if (out.moreProblems > 0)
            out.problems.append({K::MoreProblems, 0, out.moreProblems, {}});
        finished = true;
    }

    // Reads one chunk and hands it on.
    void pump() {
        QByteArray chunk(chunkSize, Qt::Uninitialized);
        const qint64 got = device->read(chunk.data(), chunkSize);
        if (got < 0)
            out.problem(ImportProblem::Kind::ReadError, 0);
        if (got <= 0) {
            if (!detected && !detect(true))
                return;
            if (!finished)
                end();
            return;
        }
        bytesRead += got;
        chunk.truncate(got);
        if (detected) {
            feed(chunk);
            return;
        }
        start.append(chunk);
        detect(false);
    }
};

ContactFileReader::ContactFileReader(QIODevice* device) : d(std::make_unique<Impl>()) {
    d->device = device;
}

ContactFileReader::~ContactFileReader() = default;

bool ContactFileReader::readNext(ReadContact& next) {
    while (d->out.contacts.empty() && !d->finished)
        d->pump();
    if (d->out.contacts.empty())
        return false;
    next = std::move(d->out.contacts.front());
    d->out.contacts.pop_front();
    return true;
}

FileFormat ContactFileReader::format() const {
    return d->format;
}

const QList<ImportProblem>& ContactFileReader::problems() const {
    return d->out.problems;
}

qint64 ContactFileReader::bytesRead() const {
    return d->bytesRead;
}

ImportResult readContacts(QIODevice* device) {
    ContactFileReader reader(device);
    ImportResult result;
    ReadContact next;
    while (reader.readNext(next))
        result.contacts.append(std::move(next));
    result.format = reader.format();
    result.problems = reader.problems();
    return result;
}

ImportResult readContacts(const QByteArray& bytes) {
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    return readContacts(&buffer);
}

} // namespace vcard
