// The file shared with other programs: a second window, the sqlite3 shell,
// an earlier version of the program, a second start at the same moment, a
// lock holder, a writer killed in a folder the user cannot write, and keys
// another program chose.
#include "ReliabilitySupport.h"

#include "app/Startup.h"
#include "app/frmContactMgmt.h"
#include "contacts/ContactListView.h"
#include "data/ConnectionString.h"
#include "data/Schema.h"
#include "data/UnicodeCase.h"
#include "editor/ctrRecord.h"
#include "support/DesktopDoubles.h"
#include "support/MainWindowFixture.h"

#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <sqlite3.h>

using namespace reliability;

namespace {

const QString retrievingError = QStringLiteral("There was an error retrieving data");
const QString saved = QStringLiteral("Record saved sucessfuly");
const QString changedElsewhere =
    QStringLiteral("This contact was changed in another window or program after you opened it. "
                   "Save your changes over it?");

TestContact business(const QString& firstName, const QString& lastName) {
    TestContact contact{firstName, {}, lastName};
    contact.type = 2;
    return contact;
}

QByteArray bytesOf(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Runs the sqlite3 shell on the file; its standard output, trimmed.
QString shell(const QString& database, const QString& sql) {
    QProcess process;
    process.start(QStringLiteral("sqlite3"), {database, sql});
    if (!process.waitForFinished(60000))
        return QStringLiteral("<sqlite3 did not finish>");
    return QString::fromUtf8(process.readAllStandardOutput() + process.readAllStandardError())
        .trimmed();
}

QString field(frmContactMgmt& window, const char* box) {
    return window.findChild<QLineEdit*>(QLatin1String(box))->text();
}

void addBook(frmContactMgmt& window, const QString& name) {
    click(window, QStringLiteral("cmdAddBook"));
    paste(window.findChild<QLineEdit*>(QStringLiteral("txtNewBookName")), name);
    click(window, QStringLiteral("cmdAddConfirm"));
}

void chooseBook(frmContactMgmt& window, const QString& name) {
    auto* books = window.findChild<QListWidget*>(QStringLiteral("lstContactBooks"));
    const QList<QListWidgetItem*> found = books->findItems(name, Qt::MatchExactly);
    QCOMPARE(found.size(), 1);
    books->setCurrentItem(found.first());
    click(window, QStringLiteral("cmdChooseClose"));
}

// The names an earlier version ordered its book index by: every letter of
// Unicode folded, where SQLite's own NOCASE folds ASCII letters only.
int earlierVersionCollation(void*, int aLength, const void* a, int bLength, const void* b) {
    return compareIgnoringCase(static_cast<const char*>(a), aLength, static_cast<const char*>(b),
                               bLength);
}

void writeAsEarlierVersion(const QString& path, const QStringList& books) {
    sqlite3* db = nullptr;
    QCOMPARE(
        sqlite3_open_v2(QFile::encodeName(path).constData(), &db, SQLITE_OPEN_READWRITE, nullptr),
        SQLITE_OK);
    sqlite3_create_collation_v2(db, "NOCASE", SQLITE_UTF8, nullptr, earlierVersionCollation,
                                nullptr);
    for (const QString& book : books) {
        const QByteArray sql =
            "insert into tblContactBook(ContactBookName) values('" + book.toUtf8() + "')";
        QCOMPARE(sqlite3_exec(db, sql.constData(), nullptr, nullptr, nullptr), SQLITE_OK);
    }
    sqlite3_close_v2(db);
}

const QFile::Permissions readOnly = QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther |
                                    QFile::ExeOwner | QFile::ExeGroup | QFile::ExeOther;
const QFile::Permissions readWriteFile = QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther |
                                         QFile::WriteOwner | QFile::WriteGroup | QFile::WriteOther;

} // namespace

class OtherProgramsTest : public QObject {
    Q_OBJECT

private slots:
    // Whatever made the load fail, the editor closes with its message and
    // nothing typed earlier can be saved over any contact.
    void aFailedLoadLeavesNothingToSave_data() {
        QTest::addColumn<QString>("fault");
        QTest::newRow("file moved away") << "moved";
        QTest::newRow("lock held past the wait") << "locked";
    }
    void aFailedLoadLeavesNothingToSave() {
        QFETCH(QString, fault);
        MainWindowFixture f;
        f.folder.addContact(business(QStringLiteral("Xena"), QStringLiteral("Xu")));
        f.folder.addContact(business(QStringLiteral("Yann"), QStringLiteral("Yu")));
        frmContactMgmt& window = f.window();
        click(window, QStringLiteral("cmdBusiness"));
        const QStringList stored = everything(f.folder.path());
        selectRow(window, 0);
        click(window, QStringLiteral("cmdEditRecord"));
        click(window, QStringLiteral("cmdCancel"));
        click(window, QStringLiteral("cmdAddRecord"));
        paste(window.findChild<QLineEdit*>(QStringLiteral("txtFirstName")),
              QStringLiteral("Brand New"));
        click(window, QStringLiteral("cmdCancel"));
        selectRow(window, 1);

        const QString path = f.folder.databasePath();
        QProcess holder;
        if (fault == QLatin1String("moved")) {
            QVERIFY(QFile::rename(path, path + QStringLiteral(".away")));
        } else {
            startChild(holder, QStringLiteral("holdLockUntilTold"), f.folder.path());
            QByteArray seen;
            QVERIFY2(waitForLine(holder, QStringLiteral("LOCKED"), &seen), seen.constData());
        }
        click(window, QStringLiteral("cmdEditRecord"));
        QCOMPARE(f.doors.boxes.takeTexts(), QStringList{retrievingError});
        QVERIFY(window.recordEditor->isHidden());
        QVERIFY(!window.lvContacts->isHidden());
        QCOMPARE(field(window, "txtFirstName"), QString());

        if (fault == QLatin1String("moved")) {
            QVERIFY(QFile::rename(path + QStringLiteral(".away"), path));
        } else {
            holder.write("release\n");
            QVERIFY(holder.waitForFinished());
        }
        // Even a Save that got through would find nothing loaded to write.
        window.findChild<QPushButton*>(QStringLiteral("cmdSave"))->click();
        QCOMPARE(everything(f.folder.path()), stored);
        QVERIFY(f.doors.boxes.texts().isEmpty());
    }

    void theLaterOfTwoSavesAsksBeforeUndoingTheEarlier() {
        MainWindowFixture f;
        TestContact ann = business(QStringLiteral("Ann"), QStringLiteral("Lee"));
        ann.workPhone = QStringLiteral("111");
        ann.email = QStringLiteral("ann@old.example");
        const qint64 id = f.folder.addContact(ann);
        frmContactMgmt& a = f.window();
        frmContactMgmt b(f.folder.path());
        b.load();
        b.show();
        for (frmContactMgmt* window : {&a, &b}) {
            click(*window, QStringLiteral("cmdBusiness"));
            selectRow(*window, 0);
            click(*window, QStringLiteral("cmdEditRecord"));
        }
        paste(b.findChild<QLineEdit*>(QStringLiteral("txtWorkPhone")), QStringLiteral("222"));
        click(b, QStringLiteral("cmdSave"));
        QVERIFY(f.doors.boxes.texts().isEmpty());

        paste(a.findChild<QLineEdit*>(QStringLiteral("txtEmail")),
              QStringLiteral("ann@new.example"));
        f.doors.boxes.answerNo();
        click(a, QStringLiteral("cmdSave"));
        QCOMPARE(f.doors.boxes.takeTexts(), QStringList{changedElsewhere});
        QVERIFY(!a.recordEditor->isHidden());
        QCOMPARE(field(a, "txtEmail"), QStringLiteral("ann@new.example"));
        QCOMPARE(f.folder.contactRow(id)["WorkPhoneNumber"], QStringLiteral("222"));
        QCOMPARE(f.folder.contactRow(id)["EmailAddress"], QStringLiteral("ann@old.example"));

        f.doors.boxes.answerYes();
        click(a, QStringLiteral("cmdSave"));
        QCOMPARE(f.doors.boxes.takeTexts(), QStringList{changedElsewhere});
        QVERIFY(a.recordEditor->isHidden());
        QCOMPARE(f.folder.contactRow(id)["EmailAddress"], QStringLiteral("ann@new.example"));
        QCOMPARE(f.folder.contactRow(id)["WorkPhoneNumber"], QStringLiteral("111"));
    }

    // Books the program and the shell both write, then VACUUM and REINDEX by
    // the shell: the shell finds the file sound, and the program still lists,
    // adds to and deletes every book.
    void theShellAndTheProgramShareAStandardFile() {
        MainWindowFixture f;
        frmContactMgmt& window = f.window();
        const QString path = f.folder.databasePath();
        trigger(window, QStringLiteral("createcontactbook"));
        for (const char* name : {"éa", "Éb", "Ω1", "ω0"})
            addBook(window, QString::fromUtf8(name));
        chooseBook(window, QStringLiteral("ω0"));
        addContact(window, QStringLiteral("Omega"), QStringLiteral("Zero"));
        QCOMPARE(shell(path, QStringLiteral("pragma integrity_check")), QStringLiteral("ok"));

        QCOMPARE(shell(path, QStringLiteral("insert into tblContactBook(ContactBookName) "
                                            "values('Ärger'); VACUUM; REINDEX;")),
                 QString());
        QCOMPARE(shell(path, QStringLiteral("pragma integrity_check")), QStringLiteral("ok"));
        click(window, QStringLiteral("cmdBusiness"));
        QCOMPARE(listed(window), QStringList{"Omega|Zero"});
        addContact(window, QStringLiteral("Second"), QStringLiteral("Zero"));
        QCOMPARE(listed(window), (QStringList{"Omega|Zero", "Second|Zero"}));

        f.doors.boxes.clear();
        trigger(window, QStringLiteral("createcontactbook"));
        addBook(window, QStringLiteral("äRGER"));
        QCOMPARE(f.doors.boxes.takeTexts(),
                 QStringList{QStringLiteral("Please specify a valid contact book name.\r\n"
                                            "The provided name is already in use.")});
        auto* books = window.findChild<QListWidget*>(QStringLiteral("lstContactBooks"));
        books->setCurrentItem(books->findItems(QStringLiteral("ω0"), Qt::MatchExactly).first());
        f.doors.boxes.answerYes();
        click(window, QStringLiteral("cmdDelete"));
        QCOMPARE(f.doors.boxes.takeTexts().last(),
                 QStringLiteral("Contact book Deleted successfully"));
        QCOMPARE(shell(path, QStringLiteral("select count(*) from tblContactDetails")),
                 QStringLiteral("0"));
        QCOMPARE(shell(path, QStringLiteral("select group_concat(ContactBookName, ',') from "
                                            "(select ContactBookName from tblContactBook order "
                                            "by pkContactBookId)")),
                 QStringLiteral("Default,éa,Éb,Ω1,Ärger"));
        QCOMPARE(shell(path, QStringLiteral("pragma integrity_check")), QStringLiteral("ok"));
    }

    void aFileAnEarlierVersionWroteIsRepairedAtStartUp() {
        ContactFolder folder;
        writeAsEarlierVersion(folder.databasePath(), {"éa", "Éb", "Ω1", "ω0"});
        TestContact omega = business(QStringLiteral("Omega"), QStringLiteral("Zero"));
        omega.bookId = 5;
        folder.addContact(omega);
        QVERIFY(shell(folder.databasePath(), QStringLiteral("pragma integrity_check")) !=
                QLatin1String("ok"));
        const QStringList stored = everything(folder.path());

        InstalledDoubles doors;
        QVERIFY(prepareDataFolder(folder.path()));
        QVERIFY(doors.boxes.shown().isEmpty());
        QCOMPARE(shell(folder.databasePath(), QStringLiteral("pragma integrity_check")),
                 QStringLiteral("ok"));
        QCOMPARE(everything(folder.path()), stored);
    }

    // Two starts of the real program on a folder without contacts.mdb, at
    // the same moment, repeatedly: one sound file every time, both running.
    void twoFirstStartsAtOnceShareOneSoundFile() {
        for (int attempt = 0; attempt < 6; ++attempt) {
            QTemporaryDir folder;
            const QString program = folder.filePath(QStringLiteral("orvanta-contacts"));
            QVERIFY(QFile::copy(QStringLiteral(ORVANTA_PROGRAM), program));
            QProcess first;
            QProcess second;
            for (QProcess* start : {&first, &second}) {
                start->setProcessEnvironment(QProcessEnvironment::systemEnvironment());
                start->start(program, {});
            }
            const QString path = databasePathIn(folder.path());
            for (int waited = 0; waited < 200 && !QFile::exists(path); ++waited)
                QTest::qWait(50);
            QTest::qWait(1500);
            QCOMPARE(first.state(), QProcess::Running);
            QCOMPARE(second.state(), QProcess::Running);
            first.kill();
            second.kill();
            first.waitForFinished();
            second.waitForFinished();
            QCOMPARE(checkDatabaseFile(path), DatabaseFileState::Ready);
            ContactFolder delivered;
            QCOMPARE(everything(folder.path()), everything(delivered.path()));
            QCOMPARE(QDir(folder.path()).entryList(QDir::Files),
                     (QStringList{"contacts.mdb", "orvanta-contacts"}));
        }
    }

    // Start-up reads every page only when the last run did not end cleanly
    // or another program changed the file since.
    void onlyAnUncleanEndOrAChangedFileCostsAFullCheck() {
        QTemporaryDir folder;
        const QString path = databasePathIn(folder.path());
        CheckDepth depth = CheckDepth::Quick;
        QCOMPARE(prepareDatabaseFile(path, {}, &depth), DatabaseFileState::Created);
        recordCleanExit(path);
        QCOMPARE(prepareDatabaseFile(path, {}, &depth), DatabaseFileState::Ready);
        QCOMPARE(depth, CheckDepth::Quick);
        QCOMPARE(prepareDatabaseFile(path, {}, &depth), DatabaseFileState::Ready);
        QCOMPARE(depth, CheckDepth::Full); // the run before ended without a record

        recordCleanExit(path);
        QTest::qWait(20);
        QCOMPARE(shell(path, QStringLiteral("insert into tblContactBook(ContactBookName) "
                                            "values('From the shell')")),
                 QString());
        QCOMPARE(prepareDatabaseFile(path, {}, &depth), DatabaseFileState::Ready);
        QCOMPARE(depth, CheckDepth::Full);

        // The real program, killed while it runs.
        recordCleanExit(path);
        const QString program = folder.filePath(QStringLiteral("orvanta-contacts"));
        QVERIFY(QFile::copy(QStringLiteral(ORVANTA_PROGRAM), program));
        QProcess run;
        run.start(program, {});
        QVERIFY(run.waitForStarted());
        QTest::qWait(1500);
        QCOMPARE(run.state(), QProcess::Running);
        run.kill();
        run.waitForFinished();
        QCOMPARE(prepareDatabaseFile(path, {}, &depth), DatabaseFileState::Ready);
        QCOMPARE(depth, CheckDepth::Full);
    }

    // Start-up meets a file another program keeps locked: it says so, the
    // window opens, each command fails with its own message until the lock
    // is gone, and then works.
    void aLockAtStartUpIsReportedAsSuchAndTheWindowWorksOnceItIsGone() {
        ContactFolder folder;
        folder.addContact(business(QStringLiteral("Ann"), QStringLiteral("Lee")));
        const QByteArray before = bytesOf(folder.databasePath());
        QProcess holder;
        startChild(holder, QStringLiteral("holdLockUntilTold"), folder.path());
        QByteArray seen;
        QVERIFY2(waitForLine(holder, QStringLiteral("LOCKED"), &seen), seen.constData());

        InstalledDoubles doors;
        const bool usable = prepareDataFolder(folder.path());
        QVERIFY(!usable);
        const QStringList told = doors.boxes.takeTexts();
        QCOMPARE(told.size(), 1);
        QVERIFY2(told.first().contains(QLatin1String("in use by another program")),
                 qPrintable(told.first()));
        QVERIFY(!told.first().contains(QLatin1String("Move it")));
        frmContactMgmt window(folder.path());
        window.load(usable);
        window.show();
        QVERIFY(doors.boxes.texts().isEmpty());
        click(window, QStringLiteral("cmdBusiness"));
        QCOMPARE(doors.boxes.takeTexts(), QStringList{retrievingError});

        holder.write("release\n");
        QVERIFY(holder.waitForFinished());
        QCOMPARE(bytesOf(folder.databasePath()), before);
        click(window, QStringLiteral("cmdBusiness"));
        QCOMPARE(listed(window), QStringList{"Ann|Lee"});
        QVERIFY(doors.boxes.texts().isEmpty());
    }

    // A writer killed in the middle of a change leaves a journal (or a
    // write-ahead log) that only a user who may write the folder can roll
    // back: any other user is told so, never to move the file, and the file
    // and its journal stay exactly as they are.
    void aJournalInAFolderTheUserCannotWriteIsNotCalledDamage_data() {
        QTest::addColumn<QString>("writer");
        QTest::newRow("rollback journal") << "deleteAllThenWait";
        QTest::newRow("write-ahead log") << "walThenWait";
    }
    void aJournalInAFolderTheUserCannotWriteIsNotCalledDamage() {
        QFETCH(QString, writer);
        ContactFolder folder;
        for (int i = 0; i < 200; ++i)
            folder.addContact(business(QStringLiteral("Many"), QString(500, QLatin1Char('m'))));
        QProcess killed;
        startChild(killed, writer, folder.path());
        QByteArray seen;
        QVERIFY2(waitForLine(killed, QStringLiteral("LOCKED"), &seen), seen.constData());
        killed.kill();
        QVERIFY(killed.waitForFinished());
        QVERIFY(hasJournalBeside(folder.databasePath()));
        QDir dir(folder.path());
        QStringList files = dir.entryList(QDir::Files);
        QMap<QString, QByteArray> before;
        QVERIFY(QFile::setPermissions(folder.databasePath(), readWriteFile));
        for (const QString& name : files)
            before[name] = bytesOf(dir.filePath(name));
        QVERIFY(QFile::setPermissions(folder.path(), readOnly));

        QString output;
        const int result = runAsUser(QStringLiteral("startUp"), folder.path(), &output);
        QVERIFY(QFile::setPermissions(folder.path(), readOnly | QFile::WriteOwner));
        if (result == -1)
            QSKIP("no ordinary user to run the case as");
        QVERIFY2(result == 0, qPrintable(output));
        // Read through the log, the file may well be usable as it is; what
        // the user is never told is that it is damaged or foreign.
        if (writer == QLatin1String("deleteAllThenWait"))
            QVERIFY2(output.contains(QLatin1String("needs recovery")), qPrintable(output));
        for (const char* wrong : {"damaged", "not a contact database", "Move it"})
            QVERIFY2(!output.contains(QLatin1String(wrong)), qPrintable(output));
        QCOMPARE(dir.entryList(QDir::Files), files);
        for (const QString& name : files)
            QCOMPARE(bytesOf(dir.filePath(name)), before[name]);

        // A user who may write the folder recovers the file and goes on.
        InstalledDoubles doors;
        QVERIFY(prepareDataFolder(folder.path()));
        QCOMPARE(integrity(folder.connectionString()), QStringLiteral("ok"));
    }

    // A file whose tables lack a column the program writes is foreign: the
    // window opens, and every change is refused without touching the file.
    void nothingIsWrittenToAFileThatFailedTheCheck() {
        ContactFolder folder;
        QCOMPARE(shell(folder.databasePath(),
                       QStringLiteral("alter table tblContactDetails drop column Comments")),
                 QString());
        const QByteArray before = bytesOf(folder.databasePath());
        InstalledDoubles doors;
        const bool usable = prepareDataFolder(folder.path());
        QVERIFY(!usable);
        QVERIFY(
            doors.boxes.takeTexts().first().contains(QLatin1String("is not a contact database")));
        frmContactMgmt window(folder.path());
        window.load(usable);
        window.show();
        addContact(window, QStringLiteral("New"), QStringLiteral("Person"));
        QCOMPARE(
            doors.boxes.takeTexts(),
            (QStringList{QStringLiteral("There was an error in saving data"), retrievingError}));
        trigger(window, QStringLiteral("createcontactbook"));
        QCOMPARE(doors.boxes.takeTexts(), QStringList{retrievingError});
        addBook(window, QStringLiteral("Work"));
        QCOMPARE(doors.boxes.takeTexts(),
                 QStringList{QStringLiteral("There was an error in adding the new contact book")});
        QCOMPARE(bytesOf(folder.databasePath()), before);
    }

    // Keys another program wrote: negative, nineteen digits, the largest.
    void anyKeyAnotherProgramChoseWorks_data() {
        QTest::addColumn<qint64>("id");
        QTest::newRow("negative") << qint64(-7);
        QTest::newRow("nineteen digits") << qint64(1234567890123456789);
        QTest::newRow("largest") << std::numeric_limits<qint64>::max();
    }
    void anyKeyAnotherProgramChoseWorks() {
        QFETCH(qint64, id);
        MainWindowFixture f;
        f.folder.addContact(business(QStringLiteral("Ann"), QStringLiteral("Lee")));
        f.folder.execute(QStringLiteral("insert into tblContactDetails (pkContactDetailsId, "
                                        "FirstName, LastName, CellPhoneNumber, fkContactType, "
                                        "fkContactBookId) values (%1, 'Odd', 'Key', '555', 2, 1)")
                             .arg(id));
        RecordingTelephony telephony;
        frmContactMgmt& window = f.window();
        click(window, QStringLiteral("cmdBusiness"));
        QVERIFY(f.doors.boxes.texts().isEmpty());
        const int row = listed(window).indexOf(QStringLiteral("Odd|Key"));
        QVERIFY(row >= 0);
        selectRow(window, row);
        QCOMPARE(window.findChild<QLineEdit*>(QStringLiteral("txtFName"))->text(),
                 QStringLiteral("Odd"));
        trigger(window, QStringLiteral("mnuCallCell"));
        QCOMPARE(telephony.requests.size(), 1);
        QCOMPARE(telephony.requests.first().destination, QStringLiteral("555"));

        click(window, QStringLiteral("cmdEditRecord"));
        QCOMPARE(field(window, "txtFirstName"), QStringLiteral("Odd"));
        paste(window.findChild<QLineEdit*>(QStringLiteral("txtFirstName")),
              QStringLiteral("Edited"));
        click(window, QStringLiteral("cmdSave"));
        QVERIFY(f.doors.boxes.texts().isEmpty());
        QCOMPARE(f.folder.contactRow(id)["FirstName"], QStringLiteral("Edited"));

        selectRow(window, listed(window).indexOf(QStringLiteral("Edited|Key")));
        f.doors.boxes.answerYes();
        click(window, QStringLiteral("cmdDeleteRecord"));
        QCOMPARE(f.doors.boxes.takeTexts().last(), QStringLiteral("Record Deleted successfully"));
        QVERIFY(f.folder.contactRow(id).empty());
        QCOMPARE(f.folder.count(QStringLiteral("tblContactDetails")), 1);
    }
};

QTEST_MAIN(OtherProgramsTest)

#include "OtherProgramsTest.moc"
