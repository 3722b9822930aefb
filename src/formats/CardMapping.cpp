// From the properties of one card to the columns of a contact. Every value
// without a column of its own is added to the comments as one
// "Label: value" line; docs/vcard.md gives the whole mapping.
#include "formats/Parsers.h"
#include "formats/TextDecoding.h"

#include <QCoreApplication>
#include <QHash>

namespace vcard::detail {

namespace {

QString label(const char* text) {
    return QCoreApplication::translate("vcard::Labels", text);
}

// The labels of the properties that have a meaning but no column.
QString labelOf(const QByteArray& name) {
    static const QHash<QByteArray, const char*> labels = {
        {"ORG", QT_TRANSLATE_NOOP("vcard::Labels", "Organization")},
        {"TITLE", QT_TRANSLATE_NOOP("vcard::Labels", "Title")},
        {"ROLE", QT_TRANSLATE_NOOP("vcard::Labels", "Role")},
        {"BDAY", QT_TRANSLATE_NOOP("vcard::Labels", "Birthday")},
        {"ANNIVERSARY", QT_TRANSLATE_NOOP("vcard::Labels", "Anniversary")},
        {"URL", QT_TRANSLATE_NOOP("vcard::Labels", "Web page")},
        {"NICKNAME", QT_TRANSLATE_NOOP("vcard::Labels", "Nickname")},
        {"IMPP", QT_TRANSLATE_NOOP("vcard::Labels", "Chat")},
        {"GENDER", QT_TRANSLATE_NOOP("vcard::Labels", "Gender")},
        {"GEO", QT_TRANSLATE_NOOP("vcard::Labels", "Location")},
        {"TZ", QT_TRANSLATE_NOOP("vcard::Labels", "Time zone")},
        {"LANG", QT_TRANSLATE_NOOP("vcard::Labels", "Language")},
        {"RELATED", QT_TRANSLATE_NOOP("vcard::Labels", "Related")},
        {"MEMBER", QT_TRANSLATE_NOOP("vcard::Labels", "Member")},
        {"MAILER", QT_TRANSLATE_NOOP("vcard::Labels", "Mail program")},
        {"LABEL", QT_TRANSLATE_NOOP("vcard::Labels", "Address label")},
        {"FBURL", QT_TRANSLATE_NOOP("vcard::Labels", "Free/busy")},
        {"CALURI", QT_TRANSLATE_NOOP("vcard::Labels", "Calendar")},
        {"CALADRURI", QT_TRANSLATE_NOOP("vcard::Labels", "Calendar requests")},
        {"EXPERTISE", QT_TRANSLATE_NOOP("vcard::Labels", "Expertise")},
        {"HOBBY", QT_TRANSLATE_NOOP("vcard::Labels", "Hobby")},
        {"INTEREST", QT_TRANSLATE_NOOP("vcard::Labels", "Interest")},
    };
    const char* text = labels.value(name);
    return text ? label(text) : QString::fromLatin1(name);
}

// Properties about the card itself rather than the person.
bool isCardData(const QByteArray& name) {
    static const QByteArray names[] = {"VERSION",     "PRODID",       "REV",     "KIND",
                                       "SOURCE",      "NAME",         "PROFILE", "CLASS",
                                       "SORT-STRING", "CLIENTPIDMAP", "XML"};
    for (const QByteArray& candidate : names)
        if (name == candidate)
            return true;
    return false;
}

// One line of comments: a value's line breaks become ", ".
QString oneLine(const QString& text) {
    return QString(text).replace(QStringLiteral("\r\n"), QStringLiteral(", "));
}

// A label that another program attached to a group ("_$!<Mobile>!$_" or the
// user's own word).
QString groupLabel(const QString& text) {
    if (text.startsWith(QStringLiteral("_$!<")) && text.endsWith(QStringLiteral(">!$_")))
        return text.mid(4, text.size() - 8);
    return text;
}

QString component(const QList<QStringView>& parts, int index) {
    return index < parts.size() ? unescapeText(parts[index]) : QString();
}

struct CardReader {
    Contact& c;
    QStringList notes;
    QStringList extra;
    QHash<QByteArray, QString> groupLabels;
    QList<const Property*> untypedPhones;
    bool haveAddress = false;

    void add(const QString& name, const QString& value) {
        if (!value.trimmed().isEmpty())
            extra.append(name + QStringLiteral(": ") + oneLine(value));
    }

    // "Phone (work)": the label another program gave the group, else the
    // first of the types cell, work and home.
    QString qualified(const QString& base, const Property& p) const {
        QString qualifier = groupLabels.value(p.group);
        if (qualifier.isEmpty()) {
            if (p.types.contains("CELL") || p.types.contains("MOBILE"))
                qualifier = label(QT_TRANSLATE_NOOP("vcard::Labels", "cell"));
            else if (p.types.contains("WORK"))
                qualifier = label(QT_TRANSLATE_NOOP("vcard::Labels", "work"));
            else if (p.types.contains("HOME"))
                qualifier = label(QT_TRANSLATE_NOOP("vcard::Labels", "home"));
        }
        return qualifier.isEmpty() ? base : base + QStringLiteral(" (") + qualifier + u')';
    }

    void address(const Property& p) {
        const QList<QStringView> parts = splitEscaped(p.value, u';');
        if (!haveAddress) {
            haveAddress = true;
            c.address = component(parts, 2);
            c.city = component(parts, 3);
            c.state = component(parts, 4);
            c.zipCode = component(parts, 5);
            add(label(QT_TRANSLATE_NOOP("vcard::Labels", "PO box")), component(parts, 0));
            add(label(QT_TRANSLATE_NOOP("vcard::Labels", "Extended address")), component(parts, 1));
            add(label(QT_TRANSLATE_NOOP("vcard::Labels", "Country")), component(parts, 6));
            return;
        }
        QStringList filled;
        for (int i = 0; i < 7; ++i)
            if (const QString part = component(parts, i); !part.trimmed().isEmpty())
                filled.append(part);
        add(qualified(label(QT_TRANSLATE_NOOP("vcard::Labels", "Address")), p),
            filled.join(QStringLiteral(", ")));
    }

    static QString phoneNumber(const Property& p) {
        QString number = unescapeText(p.value);
        if (p.valueType == "URI" && number.startsWith(QStringLiteral("tel:"), Qt::CaseInsensitive))
            number.remove(0, 4);
        return number;
    }

    QString phoneLabel(const Property& p) const {
        if (p.types.contains("FAX"))
            return qualified(label(QT_TRANSLATE_NOOP("vcard::Labels", "Fax")), p);
        if (p.types.contains("PAGER"))
            return qualified(label(QT_TRANSLATE_NOOP("vcard::Labels", "Pager")), p);
        return qualified(label(QT_TRANSLATE_NOOP("vcard::Labels", "Phone")), p);
    }

    // A typed number takes the first free column its types name, cell before
    // work before home; numbers without a known type wait for the end.
    void phone(const Property& p) {
        const QString number = phoneNumber(p);
        if (p.types.contains("FAX") || p.types.contains("PAGER")) {
            add(phoneLabel(p), number);
            return;
        }
        QList<QString*> columns;
        if (p.types.contains("CELL") || p.types.contains("MOBILE"))
            columns.append(&c.cellPhone);
        if (p.types.contains("WORK"))
            columns.append(&c.workPhone);
        if (p.types.contains("HOME"))
            columns.append(&c.homePhone);
        if (columns.isEmpty()) {
            untypedPhones.append(&p);
            return;
        }
        for (QString* column : columns) {
            if (column->isEmpty()) {
                *column = number;
                return;
            }
        }
        add(phoneLabel(p), number);
    }

    void untyped() {
        for (const Property* p : untypedPhones) {
            const QString number = phoneNumber(*p);
            QString* free = c.cellPhone.isEmpty()   ? &c.cellPhone
                            : c.homePhone.isEmpty() ? &c.homePhone
                            : c.workPhone.isEmpty() ? &c.workPhone
                                                    : nullptr;
            if (free)
                *free = number;
            else
                add(phoneLabel(*p), number);
        }
    }

    void categories(const Property& p) {
        QStringList others;
        for (const QStringView part : splitEscaped(p.value, u',')) {
            const QString category = unescapeText(part).trimmed();
            if (category.compare(QStringLiteral("Business"), Qt::CaseInsensitive) == 0)
                c.type = ContactType::Business;
            else if (category.compare(QStringLiteral("Personal"), Qt::CaseInsensitive) != 0 &&
                     !category.isEmpty())
                others.append(category);
        }
        add(label(QT_TRANSLATE_NOOP("vcard::Labels", "Categories")),
            others.join(QStringLiteral(", ")));
    }

    // N when it names anyone, else FN: one word is the first name; of more,
    // the first is the first name, the last the last name and those between
    // the middle name. An FN that is the organization's name (a card for a
    // company) goes whole into the last name, which the search looks at.
    void names(const Property* n, const Property* fn, const QString& organization) {
        if (n) {
            const QList<QStringView> parts = splitEscaped(n->value, u';');
            c.lastName = component(parts, 0);
            c.firstName = component(parts, 1);
            c.middleName = component(parts, 2);
            add(label(QT_TRANSLATE_NOOP("vcard::Labels", "Name prefix")), component(parts, 3));
            add(label(QT_TRANSLATE_NOOP("vcard::Labels", "Name suffix")), component(parts, 4));
            if (!(c.lastName + c.firstName + c.middleName).trimmed().isEmpty())
                return;
            c.lastName.clear();
            c.firstName.clear();
            c.middleName.clear();
        }
        if (!fn)
            return;
        const QString full = unescapeText(fn->value).simplified();
        if (!organization.isEmpty() && full == organization) {
            c.lastName = full;
            return;
        }
        QStringList words = full.split(u' ', Qt::SkipEmptyParts);
        if (words.isEmpty())
            return;
        c.firstName = words.takeFirst();
        if (!words.isEmpty())
            c.lastName = words.takeLast();
        c.middleName = words.join(u' ');
    }
};

bool isEmpty(const Contact& c) {
    for (const QString* field :
         {&c.firstName, &c.middleName, &c.lastName, &c.address, &c.city, &c.state, &c.zipCode,
          &c.workPhone, &c.homePhone, &c.cellPhone, &c.email, &c.guardian, &c.comments})
        if (!field->isEmpty())
            return false;
    return true;
}

} // namespace

bool contactFromCard(const QList<Property>& properties, ReadContact& read, int& vendorSkipped) {
    Contact& c = read.contact;
    CardReader card{c, {}, {}, {}, {}, false};
    const Property* n = nullptr;
    const Property* fn = nullptr;
    QString organization;
    bool cardHasAdr = false;
    for (const Property& p : properties) {
        if (p.name == "X-ABLABEL" && !p.group.isEmpty())
            card.groupLabels.insert(p.group, groupLabel(unescapeText(p.value)));
        if (p.name == "ADR")
            cardHasAdr = true;
    }
    for (const Property& p : properties) {
        const QByteArray& name = p.name;
        if (name == "N") {
            if (!n)
                n = &p;
        } else if (name == "FN") {
            if (!fn)
                fn = &p;
        } else if (name == "UID") {
            read.uid = unescapeText(p.value).trimmed();
            if (read.uid.startsWith(QStringLiteral("urn:uuid:"), Qt::CaseInsensitive))
                read.uid.remove(0, 9);
        } else if (name == "ADR") {
            card.address(p);
        } else if (name == "TEL") {
            card.phone(p);
        } else if (name == "EMAIL") {
            const QString email = unescapeText(p.value);
            if (c.email.isEmpty())
                c.email = email;
            else
                card.add(label(QT_TRANSLATE_NOOP("vcard::Labels", "E-mail")), email);
        } else if (name == "NOTE") {
            if (const QString note = unescapeText(p.value); !note.isEmpty())
                card.notes.append(note);
        } else if (name == "X-ORVANTA-GUARDIAN") {
            const QString guardian = unescapeText(p.value);
            if (c.guardian.isEmpty())
                c.guardian = guardian;
            else
                card.add(label(QT_TRANSLATE_NOOP("vcard::Labels", "Parent or guardian")), guardian);
        } else if (name == "CATEGORIES") {
            card.categories(p);
        } else if (name == "ORG") {
            QStringList parts;
            for (const QStringView part : splitEscaped(p.value, u';'))
                if (const QString text = unescapeText(part).trimmed(); !text.isEmpty())
                    parts.append(text);
            if (organization.isEmpty() && !parts.isEmpty())
                organization = parts.first();
            card.add(labelOf(name), parts.join(QStringLiteral(", ")));
        } else if (name == "LABEL" && cardHasAdr) {
            // the printable form of an ADR that is read as well
        } else if (isCardData(name) || name == "X-ABLABEL") {
        } else if (name.startsWith("X-")) {
            ++vendorSkipped;
        } else {
            card.add(labelOf(name), unescapeText(p.value));
        }
    }
    card.names(n, fn, organization);
    card.untyped();
    card.notes.append(card.extra);
    c.comments = card.notes.join(QStringLiteral("\r\n"));
    return !isEmpty(c);
}

} // namespace vcard::detail
