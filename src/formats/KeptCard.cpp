#include "formats/KeptCard.h"
#include "formats/TextDecoding.h"

#include <QUuid>

#include <cstring>
#include <string>
#include <string_view>

namespace vcard {

namespace detail {

namespace {

// Parameters that describe how a 2.1 value was transported rather than what
// it means; a 3.0 card carries its values as UTF-8 text or base64.
bool isTransportParameter(QByteArrayView parameter) {
    const QByteArrayView p = parameter.trimmed();
    return (p.size() >= 8 && isNamed(p.first(8), "CHARSET=")) || isNamed(p, "QUOTED-PRINTABLE") ||
           isNamed(p, "ENCODING=QUOTED-PRINTABLE") || isNamed(p, "8BIT") ||
           isNamed(p, "ENCODING=8BIT") || isNamed(p, "7BIT") || isNamed(p, "ENCODING=7BIT");
}

// The head as written, without transport parameters; read in place, copied
// only when one is left out.
QByteArray cleanHead(const QByteArray& head) {
    const QByteArrayView text(head);
    qsizetype at = indexOfByte(text, ';');
    if (at < 0)
        return head;
    QByteArray out;
    bool dropped = false;
    while (at < text.size()) {
        qsizetype end = indexOfByte(text, ';', at + 1);
        if (end < 0)
            end = text.size();
        const QByteArrayView part = text.sliced(at + 1, end - at - 1);
        if (isTransportParameter(part)) {
            if (!dropped)
                out = text.first(at).toByteArray();
            dropped = true;
        } else if (dropped) {
            out += ';';
            out += part;
        }
        at = end;
    }
    return dropped ? out : head;
}

// A 2.1 head in 3.0 form: bare parameters become TYPE values.
// A decoded parameter value written back so that the line stays one line:
// caret, line break and double quote as RFC 6868 writes them, and quoted
// when it holds a separator.
QByteArray paramValue(const QByteArray& value) {
    QByteArray out;
    bool quote = false;
    for (const char c : value) {
        switch (c) {
        case '^':
            out += "^^";
            break;
        case '\n':
            out += "^n";
            break;
        case '"':
            out += "^'";
            break;
        case '\r':
            break;
        default:
            quote = quote || c == ',' || c == ';' || c == ':';
            out += c;
        }
    }
    return quote ? '"' + out + '"' : out;
}

QByteArray head30(const Property& p) {
    QByteArray head = p.group.isEmpty() ? p.name : p.group + '.' + p.name;
    QList<QByteArray> types;
    for (const QByteArray& type : p.types)
        if (type != "BASE64" && type != "B")
            types.append(paramValue(type));
    if (!types.isEmpty())
        head += ";TYPE=" + types.join(',');
    if (p.binary)
        head += ";ENCODING=b";
    if (!p.valueType.isEmpty() && p.valueType != "BINARY")
        head += ";VALUE=" + p.valueType;
    return head;
}

QByteArray withoutBlanks(QByteArray out) {
    out.removeIf([](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; });
    return out;
}

} // namespace

namespace {

// The output grows once by the most the folded line can take and is cut
// back to what it took.
void appendFolded(QByteArray& out, QByteArrayView line) {
    constexpr qsizetype foldAt = 75;
    const qsizetype start = out.size();
    out.resize(start + line.size() + 3 * (line.size() / (foldAt - 1) + 1) + 2);
    char* o = out.data() + start;
    qsizetype at = 0;
    qsizetype room = foldAt;
    while (line.size() - at > room) {
        qsizetype cut = at + room;
        while (cut > at + 1 && (static_cast<unsigned char>(line[cut]) & 0xC0) == 0x80)
            --cut;
        std::memcpy(o, line.data() + at, size_t(cut - at));
        o += cut - at;
        std::memcpy(o, "\r\n ", 3);
        o += 3;
        at = cut;
        room = foldAt - 1;
    }
    if (line.size() > at)
        std::memcpy(o, line.data() + at, size_t(line.size() - at));
    o += line.size() - at;
    std::memcpy(o, "\r\n", 2);
    o += 2;
    out.truncate(o - out.constData());
}

} // namespace

QByteArray foldedLine(QByteArrayView line) {
    QByteArray out;
    out.reserve(line.size() + line.size() / 24 + 2);
    appendFolded(out, line);
    return out;
}

QByteArray keptCard(const QList<Property>& properties) {
    QByteArray version = "3.0";
    qsizetype size = 64;
    for (const Property& p : properties) {
        if (QByteArrayView(p.name) == "VERSION")
            version = p.value.trimmed().toLatin1();
        size += p.head.size() + p.value.size() * 3 / 2 + 8;
    }
    const bool v21 = version != "3.0" && version != "4.0";
    QByteArray card;
    card.reserve(size + size / 24);
    card += "BEGIN:VCARD\r\nVERSION:";
    card += v21 ? QByteArray("3.0") : version;
    card += "\r\n";
    std::string line; // one buffer for every unfolded line
    auto add = [&line](QByteArrayView bytes) { line.append(bytes.data(), size_t(bytes.size())); };
    for (const Property& p : properties) {
        if (QByteArrayView(p.name) == "VERSION")
            continue;
        line.clear();
        add(v21 ? head30(p) : cleanHead(p.head));
        line.push_back(':');
        // The bytes read stand for the value where they are its UTF-8 text.
        const QByteArray value = !p.utf8.isEmpty() ? p.utf8
                                 : p.binary        ? p.value.toLatin1()
                                                   : p.value.toUtf8();
        add(p.binary && v21 ? withoutBlanks(value) : value);
        appendFolded(card, QByteArrayView(line.data(), qsizetype(line.size())));
    }
    card += "END:VCARD\r\n";
    return card;
}

} // namespace detail

QByteArray withCrLf(const QByteArray& card) {
    QByteArray out;
    out.reserve(card.size() + card.size() / 32);
    for (qsizetype i = 0; i < card.size(); ++i) {
        const char c = card[i];
        if (c == '\r') {
            out += "\r\n";
            if (i + 1 < card.size() && card[i + 1] == '\n')
                ++i;
        } else if (c == '\n') {
            out += "\r\n";
        } else {
            out += c;
        }
    }
    return out;
}

namespace {

// The name of a content line ("item1.tel;type=x:…" is TEL), as written.
QByteArrayView lineName(QByteArrayView line) {
    const qsizetype colon = detail::indexOfByte(line, ':');
    QByteArrayView name = line.first(colon < 0 ? line.size() : colon).trimmed();
    if (const qsizetype semicolon = detail::indexOfByte(name, ';'); semicolon >= 0)
        name.truncate(semicolon);
    return name.sliced(detail::lastIndexOfByte(name, '.') + 1);
}

} // namespace

// The lines are copied as views of the card, the UID line put in right
// where the VERSION line (with its continuation lines) ends.
QByteArray withUid(const QByteArray& card, const QString& uid, bool replace) {
    const bool v4 = std::string_view(card.constData(), size_t(card.size())).find("VERSION:4.0") !=
                    std::string_view::npos;
    const QByteArray uidLine =
        detail::foldedLine("UID:" + QByteArray(v4 ? "urn:uuid:" : "") + uid.toUtf8());
    QByteArray out;
    out.reserve(card.size() + uidLine.size());
    bool inVersion = false;
    bool dropping = false;
    bool haveUid = false;
    bool placed = false;
    const QByteArrayView text(card);
    qsizetype at = 0;
    while (at < text.size()) {
        qsizetype end = detail::indexOfByte(text, '\n', at);
        end = end < 0 ? text.size() : end + 1;
        const QByteArrayView line = text.sliced(at, end - at);
        at = end;
        if (!line.startsWith(' ') && !line.startsWith('\t')) {
            const QByteArrayView name = lineName(line);
            if (inVersion && !placed) {
                detail::appendBytes(out, uidLine);
                placed = true;
            }
            inVersion = detail::isNamed(name, "VERSION");
            const bool isUid = detail::isNamed(name, "UID");
            dropping = replace && isUid;
            haveUid = haveUid || isUid;
        }
        if (!dropping)
            detail::appendBytes(out, line);
    }
    if (inVersion && !placed) {
        out += uidLine;
        placed = true;
    }
    if ((haveUid && !replace) || !placed)
        return card;
    return out;
}

QString randomUid() {
    return QUuid::createUuid().toString(QUuid::WithoutBraces);
}

} // namespace vcard
