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

// Awkward characters in every column, emoji where lines fold; ids 1 to 3.
inline QList<Contact> awkwardContacts() {
    const QString marks = u", ; \\ \\n \" '\r\n2nd line"_s;
    return {{.id = 1,
             .firstName = "Zoë" + marks,
             .middleName = "van, der;" + marks,
             .lastName = "Ŷ😀 O'Neil" + marks,
             .address = "1 Rue\r\n\r\nBât. B; 2e" + marks,
             .city = "Saint-Étienne, Loire" + marks,
             .state = "Ł\\" + marks,
             .zipCode = "42 000" + marks,
             .workPhone = "+33 (0)4 77" + marks,
             .homePhone = "tel:1" + marks,
             .cellPhone = "06;07" + marks,
             .email = "zoë@example.fr" + marks,
             .guardian = "Mère, Père\\n" + marks,
             .comments = QString("Long line 😀 ü 日本 ").repeated(12) + "\r\nend" + marks,
             .type = ContactType::Business},
            {.id = 2, .cellPhone = "1"},
            {.id = 3, .firstName = "Mary Ann", .comments = "\\N; no name"}};
}
