#include "vcard/VCardWriter.h"
#include "Version.h"

#include <QUuid>

namespace vcard {

namespace {

QByteArray productLine() {
    return "PRODID:-//Orvanta//Orvanta Contacts " + QByteArray::number(ORVANTA_VERSION_MAJOR) +
           '.' + QByteArray::number(ORVANTA_VERSION_MINOR) + '.' +
           QByteArray::number(ORVANTA_VERSION_PATCH) + "//EN\r\n";
}

constexpr qsizetype foldAt = 75;

bool isEmpty(const QString& a, const QString& b, const QString& c, const QString& d) {
    return a.isEmpty() && b.isEmpty() && c.isEmpty() && d.isEmpty();
}

} // namespace

void VCardWriter::begin(const char* nameAndParameters) {
    line_.resize(0);
    line_.append(nameAndParameters);
    line_.append(':');
}

// The value as UTF-8 with \\, \; \, and line breaks escaped. Working on the
// bytes is safe: no byte of a multi-byte UTF-8 character is ASCII.
void VCardWriter::text(const QString& value) {
    const QByteArray bytes = value.toUtf8();
    const char* p = bytes.constData();
    const char* const end = p + bytes.size();
    const char* run = p; // the bytes since the last escape, appended at once
    for (; p < end; ++p) {
        const char* escaped;
        switch (*p) {
        case '\\':
            escaped = "\\\\";
            break;
        case ';':
            escaped = "\\;";
            break;
        case ',':
            escaped = "\\,";
            break;
        case '\r':
        case '\n':
            escaped = "\\n";
            break;
        default:
            continue;
        }
        line_.append(run, p - run);
        line_.append(escaped, 2);
        if (*p == '\r' && p + 1 < end && p[1] == '\n')
            ++p;
        run = p + 1;
    }
    line_.append(run, end - run);
}

// Folds the line into the output: at most 75 octets per line, a continuation
// line starting with one space, never a cut inside a UTF-8 character.
void VCardWriter::end() {
    const char* bytes = line_.constData();
    const qsizetype size = line_.size();
    qsizetype at = 0;
    qsizetype room = foldAt;
    while (size - at > room) {
        qsizetype cut = at + room;
        while (cut > at + 1 && (static_cast<unsigned char>(bytes[cut]) & 0xC0) == 0x80)
            --cut;
        out_.append(bytes + at, cut - at);
        out_.append("\r\n ", 3);
        at = cut;
        room = foldAt - 1;
    }
    out_.append(bytes + at, size - at);
    out_.append("\r\n", 2);
}

void VCardWriter::write(const Contact& c, const QString& uid) {
    const bool v4 = version_ == VCardVersion::V4_0;
    const bool business = c.type == ContactType::Business;
    out_.append(v4 ? "BEGIN:VCARD\r\nVERSION:4.0\r\n" : "BEGIN:VCARD\r\nVERSION:3.0\r\n");
    static const QByteArray prodId = productLine();
    out_.append(prodId);

    begin("UID");
    // In 4.0 a UID is a URI; a bare UUID becomes one with its urn: prefix.
    if (v4 && QUuid::fromString(uid).toString(QUuid::WithoutBraces) == uid.toLower())
        line_.append("urn:uuid:");
    text(uid);
    end();

    QString full;
    for (const QString* name : {&c.firstName, &c.middleName, &c.lastName})
        if (!name->isEmpty())
            full += (full.isEmpty() ? QString() : QStringLiteral(" ")) + *name;
    begin("FN");
    text(full);
    end();
    begin("N");
    text(c.lastName);
    separator();
    text(c.firstName);
    separator();
    text(c.middleName);
    line_.append(";;");
    end();

    if (!isEmpty(c.address, c.city, c.state, c.zipCode)) {
        begin(business ? (v4 ? "ADR;TYPE=work" : "ADR;TYPE=WORK")
                       : (v4 ? "ADR;TYPE=home" : "ADR;TYPE=HOME"));
        line_.append(";;");
        text(c.address);
        separator();
        text(c.city);
        separator();
        text(c.state);
        separator();
        text(c.zipCode);
        separator();
        end();
    }
    const struct {
        const QString& value;
        const char* v3;
        const char* v4;
    } single[] = {
        {c.workPhone, "TEL;TYPE=WORK", "TEL;TYPE=work"},
        {c.homePhone, "TEL;TYPE=HOME", "TEL;TYPE=home"},
        {c.cellPhone, "TEL;TYPE=CELL", "TEL;TYPE=cell"},
        {c.email, "EMAIL;TYPE=INTERNET", "EMAIL"},
        {c.guardian, "X-ORVANTA-GUARDIAN", "X-ORVANTA-GUARDIAN"},
        {c.comments, "NOTE", "NOTE"},
    };
    for (const auto& property : single) {
        if (property.value.isEmpty())
            continue;
        begin(v4 ? property.v4 : property.v3);
        text(property.value);
        end();
    }
    out_.append(business ? "CATEGORIES:Business\r\nEND:VCARD\r\n"
                         : "CATEGORIES:Personal\r\nEND:VCARD\r\n");
}

QString stableUid(qint64 id, const QString& seed) {
    // This program's own namespace for name-based UUIDs.
    static const QUuid space(QStringLiteral("5107ea4f-d74a-46e3-be1b-07e88e50a012"));
    return QUuid::createUuidV5(space, seed + u'\n' + QString::number(id))
        .toString(QUuid::WithoutBraces);
}

} // namespace vcard
