#include "data/ContactStore.h"
#include "data/Connection.h"
#include "data/DbError.h"
#include "support/ContactFolder.h"
#include "support/StatementLog.h"

#include <QTest>

#include <functional>

namespace {

using Operation = std::function<void(ContactStore&)>;

const QString bookPart = QStringLiteral(
    "AND fkContactBookId = (select pkContactBookId from tblContactBook where ContactBookName = "
    "'O''Neil')");
const QString rowsStart = QStringLiteral(
    "Select FirstName,MiddleName,LastName,Address,City,State,ZipCode,WorkPhoneNumber, "
    "HomePhoneNumber,CellPhoneNumber,EmailAddress,ParentOrGuardianName,Comments,"
    "(select ContactTypeDesc from tblContactType where pkContactTypeId=fkContactType) as "
    "ContactType from tblContactDetails Where fkContactBookId = (select pkContactBookId from "
    "tblContactBook where ContactBookName = 'O''Neil'");

QString listStatement(const QString& type, const QString& pattern) {
    return QStringLiteral("Select * from tblContactDetails where fkContactType in (select "
                          "pkContactTypeId from tblContactType where ContactTypeDesc like '") +
           type + QStringLiteral("') AND LastName like '") + pattern + QStringLiteral("%' ") +
           bookPart;
}

const Contact dArcy{.id = 1,
                    .firstName = QStringLiteral("Ann"),
                    .lastName = QStringLiteral("D'Arcy"),
                    .address = QStringLiteral("1 Main St\r\nFlat 2"),
                    .cellPhone = QStringLiteral("+44 20 7946 0000"),
                    .comments = QStringLiteral("two\r\nlines"),
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
        const QString update = QStringLiteral(
            "update tblContactDetails Set FirstName = 'Ann',MiddleName = '',LastName = "
            "'D''Arcy',Address = '1 Main St\r\nFlat 2',city = '',State = '',ZipCode = '',"
            "WorkPhoneNumber = '',HomePhoneNumber = '',CellPhoneNumber = '+44 20 7946 0000',"
            "EmailAddress = '',ParentOrGuardianName = '',Comments = 'two\r\nlines',"
            "fkContactType = 2 WHERE pkContactDetailsId = 1");
        QTest::newRow("type button")
            << Operation([](ContactStore& s) { s.list(TypeFilter::Personal, QStringLiteral("%")); })
            << QStringList{listStatement(QStringLiteral("personal"), QStringLiteral("%"))};
        QTest::newRow("search")
            << Operation([](ContactStore& s) { s.list(TypeFilter::Both, QStringLiteral("%O'B")); })
            << QStringList{
                   listStatement(QStringLiteral("Personal' or ContactTypeDesc like 'Business"),
                                 QStringLiteral("%O''B"))};
        QTest::newRow("before a type is chosen")
            << Operation([](ContactStore& s) { s.list(TypeFilter::None, QStringLiteral("B")); })
            << QStringList{listStatement(QString(), QStringLiteral("B"))};
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
                   "insert into tblContactDetails (FirstName, MiddleName, LastName, Address, "
                   "city, State, ZipCode, WorkPhoneNumber, HomePhoneNumber, CellPhoneNumber, "
                   "EmailAddress, ParentOrGuardianName, Comments, fkContactType, "
                   "fkContactBookId) values('Ann','','D''Arcy','1 Main St\r\nFlat 2','','','',"
                   "'','','+44 20 7946 0000','','','two\r\nlines',2,2)"};
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
            << Operation([](ContactStore& s) { s.addBook(QStringLiteral("Bob's")); })
            << QStringList{"BEGIN IMMEDIATE", "SELECT ContactBookName FROM tblContactBook",
                           "insert into tblContactBook(ContactBookName) values('Bob''s')",
                           "COMMIT"};
        QTest::newRow("delete book")
            << Operation([](ContactStore& s) { s.removeBook(QStringLiteral("Bob's")); })
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
        const QString contacts = QStringLiteral(
            "select * from tblContactDetails where fkContactBookId = (select pkContactBookId from "
            "tblContactBook where ContactBookName = 'O''Neil')");
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
                   "insert into tblContactDetails (FirstName, MiddleName, LastName, Address, "
                   "city, State, ZipCode, WorkPhoneNumber, HomePhoneNumber, CellPhoneNumber, "
                   "EmailAddress, ParentOrGuardianName, Comments, fkContactType, "
                   "fkContactBookId) values('Ann','','D''Arcy','1 Main St\r\nFlat 2','','','',"
                   "'','','+44 20 7946 0000','','','two\r\nlines',2,2)",
                   "select * from tblContactDetails where pkContactDetailsId = 2",
                   "COMMIT"};
    }
    void statementTexts() {
        QFETCH(Operation, operation);
        QFETCH(QStringList, statements);
        ContactFolder folder;
        folder.addBook(QStringLiteral("O'Neil"));
        folder.addContact({.firstName = QStringLiteral("Ann"),
                           .lastName = QStringLiteral("D'Arcy"),
                           .address = QStringLiteral("1 Main St\r\nFlat 2"),
                           .cellPhone = QStringLiteral("+44 20 7946 0000"),
                           .comments = QStringLiteral("two\r\nlines"),
                           .type = 2,
                           .bookId = 2});
        ContactStore store(folder.connectionString());
        store.setCurrentBook(QStringLiteral("O'Neil"));
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
        folder.addContact({.firstName = QStringLiteral("Old")});
        ContactStore store(folder.connectionString());
        store.setCurrentBook(QStringLiteral("Default"));
        QStringList seen;
        const auto work = [&](ContactStore::Batch& batch) {
            batch.readBook([&](const Contact& c) { seen << c.firstName; });
            const qint64 id = batch.insert(dArcy);
            batch.insert(dArcy);
            seen << batch.contact(id)->lastName;
            if (ending == 2)
                throw DbError(QStringLiteral("failed"));
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
        store.setCurrentBook(QStringLiteral("Gone"));
        QCOMPARE(store.inOneTransaction(work), ContactStore::BatchResult::NoSuchBook);
        QVERIFY(!store.hasBook(QStringLiteral("Gone")));
        QVERIFY(store.hasBook(QStringLiteral("Default")));
    }

    void aContactGoesInAndComesBackTheSame() {
        ContactFolder folder;
        ContactStore store(folder.connectionString());
        store.setCurrentBook(QStringLiteral("Default"));
        QVERIFY(store.insert(dArcy));
        const ContactNames names = store.list(TypeFilter::Business, QStringLiteral("d'"));
        QCOMPARE(names.size(), 1);
        QCOMPARE(names.lastName(0), dArcy.lastName);
        Contact expected = dArcy;
        expected.id = names.id(0);
        QCOMPARE(store.contact(expected.id), std::optional<Contact>(expected));
        QCOMPARE(store.phone(expected.id, Phone::Cell), std::optional(dArcy.cellPhone));
        QVERIFY(!store.contact(expected.id + 1));

        store.setCurrentBook(QStringLiteral("No such book"));
        QVERIFY(!store.insert(dArcy));
        QCOMPARE(folder.count(QStringLiteral("tblContactDetails")), 1);
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
        edited.email = QStringLiteral("ann@example.org");
        folder.execute(QStringLiteral("update tblContactDetails set WorkPhoneNumber = '222'"));
        Contact stored;
        QCOMPARE(store.update(edited, loaded, &stored),
                 ContactStore::UpdateResult::ChangedElsewhere);
        QCOMPARE(stored.workPhone, QStringLiteral("222"));
        QCOMPARE(store.contact(loaded.id)->email, QString());
        QCOMPARE(store.update(edited, stored), ContactStore::UpdateResult::Saved);
        QCOMPARE(store.contact(loaded.id), std::optional<Contact>(edited));
        store.remove(loaded.id);
        QCOMPARE(store.update(edited, edited), ContactStore::UpdateResult::Gone);
    }

    void aBookNameDifferingOnlyInCaseIsRefused() {
        ContactFolder folder;
        ContactStore store(folder.connectionString());
        QVERIFY(store.addBook(QStringLiteral("Straße")));
        QVERIFY(!store.addBook(QStringLiteral("STRAẞE")));
        QVERIFY(!store.addBook(QStringLiteral("default")));
        QVERIFY(store.addBook(QStringLiteral("Strasse ")));
        QCOMPARE(store.books(), (QStringList{"Default", "Straße", "Strasse "}));
    }
};

QTEST_MAIN(ContactStoreTest)

#include "ContactStoreTest.moc"
