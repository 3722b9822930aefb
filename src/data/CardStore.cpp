#include "data/CardStore.h"

#include "data/Connection.h"
#include "data/SqlQuote.h"

#include <cstring>

const char* CardStore::table = "tblContactCard";

namespace {

// Plain SQL only, so that the file stays writable by any SQLite program.
const QString createCardTable = QStringLiteral(
    "CREATE TABLE IF NOT EXISTS tblContactCard (fkContactDetailsId INTEGER PRIMARY KEY, "
    "Uid TEXT NOT NULL, Card TEXT NOT NULL, ColumnsDigest TEXT NOT NULL DEFAULT '')");
const QString createUidIndex =
    QStringLiteral("CREATE INDEX IF NOT EXISTS idxContactCardUid ON tblContactCard (Uid)");
const QString createForgetTrigger = QStringLiteral(
    "CREATE TRIGGER IF NOT EXISTS trgContactCardForget AFTER DELETE ON tblContactDetails "
    "BEGIN DELETE FROM tblContactCard WHERE fkContactDetailsId = old.pkContactDetailsId; END");
// Runs between line breaks are copied whole; a card whose lines all end in
// CR LF, as kept cards do, comes back empty: it needs no copy.
// True when every CR is followed by a LF and every LF follows a CR; found
// with memchr, as most cards are.
bool allCrLf(QByteArrayView text) {
    const char* const begin = text.data();
    const char* const end = begin + text.size();
    for (const char* at = begin;
         (at = static_cast<const char*>(std::memchr(at, '\n', size_t(end - at)))); ++at)
        if (at == begin || at[-1] != '\r')
            return false;
    for (const char* at = begin;
         (at = static_cast<const char*>(std::memchr(at, '\r', size_t(end - at)))); ++at)
        if (at + 1 == end || at[1] != '\n')
            return false;
    return true;
}

QByteArray withCrLfIfNeeded(QByteArrayView text) {
    if (text.isEmpty() || allCrLf(text))
        return {};
    QByteArray out;
    qsizetype at = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c != '\r' && c != '\n')
            continue;
        const bool crLf = c == '\r' && i + 1 < text.size() && text[i + 1] == '\n';
        if (crLf && out.isEmpty() && at == 0) {
            ++i; // nothing changed so far: no copy yet
            continue;
        }
        if (out.isEmpty())
            out.reserve(text.size() + text.size() / 32);
        out.append(text.sliced(at, i - at));
        out.append("\r\n", 2);
        if (crLf)
            ++i;
        at = i + 1;
    }
    if (at == 0)
        return {};
    out.append(text.sliced(at));
    return out;
}

} // namespace

QString uidInCard(QByteArrayView card) {
    qsizetype at = 0;
    while (at < card.size()) {
        qsizetype end = card.indexOf('\n', at);
        end = end < 0 ? card.size() : end + 1;
        QByteArrayView line = card.sliced(at, end - at).trimmed();
        at = end;
        const qsizetype colon = line.indexOf(':');
        if (colon < 0)
            continue;
        QByteArrayView name = line.first(colon);
        if (const qsizetype semicolon = name.indexOf(';'); semicolon >= 0)
            name = name.first(semicolon);
        if (const qsizetype dot = name.lastIndexOf('.'); dot >= 0)
            name = name.sliced(dot + 1);
        if (name.compare("UID", Qt::CaseInsensitive) != 0)
            continue;
        QString uid = QString::fromUtf8(line.sliced(colon + 1)).trimmed();
        if (uid.startsWith(QStringLiteral("urn:uuid:"), Qt::CaseInsensitive))
            uid.remove(0, 9);
        return uid;
    }
    return {};
}

QString CardStore::keepStatement() {
    return QStringLiteral("INSERT OR REPLACE INTO tblContactCard (fkContactDetailsId, Uid, Card, "
                          "ColumnsDigest) VALUES (?1, ?2, ?3, ?4)");
}

// The card's bytes are bound where they are, not copied: they outlive the run.
void CardStore::keep(Statement& statement, qint64 contactId, const KeptCard& card) {
    const QByteArray changed = withCrLfIfNeeded(card.text);
    const QByteArray uid = card.uid.toUtf8();
    statement.bind(1, contactId);
    statement.bindUnchanged(2, uid);
    statement.bindUnchanged(3, changed.isNull() ? QByteArrayView(card.text) : changed);
    statement.bindUnchanged(4, card.digest);
    statement.execute();
}

// 64-bit FNV-1a: it only has to tell an edited row from the row the card was
// written for, and it costs a tenth of a cryptographic hash, which made most of
// an export's time.
quint64 columnsHash(const ContactUtf8& c) {
    quint64 hash = 14695981039346656037ULL;
    const auto add = [&hash](QByteArrayView bytes) {
        for (const char byte : bytes) {
            hash ^= quint8(byte);
            hash *= 1099511628211ULL;
        }
    };
    // Each value ends with a byte no UTF-8 text holds, so no two rows share a stream.
    for (QByteArrayView value :
         {c.firstName, c.middleName, c.lastName, c.address, c.city, c.state, c.zipCode, c.workPhone,
          c.homePhone, c.cellPhone, c.email, c.guardian, c.comments}) {
        add(value);
        add(QByteArrayView("\xFF", 1));
    }
    add(QByteArray::number(int(c.type)));
    return hash;
}

QByteArray columnsDigest(quint64 columnsHash) {
    static const char digits[] = "0123456789abcdef";
    QByteArray digest(16, Qt::Uninitialized);
    for (int i = 15; i >= 0; --i, columnsHash >>= 4)
        digest[i] = digits[columnsHash & 15];
    return digest;
}

QByteArray columnsDigest(const ContactUtf8& c) {
    return columnsDigest(columnsHash(c));
}

QByteArray columnsDigest(const Contact& c) {
    return columnsDigest(ContactBytes(c).view());
}

bool CardStore::hasTable() const {
    Connection connection(m_connectionString);
    return connection.hasTable(QLatin1String(table));
}

std::optional<KeptCard> CardStore::card(qint64 contactId) const {
    Connection connection(m_connectionString);
    return card(connection, contactId);
}

void CardStore::keep(const QList<QPair<qint64, KeptCard>>& cards) const {
    if (cards.isEmpty())
        return;
    Connection connection(m_connectionString);
    connection.inTransaction([&] {
        createTable(connection);
        Statement statement = connection.prepared(keepStatement());
        for (const auto& [contactId, card] : cards)
            keep(statement, contactId, card);
    });
}

void CardStore::createTable(Connection& connection) {
    if (connection.hasTable(QLatin1String(table)))
        return;
    connection.execute(createCardTable);
    connection.execute(createUidIndex);
    connection.execute(createForgetTrigger);
}

void CardStore::keep(Connection& connection, qint64 contactId, const KeptCard& card) {
    createTable(connection);
    Statement statement = connection.prepared(keepStatement());
    keep(statement, contactId, card);
}

std::optional<KeptCard> CardStore::card(Connection& connection, qint64 contactId) {
    if (!connection.hasTable(QLatin1String(table)))
        return std::nullopt;
    RowSet row =
        connection.query(QStringLiteral("select Uid, Card, ColumnsDigest from tblContactCard where "
                                        "fkContactDetailsId = ") +
                         sqlId(contactId));
    if (row.atEnd())
        return std::nullopt;
    int length = 0;
    const char* text = row.utf8(1, length);
    return KeptCard{row.text(0), QByteArray(text, length), row.text(2).toUtf8()};
}
