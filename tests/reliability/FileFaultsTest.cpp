// What happens to the user and to the stored contacts when the database file,
// its folder or the disk misbehave.
#include "ReliabilitySupport.h"

#include "app/Startup.h"
#include "app/frmContactMgmt.h"
#include "support/CsvReading.h"
#include "support/MainWindowFixture.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <sys/resource.h>

using namespace reliability;

namespace {

const QString retrievingError = QStringLiteral("There was an error retrieving data");
const QString savingError = QStringLiteral("There was an error in saving data");
const QString saved = QStringLiteral("Record saved sucessfuly");

void seedTwoContacts(ContactFolder& folder) {
    folder.addContact({.firstName = "Ann",
                       .lastName = "Lee",
                       .city = "Oslo",
                       .comments = "line one\r\nline two",
                       .type = 2});
    folder.addContact({.firstName = "Bob", .lastName = "Stone", .type = 2});
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

void setMode(const QString& path, QFile::Permissions permissions) {
    QVERIFY(QFile::setPermissions(path, permissions));
}

const QFile::Permissions readOnly = QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther |
                                    QFile::ExeOwner | QFile::ExeGroup | QFile::ExeOther;
const QFile::Permissions readWrite =
    readOnly | QFile::WriteOwner | QFile::WriteGroup | QFile::WriteOther;

} // namespace

class FileFaultsTest : public QObject {
    Q_OBJECT

private slots:
    // Never overwritten, never "repaired" into an empty one: the user is told.
    void aFileThatIsNoSoundContactDatabaseIsLeftAsItIs_data() {
        QTest::addColumn<QString>("damage");
        QTest::addColumn<QString>("told");
        const QString foreign = QStringLiteral("is not a contact database");
        const QString damaged = QStringLiteral("is damaged");
        QTest::newRow("text file") << "text" << foreign;
        QTest::newRow("empty file") << "empty" << foreign;
        QTest::newRow("tables without their columns") << "columns" << foreign;
        QTest::newRow("truncated database") << "truncated" << damaged;
        QTest::newRow("page overwritten") << "overwritten" << damaged;
    }
    void aFileThatIsNoSoundContactDatabaseIsLeftAsItIs() {
        QFETCH(QString, damage);
        QFETCH(QString, told);
        ContactFolder folder;
        for (int i = 0; i < 300; ++i)
            folder.addContact({.firstName = QStringLiteral("N%1").arg(i),
                               .comments = QString(300, QLatin1Char('x'))});
        const QString path = folder.databasePath();
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadWrite));
        if (damage == QLatin1String("text")) {
            file.resize(0);
            file.write("my notes, not a database");
        } else if (damage == QLatin1String("empty")) {
            file.resize(0);
        } else if (damage == QLatin1String("columns")) {
            file.close();
            folder.execute(QStringLiteral("alter table tblContactDetails drop column Comments"));
            QVERIFY(file.open(QIODevice::ReadWrite));
        } else if (damage == QLatin1String("truncated")) {
            file.resize(file.size() / 2);
        } else {
            file.seek(3 * 4096); // the head of a page in the middle of the file
            file.write(QByteArray(16, '\xA5'));
        }
        file.close();
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray before = file.readAll();
        file.close();

        InstalledDoubles doors;
        QVERIFY(!prepareDataFolder(folder.path()));
        QCOMPARE(doors.boxes.shown().size(), 1);
        QVERIFY2(doors.boxes.texts().first().contains(told),
                 qPrintable(doors.boxes.texts().first()));
        QVERIFY(doors.boxes.texts().first().contains(QLatin1String("Move it elsewhere")));
        QCOMPARE(doors.boxes.shown().first().icon, platform::Icon::Critical);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), before);
        QCOMPARE(QDir(folder.path()).entryList(QDir::Files), QStringList{"contacts.mdb"});
    }

    void aReadOnlyFileIsReadAndEveryChangeIsRefused() {
        ContactFolder folder;
        seedTwoContacts(folder);
        folder.addBook(QStringLiteral("Family"));
        const QString attachment = QDir(folder.path()).filePath(QStringLiteral("attachment.csv"));
        writeFile(attachment, "previous export\r\n");
        setMode(folder.path(), readWrite);
        setMode(folder.databasePath(),
                readOnly & ~(QFile::ExeOwner | QFile::ExeGroup | QFile::ExeOther));
        setMode(attachment, readOnly & ~(QFile::ExeOwner | QFile::ExeGroup | QFile::ExeOther));
        const QStringList stored = everything(folder.path());
        QFile database(folder.databasePath());
        QVERIFY(database.open(QIODevice::ReadOnly));
        const QByteArray bytes = database.readAll();
        database.close();

        QString output;
        const int result = runAsUser(QStringLiteral("readOnlyFile"), folder.path(), &output);
        if (result == -1)
            QSKIP("no ordinary user to run the case as");
        QVERIFY2(result == 0, qPrintable(output));
        QCOMPARE(everything(folder.path()), stored);
        QVERIFY(database.open(QIODevice::ReadOnly));
        QCOMPARE(database.readAll(), bytes);
        QCOMPARE(readBytes(attachment), QByteArray("previous export\r\n"));
    }

    void aFolderThatCannotBeWrittenKeepsTheFileAndThePreviousExport() {
        ContactFolder folder;
        seedTwoContacts(folder);
        const QString attachment = QDir(folder.path()).filePath(QStringLiteral("attachment.csv"));
        writeFile(attachment, "previous export\r\n");
        QVERIFY(QDir(folder.path()).mkdir(QStringLiteral("empty")));
        setMode(QDir(folder.path()).filePath(QStringLiteral("empty")), readOnly);
        setMode(folder.databasePath(),
                readWrite & ~(QFile::ExeOwner | QFile::ExeGroup | QFile::ExeOther));
        setMode(attachment, readWrite & ~(QFile::ExeOwner | QFile::ExeGroup | QFile::ExeOther));
        setMode(folder.path(), readOnly);
        const QStringList stored = everything(folder.path());

        QString output;
        const int result = runAsUser(QStringLiteral("unwritableFolder"), folder.path(), &output);
        setMode(folder.path(), readWrite);
        if (result == -1)
            QSKIP("no ordinary user to run the case as");
        QVERIFY2(result == 0, qPrintable(output));
        QCOMPARE(everything(folder.path()), stored);
        QCOMPARE(readBytes(attachment), QByteArray("previous export\r\n"));
        QCOMPARE(QDir(folder.path()).entryList(QDir::Files),
                 (QStringList{"attachment.csv", "contacts.mdb"}));
    }

    // The disk refuses the CSV file half-way (a file size limit stands in for
    // a full disk): the user is told, the previous attachment.csv stays whole.
    void aDiskRefusingTheCsvFileKeepsThePreviousOne() {
        MainWindowFixture f;
        f.folder.addContact({.firstName = "Ann", .comments = QString(100000, QLatin1Char('c'))});
        const QString attachment = QDir(f.folder.path()).filePath(QStringLiteral("attachment.csv"));
        writeFile(attachment, "previous export\r\n");
        f.window();
        rlimit old{};
        QCOMPARE(getrlimit(RLIMIT_FSIZE, &old), 0);
        rlimit small = old;
        small.rlim_cur = 8192;
        const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        QCOMPARE(setrlimit(RLIMIT_FSIZE, &small), 0);
        f.doors.boxes.answerYes();
        f.click(QStringLiteral("cmdEmailRecord"));
        setrlimit(RLIMIT_FSIZE, &old);
        std::signal(SIGXFSZ, oldHandler);
        QCOMPARE(f.doors.boxes.texts().last(), retrievingError);
        QVERIFY(f.doors.mail.sent.isEmpty());
        QCOMPARE(readBytes(attachment), QByteArray("previous export\r\n"));
        QCOMPARE(QDir(f.folder.path()).entryList(QDir::Files),
                 (QStringList{"attachment.csv", "contacts.mdb"}));
    }

    // Another program holds the write lock: for a second the save waits and
    // succeeds; beyond the busy timeout it fails with its message, stores
    // nothing, and works once the lock is gone.
    void aLockHeldBrieflyIsWaitedFor() {
        MainWindowFixture f;
        f.window();
        f.click(QStringLiteral("cmdBusiness"));
        QProcess holder;
        startChild(holder, QStringLiteral("holdLockBriefly"), f.folder.path());
        QByteArray seen;
        QVERIFY2(waitForLine(holder, QStringLiteral("LOCKED"), &seen), seen.constData());
        addContact(f.window(), QStringLiteral("Held"), QStringLiteral("Briefly"));
        QCOMPARE(f.doors.boxes.takeTexts(), QStringList{saved});
        QVERIFY(holder.waitForFinished());
        QCOMPARE(holder.exitCode(), 0);
        QCOMPARE(f.listed(), QStringList{"Held|Briefly"});
    }

    void aLockHeldBeyondTheTimeoutFailsTheSaveUntilItIsGone() {
        MainWindowFixture f;
        f.folder.addContact({.firstName = "Ann", .lastName = "Lee", .type = 2});
        f.window();
        f.click(QStringLiteral("cmdBusiness"));
        const QStringList stored = everything(f.folder.path());
        QProcess holder;
        startChild(holder, QStringLiteral("holdLockUntilTold"), f.folder.path());
        QByteArray seen;
        QVERIFY2(waitForLine(holder, QStringLiteral("LOCKED"), &seen), seen.constData());
        addContact(f.window(), QStringLiteral("Held"), QStringLiteral("Long"));
        QCOMPARE(f.doors.boxes.takeTexts(), (QStringList{savingError, retrievingError}));
        holder.write("release\n");
        QVERIFY(holder.waitForFinished());
        QCOMPARE(holder.exitCode(), 0);
        QCOMPARE(everything(f.folder.path()), stored);
        addContact(f.window(), QStringLiteral("Held"), QStringLiteral("Long"));
        QCOMPARE(f.doors.boxes.takeTexts(), QStringList{saved});
        QCOMPARE(f.listed(), (QStringList{"Ann|Lee", "Held|Long"}));
    }

    // A program killed inside a change leaves its journal beside the file:
    // start-up rolls the change back and goes on, rather than calling the
    // file damaged.
    void aChangeCutOffByAKillIsRolledBackAtStartUp() {
        ContactFolder folder;
        seedTwoContacts(folder);
        for (int i = 0; i < 200; ++i)
            folder.addContact({.firstName = "Many", .lastName = QString(500, QLatin1Char('m'))});
        const QStringList stored = everything(folder.path());
        QProcess writer;
        startChild(writer, QStringLiteral("deleteAllThenWait"), folder.path());
        QByteArray seen;
        QVERIFY2(waitForLine(writer, QStringLiteral("LOCKED"), &seen), seen.constData());
        writer.kill();
        QVERIFY(writer.waitForFinished());
        QVERIFY(QFile::exists(folder.databasePath() + QStringLiteral("-journal")));
        InstalledDoubles doors;
        QVERIFY(prepareDataFolder(folder.path()));
        QVERIFY(doors.boxes.shown().isEmpty());
        QCOMPARE(everything(folder.path()), stored);
        QCOMPARE(integrity(folder.connectionString()), QStringLiteral("ok"));
    }

    // A child saves contacts through the editor in a loop and is killed with
    // SIGKILL, three times over on one file: every save that returned is
    // there, the file is sound, and start-up accepts it.
    void aWriterKilledWhileSavingLosesNothingThatWasSaved() {
        ContactFolder folder;
        QStringList reported;
        for (int kills : {1, 7, 20}) {
            QProcess writer;
            startChild(writer, QStringLiteral("saveInALoop"), folder.path());
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
            QCOMPARE(integrity(folder.connectionString()), QStringLiteral("ok"));
            const QStringList stored =
                folder.rows(QStringLiteral("select LastName from tblContactDetails"));
            for (const QString& name : std::as_const(reported))
                QVERIFY2(stored.contains(name), qPrintable(name));
        }
    }
};

QTEST_MAIN(FileFaultsTest)
#include "FileFaultsTest.moc"
