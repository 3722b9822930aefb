// The comma-separated export, written from the store without a window.
#include "sharing/CsvExport.h"
#include "data/ContactStore.h"
#include "support/ContactFolder.h"
#include "support/Doubles.h"

namespace {

const QByteArray header = "FirstName,MiddleName,LastName,Address,City,State,ZipCode,"
                          "WorkPhoneNumber,HomePhoneNumber,CellPhoneNumber,EmailAddress,"
                          "ParentOrGuardianName,Comments,ContactType\r\n";
const QString retrievingError = u"There was an error retrieving data"_s;

// A folder with its store on the "Default" book, and the file to export to.
struct Exporting {
    InstalledDoubles doors;
    ContactFolder folder;
    ContactStore store{folder.connectionString()};
    QString target = folder.path() + u"/out.csv"_s;
    Exporting() { store.setCurrentBook(u"Default"_s); }
    QByteArray written() const { return readBytes(target); }
};

} // namespace

class CsvExportTest : public QObject {
    Q_OBJECT

private slots:
    void rowsAreStandardCsv_data() {
        QTest::addColumn<TestContact>("contact");
        QTest::addColumn<QByteArray>("row");
        QTest::newRow("names only") << TestContact{.firstName = "Bo", .lastName = "Berg", .type = 2}
                                    << QByteArray("Bo,,Berg,\"\",,,,,,,,,\"\",Business\r\n");
        QTest::newRow("commas, quotes and line breaks")
            << TestContact{.firstName = "Smith, Jr.",
                           .middleName = "Bob \"B\"",
                           .lastName = "Lee\r\nHall",
                           .address = "2 Elm St, Apt 3\r\nRear",
                           .comments = "Said \"hi\", left"}
            << QByteArray("\"Smith, Jr.\",\"Bob \"\"B\"\"\",\"Lee\r\nHall\",\"2 Elm St, Apt "
                          "3\r\nRear\",,,,,,,,,\"Said \"\"hi\"\", left\",Personal\r\n");
        QTest::newRow("letters beyond ASCII")
            << TestContact{.firstName = "李", .lastName = "Ünal, Şükrü"}
            << u"李,,\"Ünal, Şükrü\",\"\",,,,,,,,,\"\",Personal\r\n"_s.toUtf8();
    }
    void rowsAreStandardCsv() {
        QFETCH(TestContact, contact);
        QFETCH(QByteArray, row);
        Exporting e;
        e.folder.addContact(contact);
        e.folder.addContact({.firstName = "Elsewhere", .bookId = e.folder.addBook("Other")});
        QVERIFY(exportBookCsv(e.store, e.target));
        QCOMPARE(e.written(), header + row);
        QVERIFY(e.doors.boxes.texts().isEmpty());
    }

    void everyFieldParsesBackWhateverItHolds() {
        Exporting e;
        TestContact c;
        QStringList stored;
        for (QString* field :
             {&c.firstName, &c.middleName, &c.lastName, &c.address, &c.city, &c.state, &c.zipCode,
              &c.workPhone, &c.homePhone, &c.cellPhone, &c.email, &c.guardian, &c.comments}) {
            // A comma, quotes, a line break, a lone quote at the edge and blanks.
            *field = u"\"%1\", x,\r\ny \"\" "_s.arg(stored.size());
            stored << *field;
        }
        e.folder.addContact(c);
        QVERIFY(exportBookCsv(e.store, e.target));
        const QList<QStringList> records = parseCsv(e.written());
        QCOMPARE(records.size(), 2);
        QCOMPARE(records[1], stored << u"Personal"_s);
    }

    void onlyTheSelectedContactsAreWritten() {
        Exporting e;
        const qint64 ann = e.folder.addContact({.firstName = "Ann"});
        e.folder.addContact({.firstName = "Bo"});
        const qint64 cy = e.folder.addContact({.firstName = "Cy", .type = 2});
        QVERIFY(exportSelectionCsv(e.store, {cy, ann}, e.target));
        QCOMPARE(e.written(), header + "Ann,,,\"\",,,,,,,,,\"\",Personal\r\n" +
                                  "Cy,,,\"\",,,,,,,,,\"\",Business\r\n");
        QVERIFY(exportBookCsv(e.store, e.target));
        QCOMPARE(parseCsv(e.written()).size(), 4);
        e.store.setCurrentBook(u"Kim's \"Work\""_s);
        QVERIFY(exportBookCsv(e.store, e.target));
        QCOMPARE(e.written(), header);
    }

    // A value a spreadsheet would take for a formula gets a leading
    // apostrophe, inside the quotes; telephone numbers stay as they are.
    void formulasAreDisarmed_data() {
        QTest::addColumn<QString>("value");
        QTest::addColumn<QByteArray>("field"); // as an unquoted column writes it
        QTest::newRow("command") << u"=cmd|' /C calc'!A0"_s << QByteArray("'=cmd|' /C calc'!A0");
        QTest::newRow("at") << u"@SUM(1+1)"_s << QByteArray("'@SUM(1+1)");
        QTest::newRow("comma") << u"=1,2"_s << QByteArray("\"'=1,2\"");
        QTest::newRow("tab") << u"\tx"_s << QByteArray("'\tx");
        QTest::newRow("carriage return") << u"\rx"_s << QByteArray("\"'\rx\"");
        QTest::newRow("plus call") << u"+1-555-CALL"_s << QByteArray("'+1-555-CALL");
        QTest::newRow("minus cell") << u"-A1"_s << QByteArray("'-A1");
        QTest::newRow("plus formula") << u"+SUM(A1)"_s << QByteArray("'+SUM(A1)");
        QTest::newRow("quote") << u"=\"x\""_s << QByteArray("\"'=\"\"x\"\"\"");
        QTest::newRow("phone") << u"+44 20 7946 0000"_s << QByteArray("+44 20 7946 0000");
        QTest::newRow("phone marks") << u"+1 (555) 010.2/3-4"_s << QByteArray("+1 (555) 010.2/3-4");
        QTest::newRow("negative") << u"-5"_s << QByteArray("-5");
        QTest::newRow("dashes") << u"--"_s << QByteArray("--");
        QTest::newRow("inner equals") << u"a=b@c"_s << QByteArray("a=b@c");
        QTest::newRow("apostrophe") << u"'=x"_s << QByteArray("'=x");
    }
    void formulasAreDisarmed() {
        QFETCH(QString, value);
        QFETCH(QByteArray, field);
        Exporting e;
        e.folder.addContact({.firstName = value, .comments = value});
        QVERIFY(exportBookCsv(e.store, e.target));
        const QByteArray quoted = field.startsWith('"') ? field : '"' + field + '"';
        QCOMPARE(e.written(), header + field + ",,,\"\",,,,,,,,," + quoted + ",Personal\r\n");
    }

    // Each failure tells the user and keeps an earlier file as it was.
    void failuresShowTheMessageAndKeepTheOldFile() {
        Exporting e;
        e.folder.addContact({.firstName = "Ann"});
        QFile old(e.target);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("an earlier export\r\n");
        old.close();
        QVERIFY(!exportSelectionCsv(e.store, {}, e.target));
        QVERIFY(!exportBookCsv(e.store, e.folder.path() + u"/missing/out.csv"_s));
        e.folder.execute(u"alter table tblContactType rename to tblGone"_s);
        QVERIFY(!exportBookCsv(e.store, e.target));
        QCOMPARE(e.written(), QByteArray("an earlier export\r\n"));
        QCOMPARE(e.doors.boxes.texts(), QStringList(3, retrievingError));
        QCOMPARE(e.doors.boxes.shown().first().icon, platform::Icon::Critical);
    }
};

QTEST_MAIN(CsvExportTest)
#include "CsvExportTest.moc"
