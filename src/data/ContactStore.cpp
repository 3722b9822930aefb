#include "data/ContactStore.h"

#include "data/CardStore.h"
#include "data/Connection.h"
#include "data/ContactStatements.h"
#include "data/DbError.h"
#include "data/SqlQuote.h"
#include "data/SyncStore.h"
#include "data/UnicodeCase.h"

#include <iterator>
#include <limits>

namespace {

// The thirteen text columns in the order the insert and update name them,
// with the member of Contact each one holds.
struct TextColumn {
    const char* name;
    QString Contact::*member;
    QByteArrayView ContactUtf8::*bytes;
};
const TextColumn textColumns[] = {
    {"FirstName", &Contact::firstName, &ContactUtf8::firstName},
    {"MiddleName", &Contact::middleName, &ContactUtf8::middleName},
    {"LastName", &Contact::lastName, &ContactUtf8::lastName},
    {"Address", &Contact::address, &ContactUtf8::address},
    {"city", &Contact::city, &ContactUtf8::city},
    {"State", &Contact::state, &ContactUtf8::state},
    {"ZipCode", &Contact::zipCode, &ContactUtf8::zipCode},
    {"WorkPhoneNumber", &Contact::workPhone, &ContactUtf8::workPhone},
    {"HomePhoneNumber", &Contact::homePhone, &ContactUtf8::homePhone},
    {"CellPhoneNumber", &Contact::cellPhone, &ContactUtf8::cellPhone},
    {"EmailAddress", &Contact::email, &ContactUtf8::email},
    {"ParentOrGuardianName", &Contact::guardian, &ContactUtf8::guardian},
    {"Comments", &Contact::comments, &ContactUtf8::comments},
};

QString typeNumber(ContactType type) {
    return QString::number(int(type));
}

QString contactByIdStatementUpToId() {
    return QStringLiteral("select * from tblContactDetails ") +
           QStringLiteral("where pkContactDetailsId = ");
}

QString contactByIdStatement(qint64 id) {
    return contactByIdStatementUpToId() + sqlId(id);
}

QString bookIdStatement(const QString& book) {
    return QStringLiteral("SELECT pkContactBookId FROM tblContactBook WHERE ContactBookName = '") +
           sqlTextBody(book) + QStringLiteral("'");
}

} // namespace

QString insertContactStatement(const Contact& contact, qint64 bookId) {
    QStringList values;
    for (const TextColumn& column : textColumns)
        values << sqlText(contact.*column.member);
    return QStringLiteral("insert into tblContactDetails (FirstName, MiddleName, LastName, "
                          "Address, city, State, ZipCode, ") +
           QStringLiteral("WorkPhoneNumber, HomePhoneNumber, CellPhoneNumber, EmailAddress, "
                          "ParentOrGuardianName, Comments, fkContactType, fkContactBookId)") +
           QStringLiteral(" values(") + values.join(QLatin1Char(',')) + QLatin1Char(',') +
           typeNumber(contact.type) + QLatin1Char(',') + QString::number(bookId) + QLatin1Char(')');
}

QString updateContactStatement(const Contact& contact) {
    QString statement = QStringLiteral("update tblContactDetails ") + QStringLiteral("Set ");
    for (const TextColumn& column : textColumns)
        statement += QLatin1String(column.name) + QStringLiteral(" = ") +
                     sqlText(contact.*column.member) + QLatin1Char(',');
    return statement + QStringLiteral("fkContactType = ") + typeNumber(contact.type) +
           QStringLiteral(" WHERE pkContactDetailsId = ") + sqlId(contact.id);
}

namespace {

const char* phoneColumn(Phone phone) {
    switch (phone) {
    case Phone::Work:
        return "WorkPhoneNumber";
    case Phone::Home:
        return "HomePhoneNumber";
    case Phone::Cell:
        break;
    }
    return "CellPhoneNumber";
}

QString bookContactsStatementUpToName(const QString& bookName) {
    return QStringLiteral(
               "Select "
               "FirstName,MiddleName,LastName,Address,City,State,ZipCode,WorkPhoneNumber, ") +
           QStringLiteral(
               "HomePhoneNumber,CellPhoneNumber,EmailAddress,ParentOrGuardianName,Comments,") +
           QStringLiteral("(select ContactTypeDesc from tblContactType where "
                          "pkContactTypeId=fkContactType) as ContactType ") +
           QStringLiteral("from tblContactDetails ") +
           QStringLiteral("Where fkContactBookId = (select pkContactBookId from tblContactBook "
                          "where ContactBookName = '") +
           sqlTextBody(bookName);
}

// The columns of "select * from tblContactDetails", found once for a loop
// over many rows.
class ContactColumns {
public:
    explicit ContactColumns(const RowSet& rows)
        : m_id(rows.column(QStringLiteral("pkContactDetailsId"))),
          m_type(rows.column(QStringLiteral("fkContactType"))) {
        for (size_t i = 0; i < std::size(textColumns); ++i)
            m_text[i] = rows.column(QLatin1String(textColumns[i].name));
    }
    void read(const RowSet& row, Contact& contact) const {
        contact.id = row.integer(m_id);
        for (size_t i = 0; i < std::size(textColumns); ++i)
            contact.*textColumns[i].member = row.text(m_text[i]);
        contact.type = typeOf(row);
    }
    void read(const RowSet& row, ContactUtf8& contact) const {
        contact.id = row.integer(m_id);
        for (size_t i = 0; i < std::size(textColumns); ++i) {
            int length = 0;
            const char* bytes = row.utf8(m_text[i], length);
            contact.*textColumns[i].bytes = QByteArrayView(bytes, length);
        }
        contact.type = typeOf(row);
    }

private:
    // Type 1 is Personal; anything else, even a type no list shows, Business.
    ContactType typeOf(const RowSet& row) const {
        return row.integer(m_type) == 1 ? ContactType::Personal : ContactType::Business;
    }
    int m_id;
    int m_type;
    int m_text[std::size(textColumns)];
};

QString idList(const QList<qint64>& ids) {
    QString list;
    for (qint64 id : ids)
        list += sqlId(id) + QLatin1Char(',');
    list.chop(1);
    return list;
}

} // namespace

void ContactNames::add(qint64 id, const char* firstName, int firstLength, const char* lastName,
                       int lastLength) {
    m_rows.push_back({id, m_names.size(), firstLength, lastLength});
    m_names.append(firstName, size_t(firstLength));
    m_names.append(lastName, size_t(lastLength));
}

void ContactNames::reserve(size_t count) {
    m_rows.reserve(count);
    m_names.reserve(count * 16);
}

QString ContactNames::firstName(int row) const {
    const Row& r = m_rows[size_t(row)];
    return QString::fromUtf8(m_names.data() + r.firstAt, r.firstLength);
}

QString ContactNames::lastName(int row) const {
    const Row& r = m_rows[size_t(row)];
    return QString::fromUtf8(m_names.data() + r.firstAt + r.firstLength, r.lastLength);
}

Contact contactFromRow(const RowSet& row) {
    Contact contact;
    contact.id = row.integer(QStringLiteral("pkContactDetailsId"));
    for (const TextColumn& column : textColumns)
        contact.*column.member = row.text(QLatin1String(column.name));
    // Type 1 is Personal; anything else, even a type no list shows, Business.
    contact.type = row.integer(QStringLiteral("fkContactType")) == 1 ? ContactType::Personal
                                                                     : ContactType::Business;
    return contact;
}

ContactStore::ContactStore(const QString& connectionString)
    : m_connectionString(connectionString) {}

void ContactStore::setConnectionString(const QString& connectionString) {
    m_connectionString = connectionString;
}

QString ContactStore::typePattern(TypeFilter type) {
    switch (type) {
    case TypeFilter::None:
        break;
    case TypeFilter::Personal:
        return QStringLiteral("personal");
    case TypeFilter::Business:
        return QStringLiteral("business");
    case TypeFilter::Both:
        // Spans two LIKE comparisons: the program's own constant, never input.
        return QStringLiteral("Personal' or ContactTypeDesc like 'Business");
    }
    return {};
}

QString ContactStore::listStatement(TypeFilter type, const QString& lastNamePattern) const {
    return QStringLiteral("Select * from tblContactDetails ") +
           QStringLiteral("where fkContactType in (select pkContactTypeId from tblContactType "
                          "where ContactTypeDesc like '") +
           typePattern(type) + QStringLiteral("') ") + QStringLiteral("AND LastName like '") +
           sqlTextBody(lastNamePattern) + QStringLiteral("%' ") +
           QStringLiteral("AND fkContactBookId = (select pkContactBookId from tblContactBook "
                          "where ContactBookName = '") +
           sqlTextBody(m_currentBook) + QStringLiteral("')");
}

ContactNames ContactStore::list(TypeFilter type, const QString& lastNamePattern,
                                ContactNames* partial, const std::atomic<bool>* stop) const {
    ContactNames names;
    Connection connection(m_connectionString);
    RowSet rows = connection.query(listStatement(type, lastNamePattern));
    const int id = rows.column(QStringLiteral("pkContactDetailsId"));
    const int firstName = rows.column(QStringLiteral("FirstName"));
    const int lastName = rows.column(QStringLiteral("LastName"));
    try {
        for (qint64 read = 0; !rows.atEnd(); rows.moveNext(), ++read) {
            if (stop && read % 4096 == 0 && stop->load(std::memory_order_relaxed))
                break;
            int firstLength = 0;
            int lastLength = 0;
            const char* first = rows.utf8(firstName, firstLength);
            const char* last = rows.utf8(lastName, lastLength);
            names.add(rows.integer(id), first, firstLength, last, lastLength);
        }
    } catch (const DbError&) {
        if (partial)
            *partial = std::move(names);
        throw;
    }
    return names;
}

std::optional<Contact> ContactStore::contact(qint64 id) const {
    Connection connection(m_connectionString);
    RowSet row = connection.query(contactByIdStatement(id));
    if (row.atEnd())
        return std::nullopt;
    return contactFromRow(row);
}

std::optional<QString> ContactStore::phone(qint64 id, Phone phone) const {
    const QLatin1String column(phoneColumn(phone));
    Connection connection(m_connectionString);
    RowSet row = connection.query(QStringLiteral("Select ") + column +
                                  QStringLiteral(" from tblContactDetails ") +
                                  QStringLiteral("where pkContactDetailsId = ") + sqlId(id));
    if (row.atEnd())
        return std::nullopt;
    return row.text(column);
}

bool ContactStore::insert(const Contact& contact) const {
    Connection connection(m_connectionString);
    RowSet book = connection.query(bookIdStatement(m_currentBook));
    // Without its book a contact would be stored where no list shows it.
    if (book.atEnd())
        return false;
    const qint64 bookId = book.integer(QStringLiteral("pkContactBookId"));
    book.close();
    connection.execute(insertContactStatement(contact, bookId));
    return true;
}

ContactStore::UpdateResult ContactStore::update(const Contact& contact, const Contact& loaded,
                                                Contact* stored) const {
    const QString statement = updateContactStatement(contact);
    UpdateResult result = UpdateResult::Saved;
    Connection connection(m_connectionString);
    connection.inTransaction([&] {
        RowSet row = connection.query(contactByIdStatement(contact.id));
        if (row.atEnd()) {
            result = UpdateResult::Gone;
            return;
        }
        const Contact now = contactFromRow(row);
        row.close();
        if (now != loaded) {
            if (stored)
                *stored = now;
            result = UpdateResult::ChangedElsewhere;
            return;
        }
        connection.execute(statement);
    });
    return result;
}

void ContactStore::remove(qint64 id) const {
    const QString statement = QStringLiteral("Delete from tblContactDetails ") +
                              QStringLiteral("where pkContactDetailsId = ") + sqlId(id);
    Connection connection(m_connectionString);
    // A linked book's contact leaves its sync row without the contact: SQLite
    // may give the id to the next new contact, and the next sync deletes the
    // server's card.
    if (!connection.hasTable(QLatin1String(SyncStore::itemTable))) {
        connection.execute(statement);
        return;
    }
    connection.inTransaction([&] {
        connection.execute(statement);
        connection.execute(SyncStore::forgetContactStatement(id));
    });
}

QStringList ContactStore::books() const {
    Connection connection(m_connectionString);
    RowSet rows = connection.query(QStringLiteral("SELECT * FROM tblContactBook"));
    const int name = rows.column(QStringLiteral("ContactBookName"));
    QStringList names;
    for (; !rows.atEnd(); rows.moveNext())
        names << rows.text(name);
    return names;
}

bool ContactStore::addBook(const QString& name) const {
    bool added = false;
    Connection connection(m_connectionString);
    // Compared inside the insert's transaction, so a book another window
    // adds meanwhile counts too; SQLite's own index ignores ASCII case only.
    connection.inTransaction([&] {
        RowSet rows =
            connection.query(QStringLiteral("SELECT ContactBookName FROM tblContactBook"));
        for (; !rows.atEnd(); rows.moveNext())
            if (sameIgnoringCase(rows.text(0), name))
                break;
        if (!rows.atEnd())
            return;
        connection.execute(QStringLiteral("insert into tblContactBook(ContactBookName) values('") +
                           sqlTextBody(name) + QStringLiteral("')"));
        added = true;
    });
    return added;
}

void ContactStore::removeBook(const QString& name) const {
    Connection connection(m_connectionString);
    const bool linkable = connection.hasTable(QLatin1String(SyncStore::itemTable)) &&
                          connection.hasTable(QStringLiteral("tblSyncAccount"));
    connection.inTransaction([&] {
        if (linkable)
            for (const QString& statement : SyncStore::forgetBookStatements(name))
                connection.execute(statement);
        connection.execute(
            QStringLiteral("Delete from tblContactDetails where fkContactBookId = ") +
            QStringLiteral("(select pkContactBookId from tblContactBook where "
                           "ContactBookName = '") +
            sqlTextBody(name) + QStringLiteral("')"));
        connection.execute(QStringLiteral("Delete from tblContactBook where ContactBookName = '") +
                           sqlTextBody(name) + QStringLiteral("'"));
    });
}

QString ContactStore::rowsStatement(Purpose purpose, const QList<qint64>& ids) const {
    const QString start = bookContactsStatementUpToName(m_currentBook);
    if (purpose == Purpose::Export)
        return ids.isEmpty() ? start + QStringLiteral("')")
                             : start + QStringLiteral("') AND pkContactDetailsId IN (") +
                                   idList(ids) + QLatin1Char(')');
    QString statement = start + QStringLiteral("') ");
    if (!ids.isEmpty())
        statement +=
            QStringLiteral("AND pkContactDetailsId IN (") + idList(ids) + QStringLiteral(") ");
    return statement + QStringLiteral("ORDER BY FirstName");
}

void ContactStore::readRows(Purpose purpose, const QList<qint64>& ids,
                            const std::function<void(RowSet& rows)>& reader) const {
    Connection connection(m_connectionString);
    RowSet rows = connection.query(rowsStatement(purpose, ids));
    reader(rows);
}

QString ContactStore::contactsStatement(const QList<qint64>& ids) const {
    QString statement = QStringLiteral("select * from tblContactDetails ") +
                        QStringLiteral("where fkContactBookId = (select pkContactBookId from "
                                       "tblContactBook where ContactBookName = '") +
                        sqlTextBody(m_currentBook) + QStringLiteral("')");
    if (!ids.isEmpty())
        statement +=
            QStringLiteral(" AND pkContactDetailsId IN (") + idList(ids) + QLatin1Char(')');
    return statement + QStringLiteral(" ORDER BY fkContactType, pkContactDetailsId");
}

namespace {

template <typename Value>
void readEach(const QString& connectionString, const QString& statement,
              const std::function<bool(const Value& contact)>& each) {
    Connection connection(connectionString);
    RowSet rows = connection.query(statement);
    const ContactColumns columns(rows);
    Value contact;
    for (; !rows.atEnd(); rows.moveNext()) {
        columns.read(rows, contact);
        if (!each(contact))
            return;
    }
}

} // namespace

void ContactStore::readContacts(const QList<qint64>& ids,
                                const std::function<bool(const Contact& contact)>& each) const {
    readEach(m_connectionString, contactsStatement(ids), each);
}

void ContactStore::readContacts(const QList<qint64>& ids,
                                const std::function<bool(const ContactUtf8& contact)>& each) const {
    readEach(m_connectionString, contactsStatement(ids), each);
}

void ContactStore::readContactsWithCards(
    const QList<qint64>& ids,
    const std::function<bool(const ContactUtf8& contact, const KeptCardUtf8& card)>& each) const {
    Connection connection(m_connectionString);
    if (!connection.hasTable(QLatin1String(CardStore::table))) {
        connection.close();
        const KeptCardUtf8 none;
        readContacts(ids, [&](const ContactUtf8& contact) { return each(contact, none); });
        return;
    }
    QString statement = contactsStatement(ids);
    statement.replace(QStringLiteral("select * from tblContactDetails "),
                      QStringLiteral("select tblContactDetails.*, Uid, Card, ColumnsDigest from "
                                     "tblContactDetails left join tblContactCard on "
                                     "fkContactDetailsId = pkContactDetailsId "));
    RowSet rows = connection.query(statement);
    const ContactColumns columns(rows);
    const int uid = rows.column(QStringLiteral("Uid"));
    const int card = rows.column(QStringLiteral("Card"));
    const int digest = rows.column(QStringLiteral("ColumnsDigest"));
    ContactUtf8 contact;
    KeptCardUtf8 kept;
    auto view = [&rows](int column) {
        int length = 0;
        const char* bytes = rows.utf8(column, length);
        return QByteArrayView(bytes, length);
    };
    for (; !rows.atEnd(); rows.moveNext()) {
        columns.read(rows, contact);
        kept = {view(uid), view(card), view(digest)};
        if (!each(contact, kept))
            return;
    }
}

qint64 ContactStore::count() const {
    Connection connection(m_connectionString);
    RowSet row = connection.query(
        QStringLiteral("select count(*) from tblContactDetails ") +
        QStringLiteral("where fkContactBookId = (select pkContactBookId from tblContactBook "
                       "where ContactBookName = '") +
        sqlTextBody(m_currentBook) + QStringLiteral("')"));
    return row.integer(0);
}

bool ContactStore::contactIdsExhausted() const {
    Connection connection(m_connectionString);
    RowSet row = connection.query(QStringLiteral(
        "select max(coalesce((select seq from sqlite_sequence where name = 'tblContactDetails'), "
        "0), coalesce((select max(pkContactDetailsId) from tblContactDetails), 0))"));
    return row.integer(0) == std::numeric_limits<qint64>::max();
}

bool ContactStore::hasBook(const QString& name) const {
    Connection connection(m_connectionString);
    return !connection.query(bookIdStatement(name)).atEnd();
}

namespace {

template <typename Value>
void readBookOn(Connection& connection, qint64 bookId,
                const std::function<void(const Value& contact)>& each) {
    RowSet rows = connection.query(
        QStringLiteral("select * from tblContactDetails where fkContactBookId = ") + sqlId(bookId));
    const ContactColumns columns(rows);
    Value contact;
    for (; !rows.atEnd(); rows.moveNext()) {
        columns.read(rows, contact);
        each(contact);
    }
}

} // namespace

void ContactStore::Batch::readBook(const std::function<void(const Contact& contact)>& each) {
    readBookOn(m_connection, m_bookId, each);
}

void ContactStore::Batch::readBook(const std::function<void(const ContactUtf8& contact)>& each) {
    readBookOn(m_connection, m_bookId, each);
}

ContactStore::Batch::Batch(Connection& connection, qint64 bookId)
    : m_connection(connection), m_bookId(bookId) {}

ContactStore::Batch::~Batch() = default;

// Values are checked as the quoting of a spelled statement checks them.
qint64 ContactStore::Batch::insert(const Contact& contact) {
    for (const TextColumn& column : textColumns)
        requireStorable(contact.*column.member);
    return insert(ContactBytes(contact).view());
}

// The bytes are bound where they are: they outlive the run.
qint64 ContactStore::Batch::insert(const ContactUtf8& contact) {
    if (!m_insert)
        m_insert = std::make_unique<Statement>(m_connection.prepared(
            QStringLiteral("insert into tblContactDetails (FirstName, MiddleName, LastName, "
                           "Address, city, State, ZipCode, WorkPhoneNumber, HomePhoneNumber, "
                           "CellPhoneNumber, EmailAddress, ParentOrGuardianName, Comments, "
                           "fkContactType, fkContactBookId) values (?1, ?2, ?3, ?4, ?5, ?6, ?7, "
                           "?8, ?9, ?10, ?11, ?12, ?13, ?14, ?15)")));
    int index = 1;
    for (const TextColumn& column : textColumns)
        m_insert->bindUnchanged(index++, contact.*column.bytes);
    m_insert->bind(index++, qint64(contact.type));
    m_insert->bind(index, m_bookId);
    m_insert->execute();
    return m_connection.lastInsertId();
}

void ContactStore::Batch::keepCard(qint64 id, const KeptCard& card) {
    if (!m_keepCard) {
        CardStore::createTable(m_connection);
        m_keepCard = std::make_unique<Statement>(m_connection.prepared(CardStore::keepStatement()));
    }
    CardStore::keep(*m_keepCard, id, card);
}

bool ContactStore::Batch::uidTaken(const QString& uid) {
    if (!m_findUid) {
        if (!m_connection.hasTable(QLatin1String(CardStore::table)))
            return false;
        m_findUid = std::make_unique<Statement>(m_connection.prepared(
            QStringLiteral("select 1 from tblContactCard where Uid = ?1 limit 1")));
    }
    const QByteArray utf8 = uid.toUtf8();
    m_findUid->bindUnchanged(1, utf8);
    return m_findUid->returnsRow();
}

// Prepared once: an import asks for many contacts in a row.
std::optional<Contact> ContactStore::Batch::contact(qint64 id) {
    if (!m_contactById)
        m_contactById = std::make_unique<Statement>(
            m_connection.prepared(contactByIdStatementUpToId() + QStringLiteral("?1")));
    m_contactById->bind(1, id);
    RowSet row = m_contactById->rows();
    if (row.atEnd())
        return std::nullopt;
    return contactFromRow(row);
}

ContactStore::BatchResult
ContactStore::inOneTransaction(const std::function<bool(Batch& batch)>& work) const {
    struct RolledBack {};
    BatchResult result = BatchResult::Committed;
    Connection connection(m_connectionString);
    try {
        connection.inTransaction([&] {
            RowSet book = connection.query(bookIdStatement(m_currentBook));
            if (book.atEnd()) {
                result = BatchResult::NoSuchBook;
                return;
            }
            Batch batch(connection, book.integer(QStringLiteral("pkContactBookId")));
            book.close();
            if (!work(batch))
                throw RolledBack();
        });
    } catch (const RolledBack&) {
        result = BatchResult::RolledBack;
    }
    return result;
}
