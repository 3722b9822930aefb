#include "data/SyncStore.h"

#include "data/CardStore.h"
#include "data/Connection.h"
#include "data/ContactStatements.h"
#include "data/ContactStore.h"
#include "data/SqlQuote.h"

const char* SyncStore::itemTable = "tblSyncItem";

namespace {

const QString createAccountTable = QStringLiteral(
    "CREATE TABLE IF NOT EXISTS tblSyncAccount (pkSyncAccountId INTEGER PRIMARY KEY, "
    "fkContactBookId INTEGER NOT NULL UNIQUE, CollectionUrl TEXT NOT NULL, "
    "UserName TEXT NOT NULL, SyncToken TEXT NOT NULL DEFAULT '', "
    "LastSync TEXT NOT NULL DEFAULT '', LastError TEXT NOT NULL DEFAULT '')");
const QString createItemTable = QStringLiteral(
    "CREATE TABLE IF NOT EXISTS tblSyncItem (pkSyncItemId INTEGER PRIMARY KEY, "
    "fkSyncAccountId INTEGER NOT NULL, fkContactDetailsId INTEGER, Href TEXT NOT NULL, "
    "ETag TEXT NOT NULL DEFAULT '', Card TEXT NOT NULL DEFAULT '', "
    "SyncedDigest TEXT NOT NULL DEFAULT '', SentSinceToken INTEGER NOT NULL DEFAULT 0, "
    "UNIQUE (fkSyncAccountId, Href))");
const QString createItemContactIndex = QStringLiteral(
    "CREATE INDEX IF NOT EXISTS idxSyncItemContact ON tblSyncItem (fkContactDetailsId)");
// Part of the file, so that a contact deleted by any program, not only this
// one, leaves its item behind without it: the next sync deletes the server's
// card, and a new contact SQLite gives the same id is never taken for it.
const QString createForgetContactTrigger = QStringLiteral(
    "CREATE TRIGGER IF NOT EXISTS trgSyncItemContactDeleted AFTER DELETE ON tblContactDetails "
    "BEGIN UPDATE tblSyncItem SET fkContactDetailsId = NULL "
    "WHERE fkContactDetailsId = old.pkContactDetailsId; END");

// A file linked by an older version has items without the mark.
void addSentSinceTokenColumn(Connection& connection) {
    RowSet column = connection.query(QStringLiteral(
        "select 1 from pragma_table_info('tblSyncItem') where name = 'SentSinceToken'"));
    const bool missing = column.atEnd();
    column.close();
    if (missing)
        connection.execute(QStringLiteral("ALTER TABLE tblSyncItem ADD COLUMN SentSinceToken "
                                          "INTEGER NOT NULL DEFAULT 0"));
}

QString bookIdOf(const QString& book) {
    return QStringLiteral("(select pkContactBookId from tblContactBook where ContactBookName = '") +
           sqlTextBody(book) + QStringLiteral("')");
}

QString accountsStatement(const QString& where) {
    return QStringLiteral("select pkSyncAccountId, fkContactBookId, ContactBookName, "
                          "CollectionUrl, UserName, SyncToken, LastSync, LastError "
                          "from tblSyncAccount join tblContactBook on "
                          "pkContactBookId = fkContactBookId") +
           where;
}

SyncAccount accountFromRow(const RowSet& row) {
    SyncAccount a;
    a.id = row.integer(0);
    a.bookId = row.integer(1);
    a.book = row.text(2);
    a.url = row.text(3);
    a.user = row.text(4);
    a.syncToken = row.text(5);
    a.lastSync = row.text(6);
    a.lastError = row.text(7);
    return a;
}

// An item's card is the card kept beside its contact; the item's own column
// holds it only while no contact does (a card still to be deleted there).
QString itemColumns(Connection& connection) {
    const QString card =
        connection.hasTable(QLatin1String(CardStore::table))
            ? QStringLiteral("coalesce((select Card from tblContactCard where "
                             "fkContactDetailsId = tblSyncItem.fkContactDetailsId), "
                             "Card)")
            : QStringLiteral("Card");
    return QStringLiteral("select pkSyncItemId, fkContactDetailsId, Href, ETag, ") + card +
           QStringLiteral(", SyncedDigest, SentSinceToken from tblSyncItem ");
}

SyncItem itemFromRow(const RowSet& row) {
    SyncItem item;
    item.id = row.integer(0);
    item.contactId = row.isNull(1) ? 0 : row.integer(1);
    item.href = row.text(2);
    item.etag = row.text(3);
    item.card = row.text(4).toUtf8();
    item.syncedDigest = row.text(5);
    item.sentSinceToken = row.integer(6) != 0;
    return item;
}

QString contactRef(qint64 contactId) {
    return contactId == 0 ? QStringLiteral("NULL") : sqlId(contactId);
}

} // namespace

bool SyncStore::hasTables() const {
    Connection connection(m_connectionString);
    return connection.hasTable(QStringLiteral("tblSyncAccount")) &&
           connection.hasTable(QLatin1String(itemTable));
}

bool SyncStore::link(const QString& book, const QString& url, const QString& user) const {
    bool linked = false;
    Connection connection(m_connectionString);
    connection.inTransaction([&] {
        RowSet row = connection.query(QStringLiteral("select ") + bookIdOf(book));
        if (row.atEnd() || row.isNull(0))
            return;
        const qint64 bookId = row.integer(0);
        row.close();
        connection.execute(createAccountTable);
        connection.execute(createItemTable);
        addSentSinceTokenColumn(connection);
        connection.execute(createItemContactIndex);
        connection.execute(createForgetContactTrigger);
        CardStore::createTable(connection);
        RowSet existing = connection.query(
            QStringLiteral("select pkSyncAccountId, CollectionUrl, UserName from tblSyncAccount "
                           "where fkContactBookId = ") +
            sqlId(bookId));
        if (!existing.atEnd()) {
            const qint64 accountId = existing.integer(0);
            const bool sameCollection = existing.text(1) == url;
            existing.close();
            if (!sameCollection) {
                connection.execute(
                    QStringLiteral("delete from tblSyncItem where fkSyncAccountId = ") +
                    sqlId(accountId));
                connection.execute(QStringLiteral("update tblSyncAccount set SyncToken = '' where "
                                                  "pkSyncAccountId = ") +
                                   sqlId(accountId));
            }
            // A new link starts with no failure of the old one to show.
            connection.execute(QStringLiteral("update tblSyncAccount set CollectionUrl = ") +
                               sqlText(url) + QStringLiteral(", UserName = ") + sqlText(user) +
                               QStringLiteral(", LastError = '' where pkSyncAccountId = ") +
                               sqlId(accountId));
        } else {
            existing.close();
            connection.execute(
                QStringLiteral("insert into tblSyncAccount (fkContactBookId, CollectionUrl, "
                               "UserName) values (") +
                sqlId(bookId) + QLatin1Char(',') + sqlText(url) + QLatin1Char(',') + sqlText(user) +
                QLatin1Char(')'));
        }
        linked = true;
    });
    return linked;
}

void SyncStore::prepare() const {
    Connection connection(m_connectionString);
    if (!connection.hasTable(QLatin1String(itemTable)))
        return;
    connection.execute(createForgetContactTrigger);
    addSentSinceTokenColumn(connection);
}

void SyncStore::unlink(const QString& book) const {
    Connection connection(m_connectionString);
    if (!connection.hasTable(QStringLiteral("tblSyncAccount")))
        return;
    connection.inTransaction([&] {
        for (const QString& statement : forgetBookStatements(book))
            connection.execute(statement);
    });
}

std::optional<SyncAccount> SyncStore::account(const QString& book) const {
    Connection connection(m_connectionString);
    if (!connection.hasTable(QStringLiteral("tblSyncAccount")))
        return std::nullopt;
    RowSet row = connection.query(accountsStatement(QStringLiteral(" where ContactBookName = '") +
                                                    sqlTextBody(book) + QLatin1Char('\'')));
    if (row.atEnd())
        return std::nullopt;
    return accountFromRow(row);
}

QList<SyncAccount> SyncStore::accounts() const {
    QList<SyncAccount> all;
    Connection connection(m_connectionString);
    if (!connection.hasTable(QStringLiteral("tblSyncAccount")))
        return all;
    for (RowSet rows =
             connection.query(accountsStatement(QStringLiteral(" order by ContactBookName")));
         !rows.atEnd(); rows.moveNext())
        all.append(accountFromRow(rows));
    return all;
}

namespace {

QString resultStatement(qint64 accountId, const QString& lastSync, const QString& lastError,
                        const QString& syncToken) {
    QString set = QStringLiteral("update tblSyncAccount set LastError = ") + sqlText(lastError);
    if (!lastSync.isEmpty())
        set += QStringLiteral(", LastSync = ") + sqlText(lastSync);
    if (!syncToken.isEmpty())
        set += QStringLiteral(", SyncToken = ") + sqlText(syncToken);
    return set + QStringLiteral(" where pkSyncAccountId = ") + sqlId(accountId);
}

} // namespace

void SyncStore::setResult(qint64 accountId, const QString& lastSync, const QString& lastError,
                          const QString& syncToken) const {
    Connection connection(m_connectionString);
    connection.execute(resultStatement(accountId, lastSync, lastError, syncToken));
}

QList<SyncItem> SyncStore::items(qint64 accountId, bool onlySentSinceToken) const {
    QList<SyncItem> all;
    Connection connection(m_connectionString);
    // Without the card texts: a sync reads them one at a time, when needed.
    for (RowSet rows = connection.query(
             QStringLiteral("select pkSyncItemId, fkContactDetailsId, Href, ETag, '', "
                            "SyncedDigest, SentSinceToken from tblSyncItem where "
                            "fkSyncAccountId = ") +
             sqlId(accountId) +
             (onlySentSinceToken ? QStringLiteral(" and SentSinceToken <> 0") : QString()));
         !rows.atEnd(); rows.moveNext())
        all.append(itemFromRow(rows));
    return all;
}

QList<Contact> SyncStore::contacts(qint64 bookId) const {
    QList<Contact> all;
    Connection connection(m_connectionString);
    for (RowSet rows = connection.query(
             QStringLiteral("select * from tblContactDetails where fkContactBookId = ") +
             sqlId(bookId));
         !rows.atEnd(); rows.moveNext())
        all.append(contactFromRow(rows));
    return all;
}

std::optional<KeptCard> SyncStore::keptCard(qint64 contactId) const {
    return CardStore(m_connectionString).card(contactId);
}

void SyncStore::inBatch(const std::function<void(Batch&)>& work) const {
    Connection connection(m_connectionString);
    Batch batch(connection);
    connection.inTransaction([&] { work(batch); });
}

bool SyncStore::inLinkedBatch(const SyncAccount& account,
                              const std::function<void(Batch&)>& work) const {
    Connection connection(m_connectionString);
    Batch batch(connection);
    bool linked = false;
    connection.inTransaction([&] {
        RowSet row = connection.query(
            QStringLiteral("select 1 from tblSyncAccount join tblContactBook on "
                           "pkContactBookId = fkContactBookId where pkSyncAccountId = ") +
            sqlId(account.id) + QStringLiteral(" and fkContactBookId = ") + sqlId(account.bookId) +
            QStringLiteral(" and CollectionUrl = ") + sqlText(account.url));
        linked = !row.atEnd();
        row.close();
        if (linked)
            work(batch);
    });
    return linked;
}

SyncStore::Batch::Batch(Connection& connection) : m_connection(connection) {}

SyncStore::Batch::~Batch() = default;

std::optional<Contact> SyncStore::Batch::contact(qint64 id) const {
    if (!m_contactById)
        m_contactById = std::make_unique<Statement>(m_connection.prepared(
            QStringLiteral("select * from tblContactDetails where pkContactDetailsId = ?1")));
    m_contactById->bind(1, id);
    RowSet row = m_contactById->rows();
    if (row.atEnd())
        return std::nullopt;
    return contactFromRow(row);
}

qint64 SyncStore::Batch::insertContact(const Contact& contact, qint64 bookId) const {
    if (!m_contacts || m_contacts->m_bookId != bookId)
        m_contacts.reset(new ContactStore::Batch(m_connection, bookId));
    return m_contacts->insert(contact);
}

void SyncStore::Batch::updateContact(const Contact& contact) const {
    m_connection.execute(updateContactStatement(contact));
}

void SyncStore::Batch::deleteContact(qint64 id) const {
    m_connection.execute(
        QStringLiteral("Delete from tblContactDetails where pkContactDetailsId = ") + sqlId(id));
}

std::optional<SyncItem> SyncStore::Batch::item(qint64 accountId, const QString& href) const {
    RowSet row =
        m_connection.query(itemColumns(m_connection) + QStringLiteral("where fkSyncAccountId = ") +
                           sqlId(accountId) + QStringLiteral(" and Href = ") + sqlText(href));
    if (row.atEnd())
        return std::nullopt;
    return itemFromRow(row);
}

qint64 SyncStore::Batch::insertItem(qint64 accountId, const SyncItem& item) const {
    const QByteArray card = storableUtf8(QString::fromUtf8(keepCard(item)));
    if (!m_insertItem)
        m_insertItem = std::make_unique<Statement>(m_connection.prepared(QStringLiteral(
            "insert into tblSyncItem (fkSyncAccountId, fkContactDetailsId, Href, ETag, Card, "
            "SyncedDigest, SentSinceToken) values (?1, nullif(?2, 0), ?3, ?4, ?5, ?6, ?7)")));
    m_insertItem->bind(1, accountId);
    m_insertItem->bind(2, item.contactId);
    m_insertItem->bind(3, QByteArrayView(storableUtf8(item.href)));
    m_insertItem->bind(4, QByteArrayView(storableUtf8(item.etag)));
    m_insertItem->bindUnchanged(5, card);
    m_insertItem->bind(6, QByteArrayView(storableUtf8(item.syncedDigest)));
    m_insertItem->bind(7, qint64(item.sentSinceToken ? 1 : 0));
    m_insertItem->execute();
    return m_connection.lastInsertId();
}

void SyncStore::Batch::updateItem(const SyncItem& item) const {
    m_connection.execute(QStringLiteral("update tblSyncItem set fkContactDetailsId = ") +
                         contactRef(item.contactId) + QStringLiteral(", Href = ") +
                         sqlText(item.href) + QStringLiteral(", ETag = ") + sqlText(item.etag) +
                         QStringLiteral(", Card = ") + sqlText(QString::fromUtf8(keepCard(item))) +
                         QStringLiteral(", SyncedDigest = ") + sqlText(item.syncedDigest) +
                         QStringLiteral(", SentSinceToken = ") +
                         sqlId(item.sentSinceToken ? 1 : 0) +
                         QStringLiteral(" where pkSyncItemId = ") + sqlId(item.id));
}

void SyncStore::Batch::setResult(qint64 accountId, const QString& lastSync,
                                 const QString& lastError, const QString& syncToken) const {
    m_connection.execute(resultStatement(accountId, lastSync, lastError, syncToken));
}

QByteArray SyncStore::Batch::keepCard(const SyncItem& item) const {
    if (item.contactId == 0 || item.card.isEmpty())
        return item.card;
    const std::optional<Contact> stored = contact(item.contactId);
    if (!stored)
        return item.card;
    if (!m_keepCard) {
        CardStore::createTable(m_connection);
        m_keepCard = std::make_unique<Statement>(m_connection.prepared(CardStore::keepStatement()));
    }
    CardStore::keep(*m_keepCard, item.contactId,
                    {uidInCard(item.card), item.card, columnsDigest(*stored)});
    return {};
}

void SyncStore::Batch::deleteItem(qint64 id) const {
    m_connection.execute(QStringLiteral("delete from tblSyncItem where pkSyncItemId = ") +
                         sqlId(id));
}

void SyncStore::Batch::clearSentSinceToken(const QList<qint64>& itemIds) const {
    QStringList ids;
    for (qint64 id : itemIds)
        ids.append(sqlId(id));
    if (!ids.isEmpty())
        m_connection.execute(
            QStringLiteral("update tblSyncItem set SentSinceToken = 0 where pkSyncItemId in (") +
            ids.join(u',') + QLatin1Char(')'));
}

QString SyncStore::forgetContactStatement(qint64 contactId) {
    return QStringLiteral("update tblSyncItem set fkContactDetailsId = NULL where "
                          "fkContactDetailsId = ") +
           sqlId(contactId);
}

QStringList SyncStore::forgetBookStatements(const QString& bookName) {
    const QString accountsOfBook =
        QStringLiteral("(select pkSyncAccountId from tblSyncAccount where fkContactBookId = ") +
        bookIdOf(bookName) + QLatin1Char(')');
    return {QStringLiteral("delete from tblSyncItem where fkSyncAccountId in ") + accountsOfBook,
            QStringLiteral("delete from tblSyncAccount where fkContactBookId = ") +
                bookIdOf(bookName)};
}
