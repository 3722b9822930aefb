#include "sync/SyncEngine.h"

#include "data/ConnectionString.h"
#include "data/DbError.h"
#include "formats/CardUpdate.h"
#include "formats/ContactFileReader.h"
#include "formats/VCardWriter.h"
#include "platform/FileLock.h"
#include "sync/DavClient.h"
#include "sync/ServerInput.h"

#include <QCoreApplication>
#include <QTimer>
#include <QUuid>

namespace carddav {

namespace {

// For SyncSummary, which is no QObject: the context lupdate gives its calls.
QString tr(const char* text) {
    return QCoreApplication::translate("carddav::SyncSummary", text);
}

QByteArray xmlText(const QString& text) {
    return text.toHtmlEscaped().toUtf8();
}

QByteArray hrefXml(const QString& path) {
    return "<d:href>" + xmlText(QString::fromLatin1(QUrl::toPercentEncoding(path, "/@:"))) +
           "</d:href>";
}

QString trimmedPath(QString path) {
    while (path.endsWith(u'/'))
        path.chop(1);
    return path;
}

// The logical lines (folds included) of a card too long for the reader to
// take in: the user never saw them, so an update must leave them as they are.
QList<QByteArrayView> unseenLines(const QByteArray& card) {
    QList<QByteArrayView> lines;
    if (card.size() <= vcard::maxValueBytes)
        return lines;
    qsizetype start = 0;
    for (qsizetype at = 0; at <= card.size(); ++at) {
        const bool end = at == card.size() ||
                         (card[at] == '\n' &&
                          (at + 1 >= card.size() || (card[at + 1] != ' ' && card[at + 1] != '\t')));
        if (!end)
            continue;
        const QByteArrayView line = QByteArrayView(card).sliced(start, at - start);
        const qsizetype folds = line.count("\n ") + line.count("\n\t");
        if (line.size() - 2 * folds > vcard::maxValueBytes)
            lines.append(line);
        start = at + 1;
    }
    return lines;
}

} // namespace

QString SyncSummary::text() const {
    QString line;
    if (!ok && busy)
        line = book.isEmpty() ? message : tr("%1: %2").arg(book, message);
    else if (!ok)
        line = book.isEmpty() ? message : tr("%1: sync failed: %2").arg(book, message);
    else
        line = tr("%1: %2 received, %3 sent, %4 removed here, %5 removed on the server, %6 "
                  "conflicts")
                   .arg(book)
                   .arg(received)
                   .arg(sent)
                   .arg(removedHere)
                   .arg(removedThere)
                   .arg(conflicts);
    if (ok && outside > 0)
        line += tr("; %1 outside the address book, ignored").arg(outside);
    for (const QString& warning : warnings)
        line += u'\n' + warning;
    return line;
}

SyncEngine::SyncEngine(const QString& connectionString, QObject* parent)
    : QObject(parent), m_connectionString(connectionString), m_executor(connectionString),
      m_client(new DavClient(this)) {
    qRegisterMetaType<carddav::SyncSummary>();
}

SyncEngine::~SyncEngine() = default;

void SyncEngine::setPasswordSource(PasswordSource source) {
    setPasswordRequest(
        [source = std::move(source)](const SyncAccount& account, const PasswordAnswer& answer) {
            answer(source ? source(account) : std::nullopt);
        });
}

// One sync per data folder at a time, whichever process runs it: two at
// once would each send the same new contacts.
bool SyncEngine::lockFolder(SyncSummary& refusal) {
    try {
        m_lock = std::make_unique<platform::FileLock>(databasePathOf(m_connectionString) +
                                                      QStringLiteral(".sync-lock"));
    } catch (const DbError& e) {
        refusal.message =
            tr("The contact file could not be read: %1").arg(QString::fromUtf8(e.what()));
        return false;
    }
    switch (m_lock->tryLock()) {
    case platform::FileLock::Result::Locked:
        return true;
    case platform::FileLock::Result::Busy:
        refusal.busy = true;
        refusal.message = tr("A sync of this data folder is already running.");
        return false;
    case platform::FileLock::Result::Failed:
        break;
    }
    refusal.message = tr("The sync lock beside the contact file cannot be made.");
    return false;
}

void SyncEngine::stopRunning() {
    m_running = false;
    m_lock.reset();
}

void SyncEngine::start(const QStringList& books) {
    if (m_running)
        return;
    m_running = true;
    m_allOk = true;
    m_queue.clear();
    SyncSummary refusal;
    if (!lockFolder(refusal)) {
        refuse(refusal);
        return;
    }
    const std::optional<QList<SyncAccount>> accounts = m_executor.prepareAccounts();
    if (!accounts) {
        refusal.busy = m_executor.fileBusy();
        refusal.message = refusal.busy ? fileBusyMessage() : m_executor.failure();
        refuse(refusal);
        return;
    }
    for (const SyncAccount& account : *accounts)
        if (books.isEmpty() || books.contains(account.book))
            m_queue.append(account);
    for (const QString& book : books) {
        bool found = false;
        for (const SyncAccount& account : m_queue)
            found = found || account.book == book;
        if (!found) {
            SyncSummary summary;
            summary.book = book;
            summary.message = tr("the book is not linked to a server");
            m_allOk = false;
            emit bookFinished(summary);
        }
    }
    QTimer::singleShot(0, this, &SyncEngine::nextBook);
}

// A sync that cannot start ends from the event loop, like any other: the
// caller is waiting there for finished().
void SyncEngine::refuse(const SyncSummary& refusal) {
    m_lock.reset();
    QTimer::singleShot(0, this, [this, refusal] {
        m_running = false;
        emit bookFinished(refusal);
        emit finished(false);
    });
}

void SyncEngine::cancel() {
    if (!m_running)
        return;
    m_queue.clear();
    if (!m_inBook)
        return; // between books: the next step ends the run
    m_client->abortAll();
    ++m_generation; // a password being asked for is no longer awaited
    finishBook(false, tr("The sync was stopped."));
}

void SyncEngine::stopBook(const QString& book) {
    if (!m_running)
        return;
    m_queue.removeIf([&](const SyncAccount& account) { return account.book == book; });
    if (!m_inBook || m_account.book != book)
        return;
    m_client->abortAll();
    ++m_generation;
    finishBook(false, tr("The book was removed during the sync."));
}

void SyncEngine::nextBook() {
    if (m_queue.isEmpty()) {
        stopRunning();
        emit finished(m_allOk);
        return;
    }
    m_account = m_queue.takeFirst();
    m_inBook = true;
    m_summary = SyncSummary();
    m_summary.book = m_account.book;
    m_collection = QUrl(m_account.url);
    if (!m_collection.path().endsWith(u'/'))
        m_collection.setPath(m_collection.path() + u'/');
    m_toFetch.clear();
    m_gone.clear();
    m_uploads.clear();
    m_fetched = 0;
    m_uploadAt = 0;
    m_newToken.clear();
    m_serverToken.clear();
    m_received.clear();
    m_confirmedSent.clear();
    m_incomplete = false;
    m_awaitingListing = false;
    m_localChangesAhead.reset();
    m_executor.begin(m_account, m_summary);
    if (!m_password) {
        passwordGiven(std::nullopt);
        return;
    }
    // The answer may come later (the keyring answers from the event loop, a
    // question runs one), when the sync may have been stopped, or stopped
    // and started again: then it is dropped.
    m_password(m_account, [this, engine = QPointer<SyncEngine>(this),
                           generation = m_generation](std::optional<QString> password) {
        if (engine && generation == m_generation && m_running && m_inBook)
            passwordGiven(password);
    });
}

void SyncEngine::passwordGiven(const std::optional<QString>& password) {
    if (!password) {
        fail(tr("No password for %1 at %2.").arg(m_account.user, m_collection.host()));
        return;
    }
    m_client->setCredentials(m_account.user, *password);
    m_client->setTimeout(m_timeoutMs);
    m_client->setDeadline(m_deadlineMs);
    m_client->setLimits(m_limits);
    if (!tell(tr("Syncing %1…").arg(m_account.book)))
        return;
    if (m_account.syncToken.isEmpty() && m_batchSize == 0)
        firstSync();
    else
        listChanges(!m_account.syncToken.isEmpty());
}

QUrl SyncEngine::urlOf(const QString& href) const {
    QUrl url = m_collection;
    url.setPath(href, QUrl::DecodedMode);
    return url;
}

QString SyncEngine::keyOf(const QString& href) {
    const std::optional<QString> inside = hrefInside(m_collection, href);
    if (!inside)
        ++m_summary.outside;
    return inside.value_or(QString());
}

// A first sync asks for the collection's sync token alone first (a depth-0
// PROPFIND), then for every card. The token asked for before the cards is
// the one stored: a change that slips in between is listed again next time.
// (With a token stored, the sync-collection listing comes at once: asking
// for the token first would tell whether anything changed, but that costs a
// server that works the token out from every card as much as the
// listing itself.)
void SyncEngine::firstSync() {
    const QByteArray body = "<?xml version=\"1.0\" encoding=\"utf-8\"?>"
                            "<d:propfind xmlns:d=\"DAV:\"><d:prop><d:sync-token/></d:prop>"
                            "</d:propfind>";
    m_client->propfind(m_collection, 0, body, [this](const DavResponse& r) {
        if ((r.failure != DavResponse::Failure::None &&
             r.failure != DavResponse::Failure::Status) ||
            r.status == 401) {
            failOn(r, r.message);
            return;
        }
        if (r.status == 207)
            for (const DavItem& item : r.multistatus.items)
                if (m_serverToken.isEmpty())
                    m_serverToken = item.props.value(QStringLiteral("sync-token")).trimmed();
        if (m_serverToken.isEmpty())
            listChanges(false); // no token offered: the full listing gives one
        else
            fetchAll();
    });
}

// A first sync: every card with its ETag and text in one addressbook-query
// with no filter, which a server answers from one pass over the collection
// (one multiget per few hundred cards costs it a lookup per card). The answer
// is a complete listing; its cards are then stored a batch at a time.
void SyncEngine::fetchAll() {
    const QByteArray body = "<?xml version=\"1.0\" encoding=\"utf-8\"?>"
                            "<c:addressbook-query xmlns:d=\"DAV:\" "
                            "xmlns:c=\"urn:ietf:params:xml:ns:carddav\">"
                            "<d:prop><d:getetag/><c:address-data/></d:prop>"
                            "</c:addressbook-query>";
    if (!tell(tr("Syncing %1: receiving cards…").arg(m_account.book)))
        return;
    m_client->report(m_collection, 1, body, [this](const DavResponse& r) {
        if (r.failure == DavResponse::Failure::Status && r.status != 401 && r.status != 404 &&
            r.status < 500) {
            listChanges(false); // the server does not offer the query
            return;
        }
        Multistatus ms;
        if (!readMultistatus(
                r, tr("The server answered the card request with HTTP %1.").arg(r.status), ms))
            return;
        QList<ListedCard> all;
        const QString self = trimmedPath(m_collection.path());
        for (const DavItem& item : ms.items) {
            const QString key = keyOf(item.href);
            const auto data = item.props.constFind(QStringLiteral("address-data"));
            if (key.isEmpty() || trimmedPath(key) == self || item.status == 404 ||
                data == item.props.constEnd() || m_received.contains(key))
                continue;
            const QByteArray etag = item.props.value(QStringLiteral("getetag")).toUtf8();
            all.append({key, etag});
            m_received.insert(key, {key, etag, data->toUtf8()});
        }
        changesListed(all, {}, true, m_serverToken);
    });
}

void SyncEngine::listChanges(bool withToken) {
    const QByteArray body =
        "<?xml version=\"1.0\" encoding=\"utf-8\"?>"
        "<d:sync-collection xmlns:d=\"DAV:\"><d:sync-token>" +
        (withToken ? xmlText(m_account.syncToken) : QByteArray()) +
        "</d:sync-token><d:sync-level>1</d:sync-level><d:prop><d:getetag/></d:prop>"
        "</d:sync-collection>";
    m_awaitingListing = true;
    m_client->report(m_collection, 0, body, [this, withToken](const DavResponse& r) {
        m_awaitingListing = false;
        if (r.status == 207) {
            const Multistatus& ms = r.multistatus;
            if (!ms.valid) {
                fail(tr("The server's answer could not be read (malformed XML)."));
                return;
            }
            QList<ListedCard> changed;
            QStringList removed;
            const QString self = trimmedPath(m_collection.path());
            for (const DavItem& item : ms.items) {
                const QString key = keyOf(item.href);
                if (key.isEmpty() || trimmedPath(key) == self)
                    continue;
                if (item.status == 404)
                    removed.append(key);
                else
                    changed.append({key, item.props.value(QStringLiteral("getetag")).toUtf8()});
            }
            changesListed(changed, removed, !withToken, ms.syncToken);
            return;
        }
        if (r.failure == DavResponse::Failure::Status && r.status != 401 && r.status != 404 &&
            r.status < 500) {
            // A token the server no longer knows: start over with a full list.
            if (withToken && (r.status == 403 || r.status == 409 || r.status == 400)) {
                listChanges(false);
                return;
            }
            listByPropfind(m_serverToken); // the server does not offer sync-collection
            return;
        }
        failOn(r, tr("The server answered the list request with HTTP %1.").arg(r.status));
    });
    // The request goes out from the event loop; the reading comes after it.
    if (withToken)
        later(&SyncEngine::readLocalChangesAhead);
}

void SyncEngine::readLocalChangesAhead() {
    if (m_awaitingListing)
        m_localChangesAhead = m_executor.readLocalChanges();
}

// The multistatus answer of a request; false after failing the sync with the
// reason: another status (`refusedStatus` tells it), or a body that is not XML.
bool SyncEngine::readMultistatus(const DavResponse& r, const QString& refusedStatus,
                                 Multistatus& ms) {
    if (r.status != 207) {
        failOn(r, refusedStatus);
        return false;
    }
    ms = r.multistatus;
    if (!ms.valid) {
        fail(tr("The server's answer could not be read (malformed XML)."));
        return false;
    }
    return true;
}

void SyncEngine::listByPropfind(const QString& token) {
    const QByteArray body = "<?xml version=\"1.0\" encoding=\"utf-8\"?>"
                            "<d:propfind xmlns:d=\"DAV:\"><d:prop><d:getetag/><d:resourcetype/>"
                            "</d:prop></d:propfind>";
    m_client->propfind(m_collection, 1, body, [this, token](const DavResponse& r) {
        Multistatus ms;
        if (!readMultistatus(
                r, tr("The server answered the list request with HTTP %1.").arg(r.status), ms))
            return;
        QList<ListedCard> all;
        const QString self = trimmedPath(m_collection.path());
        for (const DavItem& item : ms.items) {
            const QString key = keyOf(item.href);
            if (key.isEmpty() || trimmedPath(key) == self ||
                item.resourceTypes.contains(QStringLiteral("collection")))
                continue;
            all.append({key, item.props.value(QStringLiteral("getetag")).toUtf8()});
        }
        changesListed(all, {}, true, token);
    });
}

void SyncEngine::changesListed(QList<ListedCard> changed, QStringList removed, bool complete,
                               const QString& token) {
    m_newToken = token;
    // A listing with nothing in it (a sync-collection with nothing new)
    // needs only the items it may have left out.
    const bool empty = !complete && changed.isEmpty() && removed.isEmpty();
    const std::optional<QList<SyncItem>> items = m_executor.readItems(empty);
    if (!items) {
        executorFailed();
        return;
    }
    FetchPlan plan = planFetches(*items, changed, removed, complete);
    m_toFetch = std::move(plan.fetch);
    m_gone = std::move(plan.gone);
    m_confirmedSent = std::move(plan.confirmedSent);
    fetchNext();
}

void SyncEngine::fetchNext() {
    if (m_fetched >= m_toFetch.size()) {
        applyGone();
        return;
    }
    // Cards already received go in larger batches: each commit waits for the
    // disk, and no request stands between them.
    const int batch = m_batchSize > 0        ? m_batchSize
                      : m_received.isEmpty() ? defaultBatch
                                             : receivedBatch;
    const qsizetype count = std::min<qsizetype>(batch, m_toFetch.size() - m_fetched);
    if (!tell(tr("Syncing %1: receiving cards %2 to %3 of %4…")
                  .arg(m_account.book)
                  .arg(m_fetched + 1)
                  .arg(m_fetched + count)
                  .arg(m_toFetch.size())))
        return;
    if (!m_received.isEmpty()) {
        QList<ServerCard> cards;
        for (qsizetype i = m_fetched; i < m_fetched + count; ++i)
            cards.append(m_received.take(m_toFetch[i].href));
        if (!m_executor.storeCards(cards)) {
            executorFailed();
            return;
        }
        m_fetched += count;
        later(&SyncEngine::fetchNext);
        return;
    }
    QByteArray body = "<?xml version=\"1.0\" encoding=\"utf-8\"?>"
                      "<c:addressbook-multiget xmlns:d=\"DAV:\" "
                      "xmlns:c=\"urn:ietf:params:xml:ns:carddav\">"
                      "<d:prop><d:getetag/><c:address-data/></d:prop>";
    QSet<QString> asked;
    for (qsizetype i = m_fetched; i < m_fetched + count; ++i) {
        body += hrefXml(m_toFetch[i].href);
        asked.insert(m_toFetch[i].href);
    }
    body += "</c:addressbook-multiget>";
    m_client->report(m_collection, 1, body, [this, count, asked](const DavResponse& r) {
        Multistatus ms;
        if (!readMultistatus(
                r, tr("The server answered the card request with HTTP %1.").arg(r.status), ms))
            return;
        QList<ServerCard> cards;
        QStringList gone;
        QSet<QString> answered;
        for (const DavItem& item : ms.items) {
            const QString key = keyOf(item.href);
            if (!asked.contains(key))
                continue;
            answered.insert(key);
            const auto data = item.props.constFind(QStringLiteral("address-data"));
            if (item.status == 404 || data == item.props.constEnd())
                gone.append(key);
            else
                cards.append(
                    {key, item.props.value(QStringLiteral("getetag")).toUtf8(), data->toUtf8()});
        }
        // A card the answer leaves out is asked for again next time: the
        // token that listed it is not kept.
        if (answered.size() < asked.size())
            m_incomplete = true;
        if (!m_executor.storeCards(cards, gone)) {
            executorFailed();
            return;
        }
        m_fetched += count;
        later(&SyncEngine::fetchNext);
    });
}

bool SyncEngine::rewritesUnseen(const QByteArray& before, const QByteArray& after) {
    for (QByteArrayView line : unseenLines(before))
        if (!after.contains(line))
            return true;
    return false;
}

void SyncEngine::applyGone() {
    if (!m_gone.isEmpty() && !m_executor.storeCards({}, m_gone)) {
        executorFailed();
        return;
    }
    planUploads();
}

void SyncEngine::planUploads() {
    std::optional<QList<Upload>> uploads =
        m_localChangesAhead && m_toFetch.isEmpty() && m_gone.isEmpty()
            ? std::move(m_localChangesAhead)
            : m_executor.readLocalChanges();
    m_localChangesAhead.reset();
    if (!uploads) {
        executorFailed();
        return;
    }
    m_uploads = std::move(*uploads);
    m_uploadAt = 0;
    uploadNext();
}

void SyncEngine::uploadNext() {
    if (m_uploadAt >= m_uploads.size()) {
        completeBook();
        return;
    }
    const Upload upload = m_uploads[m_uploadAt++];
    if (!tell(tr("Syncing %1: sending change %2 of %3…")
                  .arg(m_account.book)
                  .arg(m_uploadAt)
                  .arg(m_uploads.size())))
        return;
    SyncItem item = upload.item;
    if (item.id && !item.contactId) {
        removeThere(item);
        return;
    }
    const QByteArray card = cardToSend(upload, item);
    if (card.isEmpty())
        return;
    const Contact contact = upload.contact;
    m_client->put(
        urlOf(item.href), card, item.etag.toUtf8(),
        [this, item, contact, card](const DavResponse& r) { uploaded(item, contact, card, r); });
}

void SyncEngine::removeThere(const SyncItem& item) {
    m_client->remove(urlOf(item.href), item.etag.toUtf8(), [this, item](const DavResponse& r) {
        if (r.ok() || r.status == 404 || r.status == 410) {
            if (!m_executor.recordRemoval(item.id)) {
                executorFailed();
                return;
            }
            uploadNext();
        } else if (r.status == 412) {
            resolveFromServer(item.href); // changed there: it comes back
        } else {
            failOn(r, tr("HTTP %1").arg(r.status));
        }
    });
}

QByteArray SyncEngine::cardToSend(const Upload& upload, SyncItem& item) {
    QByteArray card;
    if (item.id) {
        if (!m_executor.readServerCard(item)) {
            executorFailed();
            return {};
        }
        card = vcard::updateCard(item.card, upload.contact);
        if (!card.isEmpty() && rewritesUnseen(item.card, card)) {
            m_summary.warnings.append(
                tr("The change to %1 was not sent: it would replace a value of the server's "
                   "card longer than %2 MiB, which was not taken in.")
                    .arg(QStringList{upload.contact.firstName, upload.contact.lastName}
                             .join(u' ')
                             .trimmed())
                    .arg(vcard::maxValueBytes >> 20));
            later(&SyncEngine::uploadNext);
            return {};
        }
    }
    if (!card.isEmpty())
        return card;
    // A new card: the contact's kept card (an imported one keeps its UID and
    // everything else), else one written now. The item is written before
    // the upload, so that an answer that never comes does not make a second
    // copy next time.
    std::optional<KeptCard> kept;
    if (!m_executor.readKeptCard(upload.contact.id, kept)) {
        executorFailed();
        return {};
    }
    if (kept)
        card = vcard::updateCard(kept->text, upload.contact);
    const QString uid = QUuid::createUuid().toString(QUuid::WithoutBraces);
    if (card.isEmpty()) {
        vcard::VCardWriter writer;
        writer.write(upload.contact, uid);
        card = writer.data();
    }
    if (!item.id) {
        item.href = m_collection.path() + uid + QStringLiteral(".vcf");
        item.contactId = upload.contact.id;
        item.card = card;
        item.syncedDigest = contactDigest(upload.contact);
        item.sentSinceToken = true;
        if (!m_executor.recordNewItem(item)) {
            executorFailed();
            return {};
        }
    }
    return card;
}

void SyncEngine::uploaded(const SyncItem& item, const Contact& contact, const QByteArray& card,
                          const DavResponse& r) {
    if (r.status == 412) {
        resolveFromServer(item.href);
        return;
    }
    if (!r.ok()) {
        failOn(r, tr("HTTP %1").arg(r.status));
        return;
    }
    if (!m_executor.recordUpload(item, contact, card, r.etag)) {
        executorFailed();
        return;
    }
    uploadNext();
}

// An upload or deletion the server refused because its card changed there:
// the server's version goes into the book, a local change stays as a copy.
void SyncEngine::resolveFromServer(const QString& href) {
    m_client->get(urlOf(href), [this, href](const DavResponse& r) {
        const bool goneThere = r.status == 404 || r.status == 410; // deleted there meanwhile
        if (!goneThere && !r.ok()) {
            failOn(r, tr("HTTP %1").arg(r.status));
            return;
        }
        const bool stored = goneThere ? m_executor.storeCards({}, {href})
                                      : m_executor.takeRefusedCard({href, r.etag, r.body});
        if (!stored) {
            executorFailed();
            return;
        }
        uploadNext();
    });
}

void SyncEngine::completeBook() {
    if (!m_executor.complete(m_newToken, !m_incomplete, m_confirmedSent)) {
        executorFailed();
        return;
    }
    finishBook(true, {});
}

bool SyncEngine::tell(const QString& message) {
    const quint64 generation = m_generation;
    emit progress(message);
    return generation == m_generation;
}

void SyncEngine::later(void (SyncEngine::*step)()) {
    QTimer::singleShot(0, this, [this, step, generation = m_generation] {
        if (generation == m_generation)
            (this->*step)();
    });
}

void SyncEngine::failOn(const DavResponse& r, const QString& otherwise) {
    m_summary.passwordRefused = r.status == 401;
    fail(r.ok() || r.message.isEmpty() ? otherwise : r.message);
}

void SyncEngine::fail(const QString& message) {
    m_client->abortAll();
    m_executor.recordFailure(message);
    finishBook(false, message);
}

// A sync that met the contact file held by other work (an import, another
// program) waits for its next turn: nothing failed.
QString SyncEngine::fileBusyMessage() {
    return tr("The contact file is busy with other work; the sync goes on at its next turn.");
}

void SyncEngine::executorFailed() {
    if (!m_executor.fileBusy()) {
        fail(m_executor.failure());
        return;
    }
    // Another connection held the file past the busy time-out: what was
    // written stays, the old token too, and the next turn does the rest.
    // Nothing is recorded as a failure. The other books would meet the
    // same wait: they go at that turn too.
    m_queue.clear();
    m_client->abortAll();
    m_summary.busy = true;
    finishBook(false, fileBusyMessage());
}

void SyncEngine::finishBook(bool ok, const QString& message) {
    m_inBook = false;
    m_summary.ok = ok;
    m_summary.message = message;
    m_allOk = m_allOk && ok;
    emit bookFinished(m_summary);
    if (m_running)
        QTimer::singleShot(0, this, &SyncEngine::nextBook);
}

} // namespace carddav
