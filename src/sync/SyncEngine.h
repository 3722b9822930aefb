#pragma once

#include "data/Contact.h"
#include "data/SyncStore.h"
#include "sync/DavClient.h"
#include "sync/SyncPlan.h"

#include <QHash>
#include <QObject>
#include <QPointer>
#include <QSet>
#include <QStringList>
#include <QUrl>

#include <functional>
#include <memory>
#include <optional>

namespace platform {
class FileLock;
}

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
    bool busy = false;            // another sync of the data folder is running
    // "Default: 3 received, 1 sent, ..." or the failure, then the warnings.
    QString text() const;
};

// Two-way sync of linked books with their CardDAV address books. It runs on
// the thread that owns it: the network is asynchronous and the database is
// written in small steps between answers, each step one transaction, so a
// window on that thread stays responsive. Whatever stops a sync leaves every
// stored contact as it was after the last completed step; the sync token is
// kept only when a sync completes, so the next one picks up the rest.
class SyncEngine : public QObject {
    Q_OBJECT
public:
    explicit SyncEngine(const QString& connectionString, QObject* parent = nullptr);
    ~SyncEngine() override;

    // Asked once per book and sync; nullopt: no password, the book fails.
    using PasswordSource = std::function<std::optional<QString>(const SyncAccount&)>;
    void setPasswordSource(PasswordSource source) { m_password = std::move(source); }
    void setTimeout(int milliseconds) { m_timeoutMs = milliseconds; }
    // For each request as a whole, however steadily its answer trickles in.
    void setDeadline(int milliseconds) { m_deadlineMs = milliseconds; }
    void setLimits(DavClient::Limits limits) { m_limits = limits; }
    // How many cards one addressbook-multiget asks for. Without one set, a
    // first sync asks for every card in one request (a broken connection
    // then stores none of them), later syncs 250 at a time.
    void setBatchSize(int cards) { m_batchSize = cards; }

    bool isRunning() const { return m_running; }
    // Syncs the named books (every linked book when empty), one after another.
    // While it runs no other sync of the same data folder starts, in this
    // process or another: that one finishes at once with `busy` set.
    void start(const QStringList& books = {});
    // Stops at once; what is stored stays consistent.
    void cancel();
    // Stops the sync of one book (it was removed), and goes on with the others.
    void stopBook(const QString& book);

signals:
    void progress(const QString& message);
    void bookFinished(const carddav::SyncSummary& summary);
    void finished(bool allOk);

private:
    struct ServerCard {
        QString href;
        QByteArray etag;
        QByteArray text;
    };
    static constexpr int defaultBatch = 250;   // cards per multiget
    static constexpr int receivedBatch = 1000; // cards received at once, per transaction

    bool lockFolder(SyncSummary& refusal);
    void stopRunning();
    void refuse(const SyncSummary& refusal);
    void nextBook();
    void firstSync();
    void listChanges(bool withToken);
    // Every card's ETag; `token` is stored when the sync completes.
    void listByPropfind(const QString& token);
    void changesListed(QList<ListedCard> changed, QStringList removed, bool complete,
                       const QString& token);
    void fetchAll();
    void fetchNext();
    bool storeCards(const QList<ServerCard>& cards, const QStringList& gone);
    void applyGone();
    void planUploads();
    void uploadNext();
    void uploaded(const SyncItem& item, const Contact& contact, const QByteArray& card,
                  const DavResponse& response);
    void resolveFromServer(const QString& href);
    void completeBook();
    // Emits progress; false when a receiver stopped the book meanwhile.
    bool tell(const QString& message);
    // The next step, from the event loop; not after the sync was stopped.
    void later(void (SyncEngine::*step)());
    void fail(const QString& message);
    // Fails with the answer's message, or `otherwise` when it has none.
    void failOn(const DavResponse& r, const QString& otherwise);
    // Runs one transaction of writes to the book being synced; false after
    // failing the sync, also when the book or its link went meanwhile.
    bool write(const std::function<void(SyncStore::Batch&)>& work);
    // Whether an updated card lost a line of the old one that was too long
    // to take in.
    static bool rewritesUnseen(const QByteArray& before, const QByteArray& after);
    bool readMultistatus(const DavResponse& r, const QString& refusedStatus, Multistatus& ms);
    void finishBook(bool ok, const QString& message);

    // The writes of one card from the server, inside a batch; `known` false:
    // no item has the href (it is not looked for).
    void applyServerCard(SyncStore::Batch& batch, const QString& href, const QByteArray& etag,
                         const QByteArray& card, const Contact& server, bool known = true);
    void applyServerGone(SyncStore::Batch& batch, const QString& href);
    Contact conflictCopy(const Contact& local) const;

    QUrl urlOf(const QString& href) const;
    // The item key of an href inside the collection; empty (and counted)
    // for one outside it.
    QString keyOf(const QString& href);

    QString m_connectionString;
    SyncStore m_store;
    DavClient* m_client;
    PasswordSource m_password;
    int m_timeoutMs = 60000;
    int m_deadlineMs = 10 * 60 * 1000;
    DavClient::Limits m_limits;
    int m_batchSize = 0; // 0: see setBatchSize()
    bool m_running = false;
    bool m_allOk = true;
    bool m_inBook = false;    // from a book's start to its finishBook()
    quint64 m_generation = 0; // counts cancels
    std::unique_ptr<platform::FileLock> m_lock;

    QList<SyncAccount> m_queue;
    SyncAccount m_account;
    QUrl m_collection;
    SyncSummary m_summary;
    QString m_newToken;
    QString m_serverToken;     // a first sync's, asked for before anything was listed
    bool m_incomplete = false; // a listed change was not applied: the token is not kept
    QList<ListedCard> m_toFetch;
    qsizetype m_fetched = 0;
    QHash<QString, ServerCard> m_received; // by href: cards fetched with the listing
    QSet<QString> m_knownItems;            // the hrefs of the items, once listed
    QList<qint64> m_confirmedSent;         // see FetchPlan
    QStringList m_gone;
    struct Upload {
        SyncItem item;   // id 0: a new contact
        Contact contact; // contactId 0 in item: a deletion
    };
    QList<Upload> m_uploads;
    qsizetype m_uploadAt = 0;
};

} // namespace carddav

Q_DECLARE_METATYPE(carddav::SyncSummary)
