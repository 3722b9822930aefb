// The book e-mailed as CSV, a number dialled, the book printed.
#include "formats/CsvExport.h"
#include "platform/Background.h"
#include "platform/XdgMail.h"
#include "support/DesktopDoubles.h"
#include "support/FileDialogDouble.h"
#include "support/MainWindowFixture.h"
#include "support/RecordingPrinter.h"

#include <QDesktopServices>
#include <QMenu>
#include <QPrinterInfo>
#include <QProcess>
#include <QProgressDialog>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QSemaphore>

#include <atomic>

// Catches the links of one scheme the desktop would open.
class UrlCatcher : public QObject {
    Q_OBJECT
public:
    explicit UrlCatcher(const QString& scheme) : scheme(scheme) {
        QDesktopServices::setUrlHandler(scheme, this, "open");
    }
    ~UrlCatcher() override { QDesktopServices::unsetUrlHandler(scheme); }
    const QString scheme;
    QList<QUrl> urls;
public slots:
    void open(const QUrl& url) { urls << url; }
};

namespace {

const QString question =
    u"Click Yes to send the current contact book\r\nor No to send the selected contacts only"_s;
const QString retrievalError = u"There was an error retrieving data"_s;
const QString bookQuestion = u"Print the complete contact book?"_s;
const QString recordQuestion = u"Click Yes to Print the current contact details."_s;
const QString bookFailure = u"An error occured while printing the contact book."_s;
const QString refused = u"The mail program did not take the message."_s;

QString savedAs(const QString& pdf) {
    return u"The printout was saved as %1."_s.arg(QDir::toNativeSeparators(pdf));
}

QStringList firstNames(const QByteArray& csv) {
    QStringList names;
    for (const QStringList& record : parseCsv(csv).mid(1))
        names << record.first();
    return names;
}

QString attachment(MainWindowFixture& f) {
    return f.folder.path() + u"/attachment.csv"_s;
}

// Answers the question `command` (a button or a menu item) asks with `answer`.
void answered(MainWindowFixture& f, const QString& command,
              platform::Answer answer = platform::Answer::Yes) {
    f.doors.boxes.answerNext(answer);
    if (child<QAction>(f.window(), command))
        f.trigger(command);
    else
        f.click(command);
}

// Runs a long menu command with its worker held at its first step and,
// once its progress dialog shows with `label`, clicks Cancel.
void cancelLongWork(MainWindowFixture& f, const char* menuItem, const QString& label) {
    QSemaphore release;
    std::atomic<bool> first{true};
    f.window().longWork().setStepGate([&] {
        if (first.exchange(false))
            release.acquire();
    });
    f.doors.boxes.answerYes();
    child<QAction>(f.window(), QLatin1String(menuItem))->trigger(); // without waiting
    QProgressDialog* dialog = nullptr;
    QTRY_VERIFY((dialog = f.window().findChild<QProgressDialog*>(u"longWorkProgress"_s)) &&
                dialog->isVisible());
    QTRY_COMPARE(dialog->labelText(), label);
    QTest::mouseClick(dialog->findChild<QPushButton*>(), Qt::LeftButton);
    release.release();
    waitUntilSettled(f.window());
    f.window().longWork().setStepGate({});
}

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

class SharingTest : public QObject {
    Q_OBJECT

private slots:
    // Yes sends the whole book, No the selection, Escape nothing. Printing asks
    // too and tells each failure; without a printer the user names the PDF
    // file, and is told.
    void emailingAndPrintingTheBookOrTheSelection() {
        MainWindowFixture f;
        RecordingPrinter printer;
        ScriptedFileDialogs dialogs;
        f.folder.addContact({.firstName = "Ann", .lastName = "Lee"});
        f.folder.addContact({.firstName = "Bo", .lastName = "Berg"});
        f.window();
        for (const char* button : {"cmdEmailRecord", "Command1_3"})
            answered(f, QLatin1String(button));
        answered(f, "emailcontactbook");
        answered(f, "cmdEmailRecord", platform::Answer::No);
        answered(f, "mnuPrintContactBook", platform::Answer::No);
        f.click("cmdPrintRecord");
        QCOMPARE(f.doors.boxes.shown().value(6).icon, platform::Icon::Exclamation);
        QCOMPARE(f.doors.boxes.takeTexts(),
                 QStringList(4, question) << u"Please select a contact to email"_s << bookQuestion
                                          << u"Please select a contact to print"_s);
        f.click("cmdPersonal");
        f.selectRows({1});
        answered(f, "cmdEmailRecord", platform::Answer::No);
        QStringList sent;
        for (const QByteArray& file : f.doors.mail.attachmentContents)
            sent << firstNames(file).join(u'+');
        QCOMPARE(sent, (QStringList{"Ann+Bo", "Ann+Bo", "Ann+Bo", "Bo"}));
        const platform::MailMessage& m = f.doors.mail.sent.last();
        QCOMPARE((QStringList{m.subject, m.noteText, m.attachmentPathName, m.attachmentName}),
                 (QStringList{"Contacts", "Please type a personal message here", attachment(f),
                              "Contacts.csv"}));

        QVERIFY(QFile::remove(attachment(f)));
        answered(f, "cmdEmailRecord", platform::Answer::Cancel);
        answered(f, "emailcontactbook", platform::Answer::Cancel);
        QCOMPARE(f.doors.boxes.takeTexts(), QStringList(3, question));
        QCOMPARE(f.doors.mail.sent.size(), 4);
        QVERIFY(!QFile::exists(attachment(f)));

        printer.failAtLine = 3;
        answered(f, "mnuPrintContactBook");
        QCOMPARE(f.doors.boxes.shown().value(1).icon, platform::Icon::Critical);
        answered(f, "cmdPrintRecord");
        QCOMPARE(f.doors.boxes.takeTexts(),
                 QStringList({bookQuestion, bookFailure, recordQuestion,
                              u"An error occured while printing the selected records."_s}));
        QCOMPARE(printer.aborted, 2);
        printer.failAtLine = -1;
        answered(f, "cmdPrintRecord");
        QCOMPARE(printer.documents.size(), 1);
        QCOMPARE(printer.documents[0].first(), (PrintedLine{"Bo  Berg", 300, true}));
        QVERIFY(dialogs.shown.isEmpty() && printer.pdfFile.isEmpty());

        printer.noPrinter = true;
        const QString pdf = f.folder.path() + u"/one.pdf"_s;
        dialogs.choose(pdf);
        answered(f, "cmdPrintRecord");
        QCOMPARE(printer.pdfFile, pdf);
        dialogs.choose(QString());
        answered(f, "mnuPrintContactBook");
        QCOMPARE(printer.documents.size(), 2);
        QCOMPARE(dialogs.shown.size(), 2);
        QCOMPARE(QFileInfo(dialogs.shown[0].path).fileName(), u"Contacts.pdf"_s);
        QCOMPARE(f.doors.boxes.texts(),
                 (QStringList{recordQuestion, recordQuestion, savedAs(pdf), bookQuestion}));
    }

    // The real door hands xdg-email a copy in a folder only this user may enter,
    // and returns while it runs. The copy stays until the next send or start;
    // a refused send leaves none; nothing else in the runtime folder is touched.
    void theRealMailDoorRunsXdgEmail() {
        QTemporaryDir runtime, bin, outside;
        const QByteArray oldRuntime = qgetenv("XDG_RUNTIME_DIR"), oldPath = qgetenv("PATH");
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path()));
        qputenv("PATH", QFile::encodeName(bin.path()) + ':' + oldPath);
        const auto restore = qScopeGuard([&] {
            qputenv("XDG_RUNTIME_DIR", oldRuntime);
            qputenv("PATH", oldPath);
        });
        // Records its arguments, waits a while at most for "go", exits with "code".
        const QString script = bin.filePath(u"xdg-email"_s), go = bin.filePath(u"go"_s);
        writeFile(script, u"#!/bin/sh\nprintf '%s\\n' \"$@\" > '%1/args'\n"
                          u"i=0; while [ ! -e '%1/go' ] && [ $i -lt 300 ]; do sleep 0.1; "
                          u"i=$((i+1)); done\nexit $(cat '%1/code')\n"_s.arg(bin.path())
                              .toUtf8());
        QFile::setPermissions(script, QFile::ReadOwner | QFile::ExeOwner);
        QDir base(runtime.path());
        QVERIFY(base.mkpath("orvanta-mail-earlier/sub") && base.mkdir("other"));
        writeFile(outside.filePath("keep.csv"), "keep");
        QVERIFY(QFile::link(outside.path(), base.filePath("orvanta-mail-link")));
        const QStringList kept{"orvanta-mail-link", "other"};
        const auto entries = [&] {
            return base.entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System,
                                  QDir::Name);
        };
        MainWindowFixture f;
        f.folder.addContact({.firstName = "Ann"});
        platform::setMailService(nullptr);
        f.window();
        QCOMPARE(entries(), kept); // the start removed the earlier copy
        // The stand-in's arguments, left running unless `letGo`.
        QList<int> runningOnReturn;
        QList<bool> waited;
        const QString argsFile = bin.filePath(u"args"_s);
        const auto send = [&](const QByteArray& code, bool letGo = true) {
            writeFile(bin.filePath(u"code"_s), code);
            QFile::remove(go);
            QFile::remove(argsFile);
            answered(f, "cmdEmailRecord");
            runningOnReturn << platform::XdgMail::handoversRunning();
            if (letGo)
                writeFile(go, "");
            waited << QTest::qWaitFor([&] {
                return letGo ? platform::XdgMail::handoversRunning() == 0
                             : !readBytes(argsFile).isEmpty();
            });
            return QString::fromUtf8(readBytes(argsFile)).split(u'\n');
        };
        const QStringList args = send("0");
        QCOMPARE(args, (QStringList{"--subject", "Contacts", "--body",
                                    "Please type a personal message here", "--attach",
                                    args.value(5), ""}));
        const QFileInfo copy(args.value(5)), folder(copy.path());
        QCOMPARE(folder.permissions() & ~(QFile::ReadUser | QFile::WriteUser | QFile::ExeUser),
                 QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QCOMPARE(readBytes(copy.filePath()), readBytes(attachment(f)));
        QCOMPARE(entries().size(), kept.size() + 1);
        QCOMPARE(f.doors.boxes.takeTexts(), QStringList{question});
        QVERIFY(send("3").value(5) != copy.filePath());
        QCOMPARE(entries(), kept);
        QCOMPARE(f.doors.boxes.shown().last().icon, platform::Icon::Exclamation);
        QCOMPARE(f.doors.boxes.takeTexts(), (QStringList{question, refused}));
        QCOMPARE(readBytes(outside.filePath("keep.csv")), QByteArray("keep"));
        // The copy of a hand-over still running outlives the next send.
        send("0", false);
        send("0");
        QCOMPARE(entries().size(), kept.size() + 2);
        QCOMPARE(runningOnReturn, (QList<int>{1, 1, 1, 2}));
        QCOMPARE(waited, (QList<bool>{true, true, true, true}));
    }

    // Without a mail program the user learns where the file is.
    void noMailProgramIsTold() {
        MainWindowFixture f;
        f.folder.addContact({.firstName = "Ann"});
        f.doors.mail.noMailProgram = true;
        f.window();
        f.doors.boxes.clear(); // a start-up without mail says so
        answered(f, "cmdEmailRecord");
        QCOMPARE(f.doors.boxes.texts(),
                 (QStringList{question, u"No mail program was found to send the contacts with. "
                                        u"They are saved in %1."_s.arg(
                                            QDir::toNativeSeparators(attachment(f)))}));
        QCOMPARE(f.doors.boxes.shown().last().icon, platform::Icon::Exclamation);
        QCOMPARE(firstNames(readBytes(attachment(f))), QStringList{"Ann"});
    }

    // The stored number and the first name go to telephony; a blank number,
    // a contact gone or unreadable is never dialled.
    void callingAContact() {
        MainWindowFixture f;
        f.folder.addContact({.firstName = "Mia",
                             .workPhone = "+1 (555) 0102",
                             .homePhone = "555-0101 ext. 7",
                             .cellPhone = " \t "});
        f.folder.addContact({.firstName = "Zoe", .homePhone = "555-0199"});
        f.click("cmdPersonal");
        {
            RecordingTelephony phone;
            f.click("cmdCallRecord"); // no selection: the menu, but no call
            child<QMenu>(f.window(), u"mnuCallMenu"_s)->close();
            f.trigger("mnuCallHome");
            f.clickRow(0);
            for (const char* item : {"mnuCallHome", "mnuCallWork", "mnuCallCell"})
                f.trigger(QLatin1String(item));
            f.clickRow(1);
            f.trigger("mnuCallHome");
            f.trigger("mnuCallCell");
            QCOMPARE(f.doors.boxes.takeTexts(),
                     QStringList(2, u"This contact has no number to call."_s));
            QStringList calls;
            for (const RecordingTelephony::Request& r : phone.requests)
                calls << QStringList{r.destination, r.calledParty, r.comment, r.appName}.join(u'|');
            const QString tail = u"|Calling|"_s + QCoreApplication::applicationName();
            QCOMPARE(calls, (QStringList{"555-0101 ext. 7|Mia" + tail, "+1 (555) 0102|Mia" + tail,
                                         "555-0199|Zoe" + tail}));
            f.folder.execute(u"delete from tblContactDetails where FirstName = 'Zoe'"_s);
            f.trigger("mnuCallHome");
            QCOMPARE(f.doors.boxes.takeTexts(), QStringList{"internal error"});
            QCOMPARE(phone.requests.size(), 3);
        }
        // The link is exactly the stored number, never a host, query or fragment.
        const QString number = u"http://evil.example.com/x?y#z %41%2F 100% [::1]\\x@y:z Émile"_s;
        f.folder.execute(u"update tblContactDetails set WorkPhoneNumber = '%1'"_s.arg(number));
        UrlCatcher desktop(u"tel"_s);
        f.clickRow(0);
        f.trigger("mnuCallWork");
        const QUrl url = QUrl::fromEncoded(desktop.urls.value(0).toEncoded(), QUrl::StrictMode);
        QCOMPARE(url.scheme() + u':' + url.path(QUrl::FullyDecoded), u"tel:"_s + number);
        QVERIFY(!url.hasQuery() && !url.hasFragment() && url.authority().isEmpty());
        QVERIFY(QFile::remove(f.folder.databasePath()));
        f.trigger("mnuCallHome");
        QCOMPARE(f.doors.boxes.takeTexts(), QStringList{retrievalError});
        QCOMPARE(desktop.urls.size(), 1);
    }

    // A value a spreadsheet would take for a formula gets a leading
    // apostrophe, inside any quotes; telephone numbers stay as they are.
    void csvRows_data() {
        QTest::addColumn<QString>("value");
        QTest::addColumn<QByteArray>("field"); // as the first name's column writes it
        QTest::newRow("plain") << u"李 Şükrü"_s << u"李 Şükrü"_s.toUtf8();
        QTest::newRow("comma, quotes, line break")
            << u"Smith, \"B\"\r\nJr"_s << QByteArray("\"Smith, \"\"B\"\"\r\nJr\"");
        QTest::newRow("command") << u"=cmd|' /C calc'!A0"_s << QByteArray("'=cmd|' /C calc'!A0");
        QTest::newRow("at") << u"@SUM(1+1)"_s << QByteArray("'@SUM(1+1)");
        QTest::newRow("carriage return") << u"\rx"_s << QByteArray("\"'\rx\"");
        QTest::newRow("plus call") << u"+1-555-CALL"_s << QByteArray("'+1-555-CALL");
        QTest::newRow("phone") << u"+1 (555) 010.2/3-4"_s << QByteArray("+1 (555) 010.2/3-4");
        QTest::newRow("apostrophe") << u"'=x"_s << QByteArray("'=x");
    }
    void csvRows() {
        QFETCH(QString, value);
        QFETCH(QByteArray, field);
        Exporting e;
        e.folder.addContact({.firstName = value, .comments = value, .type = 2});
        QVERIFY(exportBookCsv(e.store, e.target));
        const QByteArray quoted = field.startsWith('"') ? field : '"' + field + '"';
        QCOMPARE(e.written().sliced(e.written().indexOf('\n') + 1),
                 field + ",,,\"\",,,,,,,,," + quoted + ",Business\r\n");
    }

    // The selection in list order, or the current book; printed by first name,
    // without blank address lines. A failed export is told, the file kept.
    void theSelectionOrTheBookAsCsvAndPrinted() {
        Exporting e;
        const qint64 zoe = e.folder.addContact({.firstName = "Zoe", .email = "z@example.org"});
        const qint64 adam = e.folder.addContact( // every column but the e-mail address
            {"Adam", "Q", "Ant", "12 Main St\r\n\r\nSpringfield\r\n", "Springfield", "IL", "0150",
             "555-1", "555-2", "555-3", "", "Ola", "one\r\ntwo"});
        e.folder.addContact({.firstName = "Bea", .bookId = e.folder.addBook("Other")});
        QVERIFY(exportSelectionCsv(e.store, {adam, zoe}, e.target));
        QCOMPARE(firstNames(e.written()), (QStringList{"Zoe", "Adam"}));
        QVERIFY(exportBookCsv(e.store, e.target));
        QCOMPARE(firstNames(e.written()), (QStringList{"Zoe", "Adam"}));
        RecordingPrinter printer;
        QCOMPARE(printContacts(e.store, {}, false, printer), PrintOutcome::Printed);
        QCOMPARE(printContacts(e.store, {zoe}, true, printer), PrintOutcome::Printed);
        const QStringList zoeBlock =
            QStringList(4, QString()) +
            QStringList{"Work phone: ", "Home phone: ", "Cell Phone: ", "Email : z@example.org",
                        "Parent/Guardian Name: "} +
            QStringList(5, QString());
        QCOMPARE(RecordingPrinter::texts(printer.documents.value(0)),
                 QStringList({"Adam Q Ant", "12 Main St", "Springfield", "Springfield", "IL",
                              "0150", "Work phone: 555-1", "Home phone: 555-2", "Cell Phone: 555-3",
                              "Email : ", "Parent/Guardian Name: Ola", "one", "two", "", "", "", "",
                              "Zoe  "}) +
                     zoeBlock);
        QCOMPARE(RecordingPrinter::texts(printer.documents.value(1)),
                 QStringList({"Zoe  ", ""}) + zoeBlock);

        QVERIFY(!exportSelectionCsv(e.store, {}, e.target));
        QVERIFY(!exportBookCsv(e.store, e.folder.path() + u"/missing/out.csv"_s));
        e.folder.execute(u"alter table tblContactType rename to tblGone"_s);
        QVERIFY(!exportBookCsv(e.store, e.target));
        QCOMPARE(firstNames(e.written()), (QStringList{"Zoe", "Adam"}));
        QCOMPARE(e.doors.boxes.texts(), QStringList(3, retrievalError));
        e.folder.execute(u"alter table tblGone rename to tblContactType"_s);
        QVERIFY(exportBookCsv(e.store, e.target));
        QCOMPARE(e.doors.boxes.shown().first().icon, platform::Icon::Critical);
    }

    // Cancelled, a long export keeps the earlier attachment, a printout is
    // dropped. The real door's PDF file: in order over pages, lines wrapped.
    void longWorkAndThePdfPrintout() {
        MainWindowFixture f;
        QStringList expected;
        for (int i = 0; i < 400; ++i) {
            expected << u"Person%1\\s+Øberg"_s.arg(i, 3, 10, QLatin1Char('0'));
            f.folder.addContact({.firstName = u"Person%1"_s.arg(399 - i, 3, 10, QLatin1Char('0')),
                                 .lastName = u"Øberg"_s,
                                 .address = i == 0 ? QString(300, u'x') : u"C"_s});
        }
        writeFile(attachment(f), "earlier");
        f.window();
        cancelLongWork(f, "emailcontactbook", u"Writing the attachment… 0 contacts"_s);
        QCOMPARE(readBytes(attachment(f)), QByteArray("earlier"));
        {
            RecordingPrinter printer;
            cancelLongWork(f, "mnuPrintContactBook", u"Printing… 1 contacts so far"_s);
            QCOMPARE(printer.aborted, 1);
            QVERIFY(printer.documents.isEmpty());
        }
        QVERIFY(f.doors.mail.sent.isEmpty());
        QCOMPARE(f.doors.boxes.takeTexts(), (QStringList{question, bookQuestion}));

        if (!QPrinterInfo::defaultPrinter().isNull())
            QSKIP("a printer is installed here");
        UrlCatcher viewer(u"file"_s);
        ScriptedFileDialogs dialogs;
        const QString pdf = f.folder.path() + u"/book.pdf"_s;
        dialogs.choose(pdf);
        answered(f, "mnuPrintContactBook");
        QCOMPARE(viewer.urls, QList<QUrl>{QUrl::fromLocalFile(pdf)});
        QCOMPARE(f.doors.boxes.takeTexts(), (QStringList{bookQuestion, savedAs(pdf)}));
        QCOMPARE(QDir(f.folder.path()).entryList({u"*.pdf"_s}), QStringList{"book.pdf"});
        QProcess pdftotext;
        pdftotext.start(u"pdftotext"_s, {pdf, u"-"_s});
        pdftotext.waitForFinished(-1);
        const QString text = QString::fromUtf8(pdftotext.readAllStandardOutput());
        QVERIFY(text.count(u'\f') >= 2); // pages
        qsizetype at = 0;
        for (const QString& next : expected)
            QVERIFY2((at = text.indexOf(QRegularExpression(next), at)) >= 0, qPrintable(next));
        QCOMPARE(text.count(u'x'), 300);
        QVERIFY(!text.contains(QString(100, u'x'))); // wrapped, not cut off

        dialogs.choose(f.folder.path() + u"/missing/book.pdf"_s);
        answered(f, "mnuPrintContactBook");
        QCOMPARE(f.doors.boxes.texts(), QStringList({bookQuestion, bookFailure}));
        QCOMPARE(viewer.urls.size(), 1);
    }
};

QTEST_MAIN(SharingTest)
#include "SharingTest.moc"
