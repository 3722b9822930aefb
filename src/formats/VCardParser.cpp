// Content lines of vCard 2.1, 3.0 and 4.0, assembled from the physical lines
// as they arrive: folds (a line starting with a space or tab), quoted-printable
// soft line breaks, CR LF or LF. A value is kept only up to maxValueBytes, so
// a huge line costs time but no memory.
#include "formats/KeptCard.h"
#include "formats/Parsers.h"
#include "formats/TextDecoding.h"

#include <cstring>

namespace vcard::detail {

namespace {

using Kind = ImportProblem::Kind;

bool isNameChar(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-';
}

bool isName(const QByteArray& name) {
    if (name.isEmpty())
        return false;
    for (const char c : name)
        if (!isNameChar(c))
            return false;
    return true;
}

QList<QByteArray> splitOutsideQuotes(const QByteArray& text, char separator) {
    QList<QByteArray> parts;
    bool quoted = false;
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == '"')
            quoted = !quoted;
        else if (text[i] == separator && !quoted) {
            parts.append(text.mid(start, i - start));
            start = i + 1;
        }
    }
    parts.append(text.mid(start));
    return parts;
}

} // namespace

void VCardParser::feed(QByteArrayView bytes) {
    if (heldCr_) {
        heldCr_ = false;
        if (!bytes.empty() && bytes.front() == '\n') {
            piece({}, true);
            bytes = bytes.sliced(1);
        } else {
            piece("\r", false);
        }
    }
    while (!bytes.empty()) {
        const void* newline = std::memchr(bytes.data(), '\n', size_t(bytes.size()));
        if (!newline) {
            // A CR at the end of a chunk may be the first half of a CR LF.
            if (bytes.back() == '\r') {
                heldCr_ = true;
                bytes.chop(1);
            }
            piece(bytes, false);
            return;
        }
        const qsizetype length = static_cast<const char*>(newline) - bytes.data();
        QByteArrayView line = bytes.first(length);
        if (line.endsWith('\r'))
            line.chop(1);
        piece(line, true);
        bytes = bytes.sliced(length + 1);
    }
}

void VCardParser::finish() {
    if (heldCr_) {
        heldCr_ = false;
        piece({}, true);
    }
    complete();
    if (inCard_) {
        out_.problem(Kind::UnterminatedCard, cardLine_);
        inCard_ = false;
    }
}

// Part of one physical line; `endsLine` when its line end follows.
void VCardParser::piece(QByteArrayView bytes, bool endsLine) {
    LogicalLine& l = current_;
    if (atLineStart_) {
        if (bytes.empty() && !endsLine)
            return;
        atLineStart_ = false;
        ++physicalLine_;
        const char first = bytes.empty() ? '\0' : bytes.front();
        if (l.active && l.softBreak) {
            // The next line goes on the value as it is, a leading blank too.
            if (l.value.endsWith('='))
                l.value.chop(1);
        } else if (l.active && (first == ' ' || first == '\t')) {
            bytes = bytes.sliced(1);
        } else {
            complete();
            l.head.resize(0);
            l.value.resize(0);
            l.charset.clear();
            l.property = Property();
            l.active = true;
            l.line = physicalLine_;
            l.headDone = l.headTooLong = l.inParams = l.inQuote = false;
            l.validName = l.quotedPrintable = l.binary = l.discard = l.tooLong = false;
        }
        l.softBreak = false;
        l.lastByte = 0;
    }
    append(bytes);
    if (endsLine) {
        l.softBreak = l.quotedPrintable && l.lastByte == '=';
        atLineStart_ = true;
    }
}

void VCardParser::append(QByteArrayView bytes) {
    LogicalLine& l = current_;
    if (bytes.empty())
        return;
    l.lastByte = bytes.back();
    if (!l.headDone) {
        if (l.headTooLong)
            return;
        qsizetype colon = 0;
        for (; colon < bytes.size(); ++colon) {
            const char c = bytes[colon];
            if (c == '"' && l.inParams)
                l.inQuote = !l.inQuote;
            else if (c == ';' && !l.inQuote)
                l.inParams = true;
            else if (c == ':' && !l.inQuote)
                break;
        }
        if (l.head.size() + colon > maxValueBytes) {
            l.headTooLong = true;
            l.head = QByteArray();
            return;
        }
        l.head.append(bytes.first(colon));
        if (colon == bytes.size())
            return;
        l.headDone = true;
        parseHead();
        bytes = bytes.sliced(colon + 1);
    }
    if (l.discard || bytes.empty())
        return;
    if (l.value.size() + bytes.size() > maxValueBytes) {
        l.tooLong = l.discard = true;
        l.value = QByteArray();
        return;
    }
    l.value.append(bytes);
}

// Group, name and parameters, as 2.1 (bare parameters), 3.0 (TYPE=a,b) and
// 4.0 (TYPE="a,b") write them.
void VCardParser::parseHead() {
    LogicalLine& l = current_;
    const QList<QByteArray> parts = splitOutsideQuotes(l.head, ';');
    QByteArray name = parts[0].trimmed();
    const qsizetype dot = name.lastIndexOf('.');
    Property& p = l.property;
    if (dot >= 0) {
        p.group = name.left(dot).toUpper();
        name = name.mid(dot + 1);
    }
    l.validName = isName(name);
    if (!l.validName) {
        l.discard = true;
        return;
    }
    p.name = name.toUpper();
    p.head = l.head.trimmed();
    auto encoding = [&l](const QByteArray& value) {
        if (value == "QUOTED-PRINTABLE")
            l.quotedPrintable = true;
        else if (value == "BASE64" || value == "B")
            l.binary = true;
        else
            return false;
        return true;
    };
    for (qsizetype i = 1; i < parts.size(); ++i) {
        const QByteArray& parameter = parts[i];
        const qsizetype equals = parameter.indexOf('=');
        if (equals < 0) {
            const QByteArray bare = parameter.trimmed().toUpper();
            if (!encoding(bare) && bare != "8BIT" && bare != "7BIT" && !bare.isEmpty())
                p.types.append(bare);
            continue;
        }
        const QByteArray key = parameter.left(equals).trimmed().toUpper();
        const QByteArray value = parameter.mid(equals + 1).replace('"', QByteArray()).trimmed();
        if (key == "TYPE") {
            for (const QByteArray& type : value.split(','))
                if (!type.trimmed().isEmpty())
                    p.types.append(type.trimmed().toUpper());
        } else if (key == "ENCODING") {
            encoding(value.toUpper());
        } else if (key == "CHARSET") {
            l.charset = value;
        } else if (key == "VALUE") {
            p.valueType = value.toUpper();
        }
    }
    if (p.valueType == "BINARY" || p.name == "PHOTO" || p.name == "LOGO" || p.name == "SOUND" ||
        p.name == "KEY")
        l.binary = true;
}

// The logical line is whole: act on it.
void VCardParser::complete() {
    LogicalLine& l = current_;
    if (!l.active)
        return;
    l.active = false;
    if (!l.headDone) {
        if (!l.headTooLong && l.head.trimmed().isEmpty())
            return; // a blank line
        notAProperty();
        return;
    }
    if (!l.validName) {
        notAProperty();
        return;
    }
    const QByteArray& name = l.property.name;
    if (name == "BEGIN" || name == "END") {
        if (l.value.trimmed().compare("VCARD", Qt::CaseInsensitive) == 0)
            name == "BEGIN" ? beginCard(l.line) : endCard(l.line);
        else if (!inCard_)
            outsideCard(l.line);
        return; // other components inside a card are ignored
    }
    if (!inCard_) {
        outsideCard(l.line);
        return;
    }
    if (cardProblem_)
        return;
    if (l.tooLong) {
        out_.problem(Kind::ValueTooLong, l.line, QString::fromLatin1(name));
        return;
    }
    const QByteArray bytes = l.quotedPrintable ? decodeQuotedPrintable(l.value) : l.value;
    cardBytes_ += bytes.size() + valueOverhead;
    if (cardBytes_ > maxRecordBytes) {
        cardProblem_ = ImportProblem{Kind::TooLarge, cardLine_, 0, {}};
        properties_.clear();
        return;
    }
    Property property = std::move(l.property);
    property.line = l.line;
    property.binary = l.binary;
    property.value = l.binary ? QString::fromLatin1(bytes) : decodeText(bytes, l.charset);
    properties_.append(std::move(property));
}

void VCardParser::notAProperty() {
    const LogicalLine& l = current_;
    if (!inCard_) {
        outsideCard(l.line);
    } else if (!cardProblem_) {
        const QString start = decodeText(l.head).left(40).trimmed();
        cardProblem_ = ImportProblem{Kind::MalformedLine, l.line, 0, start};
    }
}

void VCardParser::outsideCard(qint64 line) {
    if (!outsideReported_)
        out_.problem(Kind::TextOutsideCard, line);
    outsideReported_ = true;
}

void VCardParser::beginCard(qint64 line) {
    if (inCard_)
        out_.problem(Kind::UnterminatedCard, cardLine_);
    inCard_ = true;
    cardLine_ = line;
    properties_.clear();
    cardBytes_ = 0;
    cardBinary_ = 0;
    cardProblem_.reset();
    outsideReported_ = false;
}

void VCardParser::endCard(qint64 line) {
    if (!inCard_) {
        outsideCard(line);
        return;
    }
    inCard_ = false;
    if (cardProblem_) {
        out_.problem(cardProblem_->kind, cardProblem_->line, cardProblem_->detail);
        return;
    }
    out_.binarySkipped += cardBinary_;
    ReadContact read;
    read.line = cardLine_;
    if (contactFromCard(properties_, read, out_.vendorSkipped)) {
        read.card = keptCard(properties_);
        out_.contacts.push_back(std::move(read));
    } else
        out_.problem(Kind::EmptyCard, cardLine_);
}

} // namespace vcard::detail
