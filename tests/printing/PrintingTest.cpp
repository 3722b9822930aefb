#include "data/ContactStore.h"
#include "platform/SystemPrinter.h"
#include "printing/ContactPrinter.h"
#include "support/MainWindowFixture.h"
#include "support/RecordingPrinter.h"

#include <QDesktopServices>
#include <QPrinterInfo>
#include <QProcess>
#include <QProgressDialog>
#include <QRegularExpression>
#include <QThread>
#include <QTimer>
#include <QUrl>

// Catches the files the real printer hands to the desktop's viewer, so no
// viewer is ever started by a test.
class ViewerCatcher : public QObject {
    Q_OBJECT
public:
    ViewerCatcher() { QDesktopServices::setUrlHandler(u"file"_s, this, "open"); }
    ~ViewerCatcher() override { QDesktopServices::unsetUrlHandler(u"file"_s); }
    QList<QUrl> opened;
public slots:
    void open(const QUrl& url) { opened << url; }
};

namespace {

const QString bookQuestion = u"Print the complete contact book?"_s;
const QString selectionQuestion = u"Click Yes to Print the current contact details."_s;
const QString bookFailure = u"An error occured while printing the contact book."_s;
const QString selectionFailure = u"An error occured while printing the selected records."_s;

// A document as "x B|- text" per line, readable when a comparison fails.
QStringList layout(const QList<PrintedLine>& document) {
    QStringList lines;
    for (const PrintedLine& line : document)
        lines
            << u"%1 %2 %3"_s.arg(double(line.x)).arg(QChar(line.bold ? u'B' : u'-')).arg(line.text);
    return lines;
}

const QStringList separator{"0 - ", "0 - ", "0 - ", "0 - "};

QString run(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(-1) || process.exitCode() != 0)
        return {};
    return QString::fromUtf8(process.readAllStandardOutput());
}

} // namespace

class PrintingTest : public QObject {
    Q_OBJECT

private slots:
    // A long printout keeps the window answering events; after half a second
    // its progress dialog offers Cancel, which drops the document begun.
    void aLongPrintoutKeepsTheWindowAliveAndCancelDropsIt() {
        MainWindowFixture f;
        for (int i = 0; i < 400; ++i)
            f.folder.addContact({.firstName = u"N%1"_s.arg(i)});
        RecordingPrinter printer;
        printer.beforePrint = [](int lines) {
            if (lines == 500) // long enough for the progress dialog to be due
                QThread::msleep(600);
        };
        f.window();
        int ticks = 0;
        QTimer timer;
        QObject::connect(&timer, &QTimer::timeout, [&] {
            ++ticks;
            auto* dialog = f.window().findChild<QProgressDialog*>("longWorkProgress");
            if (dialog && dialog->isVisible())
                QTest::mouseClick(dialog->findChild<QPushButton*>(), Qt::LeftButton);
        });
        timer.start(0);
        f.doors.boxes.answerYes();
        f.trigger("mnuPrintContactBook");
        timer.stop();
        QVERIFY(ticks > 0);
        QCOMPARE(printer.aborted, 1);
        QVERIFY(printer.documents.isEmpty());
        QCOMPARE(f.doors.boxes.texts().size(), 1); // the question; a cancel is no failure
    }

    // Blocks sorted by first name, of the current book only; the selection's
    // printout has an empty line after each name.
    void aBlockPerContact() {
        ContactFolder folder;
        const qint64 zoe = folder.addContact({.firstName = "Zoe",
                                              .middleName = "Q",
                                              .lastName = "Young",
                                              .address = "1 Elm Street",
                                              .city = "Oslo",
                                              .zipCode = "0150",
                                              .workPhone = "555-1",
                                              .email = "zoe@example.org",
                                              .guardian = "Ola"});
        folder.addContact({.firstName = "Adam",
                           .lastName = "Ant",
                           .address = "12 Main St\r\nB\r\n\r\nSpringfield\r\n",
                           .city = "Springfield",
                           .state = "IL",
                           .homePhone = "555-2",
                           .cellPhone = "555-3",
                           .comments = "one\r\ntwo\r\nX"});
        folder.addContact({.firstName = "Bea", .bookId = folder.addBook(u"Other"_s)});
        ContactStore store(folder.connectionString());
        store.setCurrentBook(u"Default"_s);
        RecordingPrinter printer;
        QCOMPARE(printContacts(store, {}, false, printer), PrintOutcome::Printed);
        const QStringList zoeBlock{"300 - 1 Elm Street",
                                   "300 - Oslo",
                                   "300 - ",
                                   "300 - 0150",
                                   "300 - Work phone: 555-1",
                                   "300 - Home phone: ",
                                   "300 - Cell Phone: ",
                                   "300 - Email : zoe@example.org",
                                   "300 - Parent/Guardian Name: Ola",
                                   "300 - "};
        QCOMPARE(layout(printer.documents.value(0)),
                 QStringList({"300 B Adam  Ant", "300 - 12 Main St", "300 - B", "300 - Springfield",
                              "300 - Springfield", "300 - IL", "300 - ", "300 - Work phone: ",
                              "300 - Home phone: 555-2", "300 - Cell Phone: 555-3",
                              "300 - Email : ", "300 - Parent/Guardian Name: ", "300 - one",
                              "300 - two", "300 - X"}) +
                     separator + QStringList{"300 B Zoe Q Young"} + zoeBlock + separator);
        QCOMPARE(printContacts(store, {zoe}, true, printer), PrintOutcome::Printed);
        QCOMPARE(layout(printer.documents.value(1)),
                 QStringList({"300 B Zoe Q Young", "0 B "}) + zoeBlock + separator);
        QCOMPARE(printer.aborted, 0);
    }

    void absentValuesPrintAsEmptyLines() {
        ContactFolder folder;
        // A database made elsewhere may hold NULL in any text column.
        folder.useNullableContactWith(u"FirstName"_s, u"Ann"_s);
        ContactStore store(folder.connectionString());
        store.setCurrentBook(u"Default"_s);
        RecordingPrinter printer;
        QCOMPARE(printContacts(store, {}, false, printer), PrintOutcome::Printed);
        QCOMPARE(
            RecordingPrinter::texts(printer.documents.value(0)),
            QStringList({"Ann  ", "", "", "", "", "Work phone: ", "Home phone: ", "Cell Phone: ",
                         "Email : ", "Parent/Guardian Name: ", "", "", "", "", ""}));
    }

    // The questions, the answers and each failure's message, from the window;
    // a failed document is dropped and the next holds nothing of it.
    void printingFromTheWindow() {
        MainWindowFixture f;
        RecordingPrinter printer;
        f.folder.addContact({.firstName = "Ann"});
        f.folder.addContact({.firstName = "Bob"});
        f.click("cmdPersonal");
        f.doors.boxes.answerNo();
        f.trigger("mnuPrintContactBook");
        f.doors.boxes.answerYes();
        f.click("cmdPrintRecord"); // nothing selected
        QCOMPARE(f.doors.boxes.takeTexts(),
                 QStringList({bookQuestion, selectionQuestion, selectionFailure}));
        QVERIFY(printer.documents.isEmpty());

        printer.failAtLine = 3;
        f.doors.boxes.answerYes();
        f.trigger("mnuPrintContactBook");
        QCOMPARE(f.doors.boxes.shown().value(1).icon, platform::Icon::Critical);
        f.selectRows({1});
        f.doors.boxes.answerYes();
        f.click("cmdPrintRecord");
        QCOMPARE(f.doors.boxes.shown().value(0).title, u"Print contact book"_s);
        QCOMPARE(f.doors.boxes.shown().value(2).title, u"Print selected contact"_s);
        QCOMPARE(f.doors.boxes.takeTexts(),
                 QStringList({bookQuestion, bookFailure, selectionQuestion, selectionFailure}));
        QCOMPARE(printer.aborted, 2);

        printer.failAtLine = -1;
        f.doors.boxes.answerYes();
        f.click("cmdPrintRecord");
        QCOMPARE(printer.documents.size(), 1);
        QCOMPARE(printer.documents[0].first(), (PrintedLine{"Bob  ", 300, true}));
        QCOMPARE(printer.fileFolder, f.folder.path());

        QVERIFY(QFile::remove(f.folder.databasePath()));
        f.doors.boxes.answerYes();
        f.trigger("mnuPrintContactBook");
        QCOMPARE(f.doors.boxes.takeTexts(),
                 QStringList({selectionQuestion, bookQuestion, bookFailure}));
        QCOMPARE(printer.documents.size(), 1);
        QCOMPARE(f.doors.boxes.unansweredQuestions(), 0);
    }

    // The real printer writes a PDF of several pages: every block, in order,
    // and a line wider than the paper continues on the next lines.
    void aRealPdfHoldsEveryBlockOnThePage() {
        QTemporaryDir out;
        const QString pdf = out.filePath(u"book.pdf"_s);
        platform::SystemPrinter real(pdf);
        platform::setPrinter(&real);
        ViewerCatcher viewer;
        MainWindowFixture f;
        QStringList words;
        for (int i = 0; i < 60; ++i)
            words << u"word%1"_s.arg(i, 2, 10, QLatin1Char('0'));
        for (int i = 0; i < 120; ++i)
            f.folder.addContact({.firstName = u"Person%1"_s.arg(119 - i, 3, 10, QLatin1Char('0')),
                                 .lastName = u"Øberg"_s,
                                 .address = i == 0 ? QString(300, u'x') : u"C"_s,
                                 .comments = i == 0 ? words.join(u' ') : u"Met at the fair"_s});
        f.doors.boxes.answerYes();
        f.trigger("mnuPrintContactBook");
        platform::setPrinter(nullptr);

        QCOMPARE(f.doors.boxes.texts(), QStringList{bookQuestion});
        QCOMPARE(viewer.opened, QList<QUrl>{QUrl::fromLocalFile(pdf)});
        const QString info = run(u"pdfinfo"_s, {pdf});
        QVERIFY2(QRegularExpression(u"Pages:\\s+([2-9]|\\d\\d)"_s).match(info).hasMatch(),
                 qPrintable(info));
        const QString text = run(u"pdftotext"_s, {pdf, u"-"_s});
        qsizetype at = 0;
        for (int i = 0; i < 120; ++i) {
            const QRegularExpression name(u"Person%1\\s+Øberg"_s.arg(i, 3, 10, QLatin1Char('0')));
            at = text.indexOf(name, at);
            QVERIFY2(at >= 0, qPrintable(name.pattern()));
        }
        QCOMPARE(text.count(u"Met at the fair"_s), 119);
        QCOMPARE(text.count(u'x'), 300);
        at = 0;
        for (const QString& word : words) {
            at = text.indexOf(word, at);
            QVERIFY2(at >= 0, qPrintable(word));
        }
        const QString boxes = run(u"pdftotext"_s, {u"-bbox"_s, pdf, u"-"_s});
        const double pageWidth =
            QRegularExpression(u"<page width=\"([0-9.]+)\""_s).match(boxes).captured(1).toDouble();
        QVERIFY(pageWidth > 0);
        QRegularExpressionMatchIterator edges =
            QRegularExpression(u"xMax=\"([0-9.]+)\""_s).globalMatch(boxes);
        while (edges.hasNext())
            QVERIFY(edges.next().captured(1).toDouble() <= pageWidth - 30);
    }

    void withoutAPrinterWritesAPdfInTheDataFolder() {
        if (!QPrinterInfo::defaultPrinter().isNull())
            QSKIP("a printer is installed here");
        ViewerCatcher viewer;
        MainWindowFixture f;
        const QString pdf = platform::SystemPrinter::fileIn(f.folder.path());
        f.doors.boxes.answerYes();
        f.trigger("mnuPrintContactBook"); // an empty book: no file
        QVERIFY(!QFile::exists(pdf));
        f.folder.addContact({.firstName = "Ann", .lastName = "Lee"});
        f.doors.boxes.answerYes();
        f.trigger("mnuPrintContactBook");
        QCOMPARE(viewer.opened, QList<QUrl>{QUrl::fromLocalFile(pdf)});
        QVERIFY(run(u"pdftotext"_s, {pdf, u"-"_s}).contains(u"Ann Lee"_s));
    }

    void aPdfThatCannotBeWrittenIsAFailure() {
        QTemporaryDir out;
        platform::SystemPrinter real(out.filePath(u"missing/book.pdf"_s));
        platform::setPrinter(&real);
        ViewerCatcher viewer;
        MainWindowFixture f;
        f.folder.addContact({.firstName = "Ann"});
        f.doors.boxes.answerYes();
        f.trigger("mnuPrintContactBook");
        platform::setPrinter(nullptr);
        QCOMPARE(f.doors.boxes.texts(), QStringList({bookQuestion, bookFailure}));
        QVERIFY(viewer.opened.isEmpty());
    }
};

QTEST_MAIN(PrintingTest)
#include "PrintingTest.moc"
