#pragma once

#include <QString>

// The two kinds of contact, with the ids tblContactType gives them.
enum class ContactType { Personal = 1, Business = 2 };

// One contact as stored: the thirteen text columns, its type and, once
// stored, its id. Multi-line values (Address, Comments) keep their line
// breaks as CR LF, as they are stored.
struct Contact {
    qint64 id = 0;
    QString firstName;
    QString middleName;
    QString lastName;
    QString address;
    QString city;
    QString state;
    QString zipCode;
    QString workPhone;
    QString homePhone;
    QString cellPhone;
    QString email;
    QString guardian;
    QString comments;
    ContactType type = ContactType::Personal;

    bool operator==(const Contact&) const = default;
};
