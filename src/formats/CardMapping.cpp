// From the properties of one card to the columns of a contact. What has no
// column stays in the card kept beside the contact; docs/vcard.md gives the
// whole mapping.
#include "formats/Parsers.h"
#include "formats/TextDecoding.h"

namespace vcard::detail {

namespace {

QString component(const QList<QStringView>& parts, int index) {
    return index < parts.size() ? unescapeText(parts[index]) : QString();
}

// A list component (additional names): its values, a comma between them.
QString listComponent(const QList<QStringView>& parts, int index) {
    if (index >= parts.size())
        return {};
    QStringList values;
    for (const QStringView value : splitEscaped(parts[index], u','))
        values.append(unescapeText(value));
    return values.join(u',');
}

// Empty or only white space, as trimmed() sees it.
bool isBlank(const QString& text) {
    for (const QChar c : text)
        if (!c.isSpace())
            return false;
    return true;
}

struct CardReader {
    Contact& c;
    QStringList notes;
    QList<const Property*> untypedPhones;
    bool haveAddress = false;

    void address(const Property& p) {
        if (haveAddress)
            return;
        haveAddress = true;
        const QList<QStringView> parts = splitEscaped(p.value, u';');
        c.address = component(parts, 2);
        c.city = component(parts, 3);
        c.state = component(parts, 4);
        c.zipCode = component(parts, 5);
    }

    static QString phoneNumber(const Property& p) {
        QString number = unescapeText(p.value);
        if (p.valueType == "URI" && number.startsWith(QStringLiteral("tel:"), Qt::CaseInsensitive))
            number.remove(0, 4);
        return number;
    }

    // A typed number takes the first free column its types name, cell before
    // work before home; numbers without a known type wait for the end. Fax
    // and pager numbers and those beyond the columns stay in the card only.
    void phone(const Property& p) {
        auto typed = [&p](QByteArrayView type) {
            for (const QByteArray& t : p.types)
                if (QByteArrayView(t) == type) // compared by size first
                    return true;
            return false;
        };
        if (typed("FAX") || typed("PAGER"))
            return;
        QString* columns[3];
        int count = 0;
        if (typed("CELL") || typed("MOBILE"))
            columns[count++] = &c.cellPhone;
        if (typed("WORK"))
            columns[count++] = &c.workPhone;
        if (typed("HOME"))
            columns[count++] = &c.homePhone;
        if (count == 0) {
            untypedPhones.append(&p);
            return;
        }
        for (int i = 0; i < count; ++i) {
            if (columns[i]->isEmpty()) {
                *columns[i] = phoneNumber(p);
                return;
            }
        }
    }

    void untyped() {
        for (const Property* p : untypedPhones) {
            QString* free = c.cellPhone.isEmpty()   ? &c.cellPhone
                            : c.homePhone.isEmpty() ? &c.homePhone
                            : c.workPhone.isEmpty() ? &c.workPhone
                                                    : nullptr;
            if (free)
                *free = phoneNumber(*p);
        }
    }

    void categories(const Property& p) {
        for (const QStringView part : splitEscaped(p.value, u',')) {
            const QString category = unescapeText(part).trimmed();
            if (category.compare(QStringLiteral("Business"), Qt::CaseInsensitive) == 0)
                c.type = ContactType::Business;
        }
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
            c.middleName = listComponent(parts, 2);
            if (!isBlank(c.lastName) || !isBlank(c.firstName) || !isBlank(c.middleName))
                return;
            c.lastName.clear();
            c.firstName.clear();
            c.middleName.clear();
        }
        if (!fn)
            return;
        const QString full = unescapeText(fn->value).simplified();
        // A card without a name is named by its e-mail address: no name.
        if (!c.email.isEmpty() && full == c.email.simplified())
            return;
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

bool contactFromCard(const QList<Property>& properties, ReadContact& read, int&) {
    Contact& c = read.contact;
    CardReader card{c, {}, {}, false};
    const Property* n = nullptr;
    const Property* fn = nullptr;
    QString organization;
    for (const Property& p : properties) {
        const QByteArrayView name = p.name; // compared by size first
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
            if (c.email.isEmpty())
                c.email = unescapeText(p.value);
        } else if (name == "NOTE") {
            if (const QString note = unescapeText(p.value); !note.isEmpty())
                card.notes.append(note);
        } else if (name == "X-ORVANTA-GUARDIAN") {
            if (c.guardian.isEmpty())
                c.guardian = unescapeText(p.value);
        } else if (name == "CATEGORIES") {
            card.categories(p);
        } else if (name == "ORG" && organization.isEmpty()) {
            for (const QStringView part : splitEscaped(p.value, u';'))
                if (const QString text = unescapeText(part).trimmed(); !text.isEmpty()) {
                    organization = text;
                    break;
                }
        }
    }
    card.names(n, fn, organization);
    card.untyped();
    c.comments = card.notes.join(QStringLiteral("\r\n"));
    return !isEmpty(c);
}

} // namespace vcard::detail
