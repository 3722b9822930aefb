#include "data/Connection.h"
#include "data/ConnectionString.h"
#include "data/DbError.h"
#include "data/Schema.h"
#include "data/SqlQuote.h"
#include "data/UnicodeCase.h"
#include "support/ContactFolder.h"

class DataLayerTest : public QObject {
    Q_OBJECT

private slots:
    // What statement text cannot carry, a second statement and a missing
    // file are refused; nothing is created or changed.
    void whatCannotBeRunIsRefused() {
        QCOMPARE(databasePathOf(connectionStringFor(u"/opt/oc"_s)), u"/opt/oc/contacts.mdb"_s);
        QVERIFY_THROWS_EXCEPTION(DbError, databasePathOf(u"DRIVER=Other;DBQ=/x;"_s));
        QCOMPARE(sqlText(u"D'Arcy"_s), u"'D''Arcy'"_s);
        QVERIFY_THROWS_EXCEPTION(DbError, sqlText(u"a"_s + QChar(0)));
        QVERIFY_THROWS_EXCEPTION(DbError, sqlText(QString(QChar(0xD800))));

        ContactFolder folder;
        Connection connection(folder.connectionString());
        QVERIFY_THROWS_EXCEPTION(DbError,
                                 connection.execute(u"delete from tblContactBook; select 1"_s));
        // SQLite's NOCASE index refuses names differing in ASCII case only;
        // the rest of Unicode is the store's check when it adds a book.
        QVERIFY_THROWS_EXCEPTION(DbError, folder.addBook(u"DEFAULT"_s));
        QCOMPARE(folder.count(u"tblContactBook"_s), 1);
        QTemporaryDir dir;
        QVERIFY_THROWS_EXCEPTION(DbError, Connection(connectionStringFor(dir.path())));
        QVERIFY(!QFile::exists(databasePathIn(dir.path())));
    }

    void startUpCreatesAMissingFileWithItsContent() {
        QTemporaryDir dir;
        const QString path = databasePathIn(dir.path());
        QCOMPARE(prepareDatabaseFile(path), DatabaseFileState::Created);
        QCOMPARE(prepareDatabaseFile(path), DatabaseFileState::Ready);
        Connection connection(connectionStringFor(dir.path()));
        RowSet types = connection.query(u"select * from tblContactType order by pkContactTypeId"_s);
        QCOMPARE(types.text(u"contacttypedesc"_s), u"Personal"_s);
        types.moveNext();
        QCOMPARE(types.integer(u"PKCONTACTTYPEID"_s), 2);
        QCOMPARE(types.text(u"ContactTypeDesc"_s), u"Business"_s);
        RowSet books = connection.query(u"select * from tblContactBook"_s);
        QCOMPARE(books.text(u"ContactBookName"_s), u"Default"_s);
        books.moveNext();
        QVERIFY(books.atEnd());
    }

    void aFileThatIsNoContactDatabaseIsLeftAlone() {
        QTemporaryDir dir;
        const QString path = databasePathIn(dir.path());
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("my notes, not a database");
        file.close();
        QCOMPARE(prepareDatabaseFile(path), DatabaseFileState::NotContactDatabase);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), QByteArray("my notes, not a database"));
    }

    void nullTextReadsAsEmpty() {
        QTemporaryDir dir;
        const QString path = databasePathIn(dir.path());
        createContactDatabase(path);
        Connection connection(connectionStringFor(dir.path()));
        RowSet row = connection.query(u"select NULL as City, 5 as Id"_s);
        QVERIFY(row.isNull(row.column(u"city"_s)));
        QCOMPARE(row.text(u"City"_s), QString());
        QVERIFY_THROWS_EXCEPTION(DbError, row.text(u"NoSuchColumn"_s));
    }

    void idsAreNeverReused() {
        ContactFolder folder;
        const qint64 first = folder.addContact({.firstName = "A"});
        folder.execute(u"delete from tblContactDetails"_s);
        QVERIFY(folder.addContact({.firstName = "B"}) > first);
    }

    void patternMatching_data() {
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("matches");
        QTest::newRow("empty pattern, empty text") << ""
                                                   << "" << true;
        QTest::newRow("percent matches nothing") << "%"
                                                 << "" << true;
        QTest::newRow("underscore needs one") << "_"
                                              << "" << false;
        QTest::newRow("underscore is one code point") << "_"
                                                      << "😀" << true;
        QTest::newRow("backtracking") << "%ab%abc"
                                      << "xxabyyabab abc" << true;
        QTest::newRow("no backtrack match") << "%ab%abc"
                                            << "abab" << false;
        QTest::newRow("greek final sigma folds") << "ΣΟΦΙΑ"
                                                 << "σοφια" << true;
        QTest::newRow("cyrillic") << "мар%"
                                  << "МАРИЯ" << true;
        QTest::newRow("combining accent kept") << "e%"
                                               << "e\u0301" << true;
    }

    void patternMatching() {
        QFETCH(QString, pattern);
        QFETCH(QString, text);
        QFETCH(bool, matches);
        const QByteArray p = pattern.toUtf8();
        const QByteArray t = text.toUtf8();
        QCOMPARE(likeIgnoringCase(p.constData(), int(p.size()), t.constData(), int(t.size())),
                 matches);
    }

    void comparisonOrdersAsFoldedText() {
        auto cmp = [](const char* a, const char* b) {
            return compareIgnoringCase(a, int(strlen(a)), b, int(strlen(b)));
        };
        QCOMPARE(cmp("abc", "ABC"), 0);
        QCOMPARE(cmp("Ärger", "äRGER"), 0);
        QVERIFY(cmp("abc", "abd") < 0);
        QVERIFY(cmp("ab", "abc") < 0);
        QVERIFY(cmp("Zoë", "zoe") > 0);
    }
};

QTEST_MAIN(DataLayerTest)
#include "DataLayerTest.moc"
