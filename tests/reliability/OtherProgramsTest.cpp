// The file shared with other programs: a second window, the sqlite3 shell,
// an earlier version of the program, a second start at the same moment, a
// lock holder, a writer killed in a folder the user cannot write, and keys
// another program chose.
#include "ReliabilitySupport.h"

#include "app/Startup.h"
#include "contacts/ContactListView.h"
#include "data/ConnectionString.h"
#include "data/Schema.h"
#include "data/UnicodeCase.h"
#include "editor/ctrRecord.h"
#include "support/DesktopDoubles.h"

#include <sqlite3.h>

using namespace reliability;

namespace {

const QString retrievingError = u"There was an error retrieving data"_s;
const QString savingError = u"There was an error in saving data"_s;
const QString changedElsewhere =
    u"This contact was changed in another window or program after you opened it. "
    "Save your changes over it?"_s;

// Runs the sqlite3 shell on the file; its output, trimmed.
QString shell(const QString& database, const QString& sql) {
    QProcess process;
    process.start(u"sqlite3"_s, {database, sql});
    process.waitForFinished(60000);
    return QString::fromUtf8(process.readAllStandardOutput() + process.readAllStandardError())
        .trimmed();
}

QString field(frmContactMgmt& window, const char* box) {
    return window.findChild<QLineEdit*>(QLatin1String(box))->text();
}

void addBook(frmContactMgmt& window, const QString& name) {
    click(window, "cmdAddBook");
    paste(window.findChild<QLineEdit*>("txtNewBookName"), name);
    click(window, "cmdAddConfirm");
}

// Writes books with the collation an earlier version ordered its book index
// by: every letter of Unicode folded, where SQLite's NOCASE folds ASCII only.
void writeAsEarlierVersion(const QString& path, const QStringList& books) {
    sqlite3* db = nullptr;
    sqlite3_open_v2(QFile::encodeName(path).constData(), &db, SQLITE_OPEN_READWRITE, nullptr);
    sqlite3_create_collation_v2(
        db, "NOCASE", SQLITE_UTF8, nullptr,
        [](void*, int aLength, const void* a, int bLength, const void* b) {
            return compareIgnoringCase(static_cast<const char*>(a), aLength,
                                       static_cast<const char*>(b), bLength);
        },
        nullptr);
    for (const QString& book : books) {
        const QByteArray sql =
            "insert into tblContactBook(ContactBookName) values('" + book.toUtf8() + "')";
        QCOMPARE(sqlite3_exec(db, sql.constData(), nullptr, nullptr, nullptr), SQLITE_OK);
    }
    sqlite3_close_v2(db);
}

// Starts a copy of the real program in `folder`.
void startProgram(QProcess& process, const QString& folder) {
    const QString program = QDir(folder).filePath(u"orvanta-contacts"_s);
    QFile::copy(QStringLiteral(ORVANTA_PROGRAM), program);
    process.start(program, {});
}

} // namespace

class OtherProgramsTest : public QObject {
    Q_OBJECT

private slots:
    // The file gone when the editor loads a contact: the editor closes with
    // its message and nothing typed earlier can be saved over any contact.
    void aFailedLoadLeavesNothingToSave() {
        MainWindowFixture f;
        f.folder.addContact({.firstName = "Xena", .lastName = "Xu", .type = 2});
        f.folder.addContact({.firstName = "Yann", .lastName = "Yu", .type = 2});
        frmContactMgmt& window = f.window();
        f.click("cmdBusiness");
        const QStringList stored = everything(f.folder.path());
        f.clickRow(0);
        f.click("cmdEditRecord");
        f.click("cmdCancel");
        f.click("cmdAddRecord");
        paste(window.findChild<QLineEdit*>("txtFirstName"), u"Brand New"_s);
        f.click("cmdCancel");
        f.clickRow(1);

        const QString path = f.folder.databasePath();
        QVERIFY(QFile::rename(path, path + u".away"_s));
        f.click("cmdEditRecord");
        QCOMPARE(f.doors.boxes.takeTexts(), QStringList{retrievingError});
        QVERIFY(editor(window)->isHidden());
        QVERIFY(!contactList(window)->isHidden());
        QCOMPARE(field(window, "txtFirstName"), QString());
        QVERIFY(QFile::rename(path + u".away"_s, path));
        // Even a Save that got through would find nothing loaded to write.
        window.findChild<QPushButton*>("cmdSave")->click();
        QCOMPARE(everything(f.folder.path()), stored);
        QVERIFY(f.doors.boxes.texts().isEmpty());
    }

    void theLaterOfTwoSavesAsksBeforeUndoingTheEarlier() {
        MainWindowFixture f;
        const qint64 id = f.folder.addContact({.firstName = "Ann",
                                               .lastName = "Lee",
                                               .workPhone = "111",
                                               .email = "ann@old.example",
                                               .type = 2});
        frmContactMgmt& a = f.window();
        frmContactMgmt b(f.folder.path());
        b.load();
        b.show();
        for (frmContactMgmt* window : {&a, &b}) {
            click(*window, "cmdBusiness");
            selectRow(*window, 0);
            click(*window, "cmdEditRecord");
        }
        paste(b.findChild<QLineEdit*>("txtWorkPhone"), u"222"_s);
        click(b, "cmdSave");
        QVERIFY(f.doors.boxes.texts().isEmpty());

        paste(a.findChild<QLineEdit*>("txtEmail"), u"ann@new.example"_s);
        f.doors.boxes.answerNo();
        click(a, "cmdSave");
        QCOMPARE(f.doors.boxes.takeTexts(), QStringList{changedElsewhere});
        QVERIFY(!editor(a)->isHidden());
        QCOMPARE(field(a, "txtEmail"), u"ann@new.example"_s);
        QCOMPARE(f.folder.contactRow(id)["WorkPhoneNumber"], u"222"_s);
        QCOMPARE(f.folder.contactRow(id)["EmailAddress"], u"ann@old.example"_s);

        f.doors.boxes.answerYes();
        click(a, "cmdSave");
        QCOMPARE(f.doors.boxes.takeTexts(), QStringList{changedElsewhere});
        QVERIFY(editor(a)->isHidden());
        QCOMPARE(f.folder.contactRow(id)["EmailAddress"], u"ann@new.example"_s);
        QCOMPARE(f.folder.contactRow(id)["WorkPhoneNumber"], u"111"_s);
    }

    // A file an earlier version wrote, its book index ordered by a collation
    // that folds every letter of Unicode, is repaired at start-up with every
    // row kept. Then the program and the shell share it: the shell adds a
    // book, runs VACUUM and REINDEX and finds the file sound, and the program
    // still lists, adds to and deletes every book.
    void theShellAndTheProgramShareAStandardFile() {
        MainWindowFixture f;
        const QString path = f.folder.databasePath();
        const QString check = u"pragma integrity_check"_s;
        writeAsEarlierVersion(path, {"éa", "Éb", "Ω1", "ω0"});
        f.folder.addContact({.firstName = "Omega", .lastName = "Zero", .type = 2, .bookId = 5});
        QVERIFY(shell(path, check) != u"ok"_s);
        const QStringList stored = everything(f.folder.path());
        QVERIFY(prepareDataFolder(f.folder.path()));
        QVERIFY(f.doors.boxes.shown().isEmpty());
        QCOMPARE(shell(path, check), u"ok"_s);
        QCOMPARE(everything(f.folder.path()), stored);

        frmContactMgmt& window = f.window();
        QCOMPARE(shell(path, u"insert into tblContactBook(ContactBookName) values('Ärger'); "
                             "VACUUM; REINDEX;"_s),
                 QString());
        QCOMPARE(shell(path, check), u"ok"_s);
        f.inBookPane(u"ω0"_s, u"cmdChooseClose"_s);
        f.click("cmdBusiness");
        QCOMPARE(f.listed(), QStringList{"Omega|Zero"});
        addContact(window, u"Second"_s, u"Zero"_s);
        QCOMPARE(f.listed(), (QStringList{"Omega|Zero", "Second|Zero"}));

        f.doors.boxes.clear();
        f.trigger("createcontactbook");
        addBook(window, u"äRGER"_s);
        QCOMPARE(f.doors.boxes.takeTexts(), QStringList{"Please specify a valid contact book "
                                                        "name.\r\nThe provided name is already in "
                                                        "use."});
        addBook(window, u"Ωa"_s);
        QCOMPARE(f.doors.boxes.takeTexts(), QStringList{"New Contact book Added successfully"});
        f.doors.boxes.answerYes();
        f.inBookPane(u"ω0"_s, u"cmdDelete"_s);
        QCOMPARE(f.doors.boxes.takeTexts().last(), u"Contact book Deleted successfully"_s);
        QCOMPARE(shell(path, u"select count(*) from tblContactDetails"_s), u"0"_s);
        QCOMPARE(shell(path, u"select group_concat(ContactBookName, ',') from (select "
                             "ContactBookName from tblContactBook order by pkContactBookId)"_s),
                 u"Default,éa,Éb,Ω1,Ärger,Ωa"_s);
        QCOMPARE(shell(path, check), u"ok"_s);
    }

    // Two starts of the real program on a folder without contacts.mdb, at
    // the same moment, six times over: one sound file every time, both running.
    void twoFirstStartsAtOnceShareOneSoundFile() {
        for (int attempt = 0; attempt < 6; ++attempt) {
            QTemporaryDir folder;
            QProcess first;
            QProcess second;
            startProgram(first, folder.path());
            second.start(first.program(), {});
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
    // (killed, or no record) or another program changed the file since.
    void onlyAnUncleanEndOrAChangedFileCostsAFullCheck() {
        QTemporaryDir folder;
        const QString path = databasePathIn(folder.path());
        CheckDepth depth = CheckDepth::Quick;
        QCOMPARE(prepareDatabaseFile(path, {}, &depth), DatabaseFileState::Created);
        recordCleanExit(path);
        QCOMPARE(prepareDatabaseFile(path, {}, &depth), DatabaseFileState::Ready);
        QCOMPARE(depth, CheckDepth::Quick);
        QCOMPARE(prepareDatabaseFile(path, {}, &depth), DatabaseFileState::Ready);
        QCOMPARE(depth, CheckDepth::Full);
        recordCleanExit(path);
        QTest::qWait(20);
        QCOMPARE(shell(path, u"insert into tblContactBook(ContactBookName) values('x')"_s),
                 QString());
        QCOMPARE(prepareDatabaseFile(path, {}, &depth), DatabaseFileState::Ready);
        QCOMPARE(depth, CheckDepth::Full);
        recordCleanExit(path);
        QProcess run;
        startProgram(run, folder.path());
        QVERIFY(run.waitForStarted());
        QTest::qWait(1500);
        QCOMPARE(run.state(), QProcess::Running);
        run.kill();
        run.waitForFinished();
        QCOMPARE(prepareDatabaseFile(path, {}, &depth), DatabaseFileState::Ready);
        QCOMPARE(depth, CheckDepth::Full);
    }

    // Start-up refuses a file another program keeps locked, or one whose
    // tables lack a column the program writes, and says which; the window
    // opens, every change fails with its message without touching the file,
    // and once the lock is gone the window works.
    void aFileStartUpRefusedIsNeverWritten_data() {
        QTest::addColumn<bool>("locked");
        QTest::addColumn<QString>("told");
        QTest::newRow("locked") << true << u"in use by another program"_s;
        QTest::newRow("foreign") << false << u"is not a contact database"_s;
    }
    void aFileStartUpRefusedIsNeverWritten() {
        QFETCH(bool, locked);
        QFETCH(QString, told);
        ContactFolder folder;
        folder.addContact({.firstName = "Ann", .lastName = "Lee", .type = 2});
        QProcess holder;
        if (locked)
            QVERIFY(startLocked(holder, u"holdLockUntilTold"_s, folder.path()));
        else
            QCOMPARE(shell(folder.databasePath(),
                           u"alter table tblContactDetails drop column Comments"_s),
                     QString());
        const QByteArray before = readBytes(folder.databasePath());
        InstalledDoubles doors;
        QVERIFY(!prepareDataFolder(folder.path()));
        const QStringList message = doors.boxes.takeTexts();
        QCOMPARE(message.size(), 1);
        QVERIFY2(message.first().contains(told), qPrintable(message.first()));
        QCOMPARE(message.first().contains(u"Move it"_s), !locked);
        frmContactMgmt window(folder.path());
        window.load(false);
        window.show();
        QVERIFY(doors.boxes.texts().isEmpty());
        addContact(window, u"New"_s, u"Person"_s);
        QCOMPARE(doors.boxes.takeTexts(), (QStringList{savingError, retrievingError}));
        trigger(window, "createcontactbook");
        QCOMPARE(doors.boxes.takeTexts(), QStringList{retrievingError});
        addBook(window, u"Work"_s);
        QCOMPARE(doors.boxes.takeTexts(),
                 QStringList{"There was an error in adding the new contact book"});
        QCOMPARE(readBytes(folder.databasePath()), before);
        if (!locked)
            return;
        QVERIFY(release(holder));
        addBook(window, u"Work"_s);
        QCOMPARE(doors.boxes.takeTexts(), QStringList{"New Contact book Added successfully"});
        QCOMPARE(folder.count(u"tblContactBook"_s), 2);
    }

    // A writer killed in the middle of a change leaves a journal (or a
    // write-ahead log) that only a user who may write the folder can roll
    // back: any other user is told so, never to move the file, and the file
    // and its journal stay exactly as they are until such a user starts.
    void aJournalInAFolderTheUserCannotWriteIsNotCalledDamage_data() {
        QTest::addColumn<QString>("writer");
        QTest::newRow("rollback journal") << "deleteAllThenWait";
        QTest::newRow("write-ahead log") << "walThenWait";
    }
    void aJournalInAFolderTheUserCannotWriteIsNotCalledDamage() {
        QFETCH(QString, writer);
        ContactFolder folder;
        for (int i = 0; i < 200; ++i)
            folder.addContact({.firstName = "Many", .lastName = QString(500, u'm'), .type = 2});
        const QStringList stored = everything(folder.path());
        QProcess killed;
        QVERIFY(startLocked(killed, writer, folder.path()));
        killed.kill();
        QVERIFY(killed.waitForFinished());
        QVERIFY(hasJournalBeside(folder.databasePath()));
        QDir dir(folder.path());
        const QStringList files = dir.entryList(QDir::Files);
        QMap<QString, QByteArray> before;
        QVERIFY(QFile::setPermissions(folder.databasePath(), readWriteFile));
        for (const QString& name : files)
            before[name] = readBytes(dir.filePath(name));
        QVERIFY(QFile::setPermissions(folder.path(), readOnly));

        QString output;
        const int result = runAsUser(u"startUp"_s, folder.path(), &output);
        QVERIFY(QFile::setPermissions(folder.path(), readOnly | QFile::WriteOwner));
        if (result != -1) {
            QVERIFY2(result == 0, qPrintable(output));
            // Read through the log, the file may well be usable as it is; what
            // the user is never told is that it is damaged or foreign.
            if (writer == u"deleteAllThenWait"_s)
                QVERIFY2(output.contains(u"needs recovery"_s), qPrintable(output));
            for (const char* wrong : {"damaged", "not a contact database", "Move it"})
                QVERIFY2(!output.contains(QLatin1String(wrong)), qPrintable(output));
            QCOMPARE(dir.entryList(QDir::Files), files);
            for (const QString& name : files)
                QCOMPARE(readBytes(dir.filePath(name)), before[name]);
        }
        // A user who may write the folder recovers the file and goes on: the
        // change cut off inside its transaction is rolled back, the one
        // committed to the log is kept.
        InstalledDoubles doors;
        QVERIFY(prepareDataFolder(folder.path()));
        QVERIFY(doors.boxes.shown().isEmpty());
        QCOMPARE(integrity(folder.connectionString()), u"ok"_s);
        QCOMPARE(folder.count(u"tblContactDetails"_s), writer == u"deleteAllThenWait"_s ? 200 : 0);
        if (writer == u"deleteAllThenWait"_s)
            QCOMPARE(everything(folder.path()), stored);
        if (result == -1)
            QSKIP("no ordinary user to run the case as");
    }

    // Keys another program wrote: negative, and the largest.
    void anyKeyAnotherProgramChoseWorks_data() {
        QTest::addColumn<qint64>("id");
        QTest::newRow("negative") << qint64(-7);
        QTest::newRow("largest") << std::numeric_limits<qint64>::max();
    }
    void anyKeyAnotherProgramChoseWorks() {
        QFETCH(qint64, id);
        MainWindowFixture f;
        f.folder.addContact({.firstName = "Ann", .lastName = "Lee", .type = 2});
        f.folder.execute(u"insert into tblContactDetails (pkContactDetailsId, FirstName, "
                         "LastName, CellPhoneNumber, fkContactType, fkContactBookId) values "
                         "(%1, 'Odd', 'Key', '555', 2, 1)"_s.arg(id));
        RecordingTelephony telephony;
        frmContactMgmt& window = f.window();
        f.click("cmdBusiness");
        QVERIFY(f.doors.boxes.texts().isEmpty());
        const int row = f.listed().indexOf(u"Odd|Key"_s);
        QVERIFY(row >= 0);
        f.clickRow(row);
        QCOMPARE(field(window, "txtFName"), u"Odd"_s);
        f.trigger("mnuCallCell");
        QCOMPARE(telephony.requests.size(), 1);
        QCOMPARE(telephony.requests.first().destination, u"555"_s);

        f.click("cmdEditRecord");
        QCOMPARE(field(window, "txtFirstName"), u"Odd"_s);
        paste(window.findChild<QLineEdit*>("txtFirstName"), u"Edited"_s);
        f.click("cmdSave");
        QVERIFY(f.doors.boxes.texts().isEmpty());
        QCOMPARE(f.folder.contactRow(id)["FirstName"], u"Edited"_s);
        f.clickRow(f.listed().indexOf(u"Edited|Key"_s));
        f.doors.boxes.answerYes();
        f.click("cmdDeleteRecord");
        QCOMPARE(f.doors.boxes.takeTexts().last(), u"Record Deleted successfully"_s);
        QVERIFY(f.folder.contactRow(id).empty());
        QCOMPARE(f.folder.count(u"tblContactDetails"_s), 1);
    }
};

QTEST_MAIN(OtherProgramsTest)
#include "OtherProgramsTest.moc"
