#pragma once

#include "data/SyncStore.h"
#include "sync/DavClient.h"
#include "sync/SyncExecutor.h"
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

    // Asked once per book and sync; it answers through `answer`, now or
    // later (nullopt: no password, the book fails). An answer that comes
    // after the sync of the book was stopped is dropped.
    using PasswordAnswer = std::function<void(std::optional<QString>)>;
    using PasswordRequest = std::function<void(const SyncAccount&, PasswordAnswer answer)>;
    void setPasswordRequest(PasswordRequest request) { m_password = std::move(request); }
    // The same, for a source that answers at once.
    using PasswordSource = std::function<std::optional<QString>(const SyncAccount&)>;
    void setPasswordSource(PasswordSource source);
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
    static constexpr int defaultBatch = 250;   // cards per multiget
    static constexpr int receivedBatch = 1000; // cards received at once, per transaction

    bool lockFolder(SyncSummary& refusal);
    void stopRunning();
    void refuse(const SyncSummary& refusal);
    void nextBook();
    void passwordGiven(const std::optional<QString>& password);
    void firstSync();
    void listChanges(bool withToken);
    // Every card's ETag; `token` is stored when the sync completes.
    void listByPropfind(const QString& token);
    void changesListed(QList<ListedCard> changed, QStringList removed, bool complete,
                       const QString& token);
    void fetchAll();
    void fetchNext();
    void applyGone();
    void planUploads();
    void uploadNext();
    void removeThere(const SyncItem& item);
    // The card to send for a local change; empty when it is not to be sent
    // (or after failing). A new contact gets its item first.
    QByteArray cardToSend(const Upload& upload, SyncItem& item);
    void uploaded(const SyncItem& item, const Contact& contact, const QByteArray& card,
                  const DavResponse& response);
    void resolveFromServer(const QString& href);
    void completeBook();
    // Emits progress; false when a receiver stopped the book meanwhile.
    bool tell(const QString& message);
    // The next step, from the event loop; not after the sync was stopped.
    void later(void (SyncEngine::*step)());
    void readLocalChangesAhead();
    void fail(const QString& message);
    // Fails with the answer's message, or `otherwise` when it has none.
    void failOn(const DavResponse& r, const QString& otherwise);
    // Stops the book after the executor answered false: quietly, to wait
    // for its next turn, when the contact file was only busy.
    void executorFailed();
    static QString fileBusyMessage();
    // Whether an updated card lost a line of the old one that was too long
    // to take in.
    static bool rewritesUnseen(const QByteArray& before, const QByteArray& after);
    bool readMultistatus(const DavResponse& r, const QString& refusedStatus, Multistatus& ms);
    void finishBook(bool ok, const QString& message);

    QUrl urlOf(const QString& href) const;
    // The item key of an href inside the collection; empty (and counted)
    // for one outside it.
    QString keyOf(const QString& href);

    QString m_connectionString;
    SyncExecutor m_executor;
    DavClient* m_client;
    PasswordRequest m_password;
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
    QList<qint64> m_confirmedSent;         // see FetchPlan
    QStringList m_gone;
    QList<Upload> m_uploads;
    qsizetype m_uploadAt = 0;
    bool m_awaitingListing = false;
    // The local changes, read while the server works out its listing; good
    // for a sync that receives nothing.
    std::optional<QList<Upload>> m_localChangesAhead;
};

} // namespace carddav
