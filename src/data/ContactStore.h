#pragma once

#include "data/Contact.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <atomic>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class Connection;
class RowSet;
class Statement;
struct KeptCard;
struct KeptCardUtf8;

// Which contacts a list shows by type. None is the state before a type has
// been chosen: it matches no contact.
enum class TypeFilter { None, Personal, Business, Both };

// One of a contact's three phone numbers.
enum class Phone { Work, Home, Cell };

// The names of a listed set of contacts, in list order. All names share one
// UTF-8 buffer and become text only when asked for, so listing 100,000
// contacts costs no allocation per contact.
class ContactNames {
public:
    void add(qint64 id, const char* firstName, int firstLength, const char* lastName,
             int lastLength);
    void reserve(size_t count);
    int size() const { return int(m_rows.size()); }
    qint64 id(int row) const { return m_rows[size_t(row)].id; }
    QString firstName(int row) const;
    QString lastName(int row) const;

private:
    struct Row {
        qint64 id;
        size_t firstAt;
        int firstLength;
        int lastLength; // the last name follows the first name in the buffer
    };
    std::vector<Row> m_rows;
    std::string m_names;
};

// The contact database as the program uses it: the only place that spells
// statements. It holds the connection string and the name of the current
// book; every operation opens its own connection, and every database
// failure throws DbError.
class ContactStore {
public:
    explicit ContactStore(const QString& connectionString = {});

    const QString& connectionString() const { return m_connectionString; }
    void setConnectionString(const QString& connectionString);
    const QString& currentBook() const { return m_currentBook; }
    void setCurrentBook(const QString& name) { m_currentBook = name; }

    // The contacts of the current book of a type whose last name matches the
    // LIKE pattern (the caller's pattern, then "%"). Rows read before a
    // failure while reading are kept in `names` when `partial` is given.
    // Once `stop` is set, reading ends early with the rows read so far.
    ContactNames list(TypeFilter type, const QString& lastNamePattern,
                      ContactNames* partial = nullptr,
                      const std::atomic<bool>* stop = nullptr) const;

    std::optional<Contact> contact(qint64 id) const;
    std::optional<QString> phone(qint64 id, Phone phone) const;

    // Adds the contact to the current book; false when that book is gone.
    bool insert(const Contact& contact) const;

    enum class UpdateResult { Saved, Gone, ChangedElsewhere };
    // Writes the contact over the stored one with its id, but only while the
    // stored one still equals `loaded` (what the editor showed); the check
    // and the write share one transaction. `stored` receives the stored
    // version when it differs.
    UpdateResult update(const Contact& contact, const Contact& loaded,
                        Contact* stored = nullptr) const;
    void remove(qint64 id) const;

    QStringList books() const;
    // False when a book of that name exists already, case ignored for all of
    // Unicode; checked inside the insert's transaction.
    bool addBook(const QString& name) const;
    // The book and its contacts, both or neither.
    void removeBook(const QString& name) const;

    // The rows of the current book for the CSV export (`ids` empty: the whole
    // book) and for printing (ordered by first name), handed to `reader` to
    // read forward. The row set carries the thirteen text columns and
    // ContactType.
    enum class Purpose { Export, Print };
    void readRows(Purpose purpose, const QList<qint64>& ids,
                  const std::function<void(RowSet& rows)>& reader) const;

    // The contacts of the current book (`ids` empty: all of them), handed to
    // `each` one at a time until it returns false: Personal, then Business,
    // each in id order, the order of the book's index, which needs no sort.
    void readContacts(const QList<qint64>& ids,
                      const std::function<bool(const Contact& contact)>& each) const;
    // The same as UTF-8 bytes, without converting them (an export's pace).
    void readContacts(const QList<qint64>& ids,
                      const std::function<bool(const ContactUtf8& contact)>& each) const;
    // The same with each contact's kept card (a vCard export's input).
    void readContactsWithCards(const QList<qint64>& ids,
                               const std::function<bool(const ContactUtf8& contact,
                                                        const KeptCardUtf8& card)>& each) const;
    // How many contacts the current book holds.
    qint64 count() const;
    // True when the database has given out the highest id a contact can
    // have, so that no contact can be added any more.
    bool contactIdsExhausted() const;
    // True when a book of exactly this name exists.
    bool hasBook(const QString& name) const;

    // Many contacts added to the current book at once, on one connection and
    // in one transaction: see inOneTransaction().
    class Batch {
    public:
        // Every contact of the book as it stands, in no particular order.
        void readBook(const std::function<void(const Contact& contact)>& each);
        // The same as UTF-8 bytes, without converting them.
        void readBook(const std::function<void(const ContactUtf8& contact)>& each);
        // Adds the contact to the book through one prepared statement with
        // bound values; its new id. A Contact's text that cannot be stored
        // throws DbError, as sqlText() does; the UTF-8 view is not checked.
        qint64 insert(const Contact& contact);
        qint64 insert(const ContactUtf8& contact);
        // Keeps the card of a contact (see CardStore).
        void keepCard(qint64 id, const KeptCard& card);
        // True when a kept card of the database already has this UID.
        bool uidTaken(const QString& uid);
        // A contact of the book as it stands inside the transaction.
        std::optional<Contact> contact(qint64 id);
        ~Batch();

    private:
        friend class ContactStore;
        friend class SyncStore;
        Batch(Connection& connection, qint64 bookId);
        Connection& m_connection;
        qint64 m_bookId;
        std::unique_ptr<Statement> m_insert;
        std::unique_ptr<Statement> m_keepCard;
        std::unique_ptr<Statement> m_findUid;
        std::unique_ptr<Statement> m_contactById;
    };
    enum class BatchResult { Committed, RolledBack, NoSuchBook };
    // Runs `work` inside one transaction on the current book: what it added
    // is committed when it returns true, and rolled back whole when it
    // returns false or throws. NoSuchBook, without running `work`, when the
    // current book is gone.
    BatchResult inOneTransaction(const std::function<bool(Batch& batch)>& work) const;

    // The statement texts, exactly as the program runs them.
    static QString typePattern(TypeFilter type);
    QString listStatement(TypeFilter type, const QString& lastNamePattern) const;
    QString rowsStatement(Purpose purpose, const QList<qint64>& ids) const;
    QString contactsStatement(const QList<qint64>& ids) const;

private:
    QString m_connectionString;
    QString m_currentBook;
};

// Reads a contact from a row of "select * from tblContactDetails".
Contact contactFromRow(const RowSet& row);
