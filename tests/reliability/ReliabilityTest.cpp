// The user and the stored contacts when the file, its folder or the disk
// misbehave, or other programs share the file: a second window, the sqlite3
// shell, an earlier version, a second start, lock holders, killed writers.
#include "ReliabilitySupport.h"

#include "app/Startup.h"
#include "contacts/ContactListView.h"
#include "data/ConnectionString.h"
#include "data/Schema.h"
#include "data/UnicodeCase.h"
#include "editor/ctrRecord.h"
#include "support/DesktopDoubles.h"

#include <sqlite3.h>

#include <csignal>
#include <sys/resource.h>

using namespace reliability;

namespace {

const QFile::Permissions readWrite = readOnly | readWriteFile;
const QFile::Permissions exe = QFile::ExeOwner | QFile::ExeGroup | QFile::ExeOther;
const QString retrievingError = u"There was an error retrieving data"_s;
const QString savingError = u"There was an error in saving data"_s;
const QString changedElsewhere =
    u"This contact was changed in another window or program after you opened it. "
    "Save your changes over it?"_s;

// The sqlite3 shell's output, trimmed.
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

// Books written as an earlier version did, its book index ordered with every
// letter of Unicode folded, where SQLite's NOCASE folds ASCII only.
void writeAsEarlierVersion(const QString& path, const char* books) {
    sqlite3* db = nullptr;
    sqlite3_open_v2(QFile::encodeName(path).constData(), &db, SQLITE_OPEN_READWRITE, nullptr);
    sqlite3_create_collation_v2(
        db, "NOCASE", SQLITE_UTF8, nullptr,
        [](void*, int aLength, const void* a, int bLength, const void* b) {
            return compareIgnoringCase(static_cast<const char*>(a), aLength,
                                       static_cast<const char*>(b), bLength);
        },
        nullptr);
    const QByteArray sql = "insert into tblContactBook(ContactBookName) values" + QByteArray(books);
    QCOMPARE(sqlite3_exec(db, sql.constData(), nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close_v2(db);
}

// Starts `copies` of a copy of the real program in `folder` at once, and
// kills them once they have run a while with the file there; false if one ended.
bool runThenKill(const QString& folder, int copies) {
    const QString program = QDir(folder).filePath(u"orvanta-contacts"_s);
    QFile::copy(QStringLiteral(ORVANTA_PROGRAM), program);
    QProcess runs[2];
    for (int i = 0; i < copies; ++i)
        runs[i].start(program, {});
    for (int waited = 0; waited < 200 && !QFile::exists(databasePathIn(folder)); ++waited)
        QTest::qWait(50);
    QTest::qWait(1500);
    bool running = true;
    for (int i = 0; i < copies; ++i) {
        running = running && runs[i].state() == QProcess::Running;
        runs[i].kill();
        runs[i].waitForFinished();
    }
    return running;
}

} // namespace

class ReliabilityTest : public QObject {
    Q_OBJECT

private slots:
    // Of two windows' saves of a contact, the later asks. A contact that fails to
    // load closes the editor: nothing typed earlier can be saved over any. A
    // brief lock is waited for.
    void theLaterOfTwoSavesAsksAndAFailedLoadLeavesNothingToSave() {
        MainWindowFixture f;
        f.folder.addContact({.firstName = "Ann", .workPhone = "111", .email = "a@old", .type = 2});
        f.folder.addContact({.firstName = "Yann", .lastName = "Yu", .type = 2});
        const auto stored = [&] {
            return f.folder.contactRow(1)["WorkPhoneNumber"] + u'|' +
                   f.folder.contactRow(1)["EmailAddress"];
        };
        frmContactMgmt& a = f.window();
        {
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
        }
        QVERIFY(f.doors.boxes.texts().isEmpty());
        paste(a.findChild<QLineEdit*>("txtEmail"), u"a@new"_s);
        f.doors.boxes.answerNo();
        click(a, "cmdSave");
        QCOMPARE(f.doors.boxes.takeTexts(), QStringList{changedElsewhere});
        QVERIFY(!editor(a)->isHidden());
        QCOMPARE(field(a, "txtEmail"), u"a@new"_s);
        QCOMPARE(stored(), u"222|a@old"_s);
        f.doors.boxes.answerYes();
        click(a, "cmdSave");
        QCOMPARE(f.doors.boxes.takeTexts(), QStringList{changedElsewhere});
        QVERIFY(editor(a)->isHidden());
        QCOMPARE(stored(), u"111|a@new"_s);

        const QStringList all = everything(f.folder.path());
        f.click("cmdAddRecord");
        paste(a.findChild<QLineEdit*>("txtFirstName"), u"Brand New"_s);
        f.click("cmdCancel");
        f.clickRow(1);
        const QString path = f.folder.databasePath();
        QVERIFY(QFile::rename(path, path + u".away"_s));
        f.click("cmdEditRecord");
        QCOMPARE(f.doors.boxes.takeTexts(), QStringList{retrievingError});
        QVERIFY(editor(a)->isHidden());
        QVERIFY(!contactList(a)->isHidden());
        QCOMPARE(field(a, "txtFirstName"), QString());
        QVERIFY(QFile::rename(path + u".away"_s, path));
        a.findChild<QPushButton*>("cmdSave")->click(); // as if it got through
        QCOMPARE(everything(f.folder.path()), all);
        QVERIFY(f.doors.boxes.texts().isEmpty());

        QProcess brief; // holds the write lock for a second: the save waits
        QVERIFY(startLocked(brief, u"holdLockBriefly"_s, f.folder.path()));
        addContact(a, u"Held"_s, u"Briefly"_s);
        QCOMPARE(f.doors.boxes.takeTexts(), QStringList{"Record saved sucessfuly"});
        // Waiting for the window's list may already have seen the holder end.
        QVERIFY(brief.state() == QProcess::NotRunning || brief.waitForFinished());
        QCOMPARE(brief.exitCode(), 0);
        QVERIFY(f.listed().contains(u"Held|Briefly"_s));
    }

    // An earlier version's file is repaired at start-up, every row kept; the
    // shell's VACUUM and REINDEX find it sound, the program uses every book.
    void theShellAndTheProgramShareAStandardFile() {
        MainWindowFixture f;
        const QString path = f.folder.databasePath();
        const QString check = u"pragma integrity_check"_s;
        writeAsEarlierVersion(path, "('éa'), ('Éb'), ('Ω1'), ('ω0')");
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

    // Two first starts at the same moment, six times over: one sound file.
    // Then every page is read only after an unclean end (killed, or no
    // record) or another program's change.
    void twoFirstStartsShareOneSoundFileAndOnlyAnUncleanEndCostsAFullCheck() {
        for (int attempt = 0; attempt < 6; ++attempt) {
            QTemporaryDir folder;
            QVERIFY(runThenKill(folder.path(), 2));
            QCOMPARE(checkDatabaseFile(databasePathIn(folder.path())), DatabaseFileState::Ready);
            ContactFolder delivered;
            QCOMPARE(everything(folder.path()), everything(delivered.path()));
            QCOMPARE(QDir(folder.path()).entryList(QDir::Files),
                     (QStringList{"contacts.mdb", "orvanta-contacts"}));
        }
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
        QVERIFY(runThenKill(folder.path(), 1));
        QCOMPARE(prepareDatabaseFile(path, {}, &depth), DatabaseFileState::Ready);
        QCOMPARE(depth, CheckDepth::Full);
    }

    // Start-up refuses a locked file, or one that is no sound contact database
    // (of some 25 pages), and says which; it never writes nor "repairs" it.
    // The window opens; every change fails until the lock is gone.
    void aFileStartUpRefusedIsNeverWritten_data() {
        QTest::addColumn<qint64>("at");          // where `written` goes over the file; -1: no bytes
        QTest::addColumn<QByteArray>("written"); // with -1, the column dropped, if any
        QTest::addColumn<bool>("endsThere");
        QTest::addColumn<QString>("told");
        const QString foreign = u"is not a contact database"_s, damaged = u"is damaged"_s;
        QTest::newRow("locked") << -1LL << QByteArray() << false << u"in use by another program"_s;
        QTest::newRow("a column dropped") << -1LL << QByteArray("Comments") << false << foreign;
        QTest::newRow("text file") << 0LL << QByteArray("my notes") << true << foreign;
        QTest::newRow("empty file") << 0LL << QByteArray() << true << foreign;
        QTest::newRow("truncated") << 8LL * 4096 << QByteArray() << true << damaged;
        QTest::newRow("a page's head") << 3LL * 4096 << QByteArray(16, '\xA5') << false << damaged;
    }
    void aFileStartUpRefusedIsNeverWritten() {
        QFETCH(qint64, at);
        QFETCH(QByteArray, written);
        QFETCH(bool, endsThere);
        QFETCH(QString, told);
        const bool locked = at < 0 && written.isEmpty();
        ContactFolder folder;
        for (int i = 0; i < 300; ++i)
            folder.addContact({.firstName = u"N%1"_s.arg(i), .comments = QString(300, u'x')});
        QProcess holder;
        QFile file(folder.databasePath());
        if (locked)
            QVERIFY(startLocked(holder, u"holdLockUntilTold"_s, folder.path()));
        else if (at < 0)
            folder.execute(u"alter table tblContactDetails drop column "_s + written);
        else
            QVERIFY(file.open(QIODevice::ReadWrite) && file.size() > 2 * at && file.seek(at) &&
                    file.write(written) == written.size() &&
                    (!endsThere || file.resize(at + written.size())));
        file.close();
        const QByteArray before = readBytes(folder.databasePath());
        InstalledDoubles doors;
        QVERIFY(!prepareDataFolder(folder.path()));
        QCOMPARE(doors.boxes.shown().size(), 1);
        QCOMPARE(doors.boxes.shown().first().icon, platform::Icon::Critical);
        const QString text = doors.boxes.takeTexts().first();
        QVERIFY2(text.contains(told), qPrintable(text));
        QCOMPARE(text.contains(u"Move it elsewhere"_s), !locked);
        QCOMPARE(QDir(folder.path()).entryList(QDir::Files), QStringList{"contacts.mdb"});
        if (at >= 0) {
            QCOMPARE(readBytes(folder.databasePath()), before);
            return;
        }
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

    // A killed writer's journal (or log) is rolled back by one who may write
    // the folder; any other user is told so, never to move the file.
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
            // Read through the log, the file may be usable as it is; never damaged.
            if (writer == u"deleteAllThenWait"_s)
                QVERIFY2(output.contains(u"needs recovery"_s), qPrintable(output));
            for (const char* wrong : {"damaged", "not a contact database", "Move it"})
                QVERIFY2(!output.contains(QLatin1String(wrong)), qPrintable(output));
            QCOMPARE(dir.entryList(QDir::Files), files);
            for (const QString& name : files)
                QCOMPARE(readBytes(dir.filePath(name)), before[name]);
        }
        // One who may write it rolls back the cut-off change, keeps the logged one.
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

    void anyKeyAnotherProgramChoseWorks() {
        MainWindowFixture f;
        f.folder.addContact({.firstName = "Ann", .lastName = "Lee", .type = 2});
        const QList<qint64> ids{-7, std::numeric_limits<qint64>::max()};
        for (const qint64 id : ids)
            f.folder.execute(u"insert into tblContactDetails (pkContactDetailsId, FirstName, "
                             "LastName, CellPhoneNumber, fkContactType, fkContactBookId) values "
                             "(%1, 'K%1', 'Key', '%1', 2, 1)"_s.arg(id));
        RecordingTelephony telephony;
        frmContactMgmt& window = f.window();
        for (const qint64 id : ids) {
            f.click("cmdBusiness");
            QVERIFY(f.doors.boxes.texts().isEmpty());
            const QString key = QString::number(id);
            f.clickRow(f.listed().indexOf(u"K%1|Key"_s.arg(id)));
            QCOMPARE(field(window, "txtFName"), u'K' + key);
            f.trigger("mnuCallCell");
            QCOMPARE(telephony.requests.value(ids.indexOf(id)).destination, key);
            f.click("cmdEditRecord");
            QCOMPARE(field(window, "txtFirstName"), u'K' + key);
            paste(window.findChild<QLineEdit*>("txtFirstName"), u"Edited"_s);
            f.click("cmdSave");
            QVERIFY(f.doors.boxes.texts().isEmpty());
            QCOMPARE(f.folder.contactRow(id)["FirstName"], u"Edited"_s);
            f.clickRow(f.listed().indexOf(u"Edited|Key"_s));
            f.doors.boxes.answerYes();
            f.click("cmdDeleteRecord");
            QCOMPARE(f.doors.boxes.takeTexts().last(), u"Record Deleted successfully"_s);
            QVERIFY(f.folder.contactRow(id).empty());
        }
        QCOMPARE(f.folder.count(u"tblContactDetails"_s), 1);
    }

    // An ordinary user who may not change the file, or not write its folder,
    // sees the contacts; every change is refused, nothing written.
    void whatTheUserMayNotWriteStaysAsItWas() {
        for (const bool readOnlyFile : {true, false}) {
            ContactFolder folder;
            folder.addContact(
                {.firstName = "Ann", .lastName = "Lee", .comments = "1\r\n2", .type = 2});
            folder.addContact({.firstName = "Bob", .lastName = "Stone", .type = 2});
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
            const int result = runAsUser(readOnlyFile ? u"readOnlyFile"_s : u"unwritableFolder"_s,
                                         folder.path(), &output);
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
    }

    // A file size limit stands in for a full disk: the user is told, the
    // previous attachment stays whole.
    void aDiskRefusingTheCsvFileKeepsThePreviousOne() {
        MainWindowFixture f;
        f.folder.addContact({.firstName = "Ann", .comments = QString(100000, u'c')});
        const QString attachment = QDir(f.folder.path()).filePath(u"attachment.csv"_s);
        writeFile(attachment, "previous export\r\n");
        f.window();
        rlimit old{};
        QCOMPARE(getrlimit(RLIMIT_FSIZE, &old), 0);
        const rlimit small{8192, old.rlim_max};
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

    // A writer saving in a loop, killed three times over: every save that
    // returned is there, the file is sound, and start-up accepts it.
    void aWriterKilledWhileSavingLosesNothingThatWasSaved() {
        ContactFolder folder;
        QStringList reported;
        for (int kills : {1, 7, 20}) {
            QProcess writer;
            startChild(writer, u"saveInALoop"_s, folder.path());
            QByteArray seen;
            const qsizetype earlier = reported.size();
            while (reported.size() - earlier < kills) {
                while (!writer.canReadLine())
                    QVERIFY2(writer.waitForReadyRead(60000), seen.constData());
                const QByteArray line = writer.readLine().trimmed();
                seen += line + '\n';
                if (line.startsWith("SAVED "))
                    reported << QString::fromUtf8(line.mid(6));
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

QTEST_MAIN(ReliabilityTest)
#include "ReliabilityTest.moc"
