#include "sharing/CsvExport.h"
#include "app/frmContactMgmt.h"
#include "contacts/ContactListView.h"
#include "data/Connection.h"
#include "support/CsvReading.h"
#include "support/MainWindowFixture.h"
#include "support/StatementLog.h"

#include <QDir>
#include <QFile>
#include <QTest>

#include <csignal>
#include <sys/resource.h>

namespace {

const QByteArray header = "FirstName,MiddleName,LastName,Address,City,State,ZipCode,"
                          "WorkPhoneNumber,HomePhoneNumber,CellPhoneNumber,EmailAddress,"
                          "ParentOrGuardianName,Comments,ContactType\r\n";

const QString bookQuery = QStringLiteral(
    "Select FirstName,MiddleName,LastName,Address,City,State,ZipCode,WorkPhoneNumber, "
    "HomePhoneNumber,CellPhoneNumber,EmailAddress,ParentOrGuardianName,Comments,"
    "(select ContactTypeDesc from tblContactType where pkContactTypeId=fkContactType) as "
    "ContactType from tblContactDetails Where fkContactBookId = (select pkContactBookId from "
    "tblContactBook where ContactBookName = 'Default')");

TestContact named(const QString& first, const QString& last, int type = 1) {
    TestContact c;
    c.firstName = first;
    c.lastName = last;
    c.type = type;
    return c;
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

} // namespace

class CsvExportTest : public QObject {
    Q_OBJECT

    static QString target(MainWindowFixture& f) {
        return f.folder.path() + QStringLiteral("/out.csv");
    }

private slots:
    void anEmptyBookGivesTheHeaderAlone() {
        MainWindowFixture f;
        frmContactMgmt& w = f.window();
        StatementLog log;
        QVERIFY(exportBookCsv(w.store(), target(f)));
        QCOMPARE(log.texts, QStringList{bookQuery});
        QCOMPARE(readBytes(target(f)), header);
        QVERIFY(f.doors.boxes.texts().isEmpty());
    }

    void onlySelectedContactsOfTheBookAreWritten() {
        MainWindowFixture f;
        const qint64 ann = f.folder.addContact(named(QStringLiteral("Ann"), QStringLiteral("Lee")));
        f.folder.addContact(named(QStringLiteral("Bo"), QStringLiteral("Berg")));
        const qint64 cy = f.folder.addContact(named(QStringLiteral("Cy"), QStringLiteral("Cole")));
        f.folder.addContact(named(QStringLiteral("Di"), QStringLiteral("Dunn"), 2));
        frmContactMgmt& w = f.window();
        f.click(QStringLiteral("cmdPersonal"));
        QCOMPARE(f.listed().size(), 3);

        StatementLog log;
        f.selectRows({2});
        QVERIFY(exportSelectionCsv(w.store(), w.lvContacts->selectedIds(), target(f)));
        QCOMPARE(log.texts.last(),
                 bookQuery + QStringLiteral(" AND pkContactDetailsId IN (%1)").arg(cy));
        QCOMPARE(readBytes(target(f)), header + "Cy,,Cole,\"\",,,,,,,,,\"\",Personal\r\n");

        f.selectRows({2, 0});
        QVERIFY(exportSelectionCsv(w.store(), w.lvContacts->selectedIds(), target(f)));
        QCOMPARE(log.texts.last(),
                 bookQuery + QStringLiteral(" AND pkContactDetailsId IN (%1,%2)").arg(ann).arg(cy));
        QCOMPARE(readBytes(target(f)), header + "Ann,,Lee,\"\",,,,,,,,,\"\",Personal\r\n" +
                                           "Cy,,Cole,\"\",,,,,,,,,\"\",Personal\r\n");
        QVERIFY(f.doors.boxes.texts().isEmpty());
    }

    void rowsAreStandardCsv() {
        MainWindowFixture f;
        TestContact full{"Ann",       "May",   "Lee",   "1 Main St", "Springfield", "IL",
                         "62701",     "555-1", "555-2", "555-3",     "a@b.example", "Joe Lee",
                         "Likes tea", 2};
        f.folder.addContact(full);
        f.folder.addContact(named(QStringLiteral("Bo"), QStringLiteral("Berg"), 2));
        TestContact odd{"Smith, Jr.",
                        "Bob \"B\"",
                        "Lee\r\nHall",
                        "2 Elm St, Apt 3\r\nRear",
                        "Town",
                        "",
                        "",
                        "",
                        "",
                        "",
                        "",
                        "",
                        "Said \"hi\", left",
                        2};
        f.folder.addContact(odd);
        QVERIFY(exportBookCsv(f.window().store(), target(f)));
        QCOMPARE(readBytes(target(f)),
                 header +
                     "Ann,May,Lee,\"1 Main St\",Springfield,IL,62701,555-1,555-2,555-3,"
                     "a@b.example,Joe Lee,\"Likes tea\",Business\r\n"
                     "Bo,,Berg,\"\",,,,,,,,,\"\",Business\r\n"
                     "\"Smith, Jr.\",\"Bob \"\"B\"\"\",\"Lee\r\nHall\",\"2 Elm St, Apt 3\r\nRear\","
                     "Town,,,,,,,,\"Said \"\"hi\"\", left\",Business\r\n");
    }

    void everyFieldParsesBackWhateverItHolds() {
        MainWindowFixture f;
        TestContact c;
        QStringList stored;
        QString* fields[] = {&c.firstName, &c.middleName, &c.lastName,  &c.address,   &c.city,
                             &c.state,     &c.zipCode,    &c.workPhone, &c.homePhone, &c.cellPhone,
                             &c.email,     &c.guardian,   &c.comments};
        for (int i = 0; i < 13; ++i) {
            // A comma, quotes, a line break, a lone quote at the edge and blanks.
            *fields[i] = QStringLiteral("\"%1\", x,\r\ny \"\" ").arg(i);
            stored << *fields[i];
        }
        stored << QStringLiteral("Personal");
        f.folder.addContact(c);
        f.folder.addContact(named(QStringLiteral("Zoë"), QStringLiteral("Øyvindsen")));
        f.folder.addContact(named(QStringLiteral("李"), QStringLiteral("Ünal, Şükrü")));
        QVERIFY(exportBookCsv(f.window().store(), target(f)));

        const QByteArray bytes = readBytes(target(f));
        QVERIFY(bytes.endsWith(
            QStringLiteral("\"Ünal, Şükrü\",\"\",,,,,,,,,\"\",Personal\r\n").toUtf8()));
        const QList<QStringList> records = parseCsv(bytes);
        QCOMPARE(records.size(), 4);
        QCOMPARE(records[0].join(QLatin1Char(',')) + QStringLiteral("\r\n"),
                 QString::fromLatin1(header));
        QCOMPARE(records[1], stored);
        QCOMPARE(records[2].mid(0, 3),
                 (QStringList{QStringLiteral("Zoë"), {}, QStringLiteral("Øyvindsen")}));
        QCOMPARE(records[3].mid(0, 3),
                 (QStringList{QStringLiteral("李"), {}, QStringLiteral("Ünal, Şükrü")}));
        for (const QStringList& record : records)
            QCOMPARE(record.size(), 14);
    }

    // A value a spreadsheet would take for a formula gets a leading
    // apostrophe, inside the quotes; telephone numbers stay as they are.
    void formulasAreDisarmed_data() {
        QTest::addColumn<QString>("value");
        QTest::addColumn<QByteArray>("field"); // as an unquoted column writes it
        QTest::newRow("command") << QStringLiteral("=cmd|' /C calc'!A0")
                                 << QByteArray("'=cmd|' /C calc'!A0");
        QTest::newRow("at") << QStringLiteral("@SUM(1+1)") << QByteArray("'@SUM(1+1)");
        QTest::newRow("comma") << QStringLiteral("=1,2") << QByteArray("\"'=1,2\"");
        QTest::newRow("tab") << QStringLiteral("\tx") << QByteArray("'\tx");
        QTest::newRow("carriage return") << QStringLiteral("\rx") << QByteArray("\"'\rx\"");
        QTest::newRow("plus call") << QStringLiteral("+1-555-CALL") << QByteArray("'+1-555-CALL");
        QTest::newRow("minus cell") << QStringLiteral("-A1") << QByteArray("'-A1");
        QTest::newRow("plus formula") << QStringLiteral("+SUM(A1)") << QByteArray("'+SUM(A1)");
        QTest::newRow("quote") << QStringLiteral("=\"x\"") << QByteArray("\"'=\"\"x\"\"\"");
        QTest::newRow("phone") << QStringLiteral("+44 20 7946 0000")
                               << QByteArray("+44 20 7946 0000");
        QTest::newRow("phone marks")
            << QStringLiteral("+1 (555) 010.2/3-4") << QByteArray("+1 (555) 010.2/3-4");
        QTest::newRow("negative") << QStringLiteral("-5") << QByteArray("-5");
        QTest::newRow("dashes") << QStringLiteral("--") << QByteArray("--");
        QTest::newRow("inner equals") << QStringLiteral("a=b@c") << QByteArray("a=b@c");
        QTest::newRow("apostrophe") << QStringLiteral("'=x") << QByteArray("'=x");
    }
    void formulasAreDisarmed() {
        QFETCH(QString, value);
        QFETCH(QByteArray, field);
        MainWindowFixture f;
        TestContact c;
        c.firstName = value;
        c.comments = value;
        f.folder.addContact(c);
        QVERIFY(exportBookCsv(f.window().store(), target(f)));
        const QByteArray quoted = field.startsWith('"') ? field : '"' + field + '"';
        QCOMPARE(readBytes(target(f)),
                 header + field + ",,,\"\",,,,,,,,," + quoted + ",Personal\r\n");
    }

    void aBookNameWithQuotesIsQuotedInTheQuery() {
        MainWindowFixture f;
        const QString book = QStringLiteral("Kim's \"Work\"");
        TestContact kim = named(QStringLiteral("Kim"), QStringLiteral("Park"));
        kim.bookId = f.folder.addBook(book);
        f.folder.addContact(kim);
        f.folder.addContact(named(QStringLiteral("Ann"), QStringLiteral("Lee")));
        frmContactMgmt& w = f.window();
        w.store().setCurrentBook(book);
        StatementLog log;
        QVERIFY(exportBookCsv(w.store(), target(f)));
        QVERIFY(log.texts.last().endsWith(
            QStringLiteral("where ContactBookName = 'Kim''s \"Work\"')")));
        QCOMPARE(readBytes(target(f)), header + "Kim,,Park,\"\",,,,,,,,,\"\",Personal\r\n");
    }

    void failuresShowTheMessageAndKeepTheOldFile() {
        MainWindowFixture f;
        f.folder.addContact(named(QStringLiteral("Ann"), QStringLiteral("Lee")));
        frmContactMgmt& w = f.window();
        const QByteArray old = "an earlier export\r\n";
        writeFile(target(f), old);

        QVERIFY(!exportSelectionCsv(w.store(), w.lvContacts->selectedIds(),
                                    target(f))); // nothing selected
        QCOMPARE(readBytes(target(f)), old);
        QCOMPARE(f.doors.boxes.shown().size(), 1);
        const platform::Message& box = f.doors.boxes.shown().first();
        QCOMPARE(box.text, QStringLiteral("There was an error retrieving data"));
        QCOMPARE(box.icon, platform::Icon::Critical);
        QCOMPARE(box.buttons, platform::Buttons::Ok);
        QCOMPARE(box.title, QString());

        QVERIFY(!exportBookCsv(w.store(), f.folder.path() + QStringLiteral("/missing/out.csv")));
        f.folder.execute(QStringLiteral("alter table tblContactType rename to tblGone"));
        QVERIFY(!exportBookCsv(w.store(), target(f)));
        QCOMPARE(readBytes(target(f)), old);
        QCOMPARE(f.doors.boxes.texts(),
                 QStringList(3, QStringLiteral("There was an error retrieving data")));
    }

    void aWriteThatFailsHalfwayKeepsTheWholeOldFile() {
        MainWindowFixture f;
        TestContact c = named(QStringLiteral("Ann"), QStringLiteral("Lee"));
        c.comments = QString(4000, QLatin1Char('x'));
        f.folder.addContact(c);
        frmContactMgmt& w = f.window();
        const QByteArray old = header + "Old,,Row,\"\",,,,,,,,,\"\",Personal\r\n";
        writeFile(target(f), old);

        // Files of this process may not grow past 1 KiB for the export.
        rlimit saved{};
        getrlimit(RLIMIT_FSIZE, &saved);
        rlimit small = saved;
        small.rlim_cur = 1024;
        auto* previous = std::signal(SIGXFSZ, SIG_IGN);
        setrlimit(RLIMIT_FSIZE, &small);
        const bool written = exportBookCsv(w.store(), target(f));
        setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, previous);

        QVERIFY(!written);
        QCOMPARE(f.doors.boxes.texts(), QStringList{"There was an error retrieving data"});
        QCOMPARE(readBytes(target(f)), old);
        QCOMPARE(QDir(f.folder.path()).entryList(QDir::Files),
                 (QStringList{"contacts.mdb", "out.csv"}));
    }
};

QTEST_MAIN(CsvExportTest)
#include "CsvExportTest.moc"
