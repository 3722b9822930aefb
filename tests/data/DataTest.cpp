#include "data/CardStore.h"
#include "data/Connection.h"
#include "data/ConnectionString.h"
#include "data/ContactStore.h"
#include "data/DbError.h"
#include "data/Schema.h"
#include "data/SqlQuote.h"
#include "data/UnicodeCase.h"
#include "support/ContactFolder.h"
#include "support/StatementLog.h"

namespace {

const Contact dArcy{.id = 2,
                    .firstName = u"Ann"_s,
                    .lastName = u"D'Arcy"_s,
                    .address = u"1 Main St\r\nFlat 2"_s,
                    .cellPhone = u"+44 20 7946 0000"_s,
                    .comments = u"two\r\nlines"_s,
                    .type = ContactType::Business};

int compare(const QByteArray& a, const QByteArray& b) {
    return compareIgnoringCase(a.constData(), int(a.size()), b.constData(), int(b.size()));
}

} // namespace

class DataTest : public QObject {
    Q_OBJECT

private slots:
    // The list, one contact, one number, what a removal leaves; quotes are data;
    // book names differ by more than case; ids are never reused.
    void theStoreReadsWhatWasStored() {
        ContactFolder folder;
        ContactStore s(folder.connectionString());
        QVERIFY(s.addBook(u"O'Neil"_s));
        s.setCurrentBook(u"O'Neil"_s);
        QVERIFY(s.insert({.firstName = u"Bo"_s, .lastName = u"d'Souza"_s, .homePhone = u"555"_s}));
        QVERIFY(s.insert(dArcy));
        folder.addContact({.firstName = "Elsewhere", .lastName = "D'Arcy"});
        const auto names = [&](TypeFilter type, const QString& pattern) {
            const ContactNames found = s.list(type, pattern);
            QStringList all;
            for (int row = 0; row < found.size(); ++row)
                all << u"%1 %2 %3"_s.arg(found.id(row))
                           .arg(found.firstName(row), found.lastName(row));
            return all;
        };
        QCOMPARE(names(TypeFilter::Both, u"D'"_s), (QStringList{"1 Bo d'Souza", "2 Ann D'Arcy"}));
        QCOMPARE(names(TypeFilter::Personal, u"%"_s), QStringList{"1 Bo d'Souza"});
        QCOMPARE(names(TypeFilter::Business, u"%'a"_s), QStringList{"2 Ann D'Arcy"});
        QCOMPARE(names(TypeFilter::None, u"%"_s), QStringList());
        QCOMPARE(s.contact(2), std::optional<Contact>(dArcy));
        StatementLog log; // the statements are the data layer's contract
        QCOMPARE(s.phone(1, Phone::Home), std::optional<QString>(u"555"_s));
        QCOMPARE(log.stop(), QStringList{u"Select HomePhoneNumber from tblContactDetails where "
                                         "pkContactDetailsId = 1"_s});
        s.remove(2);
        QVERIFY(!s.contact(2));
        s.removeBook(u"O'Neil"_s);
        QVERIFY(!s.insert(dArcy)); // into the book that is gone
        QCOMPARE(folder.rows(u"select FirstName from tblContactDetails"_s),
                 QStringList{"Elsewhere"});
        QVERIFY(s.addBook(u"Straße"_s));
        QVERIFY(!s.addBook(u"STRAẞE"_s));
        QVERIFY(!s.addBook(u"default"_s));
        QVERIFY(s.addBook(u"Strasse "_s));
        QCOMPARE(s.books(), (QStringList{"Default", "Straße", "Strasse "}));
        s.remove(3);
        QVERIFY(folder.addContact({}) > 3);
    }

    // A kept card's line ends become CR LF, whatever a server or a file gave.
    void aKeptCardsLineEndsBecomeCrLf_data() {
        QTest::addColumn<QByteArray>("given");
        QTest::addColumn<QByteArray>("kept");
        const QByteArray crLf = "A:1\r\nB:2\r\n";
        QTest::newRow("CR LF") << crLf << crLf;
        QTest::newRow("LF") << QByteArray("A:1\nB:2\n") << crLf;
        QTest::newRow("CR") << QByteArray("A:1\rB:2\r") << crLf;
        QTest::newRow("mixed, a blank line")
            << QByteArray("A:1\n\nB:2\r") << QByteArray("A:1\r\n\r\nB:2\r\n");
    }
    void aKeptCardsLineEndsBecomeCrLf() {
        QFETCH(QByteArray, given);
        QFETCH(QByteArray, kept);
        ContactFolder folder;
        const qint64 id = folder.addContact({.firstName = "Ann"});
        CardStore(folder.connectionString()).keep(id, {u"u"_s, given});
        QCOMPARE(CardStore(folder.connectionString()).card(id)->text, kept);
    }

    // What the work adds stays only when it returns true.
    void oneTransactionKeepsAllOrNothing() {
        for (int ending : {0, 1, 2}) { // returns true, false, throws
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
                // The lookup is prepared once: a miss leaves it ready for the next.
                if (!batch.contact(id + 100) && batch.contact(id) == std::optional<Contact>(dArcy))
                    seen << u"again"_s;
                if (ending == 2)
                    throw DbError(u"failed"_s);
                return ending == 0;
            };
            if (ending == 2)
                QVERIFY_THROWS_EXCEPTION(DbError, store.inOneTransaction(work));
            else
                QCOMPARE(store.inOneTransaction(work), ending
                                                           ? ContactStore::BatchResult::RolledBack
                                                           : ContactStore::BatchResult::Committed);
            QCOMPARE(seen, (QStringList{"Old", "D'Arcy", "again"}));
            QCOMPARE(store.count(), ending == 0 ? 3 : 1);
            store.setCurrentBook(u"Gone"_s);
            QCOMPARE(store.inOneTransaction(work), ContactStore::BatchResult::NoSuchBook);
        }
    }

    // What statement text cannot carry, a second statement and a missing
    // file are refused, nothing created. Columns are found in any case.
    void theFileAndWhatRunsInIt() {
        QCOMPARE(databasePathOf(connectionStringFor(u"/opt/oc"_s)), u"/opt/oc/contacts.mdb"_s);
        QVERIFY_THROWS_EXCEPTION(DbError, databasePathOf(u"DRIVER=Other;DBQ=/x;"_s));
        QCOMPARE(sqlText(u"D'Arcy"_s), u"'D''Arcy'"_s);
        QVERIFY_THROWS_EXCEPTION(DbError, sqlText(u"a"_s + QChar(0)));
        QVERIFY_THROWS_EXCEPTION(DbError, sqlText(QString(QChar(0xD800))));
        QTemporaryDir dir;
        const QString path = databasePathIn(dir.path());
        QVERIFY_THROWS_EXCEPTION(DbError, Connection(connectionStringFor(dir.path())));
        QVERIFY(!QFile::exists(path));
        QCOMPARE(prepareDatabaseFile(path), DatabaseFileState::Created);
        QCOMPARE(prepareDatabaseFile(path), DatabaseFileState::Ready);
        Connection connection(connectionStringFor(dir.path()));
        QVERIFY_THROWS_EXCEPTION(DbError,
                                 connection.execute(u"delete from tblContactBook; select 1"_s));
        QCOMPARE(ContactStore(connectionStringFor(dir.path())).books(), QStringList{"Default"});
        RowSet row = connection.query(u"select NULL as City, 5 as Id"_s);
        QVERIFY(row.isNull(row.column(u"city"_s)));
        QCOMPARE(row.text(u"City"_s), QString());
        QVERIFY_THROWS_EXCEPTION(DbError, row.text(u"NoSuchColumn"_s));
    }

    // The letters and the search ignore accents and case.
    void lettersAndSearchIgnoreAccents() {
        ContactFolder folder;
        for (const QString& name : {u"Élise"_s, u"E\u0301mile"_s, u"Åsa"_s, u"Øyvind"_s,
                                    u"Łukasz"_s, u"Müller"_s, u"Muller"_s, u"Σοφία"_s})
            folder.addContact({.lastName = name});
        ContactStore store(folder.connectionString());
        store.setCurrentBook(u"Default"_s);
        // Patterns as the letters and the search hand them over.
        for (const auto& [pattern, found] :
             {std::pair{u"E"_s, QStringList{u"Élise"_s, u"E\u0301mile"_s}},
              {u"A"_s, {u"Åsa"_s}},
              {u"O"_s, {u"Øyvind"_s}},
              {u"L"_s, {u"Łukasz"_s}},
              {u"%mul"_s, {u"Müller"_s, u"Muller"_s}},
              {u"%ü"_s, {u"Łukasz"_s, u"Müller"_s, u"Muller"_s}},
              {u"%émi"_s, {u"E\u0301mile"_s}},
              {u"_mile"_s, {u"E\u0301mile"_s}},
              {u"%ΣΟΦΙΑ"_s, {u"Σοφία"_s}}}) {
            const ContactNames listed = store.list(TypeFilter::Both, pattern);
            QStringList names;
            for (int row = 0; row < listed.size(); ++row)
                names << listed.lastName(row);
            QCOMPARE(names, found);
        }
    }

    // LIKE and the collation fold case beyond ASCII, a code point at a time,
    // within the given lengths only.
    void caseFolding() {
        const auto like = [](const QString& pattern, const QString& text) {
            const QByteArray p = pattern.toUtf8(), t = text.toUtf8();
            return likeIgnoringCaseAndAccents(p.constData(), int(p.size()), t.constData(),
                                              int(t.size()));
        };
        for (const auto& [pattern, text, matches] : {std::tuple{u"%"_s, u""_s, true},
                                                     {u"_"_s, u""_s, false},
                                                     {u"_"_s, u"😀"_s, true},
                                                     {u"%ab%abc"_s, u"xxabyyabab abc"_s, true},
                                                     {u"%ab%abc"_s, u"abab"_s, false},
                                                     {u"ΣΟΦΙΑ"_s, u"σοφια"_s, true},
                                                     {u"мар%"_s, u"МАРИЯ"_s, true}})
            QVERIFY2(like(pattern, text) == matches, qPrintable(pattern + u" ~ "_s + text));
        QCOMPARE(compare("abc", "ABC"), 0);
        QCOMPARE(compare("Ärger", "äRGER"), 0);
        QVERIFY(compare("abc", "abd") < 0);
        QVERIFY(compare("ab", "abc") < 0);
        QVERIFY(compare("Zoë", "zoe") > 0);
        QVERIFY(compareIgnoringCase("abX", 2, "aBc", 3) < 0);
        QVERIFY(compareIgnoringCase("abc", 3, "aBX", 2) > 0);
    }
};

QTEST_MAIN(DataTest)
#include "DataTest.moc"
