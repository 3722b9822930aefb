#include "formats/KeptCard.h"

#include <QUuid>

namespace vcard {

namespace detail {

namespace {

// Parameters that describe how a 2.1 value was transported rather than what
// it means; a 3.0 card carries its values as UTF-8 text or base64.
bool isTransportParameter(const QByteArray& parameter) {
    const QByteArray p = parameter.trimmed().toUpper();
    return p.startsWith("CHARSET=") || p == "QUOTED-PRINTABLE" ||
           p == "ENCODING=QUOTED-PRINTABLE" || p == "8BIT" || p == "ENCODING=8BIT" || p == "7BIT" ||
           p == "ENCODING=7BIT";
}

// The head as written, without transport parameters.
QByteArray cleanHead(const QByteArray& head) {
    if (!head.contains(';'))
        return head;
    QList<QByteArray> parts = head.split(';');
    QByteArray out = parts.takeFirst();
    for (const QByteArray& part : parts)
        if (!isTransportParameter(part))
            out += ';' + part;
    return out;
}

// A 2.1 head in 3.0 form: bare parameters become TYPE values.
QByteArray head30(const Property& p) {
    QByteArray head = p.group.isEmpty() ? p.name : p.group + '.' + p.name;
    QList<QByteArray> types;
    for (const QByteArray& type : p.types)
        if (type != "BASE64" && type != "B")
            types.append(type);
    if (!types.isEmpty())
        head += ";TYPE=" + types.join(',');
    if (p.binary)
        head += ";ENCODING=b";
    if (!p.valueType.isEmpty() && p.valueType != "BINARY")
        head += ";VALUE=" + p.valueType;
    return head;
}

QByteArray withoutBlanks(const QString& value) {
    QByteArray out = value.toLatin1();
    out.removeIf([](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; });
    return out;
}

} // namespace

QByteArray foldedLine(QByteArrayView line) {
    constexpr qsizetype foldAt = 75;
    QByteArray out;
    out.reserve(line.size() + line.size() / 24 + 2);
    qsizetype at = 0;
    qsizetype room = foldAt;
    while (line.size() - at > room) {
        qsizetype cut = at + room;
        while (cut > at + 1 && (static_cast<unsigned char>(line[cut]) & 0xC0) == 0x80)
            --cut;
        out += line.sliced(at, cut - at);
        out += "\r\n ";
        at = cut;
        room = foldAt - 1;
    }
    out += line.sliced(at);
    out += "\r\n";
    return out;
}

QByteArray keptCard(const QList<Property>& properties) {
    QByteArray version = "3.0";
    for (const Property& p : properties)
        if (p.name == "VERSION")
            version = p.value.trimmed().toLatin1();
    const bool v21 = version != "3.0" && version != "4.0";
    QByteArray card = "BEGIN:VCARD\r\nVERSION:" + (v21 ? QByteArray("3.0") : version) + "\r\n";
    for (const Property& p : properties) {
        if (p.name == "VERSION")
            continue;
        const QByteArray head = v21 ? head30(p) : cleanHead(p.head);
        if (p.binary)
            card += foldedLine(head + ':' + (v21 ? withoutBlanks(p.value) : p.value.toLatin1()));
        else
            card += foldedLine(head + ':' + p.value.toUtf8());
    }
    return card + "END:VCARD\r\n";
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

// The name of a content line ("item1.tel;type=x:…" is TEL), upper case.
QByteArray lineName(const QByteArray& line) {
    const qsizetype colon = line.indexOf(':');
    QByteArray name = line.left(colon < 0 ? line.size() : colon).trimmed();
    if (const qsizetype semicolon = name.indexOf(';'); semicolon >= 0)
        name.truncate(semicolon);
    return name.mid(name.lastIndexOf('.') + 1).toUpper();
}

} // namespace

QByteArray withUid(const QByteArray& card, const QString& uid, bool replace) {
    QByteArray out;
    out.reserve(card.size() + 64);
    bool inVersion = false;
    bool dropping = false;
    bool haveUid = false;
    qsizetype afterVersion = -1;
    qsizetype at = 0;
    while (at < card.size()) {
        qsizetype end = card.indexOf('\n', at);
        end = end < 0 ? card.size() : end + 1;
        const QByteArray line = card.mid(at, end - at);
        at = end;
        if (!line.startsWith(' ') && !line.startsWith('\t')) {
            const QByteArray name = lineName(line);
            if (inVersion && afterVersion < 0)
                afterVersion = out.size();
            inVersion = name == "VERSION";
            dropping = replace && name == "UID";
            haveUid = haveUid || name == "UID";
        }
        if (!dropping)
            out += line;
    }
    if (inVersion && afterVersion < 0)
        afterVersion = out.size();
    if ((haveUid && !replace) || afterVersion < 0)
        return card;
    const bool v4 = card.contains("VERSION:4.0");
    return out.left(afterVersion) +
           detail::foldedLine("UID:" + QByteArray(v4 ? "urn:uuid:" : "") + uid.toUtf8()) +
           out.mid(afterVersion);
}

QString randomUid() {
    return QUuid::createUuid().toString(QUuid::WithoutBraces);
}

} // namespace vcard
