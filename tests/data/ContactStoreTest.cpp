#include "data/ContactStore.h"
#include "data/Connection.h"
#include "data/DbError.h"
#include "support/ContactFolder.h"
#include "support/StatementLog.h"

#include <functional>

namespace {

using Operation = std::function<void(ContactStore&)>;

const QString bookPart =
    u"AND fkContactBookId = (select pkContactBookId from tblContactBook where ContactBookName = "
    "'O''Neil')"_s;
const QString rowsStart =
    u"Select FirstName,MiddleName,LastName,Address,City,State,ZipCode,WorkPhoneNumber, "
    "HomePhoneNumber,CellPhoneNumber,EmailAddress,ParentOrGuardianName,Comments,"
    "(select ContactTypeDesc from tblContactType where pkContactTypeId=fkContactType) as "
    "ContactType from tblContactDetails Where fkContactBookId = (select pkContactBookId from "
    "tblContactBook where ContactBookName = 'O''Neil'"_s;

QString listStatement(const QString& type, const QString& pattern) {
    return u"Select * from tblContactDetails where fkContactType in (select "
           "pkContactTypeId from tblContactType where ContactTypeDesc like '"_s +
           type + u"') AND LastName like '"_s + pattern + u"%' "_s + bookPart;
}

const Contact dArcy{.id = 1,
                    .firstName = u"Ann"_s,
                    .lastName = u"D'Arcy"_s,
                    .address = u"1 Main St\r\nFlat 2"_s,
                    .cellPhone = u"+44 20 7946 0000"_s,
                    .comments = u"two\r\nlines"_s,
                    .type = ContactType::Business};

} // namespace

Q_DECLARE_METATYPE(Operation)

class ContactStoreTest : public QObject {
    Q_OBJECT

private slots:
    // Every statement the program runs, spelled exactly; the book is
    // "O'Neil" so the quoting shows.
    void statementTexts_data() {
        QTest::addColumn<Operation>("operation");
        QTest::addColumn<QStringList>("statements");
        const QString update =
            u"update tblContactDetails Set FirstName = 'Ann',MiddleName = '',LastName = "
            "'D''Arcy',Address = '1 Main St\r\nFlat 2',city = '',State = '',ZipCode = '',"
            "WorkPhoneNumber = '',HomePhoneNumber = '',CellPhoneNumber = '+44 20 7946 0000',"
            "EmailAddress = '',ParentOrGuardianName = '',Comments = 'two\r\nlines',"
            "fkContactType = 2 WHERE pkContactDetailsId = 1"_s;
        const QString insert =
            u"insert into tblContactDetails (FirstName, MiddleName, LastName, Address, city, "
            "State, ZipCode, WorkPhoneNumber, HomePhoneNumber, CellPhoneNumber, EmailAddress, "
            "ParentOrGuardianName, Comments, fkContactType, fkContactBookId) values('Ann','',"
            "'D''Arcy','1 Main St\r\nFlat 2','','','','','','+44 20 7946 0000','','',"
            "'two\r\nlines',2,2)"_s;
        QTest::newRow("type button")
            << Operation([](ContactStore& s) { s.list(TypeFilter::Personal, u"%"_s); })
            << QStringList{listStatement(u"personal"_s, u"%"_s)};
        QTest::newRow("search")
            << Operation([](ContactStore& s) { s.list(TypeFilter::Both, u"%O'B"_s); })
            << QStringList{
                   listStatement(u"Personal' or ContactTypeDesc like 'Business"_s, u"%O''B"_s)};
        QTest::newRow("before a type is chosen")
            << Operation([](ContactStore& s) { s.list(TypeFilter::None, u"B"_s); })
            << QStringList{listStatement(QString(), u"B"_s)};
        QTest::newRow("one contact")
            << Operation([](ContactStore& s) { s.contact(-7); })
            << QStringList{"select * from tblContactDetails where pkContactDetailsId = -7"};
        QTest::newRow("a phone number")
            << Operation([](ContactStore& s) { s.phone(12, Phone::Home); })
            << QStringList{
                   "Select HomePhoneNumber from tblContactDetails where pkContactDetailsId = 12"};
        QTest::newRow("insert")
            << Operation([](ContactStore& s) { s.insert(dArcy); })
            << QStringList{
                   "SELECT pkContactBookId FROM tblContactBook WHERE ContactBookName = 'O''Neil'",
                   insert};
        QTest::newRow("update")
            << Operation([](ContactStore& s) { s.update(dArcy, dArcy); })
            << QStringList{"BEGIN IMMEDIATE",
                           "select * from tblContactDetails where pkContactDetailsId = 1", update,
                           "COMMIT"};
        QTest::newRow("delete") << Operation([](ContactStore& s) {
            s.remove(3);
        }) << QStringList{"Delete from tblContactDetails where pkContactDetailsId = 3"};
        QTest::newRow("books") << Operation([](ContactStore& s) { s.books(); })
                               << QStringList{"SELECT * FROM tblContactBook"};
        QTest::newRow("add book")
            << Operation([](ContactStore& s) { s.addBook(u"Bob's"_s); })
            << QStringList{"BEGIN IMMEDIATE", "SELECT ContactBookName FROM tblContactBook",
                           "insert into tblContactBook(ContactBookName) values('Bob''s')",
                           "COMMIT"};
        QTest::newRow("delete book")
            << Operation([](ContactStore& s) { s.removeBook(u"Bob's"_s); })
            << QStringList{"BEGIN IMMEDIATE",
                           "Delete from tblContactDetails where fkContactBookId = (select "
                           "pkContactBookId from tblContactBook where ContactBookName = 'Bob''s')",
                           "Delete from tblContactBook where ContactBookName = 'Bob''s'", "COMMIT"};
        const auto rows = [](ContactStore::Purpose purpose, QList<qint64> ids) {
            return Operation([=](ContactStore& s) { s.readRows(purpose, ids, [](RowSet&) {}); });
        };
        QTest::newRow("export book")
            << rows(ContactStore::Purpose::Export, {}) << QStringList{rowsStart + ")"};
        QTest::newRow("export selection")
            << rows(ContactStore::Purpose::Export, {12, -15, 40})
            << QStringList{rowsStart + ") AND pkContactDetailsId IN (12,-15,40)"};
        QTest::newRow("print book") << rows(ContactStore::Purpose::Print, {})
                                    << QStringList{rowsStart + ") ORDER BY FirstName"};
        QTest::newRow("print selection")
            << rows(ContactStore::Purpose::Print, {12, 40})
            << QStringList{rowsStart + ") AND pkContactDetailsId IN (12,40) ORDER BY FirstName"};
        const QString contacts =
            u"select * from tblContactDetails where fkContactBookId = (select pkContactBookId from "
            "tblContactBook where ContactBookName = 'O''Neil')"_s;
        QTest::newRow("contacts of the book") << Operation([](ContactStore& s) {
            s.readContacts({}, [](const Contact&) { return true; });
        }) << QStringList{contacts + " ORDER BY fkContactType, pkContactDetailsId"};
        QTest::newRow("some contacts of the book")
            << Operation([](ContactStore& s) {
                   s.readContacts({7, -2}, [](const Contact&) { return true; });
               })
            << QStringList{
                   contacts +
                   " AND pkContactDetailsId IN (7,-2) ORDER BY fkContactType, pkContactDetailsId"};
        QTest::newRow("count")
            << Operation([](ContactStore& s) { s.count(); })
            << QStringList{
                   "select count(*) from tblContactDetails where fkContactBookId = (select "
                   "pkContactBookId from tblContactBook where ContactBookName = 'O''Neil')"};
        QTest::newRow("one transaction")
            << Operation([](ContactStore& s) {
                   s.inOneTransaction([](ContactStore::Batch& batch) {
                       batch.readBook([](const Contact&) {});
                       batch.contact(batch.insert(dArcy));
                       return true;
                   });
               })
            << QStringList{
                   "BEGIN IMMEDIATE",
                   "SELECT pkContactBookId FROM tblContactBook WHERE ContactBookName = 'O''Neil'",
                   "select * from tblContactDetails where fkContactBookId = 2",
                   insert,
                   "select * from tblContactDetails where pkContactDetailsId = 2",
                   "COMMIT"};
    }
    void statementTexts() {
        QFETCH(Operation, operation);
        QFETCH(QStringList, statements);
        ContactFolder folder;
        folder.addBook(u"O'Neil"_s);
        folder.addContact({.firstName = dArcy.firstName,
                           .lastName = dArcy.lastName,
                           .address = dArcy.address,
                           .cellPhone = dArcy.cellPhone,
                           .comments = dArcy.comments,
                           .type = 2,
                           .bookId = 2});
        ContactStore store(folder.connectionString());
        store.setCurrentBook(u"O'Neil"_s);
        StatementLog log;
        operation(store);
        QCOMPARE(log.stop(), statements);
    }

    // What the transaction's work adds is there only once it has returned
    // true: false or an exception leaves the book as it was.
    void oneTransactionKeepsAllOrNothing_data() {
        QTest::addColumn<int>("ending"); // 0 returns true, 1 false, 2 throws
        QTest::addColumn<int>("stored");
        QTest::newRow("done") << 0 << 3;
        QTest::newRow("cancelled") << 1 << 1;
        QTest::newRow("failed") << 2 << 1;
    }
    void oneTransactionKeepsAllOrNothing() {
        QFETCH(int, ending);
        QFETCH(int, stored);
        ContactFolder folder;
        folder.addContact({.firstName = u"Old"_s});
        ContactStore store(folder.connectionString());
        store.setCurrentBook(u"Default"_s);
        QStringList seen;
        const auto work = [&](ContactStore::Batch& batch) {
            batch.readBook([&](const Contact& c) { seen << c.firstName; });
            const qint64 id = batch.insert(dArcy);
            batch.insert(dArcy);
            seen << batch.contact(id)->lastName;
            if (ending == 2)
                throw DbError(u"failed"_s);
            return ending == 0;
        };
        ContactStore::BatchResult result = ContactStore::BatchResult::Committed;
        try {
            result = store.inOneTransaction(work);
        } catch (const DbError&) {
            QCOMPARE(ending, 2);
        }
        QCOMPARE(result, ending == 1 ? ContactStore::BatchResult::RolledBack
                                     : ContactStore::BatchResult::Committed);
        QCOMPARE(seen, (QStringList{"Old", "D'Arcy"}));
        QCOMPARE(store.count(), stored);
        store.setCurrentBook(u"Gone"_s);
        QCOMPARE(store.inOneTransaction(work), ContactStore::BatchResult::NoSuchBook);
        QVERIFY(!store.hasBook(u"Gone"_s));
        QVERIFY(store.hasBook(u"Default"_s));
    }

    void anUpdateWritesOnlyOverWhatWasLoaded() {
        ContactFolder folder;
        ContactStore store(folder.connectionString());
        Contact loaded = dArcy;
        loaded.id = folder.addContact({.firstName = dArcy.firstName,
                                       .lastName = dArcy.lastName,
                                       .address = dArcy.address,
                                       .cellPhone = dArcy.cellPhone,
                                       .comments = dArcy.comments,
                                       .type = 2});
        Contact edited = loaded;
        edited.email = u"ann@example.org"_s;
        folder.execute(u"update tblContactDetails set WorkPhoneNumber = '222'"_s);
        Contact stored;
        QCOMPARE(store.update(edited, loaded, &stored),
                 ContactStore::UpdateResult::ChangedElsewhere);
        QCOMPARE(stored.workPhone, u"222"_s);
        QCOMPARE(store.contact(loaded.id)->email, QString());
        QCOMPARE(store.update(edited, stored), ContactStore::UpdateResult::Saved);
        QCOMPARE(store.contact(loaded.id), std::optional<Contact>(edited));
        store.remove(loaded.id);
        QCOMPARE(store.update(edited, edited), ContactStore::UpdateResult::Gone);
    }

    void aBookNameDifferingOnlyInCaseIsRefused() {
        ContactFolder folder;
        ContactStore store(folder.connectionString());
        QVERIFY(store.addBook(u"Straße"_s));
        QVERIFY(!store.addBook(u"STRAẞE"_s));
        QVERIFY(!store.addBook(u"default"_s));
        QVERIFY(store.addBook(u"Strasse "_s));
        QCOMPARE(store.books(), (QStringList{"Default", "Straße", "Strasse "}));
        store.setCurrentBook(u"No such book"_s);
        QVERIFY(!store.insert(dArcy));
        QCOMPARE(folder.count(u"tblContactDetails"_s), 0);
    }
};

QTEST_MAIN(ContactStoreTest)

#include "ContactStoreTest.moc"
