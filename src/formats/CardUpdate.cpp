#include "formats/CardUpdate.h"

#include "formats/ContactFileReader.h"
#include "formats/KeptCard.h"
#include "formats/TextDecoding.h"

#include <QDateTime>
#include <QList>
#include <QRegularExpression>
#include <QUrl>

namespace vcard {

namespace {

// One content line as it came (its physical lines with their breaks) and
// unfolded, split into its head (group, name, parameters) and its value.
struct Line {
    QByteArray raw;
    QByteArray head;
    QByteArray name; // upper case, without group
    QString value;   // escapes still in place
    bool replaced = false;
    bool removed = false;
};

QList<QByteArray> parameterTypes(const QByteArray& head) {
    QList<QByteArray> types;
    const QList<QByteArray> parts = head.split(';');
    for (qsizetype i = 1; i < parts.size(); ++i) {
        QByteArray p = parts[i].toUpper();
        if (p.startsWith("TYPE="))
            p = p.mid(5);
        p.replace('"', "");
        for (const QByteArray& t : p.split(','))
            types.append(t.trimmed());
    }
    return types;
}

QString escaped(const QString& value) {
    QString out;
    out.reserve(value.size());
    for (qsizetype i = 0; i < value.size(); ++i) {
        const QChar c = value[i];
        if (c == u'\\' || c == u';' || c == u',') {
            out += u'\\';
            out += c;
        } else if (c == u'\r' || c == u'\n') {
            out += QStringLiteral("\\n");
            if (c == u'\r' && i + 1 < value.size() && value[i + 1] == u'\n')
                ++i;
        } else {
            out += c;
        }
    }
    return out;
}

class Card {
public:
    bool parse(const QByteArray& text) {
        qsizetype at = 0;
        while (at < text.size()) {
            qsizetype end = text.indexOf('\n', at);
            end = end < 0 ? text.size() : end + 1;
            const QByteArray physical = text.mid(at, end - at);
            at = end;
            QByteArray content = physical;
            while (content.endsWith('\n') || content.endsWith('\r'))
                content.chop(1);
            if (!lines_.isEmpty() && (physical.startsWith(' ') || physical.startsWith('\t'))) {
                lines_.last().raw += physical;
                lines_.last().head += content.mid(1); // re-split below
                continue;
            }
            if (content.isEmpty() && lines_.isEmpty())
                continue;
            Line line;
            line.raw = physical;
            line.head = content;
            lines_.append(line);
        }
        for (Line& line : lines_) {
            const QByteArray whole = line.head;
            bool quoted = false;
            qsizetype colon = -1;
            for (qsizetype i = 0; i < whole.size(); ++i) {
                if (whole[i] == '"')
                    quoted = !quoted;
                else if (whole[i] == ':' && !quoted) {
                    colon = i;
                    break;
                }
            }
            if (colon < 0) {
                line.head.clear();
                continue;
            }
            line.head = whole.left(colon);
            line.value = QString::fromUtf8(whole.mid(colon + 1));
            QByteArray name = line.head.left(line.head.indexOf(';') < 0 ? line.head.size()
                                                                        : line.head.indexOf(';'));
            if (const qsizetype dot = name.indexOf('.'); dot >= 0)
                name = name.mid(dot + 1);
            line.name = name.toUpper();
            if (line.name == "VERSION")
                v4_ = line.value.trimmed() == QStringLiteral("4.0");
        }
        return !lines_.isEmpty();
    }

    QList<Line*> all(const char* name) {
        QList<Line*> found;
        for (Line& line : lines_)
            if (!line.removed && line.name == name)
                found.append(&line);
        return found;
    }
    Line* first(const char* name) {
        const QList<Line*> found = all(name);
        return found.isEmpty() ? nullptr : found.first();
    }

    void set(Line* line, const QString& value) {
        line->value = value;
        line->replaced = true;
    }

    // A new line before END:VCARD, or after `after` when given.
    Line* add(const QByteArray& head, const QString& value, Line* after = nullptr) {
        Line line;
        line.head = head;
        line.name = head.left(head.indexOf(';') < 0 ? head.size() : head.indexOf(';'));
        line.value = value;
        line.replaced = true;
        qsizetype at = lines_.size();
        if (after) {
            at = after - lines_.data() + 1;
        } else {
            for (qsizetype i = lines_.size() - 1; i >= 0; --i)
                if (lines_[i].name == "END") {
                    at = i;
                    break;
                }
        }
        lines_.insert(at, line);
        return &lines_[at];
    }

    QByteArray text() const {
        QByteArray out;
        for (const Line& line : lines_) {
            if (line.removed)
                continue;
            out += line.replaced ? detail::foldedLine(line.head + ':' + line.value.toUtf8())
                                 : withCrLf(line.raw);
        }
        return out;
    }

    bool changed() const {
        for (const Line& line : lines_)
            if (line.replaced || line.removed)
                return true;
        return false;
    }

    bool v4() const { return v4_; }

private:
    QList<Line> lines_;
    bool v4_ = false;
};

// The components of a compound value, escapes kept, at least `count` of them.
QStringList components(const QString& value, qsizetype count) {
    QStringList parts;
    for (const QStringView part : detail::splitEscaped(value, u';'))
        parts.append(part.toString());
    while (parts.size() < count)
        parts.append(QString());
    return parts;
}

QString phoneOf(const Line& line) {
    QString number = detail::unescapeText(line.value);
    if (number.startsWith(QStringLiteral("tel:"), Qt::CaseInsensitive))
        number.remove(0, 4);
    return number;
}

// A number as the part of a tel: URI after the scheme: blanks, which a URI
// cannot hold, become hyphens, one of the visual separators it allows.
QString telUri(const QString& number) {
    QStringList pieces =
        number.split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts);
    for (QString& piece : pieces)
        piece = QString::fromLatin1(QUrl::toPercentEncoding(piece, "+-.()*#/:"));
    return pieces.join(u'-');
}

void updatePhone(Card& card, const QString& before, const QString& after, const char* type) {
    if (before == after)
        return;
    Line* line = nullptr;
    if (!before.isEmpty()) {
        for (Line* tel : card.all("TEL")) {
            if (phoneOf(*tel) != before)
                continue;
            const QList<QByteArray> types = parameterTypes(tel->head);
            if (types.contains(type) || (qstrcmp(type, "CELL") == 0 && types.contains("MOBILE"))) {
                line = tel;
                break;
            }
            if (!line)
                line = tel;
        }
    }
    if (!line) {
        if (!after.isEmpty())
            card.add(QByteArray("TEL;TYPE=") +
                         (card.v4() ? QByteArray(type).toLower() : QByteArray(type)),
                     escaped(after));
        return;
    }
    if (after.isEmpty()) {
        line->removed = true;
        return;
    }
    const bool uri = line->value.startsWith(QStringLiteral("tel:"), Qt::CaseInsensitive);
    card.set(line, uri ? QStringLiteral("tel:") + telUri(after) : escaped(after));
}

void updateSingle(Card& card, const char* name, const QByteArray& newHead, const QString& before,
                  const QString& after) {
    if (before == after)
        return;
    Line* line = card.first(name);
    if (!line) {
        if (!after.isEmpty())
            card.add(newHead, escaped(after));
    } else if (after.isEmpty()) {
        line->removed = true;
    } else {
        card.set(line, escaped(after));
    }
}

// The names one after the other; the additional names' commas become blanks.
QString fullName(const Contact& c) {
    QString full;
    for (const QString& name : {c.firstName, QString(c.middleName).replace(u',', u' '), c.lastName})
        if (!name.isEmpty())
            full += (full.isEmpty() ? QString() : QStringLiteral(" ")) + name;
    return full;
}

// The organization's name: the first component of the first ORG.
QString organizationOf(Card& card) {
    const Line* org = card.first("ORG");
    if (!org)
        return {};
    return detail::unescapeText(components(org->value, 1).first()).trimmed();
}

// A value whose commas separate the values of a list (additional names).
QString escapedList(const QString& value) {
    QStringList values = value.split(u',');
    for (QString& one : values)
        one = escaped(one);
    return values.join(u',');
}

void updateNames(Card& card, const Contact& before, const Contact& after) {
    if (before.firstName == after.firstName && before.middleName == after.middleName &&
        before.lastName == after.lastName)
        return;
    QString full = fullName(after);
    if (full.isEmpty())
        full = organizationOf(card);
    if (full.isEmpty())
        full = after.email;
    Line* fn = card.first("FN");
    if (fn)
        card.set(fn, escaped(full));
    else
        fn = card.add("FN", escaped(full), card.first("VERSION"));
    Line* n = card.first("N");
    QStringList parts = components(n ? n->value : QString(), 5);
    parts[0] = escaped(after.lastName);
    parts[1] = escaped(after.firstName);
    parts[2] = escapedList(after.middleName);
    if (n)
        card.set(n, parts.join(u';'));
    else
        card.add("N", parts.join(u';'), fn);
}

void updateAddress(Card& card, const Contact& before, const Contact& after) {
    if (before.address == after.address && before.city == after.city &&
        before.state == after.state && before.zipCode == after.zipCode)
        return;
    Line* adr = card.first("ADR");
    QStringList parts = components(adr ? adr->value : QString(), 7);
    parts[2] = escaped(after.address);
    parts[3] = escaped(after.city);
    parts[4] = escaped(after.state);
    parts[5] = escaped(after.zipCode);
    bool empty = true;
    for (const QString& part : parts)
        empty = empty && part.isEmpty();
    if (adr && empty)
        adr->removed = true;
    else if (adr)
        card.set(adr, parts.join(u';'));
    else if (!empty)
        card.add(after.type == ContactType::Business
                     ? (card.v4() ? "ADR;TYPE=work" : "ADR;TYPE=WORK")
                     : (card.v4() ? "ADR;TYPE=home" : "ADR;TYPE=HOME"),
                 parts.join(u';'));
}

void updateNote(Card& card, const Contact& before, const Contact& after) {
    if (before.comments == after.comments)
        return;
    const QList<Line*> lines = card.all("NOTE");
    const QString& note = after.comments;
    for (qsizetype i = 1; i < lines.size(); ++i)
        lines[i]->removed = true;
    if (lines.isEmpty()) {
        if (!note.isEmpty())
            card.add("NOTE", escaped(note));
    } else if (note.isEmpty()) {
        lines.first()->removed = true;
    } else {
        card.set(lines.first(), escaped(note));
    }
}

bool isTypeCategory(const QString& category) {
    const QString c = detail::unescapeText(category).trimmed();
    return c.compare(QStringLiteral("Business"), Qt::CaseInsensitive) == 0 ||
           c.compare(QStringLiteral("Personal"), Qt::CaseInsensitive) == 0;
}

void updateType(Card& card, const Contact& before, const Contact& after) {
    if (before.type == after.type)
        return;
    const QString wanted = after.type == ContactType::Business ? QStringLiteral("Business")
                                                               : QStringLiteral("Personal");
    const QList<Line*> lines = card.all("CATEGORIES");
    for (qsizetype i = 0; i < lines.size(); ++i) {
        QStringList kept;
        for (const QStringView part : detail::splitEscaped(lines[i]->value, u','))
            if (!isTypeCategory(part.toString()))
                kept.append(part.toString());
        if (i == 0)
            kept.append(wanted);
        if (kept.isEmpty())
            lines[i]->removed = true;
        else
            card.set(lines[i], kept.join(u','));
    }
    if (lines.isEmpty())
        card.add("CATEGORIES", wanted);
}

// REV says when the card last changed: now.
void stamp(Card& card) {
    const QString now =
        QDateTime::currentDateTimeUtc().toString(QStringLiteral("yyyyMMdd'T'HHmmss'Z'"));
    if (Line* rev = card.first("REV"))
        card.set(rev, now);
    else
        card.add("REV", now);
}

} // namespace

QByteArray updateCard(const QByteArray& text, const Contact& contact) {
    const ImportResult read = readContacts(text);
    if (read.format != FileFormat::VCard || read.contacts.size() != 1)
        return {};
    const Contact& before = read.contacts.first().contact;
    Card card;
    if (!card.parse(text))
        return {};
    updateNames(card, before, contact);
    updateAddress(card, before, contact);
    updatePhone(card, before.workPhone, contact.workPhone, "WORK");
    updatePhone(card, before.homePhone, contact.homePhone, "HOME");
    updatePhone(card, before.cellPhone, contact.cellPhone, "CELL");
    updateSingle(card, "EMAIL", card.v4() ? "EMAIL" : "EMAIL;TYPE=INTERNET", before.email,
                 contact.email);
    updateSingle(card, "X-ORVANTA-GUARDIAN", "X-ORVANTA-GUARDIAN", before.guardian,
                 contact.guardian);
    updateNote(card, before, contact);
    updateType(card, before, contact);
    if (card.changed())
        stamp(card);
    return card.text();
}

} // namespace vcard
