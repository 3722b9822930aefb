// Content lines of vCard 2.1, 3.0 and 4.0, assembled from the physical lines
// as they arrive: folds (a line starting with a space or tab), quoted-printable
// soft line breaks, any line ends. A value is kept only up to maxValueBytes, so
// a huge line costs time but no memory.
#include "formats/KeptCard.h"
#include "formats/Parsers.h"
#include "formats/TextDecoding.h"

#include <cstdint>
#include <cstring>

namespace vcard::detail {

namespace {

using Kind = ImportProblem::Kind;

bool isNameChar(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-';
}

bool isName(QByteArrayView name) {
    if (name.isEmpty())
        return false;
    for (const char c : name)
        if (!isNameChar(c))
            return false;
    return true;
}

// The text in upper case (ASCII letters only). The names and types most
// cards use come from a table of shared texts, which costs no allocation.
QByteArray upperCase(QByteArrayView text) {
    static const QByteArray common[] = {
        QByteArrayLiteral("BEGIN"),
        QByteArrayLiteral("END"),
        QByteArrayLiteral("VERSION"),
        QByteArrayLiteral("PRODID"),
        QByteArrayLiteral("UID"),
        QByteArrayLiteral("FN"),
        QByteArrayLiteral("N"),
        QByteArrayLiteral("ADR"),
        QByteArrayLiteral("TEL"),
        QByteArrayLiteral("EMAIL"),
        QByteArrayLiteral("NOTE"),
        QByteArrayLiteral("CATEGORIES"),
        QByteArrayLiteral("ORG"),
        QByteArrayLiteral("TITLE"),
        QByteArrayLiteral("REV"),
        QByteArrayLiteral("URL"),
        QByteArrayLiteral("BDAY"),
        QByteArrayLiteral("NICKNAME"),
        QByteArrayLiteral("X-ORVANTA-GUARDIAN"),
        QByteArrayLiteral("WORK"),
        QByteArrayLiteral("HOME"),
        QByteArrayLiteral("CELL"),
        QByteArrayLiteral("VOICE"),
        QByteArrayLiteral("INTERNET"),
        QByteArrayLiteral("PREF"),
        QByteArrayLiteral("FAX"),
        QByteArrayLiteral("MOBILE"),
        QByteArrayLiteral("URI"),
        QByteArrayLiteral("TEXT"),
    };
    for (const QByteArray& name : common)
        if (name.size() == text.size() && isNamed(text, name))
            return name;
    return text.toByteArray().toUpper();
}

// The first CR or LF, or the size when there is none; eight bytes at a time
// over the runs of text between.
qsizetype lineEnd(QByteArrayView bytes) {
    constexpr std::uint64_t ones = 0x0101010101010101;
    constexpr std::uint64_t highs = ones << 7;
    auto hasByte = [](std::uint64_t word, unsigned char c) {
        const std::uint64_t x = word ^ (ones * c);
        return ((x - ones) & ~x & highs) != 0;
    };
    const char* const begin = bytes.data();
    const char* const end = begin + bytes.size();
    const char* at = begin;
    for (std::uint64_t word; end - at >= 8; at += 8) {
        std::memcpy(&word, at, 8);
        if (hasByte(word, '\n') || hasByte(word, '\r'))
            break;
    }
    while (at != end && *at != '\n' && *at != '\r')
        ++at;
    return at - begin;
}

// RFC 6868: ^n is a line break, ^^ a caret, ^' a double quote; any other
// caret stays as it is.
QByteArray decodeCarets(const QByteArray& value) {
    if (!value.contains('^'))
        return value;
    QByteArray out;
    out.reserve(value.size());
    for (qsizetype i = 0; i < value.size(); ++i) {
        const char next = i + 1 < value.size() ? value[i + 1] : '\0';
        if (value[i] == '^' && (next == 'n' || next == '^' || next == '\'')) {
            out.append(next == 'n' ? '\n' : next == '^' ? '^' : '"');
            ++i;
        } else {
            out.append(value[i]);
        }
    }
    return out;
}

} // namespace

// CR LF, LF and CR alone each end a line; so does CR CR LF, as some phones
// write it, without leaving an empty line behind.
void VCardParser::feed(QByteArrayView bytes) {
    while (!bytes.empty()) {
        if (afterCr_) {
            const char c = bytes.front();
            if (c == '\r' || c == '\n') {
                afterCr_ = c == '\r';
                bytes = bytes.sliced(1);
                continue;
            }
            afterCr_ = false;
        }
        const qsizetype end = lineEnd(bytes);
        if (end == bytes.size()) {
            piece(bytes, false);
            return;
        }
        piece(bytes.first(end), true);
        afterCr_ = bytes[end] == '\r';
        bytes = bytes.sliced(end + 1);
    }
}

void VCardParser::finish() {
    complete();
    for (const OpenCard& card : enclosing_)
        out_.problem(Kind::UnterminatedCard, card.line);
    enclosing_.clear();
    if (inCard_) {
        out_.problem(Kind::UnterminatedCard, card_.line);
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
            // Buffers the last property still shares are let go rather than
            // emptied: emptying a shared one would allocate twice.
            for (QByteArray* buffer : {&l.head, &l.value}) {
                if (buffer->isDetached())
                    buffer->resize(0);
                else
                    *buffer = QByteArray();
            }
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
        appendBytes(l.head, bytes.first(colon));
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
    appendBytes(l.value, bytes);
}

// Group, name and parameters, as 2.1 (bare parameters), 3.0 (TYPE=a,b) and
// 4.0 (TYPE="a,b"). The head is read in place; the common names and types
// are shared texts, so most properties allocate nothing for them.
void VCardParser::parseHead() {
    LogicalLine& l = current_;
    const QByteArrayView head(l.head);
    bool quoted = false;
    // The end of the part starting at `from`: the next ';' outside quotes.
    auto partEnd = [&](qsizetype from) {
        qsizetype i = from;
        for (; i < head.size(); ++i) {
            if (head[i] == '"')
                quoted = !quoted;
            else if (head[i] == ';' && !quoted)
                break;
        }
        return i;
    };
    qsizetype end = partEnd(0);
    QByteArrayView name = head.first(end).trimmed();
    const qsizetype dot = lastIndexOfByte(name, '.');
    Property& p = l.property;
    if (dot >= 0) {
        p.group = name.first(dot).toByteArray().toUpper();
        name = name.sliced(dot + 1);
    }
    l.validName = isName(name);
    if (!l.validName) {
        l.discard = true;
        return;
    }
    p.name = upperCase(name);
    p.head = l.head.trimmed();
    auto encoding = [&l](QByteArrayView value) {
        if (isNamed(value, "QUOTED-PRINTABLE"))
            l.quotedPrintable = true;
        else if (isNamed(value, "BASE64") || isNamed(value, "B"))
            l.binary = true;
        else
            return false;
        return true;
    };
    while (end < head.size()) {
        const qsizetype from = end + 1;
        end = partEnd(from);
        const QByteArrayView parameter = head.sliced(from, end - from);
        const qsizetype equals = indexOfByte(parameter, '=');
        if (equals < 0) {
            const QByteArrayView bare = parameter.trimmed();
            if (!encoding(bare) && !isNamed(bare, "8BIT") && !isNamed(bare, "7BIT") &&
                !bare.isEmpty())
                p.types.append(upperCase(bare));
            continue;
        }
        const QByteArrayView key = parameter.first(equals).trimmed();
        const QByteArrayView written = parameter.sliced(equals + 1);
        QByteArray decoded;
        QByteArrayView value = written.trimmed();
        if (indexOfByte(written, '"') >= 0 || indexOfByte(written, '^') >= 0) {
            decoded = decodeCarets(written.toByteArray().replace('"', QByteArray()).trimmed());
            value = decoded;
        }
        if (isNamed(key, "TYPE")) {
            for (qsizetype at = 0; at <= value.size();) {
                qsizetype comma = indexOfByte(value, ',', at);
                if (comma < 0)
                    comma = value.size();
                if (const QByteArrayView type = value.sliced(at, comma - at).trimmed();
                    !type.isEmpty())
                    p.types.append(upperCase(type));
                at = comma + 1;
            }
        } else if (isNamed(key, "ENCODING")) {
            encoding(value);
        } else if (isNamed(key, "CHARSET")) {
            l.charset = value.toByteArray();
        } else if (isNamed(key, "VALUE")) {
            p.valueType = upperCase(value);
        }
    }
    const QByteArrayView property = p.name;
    if (QByteArrayView(p.valueType) == "BINARY" || property == "PHOTO" || property == "LOGO" ||
        property == "SOUND" || property == "KEY")
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
    const QByteArrayView name = l.property.name;
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
    if (card_.tooLarge)
        return;
    if (l.tooLong) {
        out_.problem(Kind::ValueTooLong, l.line, QString::fromLatin1(name));
        return;
    }
    const QByteArray bytes = l.quotedPrintable ? decodeQuotedPrintable(l.value) : l.value;
    card_.bytes += bytes.size() + valueOverhead;
    if (card_.bytes > maxRecordBytes) {
        card_.tooLarge = true;
        card_.properties.clear();
        return;
    }
    Property property = std::move(l.property);
    property.line = l.line;
    property.binary = l.binary;
    bool exactUtf8 = l.binary;
    property.value =
        l.binary ? QString::fromLatin1(bytes) : decodeText(bytes, l.charset, &exactUtf8);
    if (exactUtf8)
        property.utf8 = bytes;
    card_.properties.append(std::move(property));
}

// A line that is not name:value is skipped; the rest of its card is read.
void VCardParser::notAProperty() {
    const LogicalLine& l = current_;
    if (!inCard_)
        outsideCard(l.line);
    else
        out_.problem(Kind::MalformedLine, l.line, decodeText(l.head).left(40).trimmed());
}

void VCardParser::outsideCard(qint64 line) {
    if (!outsideReported_)
        out_.problem(Kind::TextOutsideCard, line);
    outsideReported_ = true;
}

// A card may hold another (a 2.1 AGENT): the outer one is read on after the
// inner one ends.
void VCardParser::beginCard(qint64 line) {
    if (inCard_) {
        if (enclosing_.size() < maxNesting)
            enclosing_.append(std::move(card_));
        else
            out_.problem(Kind::UnterminatedCard, card_.line);
    }
    inCard_ = true;
    // The list keeps its room from the card before: most cards are alike.
    QList<Property> properties = std::move(card_.properties);
    properties.clear();
    card_ = OpenCard{};
    card_.properties = std::move(properties);
    card_.line = line;
    outsideReported_ = false;
}

void VCardParser::endCard(qint64 line) {
    if (!inCard_) {
        outsideCard(line);
        return;
    }
    takeCard();
    if (!enclosing_.isEmpty()) {
        card_ = enclosing_.takeLast();
        return;
    }
    inCard_ = false;
}

void VCardParser::takeCard() {
    if (card_.tooLarge) {
        out_.problem(Kind::TooLarge, card_.line);
        return;
    }
    out_.binarySkipped += card_.binary;
    ReadContact read;
    read.line = card_.line;
    if (contactFromCard(card_.properties, read, out_.vendorSkipped)) {
        read.card = keptCard(card_.properties);
        out_.contacts.push_back(std::move(read));
    } else {
        out_.problem(Kind::EmptyCard, card_.line);
    }
}

} // namespace vcard::detail
