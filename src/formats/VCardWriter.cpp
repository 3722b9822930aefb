#include "formats/VCardWriter.h"
#include "Version.h"

#include <QUuid>

#include <cstdint>
#include <cstring>

namespace vcard {

namespace {

QByteArray productLine() {
    return "PRODID:-//Orvanta//Orvanta Contacts " + QByteArray::number(ORVANTA_VERSION_MAJOR) +
           '.' + QByteArray::number(ORVANTA_VERSION_MINOR) + '.' +
           QByteArray::number(ORVANTA_VERSION_PATCH) + "//EN\r\n";
}

constexpr qsizetype foldAt = 75;

bool isEmpty(QByteArrayView a, QByteArrayView b, QByteArrayView c, QByteArrayView d) {
    return a.isEmpty() && b.isEmpty() && c.isEmpty() && d.isEmpty();
}

// True when one of the eight bytes of `word` is one that a value escapes
// (backslash, semicolon, comma, CR, LF): each byte is compared to each at once.
constexpr std::uint64_t ones = 0x0101010101010101;

// The bytes of `word` that equal `c`, as their high bits.
constexpr std::uint64_t bytesEqual(std::uint64_t word, unsigned char c) {
    const std::uint64_t x = word ^ (ones * c);
    return (x - ones) & ~x & (ones << 7);
}

bool escapesAny(std::uint64_t word) {
    return (bytesEqual(word, '\\') | bytesEqual(word, ';') | bytesEqual(word, ',') |
            bytesEqual(word, '\r') | bytesEqual(word, '\n')) != 0;
}

} // namespace

void VCardWriter::begin(const char* nameAndParameters) {
    line_.clear();
    line_.append(nameAndParameters);
    line_.push_back(':');
}

// The value as UTF-8 with \\, \; \, and line breaks escaped. Working on the
// bytes is safe: no byte of a multi-byte UTF-8 character is ASCII. Runs
// without a byte to escape, most values whole, are found eight bytes at a
// time and copied at once.
void VCardWriter::text(QByteArrayView utf8) {
    const char* p = utf8.data();
    const char* const end = p + utf8.size();
    while (p < end) {
        const char* run = p;
        std::uint64_t word;
        while (end - p >= 8 && (std::memcpy(&word, p, 8), !escapesAny(word)))
            p += 8;
        while (p < end && *p != '\\' && *p != ';' && *p != ',' && *p != '\r' && *p != '\n')
            ++p;
        line_.append(run, size_t(p - run));
        if (p == end)
            break;
        switch (*p) {
        case '\\':
            line_.append("\\\\", 2);
            break;
        case ';':
            line_.append("\\;", 2);
            break;
        case ',':
            line_.append("\\,", 2);
            break;
        default: // a line break: CR LF, CR or LF
            line_.append("\\n", 2);
            if (*p == '\r' && p + 1 < end && p[1] == '\n')
                ++p;
            break;
        }
        ++p;
    }
}

// A value whose commas separate the values of a list (the additional names
// of N): each value escaped, the commas between them not.
void VCardWriter::list(QByteArrayView utf8) {
    qsizetype at = 0;
    for (;;) {
        const qsizetype comma = utf8.indexOf(',', at);
        text(utf8.sliced(at, (comma < 0 ? utf8.size() : comma) - at));
        if (comma < 0)
            return;
        line_.push_back(',');
        at = comma + 1;
    }
}

// Folds the line into the output: at most 75 octets per line, a continuation
// line starting with one space, never a cut inside a UTF-8 character. The
// output grows once by the most the folded line can take and is cut back to
// what it took.
void VCardWriter::end() {
    const char* bytes = line_.data();
    const qsizetype size = qsizetype(line_.size());
    const qsizetype start = out_.size();
    out_.resize(start + size + 3 * (size / (foldAt - 1) + 1));
    char* o = out_.data() + start;
    qsizetype at = 0;
    qsizetype room = foldAt;
    while (size - at > room) {
        qsizetype cut = at + room;
        while (cut > at + 1 && (static_cast<unsigned char>(bytes[cut]) & 0xC0) == 0x80)
            --cut;
        memcpy(o, bytes + at, size_t(cut - at));
        o += cut - at;
        memcpy(o, "\r\n ", 3);
        o += 3;
        at = cut;
        room = foldAt - 1;
    }
    memcpy(o, bytes + at, size_t(size - at));
    o += size - at;
    memcpy(o, "\r\n", 2);
    o += 2;
    out_.resize(o - out_.constData());
}

void VCardWriter::write(const Contact& contact, const QString& uid) {
    const QByteArray texts[] = {
        contact.firstName.toUtf8(), contact.middleName.toUtf8(), contact.lastName.toUtf8(),
        contact.address.toUtf8(),   contact.city.toUtf8(),       contact.state.toUtf8(),
        contact.zipCode.toUtf8(),   contact.workPhone.toUtf8(),  contact.homePhone.toUtf8(),
        contact.cellPhone.toUtf8(), contact.email.toUtf8(),      contact.guardian.toUtf8(),
        contact.comments.toUtf8()};
    write(ContactUtf8{contact.id, texts[0], texts[1], texts[2], texts[3], texts[4], texts[5],
                      texts[6], texts[7], texts[8], texts[9], texts[10], texts[11], texts[12],
                      contact.type},
          uid.toUtf8());
}

void VCardWriter::write(const ContactUtf8& c, QByteArrayView uid) {
    const bool v4 = version_ == VCardVersion::V4_0;
    const bool business = c.type == ContactType::Business;
    out_.append(v4 ? "BEGIN:VCARD\r\nVERSION:4.0\r\n" : "BEGIN:VCARD\r\nVERSION:3.0\r\n");
    static const QByteArray prodId = productLine();
    out_.append(prodId);

    begin("UID");
    // In 4.0 a UID is a URI; a bare UUID becomes one with its urn: prefix.
    if (v4 && QUuid::fromString(QLatin1StringView(uid)).toByteArray(QUuid::WithoutBraces) ==
                  uid.toByteArray().toLower())
        line_.append("urn:uuid:");
    text(uid);
    end();

    // FN may not be empty: a contact without a name is named by its e-mail address.
    begin("FN");
    bool first = true;
    QByteArray middle;
    if (c.middleName.contains(','))
        middle = c.middleName.toByteArray().replace(',', ' ');
    for (QByteArrayView name :
         {c.firstName, middle.isEmpty() ? c.middleName : QByteArrayView(middle), c.lastName}) {
        if (name.isEmpty())
            continue;
        if (!first)
            line_.push_back(' ');
        text(name);
        first = false;
    }
    if (first)
        text(c.email);
    end();
    begin("N");
    text(c.lastName);
    separator();
    text(c.firstName);
    separator();
    list(c.middleName);
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
        QByteArrayView value;
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

} // namespace vcard
