#pragma once

#include <QByteArray>
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

// A contact's text converted to UTF-8 once, and the views of it, for work
// that binds or hashes the bytes (an import).
class ContactBytes {
public:
    explicit ContactBytes(const Contact& c)
        : m_texts{c.firstName.toUtf8(), c.middleName.toUtf8(), c.lastName.toUtf8(),
                  c.address.toUtf8(),   c.city.toUtf8(),       c.state.toUtf8(),
                  c.zipCode.toUtf8(),   c.workPhone.toUtf8(),  c.homePhone.toUtf8(),
                  c.cellPhone.toUtf8(), c.email.toUtf8(),      c.guardian.toUtf8(),
                  c.comments.toUtf8()},
          m_view{c.id,       m_texts[0],  m_texts[1],  m_texts[2],  m_texts[3],
                 m_texts[4], m_texts[5],  m_texts[6],  m_texts[7],  m_texts[8],
                 m_texts[9], m_texts[10], m_texts[11], m_texts[12], c.type} {}
    ContactBytes(const ContactBytes&) = delete;
    ContactBytes& operator=(const ContactBytes&) = delete;

    const ContactUtf8& view() const { return m_view; }

private:
    QByteArray m_texts[13];
    ContactUtf8 m_view;
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
