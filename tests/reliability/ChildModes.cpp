// The parts of the reliability cases that run in a process of their own,
// started by a parent case with the mode in its environment.
#include "ReliabilitySupport.h"

#include "app/Startup.h"
#include "data/ConnectionString.h"
#include "editor/ctrRecord.h"
#include "support/RecordingPrinter.h"

#include <QCoreApplication>
#include <QThread>

#include <sqlite3.h>

#include <iostream>
#include <string>

namespace {

QString childFolder() {
    return qEnvironmentVariable("ORVANTA_RELIABILITY_FOLDER");
}

// Another program runs `sql` on the file and holds on: for about a second,
// or until a line arrives on its input (or it is killed).
void holdOn(const QList<const char*>& sql, bool untilTold) {
    sqlite3* db = nullptr;
    QVERIFY(sqlite3_open_v2(QFile::encodeName(databasePathIn(childFolder())).constData(), &db,
                            SQLITE_OPEN_READWRITE, nullptr) == SQLITE_OK);
    for (const char* statement : sql)
        QVERIFY(sqlite3_exec(db, statement, nullptr, nullptr, nullptr) == SQLITE_OK);
    std::cout << "LOCKED" << std::endl;
    std::string line;
    if (untilTold)
        std::getline(std::cin, line);
    else
        QThread::msleep(1000);
    sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_close(db);
}

// Start-up on the folder as this user; prints what the user was told.
void startUp() {
    InstalledDoubles doors;
    prepareDataFolder(childFolder());
    for (const QString& text : doors.boxes.texts())
        std::cout << qPrintable(text) << std::endl;
}

// Saves contacts through the editor until killed, telling each saved one.
void saveInALoop() {
    InstalledDoubles doors;
    ctrRecord editor;
    ContactStore store(connectionStringFor(childFolder()));
    store.setCurrentBook(u"Default"_s);
    editor.setStore(&store);
    for (int i = 1;; ++i) {
        editor.startAdding();
        editor.findChild<QLineEdit*>("txtFirstName")->setText(u"Writer"_s);
        const QString name = u"%1-%2"_s.arg(QCoreApplication::applicationPid()).arg(i);
        editor.findChild<QLineEdit*>("txtLastName")->setText(name);
        editor.findChild<QPlainTextEdit*>("txtComments")->setPlainText(QString(2000, u'c'));
        QTest::mouseClick(editor.findChild<QPushButton*>("cmdSave"), Qt::LeftButton);
        if (doors.boxes.takeTexts() != QStringList{u"Record saved sucessfuly"_s})
            return;
        std::cout << "SAVED " << qPrintable(name) << std::endl;
    }
}

// Two Business contacts, the book "Family" and attachment.csv in a read-only
// file, or an unwritable folder whose sub-folder "empty" holds no database.
void mayNotWrite(bool fileReadOnly) {
    InstalledDoubles doors;
    RecordingPrinter printer;
    if (!fileReadOnly) {
        QVERIFY(!prepareDataFolder(QDir(childFolder()).filePath(u"empty"_s)));
        QVERIFY(doors.boxes.takeTexts().first().contains(QLatin1String("could not be created")));
        QVERIFY(!QFile::exists(QDir(childFolder()).filePath(u"empty/contacts.mdb"_s)));
        QVERIFY(prepareDataFolder(childFolder()));
    }
    frmContactMgmt window(childFolder());
    window.load();
    window.show();
    click(window, "cmdBusiness");
    QCOMPARE(listed(window), (QStringList{"Ann|Lee", "Bob|Stone"}));
    QVERIFY(doors.boxes.shown().isEmpty());
    addContact(window, u"New"_s, u"Person"_s);
    QCOMPARE(doors.boxes.takeTexts(), QStringList{"There was an error in saving data"});
    doors.boxes.answerYes();
    click(window, "cmdEmailRecord");
    QCOMPARE(doors.boxes.takeTexts().last(), u"There was an error retrieving data"_s);
    QVERIFY(doors.mail.sent.isEmpty());
    QCOMPARE(listed(window), (QStringList{"Ann|Lee", "Bob|Stone"}));
    if (!fileReadOnly)
        return;

    selectRow(window, 0);
    QCOMPARE(window.findChild<QLineEdit*>("txtFName")->text(), u"Ann"_s);
    click(window, "cmdEditRecord");
    paste(window.findChild<QLineEdit*>("txtFirstName"), u"Anna"_s);
    click(window, "cmdSave");
    QCOMPARE(doors.boxes.takeTexts(), QStringList{"There was an error retrieving data"});

    selectRow(window, 1);
    doors.boxes.answerYes();
    click(window, "cmdDeleteRecord");
    QCOMPARE(doors.boxes.takeTexts().last(), u"Record could not be deleted"_s);

    trigger(window, "createcontactbook");
    auto* books = window.findChild<QListWidget*>("lstContactBooks");
    books->setCurrentRow(1);
    doors.boxes.answerYes();
    click(window, "cmdDelete");
    QCOMPARE(doors.boxes.takeTexts().last(), u"Contact book could not be deleted"_s);
    books->setCurrentRow(0);
    click(window, "cmdChooseClose");

    doors.boxes.answerYes();
    trigger(window, "mnuPrintContactBook");
    QCOMPARE(doors.boxes.takeTexts().size(), 1); // the question only
    QCOMPARE(printer.documents.size(), 1);
    QVERIFY(RecordingPrinter::texts(printer.documents[0]).join(u'\n').contains(u"Stone"));
    QCOMPARE(doors.boxes.unansweredQuestions(), 0);
}

} // namespace

class ChildModes : public QObject {
    Q_OBJECT

private slots:
    void run() {
        const QString mode = qEnvironmentVariable("ORVANTA_RELIABILITY_CHILD");
        if (mode.isEmpty())
            QSKIP("runs only in a child process that a reliability case starts");
        const char* deleteAll = "DELETE FROM tblContactDetails";
        // The last two leave a rollback journal, or a write-ahead log not yet
        // checkpointed, holding the deletion of every contact.
        const QMap<QString, QList<const char*>> holds{
            {u"holdLockBriefly"_s, {"BEGIN EXCLUSIVE"}},
            {u"holdLockUntilTold"_s, {"BEGIN EXCLUSIVE"}},
            {u"deleteAllThenWait"_s, {"BEGIN EXCLUSIVE", "PRAGMA cache_size = 1", deleteAll}},
            {u"walThenWait"_s,
             {"PRAGMA journal_mode = WAL", "PRAGMA wal_autocheckpoint = 0", deleteAll}}};
        if (holds.contains(mode))
            holdOn(holds[mode], mode != u"holdLockBriefly"_s);
        else if (mode == u"startUp"_s)
            startUp();
        else if (mode == u"saveInALoop"_s)
            saveInALoop();
        else if (mode == u"readOnlyFile"_s || mode == u"unwritableFolder"_s)
            mayNotWrite(mode == u"readOnlyFile"_s);
        else
            QFAIL(qPrintable(u"unknown child mode "_s + mode));
    }
};

QTEST_MAIN(ChildModes)
#include "ChildModes.moc"
