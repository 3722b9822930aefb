#include "sync/SyncEngine.h"

#include "data/ConnectionString.h"
#include "data/ContactStore.h"
#include "data/DbError.h"
#include "formats/CardUpdate.h"
#include "formats/ContactFileReader.h"
#include "formats/VCardWriter.h"
#include "platform/FileLock.h"
#include "sync/DavClient.h"
#include "sync/ServerInput.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDateTime>
#include <QLocale>
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

// The one contact of a server's card; nullopt when it cannot be read.
// `tooLong` gets the names of the properties too long to take in.
std::optional<Contact> contactOfCard(const QByteArray& card, QStringList* tooLong = nullptr) {
    const vcard::ImportResult read = vcard::readContacts(card);
    if (read.format != vcard::FileFormat::VCard || read.contacts.size() != 1)
        return std::nullopt;
    if (tooLong)
        for (const vcard::ImportProblem& problem : read.problems)
            if (problem.kind == vcard::ImportProblem::Kind::ValueTooLong)
                tooLong->append(problem.detail);
    return read.contacts.first().contact;
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

QString contactDigest(const Contact& c) {
    QCryptographicHash hash(QCryptographicHash::Sha1);
    for (const QString* field :
         {&c.firstName, &c.middleName, &c.lastName, &c.address, &c.city, &c.state, &c.zipCode,
          &c.workPhone, &c.homePhone, &c.cellPhone, &c.email, &c.guardian, &c.comments}) {
        hash.addData(field->toUtf8());
        hash.addData(QByteArrayView("\x1f", 1));
    }
    hash.addData(QByteArray::number(int(c.type)));
    return QString::fromLatin1(hash.result().toHex());
}

QString contactDigest(const ContactUtf8& c) {
    const QByteArrayView fields[] = {
        c.firstName, c.middleName, c.lastName,  c.address, c.city,     c.state,   c.zipCode,
        c.workPhone, c.homePhone,  c.cellPhone, c.email,   c.guardian, c.comments};
    // Bytes that are not UTF-8 change when read as text: the digest is of the text.
    for (QByteArrayView field : fields)
        if (!field.isValidUtf8())
            return contactDigest(contactOf(c));
    QCryptographicHash hash(QCryptographicHash::Sha1);
    for (QByteArrayView field : fields) {
        hash.addData(field);
        hash.addData(QByteArrayView("\x1f", 1));
    }
    hash.addData(QByteArray::number(int(c.type)));
    return QString::fromLatin1(hash.result().toHex());
}

QString SyncSummary::text() const {
    QString line;
    if (!ok)
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

namespace {

QString invalidEtag(const QString& href) {
    return tr("The server gave %1 a version tag (ETag) that is not valid, so nothing more was "
              "read or sent.")
        .arg(href);
}

} // namespace

SyncEngine::SyncEngine(const QString& connectionString, QObject* parent)
    : QObject(parent), m_connectionString(connectionString), m_store(connectionString),
      m_client(new DavClient(this)) {
    qRegisterMetaType<carddav::SyncSummary>();
}

SyncEngine::~SyncEngine() = default;

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
    try {
        m_store.prepare();
        for (const SyncAccount& account : m_store.accounts())
            if (books.isEmpty() || books.contains(account.book))
                m_queue.append(account);
    } catch (const DbError& e) {
        refusal.message =
            tr("The contact file could not be read: %1").arg(QString::fromUtf8(e.what()));
        refuse(refusal);
        return;
    }
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
    // Asking may run an event loop (the keyring, a dialog) in which the sync
    // can be stopped, or stopped and started again.
    const quint64 generation = m_generation;
    const std::optional<QString> password =
        m_password ? m_password(m_account) : std::optional<QString>();
    if (generation != m_generation || !m_running)
        return;
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
    m_client->report(m_collection, 0, body, [this, withToken](const DavResponse& r) {
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
    QList<SyncItem> items;
    m_knownItems.clear();
    try {
        // A listing with nothing in it (a sync-collection with nothing new)
        // needs only the items it may have left out.
        const bool empty = !complete && changed.isEmpty() && removed.isEmpty();
        items = m_store.items(m_account.id, empty);
        for (const SyncItem& item : items)
            m_knownItems.insert(item.href);
    } catch (const DbError& e) {
        fail(tr("The contact file could not be read: %1").arg(QString::fromUtf8(e.what())));
        return;
    }
    FetchPlan plan = planFetches(items, changed, removed, complete);
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
        if (!storeCards(cards, {}))
            return;
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
        if (!storeCards(cards, gone))
            return;
        m_fetched += count;
        later(&SyncEngine::fetchNext);
    });
}

// Reads a batch of the server's cards and stores them, with the cards gone
// there, in one transaction; false after failing the sync.
bool SyncEngine::storeCards(const QList<ServerCard>& cards, const QStringList& gone) {
    QList<Contact> contacts;
    contacts.reserve(cards.size());
    QStringList warnings;
    for (const ServerCard& card : cards) {
        if (!card.etag.isEmpty() && !isValidEtag(card.etag)) {
            fail(invalidEtag(card.href));
            return false;
        }
        QStringList tooLong;
        std::optional<Contact> contact = contactOfCard(card.text, &tooLong);
        if (!contact) {
            fail(tr("The server's card %1 could not be read.").arg(card.href));
            return false;
        }
        for (const QString& property : tooLong)
            warnings.append(tr("The %1 value of the server's card %2 is longer than %3 MiB and "
                               "was not taken in; it stays on the server as it is.")
                                .arg(property, card.href)
                                .arg(vcard::maxValueBytes >> 20));
        contacts.append(std::move(*contact));
    }
    const bool written = write([&](SyncStore::Batch& batch) {
        for (qsizetype i = 0; i < cards.size(); ++i)
            applyServerCard(batch, cards[i].href, cards[i].etag, cards[i].text, contacts[i],
                            m_knownItems.contains(cards[i].href));
        for (const QString& href : gone)
            applyServerGone(batch, href);
    });
    if (written)
        m_summary.warnings += warnings;
    return written;
}

bool SyncEngine::rewritesUnseen(const QByteArray& before, const QByteArray& after) {
    for (QByteArrayView line : unseenLines(before))
        if (!after.contains(line))
            return true;
    return false;
}

bool SyncEngine::write(const std::function<void(SyncStore::Batch&)>& work) {
    try {
        if (m_store.inLinkedBatch(m_account, work))
            return true;
    } catch (const DbError& e) {
        fail(tr("The contact file could not be written: %1").arg(QString::fromUtf8(e.what())));
        return false;
    }
    fail(tr("The book was removed or linked elsewhere during the sync; nothing more was "
            "written to it."));
    return false;
}

Contact SyncEngine::conflictCopy(const Contact& local) const {
    Contact copy = local;
    copy.id = 0;
    const QString note =
        tr("Conflict copy, %1")
            .arg(QLocale().toString(QDateTime::currentDateTime(), QLocale::ShortFormat));
    copy.comments =
        local.comments.isEmpty() ? note : note + QStringLiteral("\r\n") + local.comments;
    return copy;
}

void SyncEngine::applyServerCard(SyncStore::Batch& batch, const QString& href,
                                 const QByteArray& etag, const QByteArray& card,
                                 const Contact& server, bool known) {
    const std::optional<SyncItem> item =
        known ? batch.item(m_account.id, href) : std::optional<SyncItem>();
    SyncItem next = item.value_or(SyncItem());
    next.href = href;
    next.etag = QString::fromUtf8(etag);
    next.card = card;
    next.syncedDigest = contactDigest(server);
    const std::optional<Contact> local =
        item && item->contactId ? batch.contact(item->contactId) : std::nullopt;
    const ServerCardAction action = onServerCard(
        item, local ? std::optional(contactDigest(*local)) : std::nullopt, next.syncedDigest);
    if (action == ServerCardAction::Add) {
        next.contactId = batch.insertContact(server, m_account.bookId);
    } else {
        if (action == ServerCardAction::ReplaceKeepingCopy) {
            batch.insertContact(conflictCopy(*local), m_account.bookId);
            ++m_summary.conflicts;
        }
        Contact stored = server;
        stored.id = local->id;
        batch.updateContact(stored);
    }
    if (item) {
        batch.updateItem(next);
    } else {
        batch.insertItem(m_account.id, next);
        m_knownItems.insert(href);
    }
    ++m_summary.received;
}

void SyncEngine::applyServerGone(SyncStore::Batch& batch, const QString& href) {
    const std::optional<SyncItem> item = batch.item(m_account.id, href);
    if (!item)
        return;
    const std::optional<Contact> local =
        item->contactId ? batch.contact(item->contactId) : std::nullopt;
    if (onServerGone(*item, local ? std::optional(contactDigest(*local)) : std::nullopt) ==
        ServerGoneAction::DeleteHere) {
        batch.deleteContact(local->id);
        ++m_summary.removedHere;
    }
    batch.deleteItem(item->id);
}

void SyncEngine::applyGone() {
    if (m_gone.isEmpty()) {
        planUploads();
        return;
    }
    if (!write([&](SyncStore::Batch& batch) {
            for (const QString& href : m_gone)
                applyServerGone(batch, href);
        }))
        return;
    planUploads();
}

void SyncEngine::planUploads() {
    m_uploads.clear();
    m_uploadAt = 0;
    try {
        QHash<qint64, SyncItem> byContact;
        for (const SyncItem& item : m_store.items(m_account.id)) {
            if (item.contactId)
                byContact.insert(item.contactId, item);
            else if (localChange(item, std::nullopt) == LocalChange::Delete)
                m_uploads.append({item, Contact()});
        }
        // The contacts as the bytes stored: only those to send become text.
        ContactStore book(m_connectionString);
        book.setCurrentBook(m_account.book);
        book.readContacts({}, [&](const ContactUtf8& contact) {
            const auto it = byContact.constFind(contact.id);
            const std::optional<SyncItem> item =
                it == byContact.constEnd() ? std::nullopt : std::optional(*it);
            // A new contact needs no digest: it goes up whatever it holds.
            if (localChange(item, item ? contactDigest(contact) : QString()) != LocalChange::None)
                m_uploads.append({item.value_or(SyncItem()), contactOf(contact)});
            return true;
        });
    } catch (const DbError& e) {
        fail(tr("The contact file could not be read: %1").arg(QString::fromUtf8(e.what())));
        return;
    }
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
        m_client->remove(urlOf(item.href), item.etag.toUtf8(), [this, item](const DavResponse& r) {
            if (r.ok() || r.status == 404 || r.status == 410) {
                if (!write([&](SyncStore::Batch& batch) { batch.deleteItem(item.id); }))
                    return;
                ++m_summary.removedThere;
                uploadNext();
            } else if (r.status == 412) {
                resolveFromServer(item.href); // changed there: it comes back
            } else {
                failOn(r, tr("HTTP %1").arg(r.status));
            }
        });
        return;
    }
    QByteArray card;
    if (item.id) {
        try {
            m_store.inBatch([&](SyncStore::Batch& batch) {
                if (const std::optional<SyncItem> full = batch.item(m_account.id, item.href))
                    item.card = full->card;
            });
        } catch (const DbError& e) {
            fail(tr("The contact file could not be read: %1").arg(QString::fromUtf8(e.what())));
            return;
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
            return;
        }
    }
    if (card.isEmpty()) {
        // A new card: the contact's kept card (an imported one keeps its UID
        // and everything else), else one written now. The item is written
        // before the upload, so that an answer that never comes does not
        // make a second copy next time.
        std::optional<KeptCard> kept;
        try {
            kept = m_store.keptCard(upload.contact.id);
        } catch (const DbError& e) {
            fail(tr("The contact file could not be read: %1").arg(QString::fromUtf8(e.what())));
            return;
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
            if (!write([&](SyncStore::Batch& batch) {
                    item.id = batch.insertItem(m_account.id, item);
                }))
                return;
        }
    }
    const Contact contact = upload.contact;
    m_client->put(
        urlOf(item.href), card, item.etag.toUtf8(),
        [this, item, contact, card](const DavResponse& r) { uploaded(item, contact, card, r); });
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
    SyncItem done = item;
    // Without a valid ETag the next listing gives the card's.
    done.etag = isValidEtag(r.etag) ? QString::fromUtf8(r.etag) : QString();
    done.card = card;
    done.syncedDigest = contactDigest(contact);
    if (!write([&](SyncStore::Batch& batch) { batch.updateItem(done); }))
        return;
    ++m_summary.sent;
    uploadNext();
}

// An upload or deletion the server refused because its card changed there:
// the server's version goes into the book, a local change stays as a copy.
void SyncEngine::resolveFromServer(const QString& href) {
    m_client->get(urlOf(href), [this, href](const DavResponse& r) {
        if (r.status == 404 || r.status == 410) { // deleted there meanwhile
            if (write([&](SyncStore::Batch& batch) { applyServerGone(batch, href); }))
                uploadNext();
            return;
        }
        if (!r.ok()) {
            failOn(r, tr("HTTP %1").arg(r.status));
            return;
        }
        if (!r.etag.isEmpty() && !isValidEtag(r.etag)) {
            fail(invalidEtag(href));
            return;
        }
        const std::optional<Contact> server = contactOfCard(r.body);
        if (!server) {
            fail(tr("The server's card %1 could not be read.").arg(href));
            return;
        }
        // A changed local contact differs from the digest last synced (a
        // new one was never synced), so it is kept as a conflict copy; a
        // deleted one comes back.
        if (!write([&](SyncStore::Batch& batch) {
                applyServerCard(batch, href, r.etag, r.body, *server);
            }))
            return;
        uploadNext();
    });
}

void SyncEngine::completeBook() {
    // One statement: the time of the sync, and a token that changed, kept
    // only when every change it listed was applied.
    const bool keepToken = !m_incomplete && m_newToken != m_account.syncToken;
    if (!write([&](SyncStore::Batch& batch) {
            batch.setResult(m_account.id, QDateTime::currentDateTime().toString(Qt::ISODate), {},
                            keepToken ? m_newToken : QString());
            if (keepToken)
                batch.clearSentSinceToken(m_confirmedSent);
        }))
        return;
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
    try {
        if (m_account.id)
            m_store.setResult(m_account.id, {}, message);
    } catch (const DbError&) {
        // The message still reaches the user through the summary.
    }
    finishBook(false, message);
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
