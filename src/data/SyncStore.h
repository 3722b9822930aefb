#pragma once

#include "data/CardStore.h"
#include "data/Contact.h"
#include "data/ContactStore.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <functional>
#include <memory>
#include <optional>

class Connection;
class Statement;

// One book linked to a server-side address book.
struct SyncAccount {
    qint64 id = 0;
    qint64 bookId = 0;
    QString book;
    QString url; // the address book collection
    QString user;
    QString syncToken; // empty: no sync has completed yet
    QString lastSync;  // ISO date and time of the last completed sync
    QString lastError; // the message of the last failed sync, empty after a good one
};

// One card of a linked book as last synced: where it lives on the server,
// its ETag, the server's full card text (kept beside the contact, see
// CardStore), and a digest of the contact as it
// was stored then (so any later change to the row counts as a local change).
// contactId 0: the contact was deleted here since, and the server's card is
// still to be deleted.
struct SyncItem {
    qint64 id = 0;
    qint64 contactId = 0;
    QString href;
    QString etag; // empty: an upload whose answer never came
    QByteArray card;
    QString syncedDigest;
    // Its card was made on the server after the stored sync token, so a
    // listing of the changes since that token may leave it out once it was
    // deleted there again.
    bool sentSinceToken = false;
};

// The sync bookkeeping of the contact database: two tables of its own,
// created when a book is first linked. A file without them works as before.
// Like ContactStore, every operation opens its own connection and every
// database failure throws DbError.
class SyncStore {
public:
    explicit SyncStore(const QString& connectionString) : m_connectionString(connectionString) {}

    bool hasTables() const;
    // Brings a file linked by an older version up to date; nothing without
    // the tables.
    void prepare() const;

    // Links the book (or changes its link); false when the book is missing.
    // A changed address book starts over with no items and no token.
    bool link(const QString& book, const QString& url, const QString& user) const;
    // Removes the link and the book's items; its contacts stay.
    void unlink(const QString& book) const;

    std::optional<SyncAccount> account(const QString& book) const;
    QList<SyncAccount> accounts() const;
    // The outcome of a sync; `syncToken` not empty: the token to keep.
    void setResult(qint64 accountId, const QString& lastSync, const QString& lastError,
                   const QString& syncToken = {}) const;

    // The items of an account, their card texts left empty; `onlySentSinceToken`:
    // those marked so alone.
    QList<SyncItem> items(qint64 accountId, bool onlySentSinceToken = false) const;
    QList<Contact> contacts(qint64 bookId) const;
    // The card kept beside a contact (see CardStore), if any.
    std::optional<KeptCard> keptCard(qint64 contactId) const;

    // The writes of one step of a sync, all inside one transaction.
    class Batch {
    public:
        explicit Batch(Connection& connection);
        ~Batch();
        std::optional<Contact> contact(qint64 id) const;
        qint64 insertContact(const Contact& contact, qint64 bookId) const;
        void updateContact(const Contact& contact) const;
        void deleteContact(qint64 id) const;
        std::optional<SyncItem> item(qint64 accountId, const QString& href) const;
        qint64 insertItem(qint64 accountId, const SyncItem& item) const;
        void updateItem(const SyncItem& item) const;
        void deleteItem(qint64 id) const;
        // The cards of these items are now known to the stored token.
        void clearSentSinceToken(const QList<qint64>& itemIds) const;
        void setResult(qint64 accountId, const QString& lastSync, const QString& lastError,
                       const QString& syncToken) const;

    private:
        // Keeps the item's card beside its contact; what the item's own
        // column is to hold.
        QByteArray keepCard(const SyncItem& item) const;
        Connection& m_connection;
        // Prepared on first use: a first sync runs them once per card.
        mutable std::unique_ptr<Statement> m_contactById;
        mutable std::unique_ptr<Statement> m_keepCard;
        mutable std::unique_ptr<Statement> m_insertItem;
        // The import's prepared insert, for the book last inserted into.
        mutable std::unique_ptr<ContactStore::Batch> m_contacts;
    };
    void inBatch(const std::function<void(Batch&)>& work) const;
    // The same, for a sync of the account's book: when the book, its link or
    // the link's address book is no longer what the sync started with,
    // nothing is written and the answer is false.
    bool inLinkedBatch(const SyncAccount& account, const std::function<void(Batch&)>& work) const;

    // The statements ContactStore adds to deleting a contact or a book when
    // the tables exist: a deleted contact leaves its item behind without the
    // contact, so the next sync deletes the server's card; a deleted book
    // takes its link and items along.
    static QString forgetContactStatement(qint64 contactId);
    static QStringList forgetBookStatements(const QString& bookName);
    static const char* itemTable;

private:
    QString m_connectionString;
};
