#pragma once

#include "data/Contact.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

class Connection;
class Statement;

// A contact's whole card as last read or written: its UID, the card text
// (UTF-8, CR LF line ends) and the digest of the contact's columns as they
// were then, so that a later change to the row shows.
struct KeptCard {
    QString uid;
    QByteArray text;
    QByteArray digest;

    bool operator==(const KeptCard&) const = default;
};

// A kept card as the UTF-8 bytes the database holds, valid only as long as
// the row it was read from; all empty when the contact has none.
struct KeptCardUtf8 {
    QByteArrayView uid;
    QByteArrayView text;
    QByteArrayView digest;
};

// The value of a card's UID line, without "urn:uuid:"; empty without one.
QString uidInCard(QByteArrayView card);

// The digest of a contact's thirteen text columns and its type: the hex
// text of columnsHash().
QByteArray columnsDigest(const Contact& contact);
QByteArray columnsDigest(const ContactUtf8& contact);
QByteArray columnsDigest(quint64 columnsHash);
quint64 columnsHash(const ContactUtf8& contact);

// The cards kept beside the contacts, in a table of their own created when
// the first card is kept; a file without it works as before. A trigger on
// the contact table takes a contact's card along when the contact is
// deleted, by this program or any other, so that a new contact given the
// same id never inherits it. Like ContactStore, every operation opens its
// own connection and every database failure throws DbError.
class CardStore {
public:
    explicit CardStore(const QString& connectionString) : m_connectionString(connectionString) {}

    bool hasTable() const;
    std::optional<KeptCard> card(qint64 contactId) const;
    // Keeps the card of each contact, replacing what was kept, its line ends
    // made CR LF; one transaction.
    void keep(const QList<QPair<qint64, KeptCard>>& cards) const;
    void keep(qint64 contactId, const KeptCard& card) const { keep({{contactId, card}}); }

    // The same on a connection that is already open, inside its transaction.
    static void createTable(Connection& connection);
    static void keep(Connection& connection, qint64 contactId, const KeptCard& card);
    static std::optional<KeptCard> card(Connection& connection, qint64 contactId);
    // The statement that keeps one card, and running it for one card, for
    // many cards in a row.
    static QString keepStatement();
    static void keep(Statement& statement, qint64 contactId, const KeptCard& card);

    static const char* table;

private:
    QString m_connectionString;
};
