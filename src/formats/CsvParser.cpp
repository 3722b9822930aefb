// The CSV export of this program read back: standard quoting (fields in
// double quotes may hold commas, doubled quotes and line breaks), rows ended by
// CR LF or LF, the header naming the columns in any order.
#include "formats/CsvColumns.h"
#include "formats/Parsers.h"
#include "formats/TextDecoding.h"

#include <algorithm>
#include <cstring>
#include <iterator>

namespace vcard::detail {

namespace {

using Kind = ImportProblem::Kind;

QString Contact::*const columnFields[] = {
    &Contact::firstName, &Contact::middleName, &Contact::lastName, &Contact::address,
    &Contact::city,      &Contact::state,      &Contact::zipCode,  &Contact::workPhone,
    &Contact::homePhone, &Contact::cellPhone,  &Contact::email,    &Contact::guardian,
    &Contact::comments};

int columnOf(QByteArray name) {
    name = name.trimmed();
    if (name.size() >= 2 && name.startsWith('"') && name.endsWith('"'))
        name = name.mid(1, name.size() - 2).trimmed();
    for (int i = 0; i < csvColumnCount; ++i)
        if (name.compare(csvColumnNames[i], Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

// The export puts an apostrophe before a value that a spreadsheet would take
// for a formula; the value itself starts after it. The same test as the
// export's decides, so a value of its own that starts with an apostrophe
// ("'-5") keeps it.
bool looksLikeFormula(QStringView text) {
    if (text.isEmpty())
        return false;
    const QChar first = text[0];
    if (first == u'=' || first == u'@' || first == u'\t' || first == u'\r')
        return true;
    if (first != u'+' && first != u'-')
        return false;
    for (const QChar c : text.mid(1))
        if (!(c >= u'0' && c <= u'9') && !QStringView(u" ()./-+").contains(c))
            return true;
    return false;
}

QString withoutFormulaGuard(QString text) {
    if (text.startsWith(u'\'') && looksLikeFormula(QStringView(text).mid(1)))
        text.remove(0, 1);
    return text;
}

} // namespace

bool isCsvHeader(QByteArrayView line) {
    QList<bool> seen(csvColumnCount, false);
    for (const QByteArray& name : line.toByteArray().split(',')) {
        const int column = columnOf(name);
        if (column < 0 || seen[column])
            return false;
        seen[column] = true;
    }
    return seen[0] || seen[2];
}

void CsvParser::feed(QByteArrayView bytes) {
    const char* p = bytes.data();
    const char* const end = p + bytes.size();
    while (p < end) {
        if (state_ == State::Quoted) {
            // Up to the next quote at once: a long quoted value costs no more
            // than a search.
            const auto* quote = static_cast<const char*>(std::memchr(p, '"', size_t(end - p)));
            const char* stop = quote ? quote : end;
            line_ += std::count(p, stop, '\n');
            keep(p, stop - p);
            p = stop;
            if (quote) {
                state_ = State::QuoteInQuoted;
                ++p;
            }
            continue;
        }
        const char c = *p++;
        if (c == '\n')
            ++line_;
        switch (state_) {
        case State::FieldStart:
            if (c == '"') {
                state_ = State::Quoted;
                continue;
            }
            state_ = State::Unquoted;
            [[fallthrough]];
        case State::Unquoted:
            if (c == ',')
                endField();
            else if (c == '\n')
                endRecord();
            else if (c != '\r')
                keep(&c, 1);
            break;
        case State::QuoteInQuoted:
            if (c == '"') {
                keep(&c, 1);
                state_ = State::Quoted;
            } else if (c == ',') {
                endField();
            } else if (c == '\n') {
                endRecord();
            } else if (c != '\r') {
                keep(&c, 1); // text after the closing quote: kept
                state_ = State::Unquoted;
            }
            break;
        case State::Quoted:
            break;
        }
    }
}

void CsvParser::keep(const char* bytes, qsizetype size) {
    if (tooLong_)
        return;
    if (recordBytes_ + field_.size() + size > maxRecordBytes)
        tooLarge();
    else
        field_.append(bytes, size);
}

void CsvParser::finish() {
    if (state_ == State::Quoted) {
        out_.problem(Kind::UnclosedQuote, recordLine_);
    } else if (state_ != State::FieldStart || !fields_.isEmpty() || tooLong_) {
        endField();
        takeRecord();
    }
    fields_.clear();
    state_ = State::FieldStart;
}

void CsvParser::endField() {
    if (!tooLong_) {
        recordBytes_ += field_.size() + valueOverhead;
        fields_.append(field_);
        if (recordBytes_ > maxRecordBytes)
            tooLarge();
    }
    field_.resize(0);
    state_ = State::FieldStart;
}

// The row is dropped as it is read: what is left of it is only scanned.
void CsvParser::tooLarge() {
    tooLong_ = true;
    fields_ = QList<QByteArray>();
    field_ = QByteArray();
    recordBytes_ = 0;
}

void CsvParser::endRecord() {
    endField();
    takeRecord();
    fields_.clear();
    recordBytes_ = 0;
    tooLong_ = false;
    recordLine_ = line_;
}

void CsvParser::takeRecord() {
    if (!haveHeader_) {
        haveHeader_ = true;
        for (const QByteArray& name : std::as_const(fields_))
            columns_.append(columnOf(name));
        return;
    }
    if (tooLong_) {
        out_.problem(Kind::TooLarge, recordLine_);
        return;
    }
    if (fields_.size() == 1 && fields_[0].isEmpty())
        return; // a blank line
    if (fields_.size() != columns_.size()) {
        out_.problem(Kind::MalformedRow, recordLine_, {}, int(fields_.size()));
        return;
    }
    ReadContact read;
    read.line = recordLine_;
    Contact& c = read.contact;
    bool empty = true;
    for (qsizetype i = 0; i < fields_.size(); ++i) {
        const QString text = withCrLf(withoutFormulaGuard(decodeText(fields_[i])));
        const int column = columns_[i];
        if (column == csvTypeColumn) {
            if (text.trimmed().compare(QStringLiteral("Business"), Qt::CaseInsensitive) == 0)
                c.type = ContactType::Business;
        } else if (column >= 0) {
            c.*columnFields[column] = text;
            empty = empty && text.isEmpty();
        }
    }
    if (empty)
        out_.problem(Kind::EmptyCard, recordLine_);
    else
        out_.contacts.push_back(std::move(read));
}

} // namespace vcard::detail
