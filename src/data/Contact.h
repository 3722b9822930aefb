#pragma once

#include <QByteArrayView>
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

// A stored contact's text as the UTF-8 bytes the database holds, for work
// that writes many contacts out without converting them (an export). The
// views are valid only as long as the row they were read from.
struct ContactUtf8 {
    qint64 id = 0;
    QByteArrayView firstName;
    QByteArrayView middleName;
    QByteArrayView lastName;
    QByteArrayView address;
    QByteArrayView city;
    QByteArrayView state;
    QByteArrayView zipCode;
    QByteArrayView workPhone;
    QByteArrayView homePhone;
    QByteArrayView cellPhone;
    QByteArrayView email;
    QByteArrayView guardian;
    QByteArrayView comments;
    ContactType type = ContactType::Personal;
};

// The contact a row of UTF-8 views stands for, its text converted.
inline Contact contactOf(const ContactUtf8& c) {
    auto text = [](QByteArrayView bytes) { return QString::fromUtf8(bytes); };
    return {c.id,
            text(c.firstName),
            text(c.middleName),
            text(c.lastName),
            text(c.address),
            text(c.city),
            text(c.state),
            text(c.zipCode),
            text(c.workPhone),
            text(c.homePhone),
            text(c.cellPhone),
            text(c.email),
            text(c.guardian),
            text(c.comments),
            c.type};
}
