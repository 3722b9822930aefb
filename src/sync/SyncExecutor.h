#pragma once

#include "data/Contact.h"
#include "data/SyncStore.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QList>
#include <QMetaType>
#include <QSet>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

class DbError;

namespace carddav {

// The digest of a contact's stored values (not its id): equal digests, equal
// contacts. A sync keeps the digest of each contact as it was synced, so a
// change made by any program to the file counts as a local change.
QString contactDigest(const Contact& contact);
// The same from the bytes stored, without making text of them.
QString contactDigest(const ContactUtf8& contact);

// What one book's sync did, or why it stopped.
struct SyncSummary {
    QString book;
    bool ok = false;
    QString message; // the failure, for the status bar
    int received = 0, sent = 0, removedHere = 0, removedThere = 0, conflicts = 0;
    int outside = 0; // hrefs the server named outside the address book, ignored
    // What was not taken in or not sent, one line each.
    QStringList warnings;
    bool passwordRefused = false; // the server answered 401
    // Another sync of the data folder is running, or the contact file was
    // held by other work: the sync waits for its next turn.
    bool busy = false;
    // "Default: 3 received, 1 sent, ..." or the failure, then the warnings.
    QString text() const;
};

// A card as the server sent it.
struct ServerCard {
    QString href;
    QByteArray etag;
    QByteArray text;
};

// A local change to send: `item` id 0 is a new contact; an item without its
// contact (contactId 0) is a deletion.
struct Upload {
    SyncItem item;
    Contact contact;
};

// The database side of one book's sync: it reads what the planner needs and
// applies the actions decided on what the server answered, each step one
// transaction through SyncStore, written only while the book is still linked
// as the sync started. No network here. A call that answers false (or
// nullopt) wrote nothing; failure() says why, fileBusy() whether the file
// was only held by other work for longer than the busy time-out.
class SyncExecutor {
    // Its texts were the engine's, and keep their translations.
    Q_DECLARE_TR_FUNCTIONS(carddav::SyncEngine)

public:
    explicit SyncExecutor(const QString& connectionString);

    // Brings the file up to date and lists the linked books.
    std::optional<QList<SyncAccount>> prepareAccounts();
    // Starts on a book; counts and warnings go to `summary`.
    void begin(const SyncAccount& account, SyncSummary& summary);

    // The book's items; `onlySentSinceToken`: those marked so alone. They
    // are the ones a received card is looked up among.
    std::optional<QList<SyncItem>> readItems(bool onlySentSinceToken);
    // What the state here sends to the server, in the order to send it.
    std::optional<QList<Upload>> readLocalChanges();
    // Fills in the server's card last synced for the item.
    bool readServerCard(SyncItem& item);
    // The card kept beside a contact (an imported one's), if any.
    bool readKeptCard(qint64 contactId, std::optional<KeptCard>& kept);

    // Cards received and cards deleted there, in one transaction.
    bool storeCards(const QList<ServerCard>& cards, const QStringList& gone = {});
    // The server's card after it refused an upload: its version goes in, a
    // local change stays as a conflict copy.
    bool takeRefusedCard(const ServerCard& card);
    // A new contact's item, written before its upload (it gets its id).
    bool recordNewItem(SyncItem& item);
    // An upload the server took; an invalid ETag is kept as none.
    bool recordUpload(const SyncItem& item, const Contact& contact, const QByteArray& card,
                      const QByteArray& etag);
    // A deletion the server took (or had done already).
    bool recordRemoval(qint64 itemId);
    // The time of the sync, and `token` when every change it listed was
    // applied (`allApplied`) and it changed, in one statement.
    bool complete(const QString& token, bool allApplied, const QList<qint64>& confirmedSent);
    // The failure of the sync, for the status of the book.
    void recordFailure(const QString& message);

    const QString& failure() const { return m_failure; }
    bool fileBusy() const { return m_fileBusy; }

private:
    bool write(const std::function<void(SyncStore::Batch&)>& work);
    bool failed(const QString& message);
    bool readFailed(const DbError& e);
    // The contacts of the cards; nullopt after failing on the first bad one.
    std::optional<QList<Contact>> readCards(const QList<ServerCard>& cards, QStringList* warnings);
    // The writes of one card from the server; `known` false: no item has
    // the href (it is not looked for).
    void applyServerCard(SyncStore::Batch& batch, const ServerCard& card, const Contact& server,
                         bool known);
    void applyServerGone(SyncStore::Batch& batch, const QString& href);
    Contact conflictCopy(const Contact& local) const;

    QString m_connectionString;
    SyncStore m_store;
    SyncAccount m_account;
    SyncSummary* m_summary = nullptr;
    QSet<QString> m_knownItems; // the hrefs of the items, once read
    QString m_failure;
    bool m_fileBusy = false;
};

} // namespace carddav

Q_DECLARE_METATYPE(carddav::SyncSummary)
