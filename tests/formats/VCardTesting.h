#pragma once

#include "data/Contact.h"

#include <QTest>

using namespace Qt::StringLiterals;

// A contact's columns in the CSV export's order, then P or B, joined by "|".
inline QString described(const Contact& c) {
    const QString type = c.type == ContactType::Business ? u"B"_s : u"P"_s;
    return QStringList{c.firstName, c.middleName, c.lastName,  c.address,   c.city,
                       c.state,     c.zipCode,    c.workPhone, c.homePhone, c.cellPhone,
                       c.email,     c.guardian,   c.comments,  type}
        .join(u'|');
}

// Awkward characters in every column (in Contact's order), emoji where lines
// fold; ids 1 to 3.
inline QList<Contact> awkwardContacts() {
    const QString m = u", ; \\ \\n \" '\r\n2nd line"_s;
    return {{1, "Zoë" + m, "van, der;" + m, "Ŷ😀 O'Neil" + m, "1 Rue\r\n\r\nBât. B; 2e" + m,
             "Saint-Étienne, Loire" + m, "Ł\\" + m, "42 000" + m, "+33 (0)4 77" + m, "tel:1" + m,
             "06;07" + m, "zoë@example.fr" + m, "Mère, Père\\n" + m,
             QString("Long line 😀 ü 日本 ").repeated(12) + "\r\nend" + m, ContactType::Business},
            {.id = 2, .cellPhone = "1"},
            {.id = 3, .firstName = "Mary Ann", .comments = "\\N; no name"}};
}
