// What happens to the user and to the stored contacts when the database file,
// its folder or the disk misbehave.
#include "ReliabilitySupport.h"

#include "app/Startup.h"
#include "support/MainWindowFixture.h"

#include <QProcess>

#include <csignal>
#include <sys/resource.h>

using namespace reliability;

namespace {

const QString retrievingError = u"There was an error retrieving data"_s;
const QString saved = u"Record saved sucessfuly"_s;

void seedTwoContacts(ContactFolder& folder) {
    folder.addContact({.firstName = "Ann",
                       .lastName = "Lee",
                       .city = "Oslo",
                       .comments = "line one\r\nline two",
                       .type = 2});
    folder.addContact({.firstName = "Bob", .lastName = "Stone", .type = 2});
}

const QFile::Permissions readWrite = readOnly | readWriteFile;
const QFile::Permissions exe = QFile::ExeOwner | QFile::ExeGroup | QFile::ExeOther;

} // namespace

class FileFaultsTest : public QObject {
    Q_OBJECT

private slots:
    // Never overwritten, never "repaired" into an empty one: the user is told.
    void aFileThatIsNoSoundContactDatabaseIsLeftAsItIs_data() {
        QTest::addColumn<QString>("damage");
        QTest::addColumn<QString>("told");
        const QString foreign = u"is not a contact database"_s;
        const QString damaged = u"is damaged"_s;
        QTest::newRow("text file") << "text" << foreign;
        QTest::newRow("empty file") << "empty" << foreign;
        QTest::newRow("truncated database") << "truncated" << damaged;
        QTest::newRow("page overwritten") << "overwritten" << damaged;
    }
    void aFileThatIsNoSoundContactDatabaseIsLeftAsItIs() {
        QFETCH(QString, damage);
        QFETCH(QString, told);
        ContactFolder folder;
        for (int i = 0; i < 300; ++i)
            folder.addContact({.firstName = u"N%1"_s.arg(i), .comments = QString(300, u'x')});
        const QString path = folder.databasePath();
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadWrite));
        if (damage == QLatin1String("text")) {
            file.resize(0);
            file.write("my notes, not a database");
        } else if (damage == QLatin1String("empty")) {
            file.resize(0);
        } else if (damage == QLatin1String("truncated")) {
            file.resize(file.size() / 2);
        } else {
            file.seek(3 * 4096); // the head of a page in the middle of the file
            file.write(QByteArray(16, '\xA5'));
        }
        file.close();
        const QByteArray before = readBytes(path);

        InstalledDoubles doors;
        QVERIFY(!prepareDataFolder(folder.path()));
        QCOMPARE(doors.boxes.shown().size(), 1);
        const QString text = doors.boxes.texts().first();
        QVERIFY2(text.contains(told) && text.contains(u"Move it elsewhere"_s), qPrintable(text));
        QCOMPARE(doors.boxes.shown().first().icon, platform::Icon::Critical);
        QCOMPARE(readBytes(path), before);
        QCOMPARE(QDir(folder.path()).entryList(QDir::Files), QStringList{"contacts.mdb"});
    }

    // An ordinary user who may read the file but not change it, or not write
    // its folder, sees the contacts; every change is refused with its
    // message, and the file and the previous export stay as they were.
    void whatTheUserMayNotWriteStaysAsItWas_data() {
        QTest::addColumn<QString>("mode");
        QTest::newRow("read-only file") << "readOnlyFile";
        QTest::newRow("folder that cannot be written") << "unwritableFolder";
    }
    void whatTheUserMayNotWriteStaysAsItWas() {
        QFETCH(QString, mode);
        const bool readOnlyFile = mode == u"readOnlyFile"_s;
        ContactFolder folder;
        seedTwoContacts(folder);
        folder.addBook(u"Family"_s);
        const QString attachment = QDir(folder.path()).filePath(u"attachment.csv"_s);
        writeFile(attachment, "previous export\r\n");
        if (!readOnlyFile) {
            QVERIFY(QDir(folder.path()).mkdir(u"empty"_s));
            QFile::setPermissions(QDir(folder.path()).filePath(u"empty"_s), readOnly);
        }
        const QFile::Permissions files = readOnlyFile ? readOnly & ~exe : readWriteFile;
        QFile::setPermissions(folder.databasePath(), files);
        QFile::setPermissions(attachment, files);
        QFile::setPermissions(folder.path(), readOnlyFile ? readWrite : readOnly);
        const QStringList stored = everything(folder.path());
        const QByteArray bytes = readBytes(folder.databasePath());

        QString output;
        const int result = runAsUser(mode, folder.path(), &output);
        QFile::setPermissions(folder.path(), readWrite);
        if (result == -1)
            QSKIP("no ordinary user to run the case as");
        QVERIFY2(result == 0, qPrintable(output));
        QCOMPARE(everything(folder.path()), stored);
        if (readOnlyFile)
            QCOMPARE(readBytes(folder.databasePath()), bytes);
        QCOMPARE(readBytes(attachment), QByteArray("previous export\r\n"));
        QCOMPARE(QDir(folder.path()).entryList(QDir::Files),
                 (QStringList{"attachment.csv", "contacts.mdb"}));
    }

    // The disk refuses the CSV file half-way (a file size limit stands in for
    // a full disk): the user is told, the previous attachment.csv stays whole.
    void aDiskRefusingTheCsvFileKeepsThePreviousOne() {
        MainWindowFixture f;
        f.folder.addContact({.firstName = "Ann", .comments = QString(100000, u'c')});
        const QString attachment = QDir(f.folder.path()).filePath(u"attachment.csv"_s);
        writeFile(attachment, "previous export\r\n");
        f.window();
        rlimit old{};
        QCOMPARE(getrlimit(RLIMIT_FSIZE, &old), 0);
        rlimit small = old;
        small.rlim_cur = 8192;
        const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        QCOMPARE(setrlimit(RLIMIT_FSIZE, &small), 0);
        f.doors.boxes.answerYes();
        f.click("cmdEmailRecord");
        setrlimit(RLIMIT_FSIZE, &old);
        std::signal(SIGXFSZ, oldHandler);
        QCOMPARE(f.doors.boxes.texts().last(), retrievingError);
        QVERIFY(f.doors.mail.sent.isEmpty());
        QCOMPARE(readBytes(attachment), QByteArray("previous export\r\n"));
        QCOMPARE(QDir(f.folder.path()).entryList(QDir::Files),
                 (QStringList{"attachment.csv", "contacts.mdb"}));
    }

    // Another program holds the write lock for a second: the save waits for
    // it and succeeds. (A lock held past the busy timeout: OtherProgramsTest.)
    void aBriefLockIsWaitedFor() {
        MainWindowFixture f;
        f.click("cmdBusiness");
        QProcess brief;
        QVERIFY(startLocked(brief, u"holdLockBriefly"_s, f.folder.path()));
        addContact(f.window(), u"Held"_s, u"Briefly"_s);
        QCOMPARE(f.doors.boxes.takeTexts(), QStringList{saved});
        // Waiting for the window's list may already have seen the holder end.
        QVERIFY(brief.state() == QProcess::NotRunning || brief.waitForFinished());
        QCOMPARE(brief.exitCode(), 0);
        QCOMPARE(f.listed(), QStringList{"Held|Briefly"});
    }

    // A child saves contacts through the editor in a loop and is killed with
    // SIGKILL, three times over on one file: every save that returned is
    // there, the file is sound, and start-up accepts it.
    void aWriterKilledWhileSavingLosesNothingThatWasSaved() {
        ContactFolder folder;
        QStringList reported;
        for (int kills : {1, 7, 20}) {
            QProcess writer;
            startChild(writer, u"saveInALoop"_s, folder.path());
            QByteArray seen;
            int count = 0;
            while (count < kills) {
                if (!writer.canReadLine() && !writer.waitForReadyRead(60000))
                    QFAIL(seen.constData());
                while (writer.canReadLine()) {
                    const QByteArray line = writer.readLine().trimmed();
                    seen += line + '\n';
                    if (line.startsWith("SAVED ")) {
                        reported << QString::fromUtf8(line.mid(6));
                        ++count;
                    }
                }
            }
            writer.kill();
            QVERIFY(writer.waitForFinished());
            InstalledDoubles doors;
            QVERIFY(prepareDataFolder(folder.path()));
            QCOMPARE(integrity(folder.connectionString()), u"ok"_s);
            const QStringList stored = folder.rows(u"select LastName from tblContactDetails"_s);
            for (const QString& name : std::as_const(reported))
                QVERIFY2(stored.contains(name), qPrintable(name));
        }
    }
};

QTEST_MAIN(FileFaultsTest)
#include "FileFaultsTest.moc"
