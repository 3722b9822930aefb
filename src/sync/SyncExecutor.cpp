#include "sync/SyncExecutor.h"

#include "data/ContactStore.h"
#include "data/DbError.h"
#include "formats/ContactFileReader.h"
#include "sync/ServerInput.h"
#include "sync/SyncPlan.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDateTime>
#include <QHash>
#include <QLocale>

namespace carddav {

namespace {

// The one contact of a server's card; nullopt when it cannot be read.
// `tooLong` gets the names of the properties too long to take in.
std::optional<Contact> contactOfCard(const QByteArray& card, QStringList* tooLong) {
    const vcard::ImportResult read = vcard::readContacts(card);
    if (read.format != vcard::FileFormat::VCard || read.contacts.size() != 1)
        return std::nullopt;
    if (tooLong)
        for (const vcard::ImportProblem& problem : read.problems)
            if (problem.kind == vcard::ImportProblem::Kind::ValueTooLong)
                tooLong->append(problem.detail);
    return read.contacts.first().contact;
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

SyncExecutor::SyncExecutor(const QString& connectionString)
    : m_connectionString(connectionString), m_store(connectionString) {}

std::optional<QList<SyncAccount>> SyncExecutor::prepareAccounts() {
    m_fileBusy = false;
    try {
        m_store.prepare();
        return m_store.accounts();
    } catch (const DbError& e) {
        readFailed(e);
    }
    return std::nullopt;
}

void SyncExecutor::begin(const SyncAccount& account, SyncSummary& summary) {
    m_account = account;
    m_summary = &summary;
    m_knownItems.clear();
    m_failure.clear();
    m_fileBusy = false;
}

bool SyncExecutor::failed(const QString& message) {
    m_failure = message;
    return false;
}

bool SyncExecutor::readFailed(const DbError& e) {
    m_fileBusy = e.fileBusy();
    return failed(tr("The contact file could not be read: %1").arg(QString::fromUtf8(e.what())));
}

std::optional<QList<SyncItem>> SyncExecutor::readItems(bool onlySentSinceToken) {
    m_knownItems.clear();
    try {
        QList<SyncItem> items = m_store.items(m_account.id, onlySentSinceToken);
        for (const SyncItem& item : items)
            m_knownItems.insert(item.href);
        return items;
    } catch (const DbError& e) {
        readFailed(e);
    }
    return std::nullopt;
}

std::optional<QList<Upload>> SyncExecutor::readLocalChanges() {
    QList<Upload> uploads;
    try {
        QHash<qint64, SyncItem> byContact;
        for (const SyncItem& item : m_store.items(m_account.id)) {
            if (item.contactId)
                byContact.insert(item.contactId, item);
            else if (localChange(item, std::nullopt) == LocalChange::Delete)
                uploads.append({item, Contact()});
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
                uploads.append({item.value_or(SyncItem()), contactOf(contact)});
            return true;
        });
    } catch (const DbError& e) {
        readFailed(e);
        return std::nullopt;
    }
    return uploads;
}

bool SyncExecutor::readServerCard(SyncItem& item) {
    try {
        m_store.inBatch([&](SyncStore::Batch& batch) {
            if (const std::optional<SyncItem> full = batch.item(m_account.id, item.href))
                item.card = full->card;
        });
    } catch (const DbError& e) {
        return readFailed(e);
    }
    return true;
}

bool SyncExecutor::readKeptCard(qint64 contactId, std::optional<KeptCard>& kept) {
    try {
        kept = m_store.keptCard(contactId);
    } catch (const DbError& e) {
        return readFailed(e);
    }
    return true;
}

bool SyncExecutor::write(const std::function<void(SyncStore::Batch&)>& work) {
    // What a step counts stands only when the step was written.
    const SyncSummary before = *m_summary;
    try {
        if (m_store.inLinkedBatch(m_account, work))
            return true;
    } catch (const DbError& e) {
        *m_summary = before;
        m_fileBusy = e.fileBusy();
        return failed(
            tr("The contact file could not be written: %1").arg(QString::fromUtf8(e.what())));
    }
    return failed(tr("The book was removed or linked elsewhere during the sync; nothing more "
                     "was written to it."));
}

std::optional<QList<Contact>> SyncExecutor::readCards(const QList<ServerCard>& cards,
                                                      QStringList* warnings) {
    QList<Contact> contacts;
    contacts.reserve(cards.size());
    for (const ServerCard& card : cards) {
        if (!card.etag.isEmpty() && !isValidEtag(card.etag)) {
            failed(tr("The server gave %1 a version tag (ETag) that is not valid, so nothing "
                      "more was read or sent.")
                       .arg(card.href));
            return std::nullopt;
        }
        QStringList tooLong;
        std::optional<Contact> contact = contactOfCard(card.text, warnings ? &tooLong : nullptr);
        if (!contact) {
            failed(tr("The server's card %1 could not be read.").arg(card.href));
            return std::nullopt;
        }
        for (const QString& property : tooLong)
            warnings->append(tr("The %1 value of the server's card %2 is longer than %3 MiB and "
                                "was not taken in; it stays on the server as it is.")
                                 .arg(property, card.href)
                                 .arg(vcard::maxValueBytes >> 20));
        contacts.append(std::move(*contact));
    }
    return contacts;
}

bool SyncExecutor::storeCards(const QList<ServerCard>& cards, const QStringList& gone) {
    QStringList warnings;
    const std::optional<QList<Contact>> contacts = readCards(cards, &warnings);
    if (!contacts)
        return false;
    const bool written = write([&](SyncStore::Batch& batch) {
        for (qsizetype i = 0; i < cards.size(); ++i)
            applyServerCard(batch, cards[i], contacts->at(i), m_knownItems.contains(cards[i].href));
        for (const QString& href : gone)
            applyServerGone(batch, href);
    });
    if (written)
        m_summary->warnings += warnings;
    return written;
}

bool SyncExecutor::takeRefusedCard(const ServerCard& card) {
    const std::optional<QList<Contact>> contacts = readCards({card}, nullptr);
    // A changed local contact differs from the digest last synced (a new one
    // was never synced), so it is kept as a conflict copy; a deleted one
    // comes back.
    return contacts && write([&](SyncStore::Batch& batch) {
               applyServerCard(batch, card, contacts->first(), true);
           });
}

bool SyncExecutor::recordNewItem(SyncItem& item) {
    return write([&](SyncStore::Batch& batch) { item.id = batch.insertItem(m_account.id, item); });
}

bool SyncExecutor::recordUpload(const SyncItem& item, const Contact& contact,
                                const QByteArray& card, const QByteArray& etag) {
    SyncItem done = item;
    // Without a valid ETag the next listing gives the card's.
    done.etag = isValidEtag(etag) ? QString::fromUtf8(etag) : QString();
    done.card = card;
    done.syncedDigest = contactDigest(contact);
    if (!write([&](SyncStore::Batch& batch) { batch.updateItem(done); }))
        return false;
    ++m_summary->sent;
    return true;
}

bool SyncExecutor::recordRemoval(qint64 itemId) {
    if (!write([&](SyncStore::Batch& batch) { batch.deleteItem(itemId); }))
        return false;
    ++m_summary->removedThere;
    return true;
}

bool SyncExecutor::complete(const QString& token, bool allApplied,
                            const QList<qint64>& confirmedSent) {
    const bool keepToken = allApplied && token != m_account.syncToken;
    return write([&](SyncStore::Batch& batch) {
        batch.setResult(m_account.id, QDateTime::currentDateTime().toString(Qt::ISODate), {},
                        keepToken ? token : QString());
        if (keepToken)
            batch.clearSentSinceToken(confirmedSent);
    });
}

void SyncExecutor::recordFailure(const QString& message) {
    try {
        if (m_account.id)
            m_store.setResult(m_account.id, {}, message);
    } catch (const DbError&) {
        // The message still reaches the user through the summary.
    }
}

Contact SyncExecutor::conflictCopy(const Contact& local) const {
    Contact copy = local;
    copy.id = 0;
    const QString note =
        tr("Conflict copy, %1")
            .arg(QLocale().toString(QDateTime::currentDateTime(), QLocale::ShortFormat));
    copy.comments =
        local.comments.isEmpty() ? note : note + QStringLiteral("\r\n") + local.comments;
    return copy;
}

void SyncExecutor::applyServerCard(SyncStore::Batch& batch, const ServerCard& card,
                                   const Contact& server, bool known) {
    const std::optional<SyncItem> item =
        known ? batch.item(m_account.id, card.href) : std::optional<SyncItem>();
    SyncItem next = item.value_or(SyncItem());
    next.href = card.href;
    next.etag = QString::fromUtf8(card.etag);
    next.card = card.text;
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
            ++m_summary->conflicts;
        }
        Contact stored = server;
        stored.id = local->id;
        batch.updateContact(stored);
    }
    if (item) {
        batch.updateItem(next);
    } else {
        batch.insertItem(m_account.id, next);
        m_knownItems.insert(card.href);
    }
    ++m_summary->received;
}

void SyncExecutor::applyServerGone(SyncStore::Batch& batch, const QString& href) {
    const std::optional<SyncItem> item = batch.item(m_account.id, href);
    if (!item)
        return;
    const std::optional<Contact> local =
        item->contactId ? batch.contact(item->contactId) : std::nullopt;
    if (onServerGone(*item, local ? std::optional(contactDigest(*local)) : std::nullopt) ==
        ServerGoneAction::DeleteHere) {
        batch.deleteContact(local->id);
        ++m_summary->removedHere;
    }
    batch.deleteItem(item->id);
}

} // namespace carddav
