// The parts of the reliability cases that run in a process of their own: a
// second program holding a lock, a writer that gets killed, and the cases
// that must run as an ordinary user. A parent case starts this executable
// with the mode in its environment.
#include "ReliabilitySupport.h"

#include "app/Startup.h"
#include "app/frmContactMgmt.h"
#include "data/ConnectionString.h"
#include "editor/ctrRecord.h"
#include "support/Doubles.h"
#include "support/RecordingPrinter.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QThread>

#include <sqlite3.h>

#include <cstdio>
#include <iostream>
#include <string>

using namespace reliability;

namespace {

void say(const char* line) {
    std::printf("%s\n", line);
    std::fflush(stdout);
}

// Another program takes the write lock on the file and holds it: for about
// a second, or, with `untilTold`, until a line arrives on its input. With
// `deleteAll` it deletes every contact inside its transaction first and is
// meant to be killed before it commits.
void holdLock(bool untilTold, bool deleteAll = false) {
    sqlite3* db = nullptr;
    QVERIFY(sqlite3_open_v2(QFile::encodeName(databasePathIn(childFolder())).constData(), &db,
                            SQLITE_OPEN_READWRITE, nullptr) == SQLITE_OK);
    QVERIFY(sqlite3_exec(db, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr) == SQLITE_OK);
    if (deleteAll) {
        QVERIFY(sqlite3_exec(db, "PRAGMA cache_size = 1", nullptr, nullptr, nullptr) == SQLITE_OK);
        QVERIFY(sqlite3_exec(db, "DELETE FROM tblContactDetails", nullptr, nullptr, nullptr) ==
                SQLITE_OK);
    }
    say("LOCKED");
    if (untilTold) {
        std::string line;
        std::getline(std::cin, line);
    } else {
        QThread::msleep(1000);
    }
    sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_close(db);
}

// Deletes every contact in write-ahead-log mode and waits to be killed, so
// the log is left beside the file with a change not yet checkpointed.
void writeAheadThenWait() {
    sqlite3* db = nullptr;
    QVERIFY(sqlite3_open_v2(QFile::encodeName(databasePathIn(childFolder())).constData(), &db,
                            SQLITE_OPEN_READWRITE, nullptr) == SQLITE_OK);
    for (const char* sql : {"PRAGMA journal_mode = WAL", "PRAGMA wal_autocheckpoint = 0",
                            "DELETE FROM tblContactDetails"})
        QVERIFY(sqlite3_exec(db, sql, nullptr, nullptr, nullptr) == SQLITE_OK);
    say("LOCKED");
    std::string line;
    std::getline(std::cin, line);
    sqlite3_close(db);
}

// Start-up on the folder as this user; prints what the user was told.
void startUp() {
    InstalledDoubles doors;
    prepareDataFolder(childFolder());
    for (const QString& text : doors.boxes.texts())
        say(qPrintable(text));
}

// Saves contacts through the editor for ever, telling each one whose save
// has returned with its success message; the parent kills it.
void saveInALoop() {
    InstalledDoubles doors;
    ctrRecord editor;
    ContactStore store(connectionStringFor(childFolder()));
    store.setCurrentBook(QStringLiteral("Default"));
    editor.setStore(&store);
    editor.bIsUpdateRequest = false;
    const QString comment = QString(2000, QLatin1Char('c'));
    for (int i = 1;; ++i) {
        editor.setupcontrol();
        editor.findChild<QLineEdit*>(QStringLiteral("txtFirstName"))
            ->setText(QStringLiteral("Writer"));
        const QString name =
            QString::number(QCoreApplication::applicationPid()) + u'-' + QString::number(i);
        editor.findChild<QLineEdit*>(QStringLiteral("txtLastName"))->setText(name);
        editor.findChild<QPlainTextEdit*>(QStringLiteral("txtComments"))->setPlainText(comment);
        QTest::mouseClick(editor.findChild<QPushButton*>(QStringLiteral("cmdSave")),
                          Qt::LeftButton);
        if (doors.boxes.takeTexts() != QStringList{QStringLiteral("Record saved sucessfuly")})
            return;
        say(qPrintable(QStringLiteral("SAVED ") + name));
    }
}

// The folder holds two Business contacts (Ann Lee, Bob Stone), the book
// "Family" and attachment.csv; the user may read but not change the file.
void readOnlyFile() {
    InstalledDoubles doors;
    RecordingPrinter printer;
    frmContactMgmt window(childFolder());
    window.load();
    window.show();
    click(window, QStringLiteral("cmdBusiness"));
    QCOMPARE(listed(window), (QStringList{"Ann|Lee", "Bob|Stone"}));
    selectRow(window, 0);
    QCOMPARE(window.findChild<QLineEdit*>(QStringLiteral("txtFName"))->text(),
             QStringLiteral("Ann"));
    QVERIFY(doors.boxes.shown().isEmpty());

    addContact(window, QStringLiteral("New"), QStringLiteral("Person"));
    QCOMPARE(doors.boxes.takeTexts(), QStringList{"There was an error in saving data"});

    selectRow(window, 0);
    click(window, QStringLiteral("cmdEditRecord"));
    paste(window.findChild<QLineEdit*>(QStringLiteral("txtFirstName")), QStringLiteral("Anna"));
    click(window, QStringLiteral("cmdSave"));
    QCOMPARE(doors.boxes.takeTexts(), QStringList{"There was an error retrieving data"});

    selectRow(window, 1);
    doors.boxes.answerYes();
    click(window, QStringLiteral("cmdDeleteRecord"));
    QCOMPARE(doors.boxes.takeTexts().last(), QStringLiteral("Record could not be deleted"));

    trigger(window, QStringLiteral("createcontactbook"));
    click(window, QStringLiteral("cmdAddBook"));
    paste(window.findChild<QLineEdit*>(QStringLiteral("txtNewBookName")), QStringLiteral("Work"));
    click(window, QStringLiteral("cmdAddConfirm"));
    QCOMPARE(doors.boxes.takeTexts(),
             QStringList{"There was an error in adding the new contact book"});
    auto* books = window.findChild<QListWidget*>(QStringLiteral("lstContactBooks"));
    books->setCurrentRow(1);
    doors.boxes.answerYes();
    click(window, QStringLiteral("cmdDelete"));
    QCOMPARE(doors.boxes.takeTexts().last(), QStringLiteral("Contact book could not be deleted"));
    books->setCurrentRow(0);
    click(window, QStringLiteral("cmdChooseClose"));

    doors.boxes.answerYes();
    trigger(window, QStringLiteral("mnuPrintContactBook"));
    QCOMPARE(doors.boxes.takeTexts().size(), 1); // the question only
    QCOMPARE(printer.documents.size(), 1);
    QVERIFY(RecordingPrinter::texts(printer.documents[0]).join(u'\n').contains(u"Stone"));

    // attachment.csv is read-only too: the export is refused, nothing mailed.
    doors.boxes.answerYes();
    click(window, QStringLiteral("cmdEmailRecord"));
    QCOMPARE(doors.boxes.takeTexts().last(), QStringLiteral("There was an error retrieving data"));
    QVERIFY(doors.mail.sent.isEmpty());
    QCOMPARE(doors.boxes.unansweredQuestions(), 0);
}

// The folder may be read but not written; contacts.mdb itself is writable
// and its sub-folder "empty" holds no database.
void unwritableFolder() {
    InstalledDoubles doors;
    QVERIFY(!prepareDataFolder(QDir(childFolder()).filePath(QStringLiteral("empty"))));
    QVERIFY(doors.boxes.takeTexts().first().contains(QLatin1String("could not be created")));
    QVERIFY(!QFile::exists(QDir(childFolder()).filePath(QStringLiteral("empty/contacts.mdb"))));

    QVERIFY(prepareDataFolder(childFolder()));
    frmContactMgmt window(childFolder());
    window.load();
    window.show();
    click(window, QStringLiteral("cmdBusiness"));
    QCOMPARE(listed(window), (QStringList{"Ann|Lee", "Bob|Stone"}));

    // A change needs its journal beside the file, which the folder refuses.
    addContact(window, QStringLiteral("New"), QStringLiteral("Person"));
    QCOMPARE(doors.boxes.takeTexts(), QStringList{"There was an error in saving data"});

    doors.boxes.answerYes();
    click(window, QStringLiteral("cmdEmailRecord"));
    QCOMPARE(doors.boxes.takeTexts().last(), QStringLiteral("There was an error retrieving data"));
    QVERIFY(doors.mail.sent.isEmpty());
    QCOMPARE(listed(window), (QStringList{"Ann|Lee", "Bob|Stone"}));
}

} // namespace

class ChildModes : public QObject {
    Q_OBJECT

private slots:
    void run() {
        const QString mode = childMode();
        if (mode.isEmpty())
            QSKIP("runs only in a child process that a reliability case starts");
        if (mode == QLatin1String("holdLockBriefly"))
            holdLock(false);
        else if (mode == QLatin1String("holdLockUntilTold"))
            holdLock(true);
        else if (mode == QLatin1String("deleteAllThenWait"))
            holdLock(true, true);
        else if (mode == QLatin1String("walThenWait"))
            writeAheadThenWait();
        else if (mode == QLatin1String("startUp"))
            startUp();
        else if (mode == QLatin1String("saveInALoop"))
            saveInALoop();
        else if (mode == QLatin1String("readOnlyFile"))
            readOnlyFile();
        else if (mode == QLatin1String("unwritableFolder"))
            unwritableFolder();
        else
            QFAIL(qPrintable(QStringLiteral("unknown child mode ") + mode));
    }
};

QTEST_MAIN(ChildModes)
#include "ChildModes.moc"
