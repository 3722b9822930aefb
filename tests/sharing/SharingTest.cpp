// The book e-mailed as CSV, a number dialled, the book printed: from the
// store, from the window and through the real doors.
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
const QString bookFailure = u"An error occured while printing the contact book."_s;
const QString refused = u"The mail program did not take the message."_s;

QString savedAs(const QString& pdf) {
    return u"The printout was saved as %1."_s.arg(QDir::toNativeSeparators(pdf));
}

// First names of the contacts in a CSV text, the header left out.
QStringList firstNames(const QByteArray& csv) {
    QStringList names;
    for (const QStringList& record : parseCsv(csv).mid(1))
        names << record.first();
    return names;
}

QString attachment(MainWindowFixture& f) {
    return f.folder.path() + u"/attachment.csv"_s;
}

// Runs a long menu command with its worker held at its first step and,
// once its progress dialog shows, clicks Cancel: the window answers meanwhile.
void cancelLongWork(MainWindowFixture& f, const char* menuItem) {
    QSemaphore release;
    std::atomic<bool> first{true};
    f.window().longWork().setStepGate([&] {
        if (first.exchange(false))
            release.acquire();
    });
    f.doors.boxes.answerYes();
    child<QAction>(f.window(), QLatin1String(menuItem))->trigger();
    QProgressDialog* dialog = nullptr;
    QTRY_VERIFY((dialog = f.window().findChild<QProgressDialog*>(u"longWorkProgress"_s)) &&
                dialog->isVisible());
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
    // The buttons and the menu item ask, then send the whole book on Yes, the
    // selection on No, nothing without one; Escape writes and mails nothing.
    // Printing asks too and tells each failure; a failed document is dropped.
    void emailingAndPrintingTheBookOrTheSelection() {
        MainWindowFixture f;
        RecordingPrinter printer;
        f.folder.addContact({.firstName = "Ann", .lastName = "Lee"});
        f.folder.addContact({.firstName = "Bo", .lastName = "Berg"});
        f.window();
        for (const char* button : {"cmdEmailRecord", "Command1_3"}) {
            f.doors.boxes.answerYes();
            f.click(QLatin1String(button));
        }
        f.doors.boxes.answerYes();
        f.trigger("emailcontactbook");
        f.doors.boxes.answerNo();
        f.click("cmdEmailRecord");
        f.doors.boxes.answerNo();
        f.trigger("mnuPrintContactBook");
        f.click("cmdPrintRecord");
        QCOMPARE(f.doors.boxes.shown().value(6).icon, platform::Icon::Exclamation);
        QCOMPARE(f.doors.boxes.takeTexts(),
                 QStringList(4, question) << u"Please select a contact to email"_s << bookQuestion
                                          << u"Please select a contact to print"_s);
        QCOMPARE(f.doors.boxes.unansweredQuestions(), 0);
        f.click("cmdPersonal");
        f.selectRows({1});
        f.doors.boxes.answerNo();
        f.click("cmdEmailRecord");
        QStringList sent;
        for (const QByteArray& file : f.doors.mail.attachmentContents)
            sent << firstNames(file).join(u'+');
        QCOMPARE(sent, (QStringList{"Ann+Bo", "Ann+Bo", "Ann+Bo", "Bo"}));
        const platform::MailMessage& m = f.doors.mail.sent.last();
        QCOMPARE((QStringList{m.subject, m.noteText, m.attachmentPathName, m.attachmentName}),
                 (QStringList{"Contacts", "Please type a personal message here", attachment(f),
                              "Contacts.csv"}));

        QVERIFY(QFile::remove(attachment(f)));
        f.doors.boxes.answerCancel();
        f.click("cmdEmailRecord");
        f.doors.boxes.answerCancel();
        f.trigger("emailcontactbook");
        QCOMPARE(f.doors.boxes.takeTexts(), QStringList(3, question));
        QCOMPARE(f.doors.mail.sent.size(), 4);
        QVERIFY(!QFile::exists(attachment(f)));

        printer.failAtLine = 3;
        f.doors.boxes.answerYes();
        f.trigger("mnuPrintContactBook");
        QCOMPARE(f.doors.boxes.shown().value(1).icon, platform::Icon::Critical);
        f.doors.boxes.answerYes();
        f.click("cmdPrintRecord");
        QCOMPARE(f.doors.boxes.takeTexts(),
                 QStringList({bookQuestion, bookFailure,
                              u"Click Yes to Print the current contact details."_s,
                              u"An error occured while printing the selected records."_s}));
        QCOMPARE(printer.aborted, 2);
        printer.failAtLine = -1;
        f.doors.boxes.answerYes();
        f.click("cmdPrintRecord");
        QCOMPARE(printer.documents.size(), 1);
        QCOMPARE(printer.documents[0].first(), (PrintedLine{"Bo  Berg", 300, true}));
    }

    // The real door starts xdg-email with a copy of the file in a folder only
    // this user may enter, and returns while it runs. The copy stays until
    // the next send or start; a refused send leaves none and is told; nothing
    // else in the runtime folder is touched.
    void theRealMailDoorRunsXdgEmail() {
        QTemporaryDir runtime, bin, outside;
        const QByteArray oldRuntime = qgetenv("XDG_RUNTIME_DIR"), oldPath = qgetenv("PATH");
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path()));
        qputenv("PATH", QFile::encodeName(bin.path()) + ':' + oldPath);
        const auto restore = qScopeGuard([&] {
            qputenv("XDG_RUNTIME_DIR", oldRuntime);
            qputenv("PATH", oldPath);
        });
        // The stand-in records its arguments, waits for "go" (a while at
        // most, so a window that waits for it fails rather than hangs), and
        // exits with the code in "code".
        const QString script = bin.filePath(u"xdg-email"_s), go = bin.filePath(u"go"_s);
        writeFile(script, u"#!/bin/sh\nprintf '%s\\n' \"$@\" > '%1/args'\n"
                          u"i=0; while [ ! -e '%1/go' ] && [ $i -lt 300 ]; do sleep 0.1; "
                          u"i=$((i+1)); done\nexit $(cat '%1/code')\n"_s.arg(bin.path())
                              .toUtf8());
        QFile::setPermissions(script, QFile::ReadOwner | QFile::ExeOwner);
        writeFile(bin.filePath(u"code"_s), "0");
        QDir base(runtime.path());
        QVERIFY(base.mkpath("orvanta-mail-earlier/sub") && base.mkdir("other"));
        writeFile(outside.filePath("keep.csv"), "keep");
        QVERIFY(QFile::link(outside.path(), base.filePath("orvanta-mail-link")));
        const QStringList kept{"orvanta-mail-link", "other"};
        const auto entries = [&] {
            return base.entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System,
                                  QDir::Name);
        };
        QList<bool> returnedWhileRunning, endedOnceLetGo;
        const auto send = [&](MainWindowFixture& f) {
            QFile::remove(go);
            f.doors.boxes.answerYes();
            f.click("cmdEmailRecord");
            returnedWhileRunning << (platform::XdgMail::handoversRunning() == 1);
            writeFile(go, "");
            endedOnceLetGo << QTest::qWaitFor(
                [] { return platform::XdgMail::handoversRunning() == 0; });
            return QString::fromUtf8(readBytes(bin.filePath(u"args"_s))).split(u'\n');
        };
        MainWindowFixture f;
        f.folder.addContact({.firstName = "Ann"});
        platform::setMailService(nullptr);
        f.window();
        QCOMPARE(entries(), kept); // the start removed the earlier copy
        const QStringList args = send(f);
        QCOMPARE(args, (QStringList{"--subject", "Contacts", "--body",
                                    "Please type a personal message here", "--attach",
                                    args.value(5), ""}));
        const QFileInfo copy(args.value(5)), folder(copy.path());
        QCOMPARE(folder.permissions() & ~(QFile::ReadUser | QFile::WriteUser | QFile::ExeUser),
                 QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QCOMPARE(readBytes(copy.filePath()), readBytes(attachment(f)));
        QCOMPARE(entries().size(), kept.size() + 1);
        QCOMPARE(f.doors.boxes.takeTexts(), QStringList{question});
        writeFile(bin.filePath(u"code"_s), "3");
        QVERIFY(send(f).value(5) != copy.filePath());
        QCOMPARE(entries(), kept);
        QCOMPARE(f.doors.boxes.texts(), (QStringList{question, refused}));
        QCOMPARE(returnedWhileRunning, (QList<bool>{true, true}));
        QCOMPARE(endedOnceLetGo, (QList<bool>{true, true}));
        QCOMPARE(readBytes(outside.filePath("keep.csv")), QByteArray("keep"));

        // The copy of a hand-over still running outlives the next send.
        writeFile(bin.filePath(u"code"_s), "0");
        QFile::remove(go);
        QFile::remove(bin.filePath(u"args"_s));
        f.doors.boxes.answerYes();
        f.click("cmdEmailRecord");
        QTRY_VERIFY(!readBytes(bin.filePath(u"args"_s)).isEmpty());
        send(f);
        QCOMPARE(entries().size(), kept.size() + 2);
    }

    // No mail program, or one that refuses the message, is told; the
    // attachment is written either way.
    void aFailedHandOverIsTold_data() {
        QTest::addColumn<bool>("noMailProgram");
        QTest::addColumn<QString>("told");
        QTest::newRow("no mail program") << true
                                         << u"No mail program was found to send the "
                                            u"contacts with. They are saved in %1."_s;
        QTest::newRow("refused") << false << refused;
    }
    void aFailedHandOverIsTold() {
        QFETCH(bool, noMailProgram);
        QFETCH(QString, told);
        MainWindowFixture f;
        f.folder.addContact({.firstName = "Ann"});
        f.doors.mail.noMailProgram = noMailProgram;
        f.doors.mail.handover = platform::Handover::Refused;
        f.window();
        f.doors.boxes.clear(); // a start-up without mail says so
        f.doors.boxes.answerYes();
        f.click("cmdEmailRecord");
        QCOMPARE(f.doors.boxes.texts(),
                 (QStringList{question,
                              told.replace(u"%1"_s, QDir::toNativeSeparators(attachment(f)))}));
        QCOMPARE(f.doors.boxes.shown().last().icon, platform::Icon::Exclamation);
        QCOMPARE(firstNames(readBytes(attachment(f))), QStringList{"Ann"});
    }

    // Without a printer the printout is a PDF file the user names, and is
    // told where it went; cancelling that prints nothing. With a printer
    // nothing is asked.
    void printingWithoutAPrinter_data() {
        QTest::addColumn<QString>("command");
        QTest::addColumn<bool>("hasPrinter");
        QTest::addColumn<QString>("chosen"); // empty: Cancel
        QTest::addColumn<int>("documents");
        QTest::newRow("book, printer") << u"mnuPrintContactBook"_s << true << QString() << 1;
        QTest::newRow("book, file") << u"mnuPrintContactBook"_s << false << u"book.pdf"_s << 1;
        QTest::newRow("selection, file") << u"cmdPrintRecord"_s << false << u"one.pdf"_s << 1;
        QTest::newRow("book, cancelled") << u"mnuPrintContactBook"_s << false << QString() << 0;
    }
    void printingWithoutAPrinter() {
        QFETCH(QString, command);
        QFETCH(bool, hasPrinter);
        QFETCH(QString, chosen);
        QFETCH(int, documents);
        MainWindowFixture f;
        RecordingPrinter printer;
        ScriptedFileDialogs dialogs;
        printer.noPrinter = !hasPrinter;
        f.folder.addContact({.firstName = "Ann"});
        f.showPersonal();
        const QString pdf = chosen.isEmpty() ? QString() : f.folder.path() + u'/' + chosen;
        if (!hasPrinter)
            dialogs.choose(pdf);
        f.doors.boxes.answerYes();
        if (command.startsWith(u"cmd"_s))
            f.click(command);
        else
            f.trigger(command);
        QCOMPARE(printer.documents.size(), documents);
        QCOMPARE(printer.pdfFile, pdf);
        QCOMPARE(dialogs.shown.size(), hasPrinter ? 0 : 1);
        QCOMPARE(dialogs.unexpected, 0);
        if (!hasPrinter)
            QCOMPARE(QFileInfo(dialogs.shown[0].request.path).fileName(), u"Contacts.pdf"_s);
        const QStringList told = f.doors.boxes.texts().mid(1);
        QCOMPARE(told, pdf.isEmpty() ? QStringList() : QStringList{savedAs(pdf)});
    }

    // The stored number and the first name go to telephony; a blank number,
    // a contact that is gone or cannot be read is never dialled.
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
        // Whatever the number holds, a handler reading the link as text
        // gets exactly the stored number, never a host, query or fragment.
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

    // The selection in list order, or the current book only; printed, blocks
    // by first name without the address's blank lines, the selection's with
    // an empty line after the name. A failed export is told, the file kept.
    void theSelectionOrTheBookAsCsvAndPrinted() {
        Exporting e;
        const qint64 zoe = e.folder.addContact({.firstName = "Zoe", .email = "z@example.org"});
        const qint64 adam = e.folder.addContact({.firstName = "Adam",
                                                 .middleName = "Q",
                                                 .lastName = "Ant",
                                                 .address = "12 Main St\r\n\r\nSpringfield\r\n",
                                                 .city = "Springfield",
                                                 .state = "IL",
                                                 .zipCode = "0150",
                                                 .workPhone = "555-1",
                                                 .homePhone = "555-2",
                                                 .cellPhone = "555-3",
                                                 .guardian = "Ola",
                                                 .comments = "one\r\ntwo"});
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
    // dropped; neither is a failure. Without a printer the real door writes
    // and opens the PDF file chosen: blocks in order over pages, long lines
    // wrapped; one that cannot be written is a failure.
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
        cancelLongWork(f, "emailcontactbook");
        QCOMPARE(readBytes(attachment(f)), QByteArray("earlier"));
        {
            RecordingPrinter printer;
            cancelLongWork(f, "mnuPrintContactBook");
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
        f.doors.boxes.answerYes();
        f.trigger("mnuPrintContactBook");
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
        f.doors.boxes.answerYes();
        f.trigger("mnuPrintContactBook");
        QCOMPARE(f.doors.boxes.texts(), QStringList({bookQuestion, bookFailure}));
        QCOMPARE(viewer.urls.size(), 1);
    }
};

QTEST_MAIN(SharingTest)
#include "SharingTest.moc"
