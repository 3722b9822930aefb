#include "app/frmContactMgmt.h"
#include "data/Connection.h"
#include "platform/SystemPrinter.h"
#include "support/MainWindowFixture.h"
#include "support/RecordingPrinter.h"
#include "support/StatementLog.h"

#include <QDesktopServices>
#include <QFile>
#include <QPrinterInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

// Catches the files the real printer hands to the desktop's viewer, so no
// viewer is ever started by a test.
class ViewerCatcher : public QObject {
    Q_OBJECT
public:
    ViewerCatcher() { QDesktopServices::setUrlHandler(QStringLiteral("file"), this, "open"); }
    ~ViewerCatcher() override { QDesktopServices::unsetUrlHandler(QStringLiteral("file")); }
    QList<QUrl> opened;
public slots:
    void open(const QUrl& url) { opened << url; }
};

namespace {

const QString bookQuestion = QStringLiteral("Print the complete contact book?");
const QString selectionQuestion = QStringLiteral("Click Yes to Print the current contact details.");
const QString bookFailure = QStringLiteral("An error occured while printing the contact book.");
const QString selectionFailure =
    QStringLiteral("An error occured while printing the selected records.");

// A document as "x B|- text" per line, readable when a comparison fails.
QStringList layout(const QList<PrintedLine>& document) {
    QStringList lines;
    for (const PrintedLine& line : document)
        lines << QStringLiteral("%1 %2 %3")
                     .arg(double(line.x))
                     .arg(line.bold ? QLatin1Char('B') : QLatin1Char('-'))
                     .arg(line.text);
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
    void printsTheWholeBookInBlocksSortedByFirstName() {
        MainWindowFixture f;
        RecordingPrinter printer;
        f.folder.addContact({.firstName = "Zoe",
                             .middleName = "Q",
                             .lastName = "Young",
                             .address = "1 Elm Street",
                             .city = "Oslo",
                             .zipCode = "0150",
                             .workPhone = "555-1",
                             .email = "zoe@example.org",
                             .guardian = "Ola"});
        f.folder.addContact({.firstName = "Adam",
                             .lastName = "Ant",
                             .address = "12 Main St\r\nB\r\n\r\nSpringfield\r\n",
                             .city = "Springfield",
                             .state = "IL",
                             .homePhone = "555-2",
                             .cellPhone = "555-3",
                             .comments = "one\r\ntwo\r\nX"});
        const qint64 other = f.folder.addBook(QStringLiteral("Other"));
        f.folder.addContact({.firstName = "Bea", .bookId = other});
        StatementLog log;
        f.window();
        log.texts.clear();

        f.doors.boxes.answerYes();
        f.trigger(QStringLiteral("mnuPrintContactBook"));
        const QStringList statements = log.stop();

        QCOMPARE(statements,
                 QStringList{QStringLiteral(
                     "Select FirstName,MiddleName,LastName,Address,City,State,ZipCode,"
                     "WorkPhoneNumber, HomePhoneNumber,CellPhoneNumber,EmailAddress,"
                     "ParentOrGuardianName,Comments,(select ContactTypeDesc from tblContactType "
                     "where pkContactTypeId=fkContactType) as ContactType from tblContactDetails "
                     "Where fkContactBookId = (select pkContactBookId from tblContactBook where "
                     "ContactBookName = 'Default') ORDER BY FirstName")});
        QCOMPARE(printer.documents.size(), 1);
        QCOMPARE(layout(printer.documents[0]),
                 QStringList({"300 B Adam  Ant", "300 - 12 Main St", "300 - B", "300 - Springfield",
                              "300 - Springfield", "300 - IL", "300 - ", "300 - Work phone: ",
                              "300 - Home phone: 555-2", "300 - Cell Phone: 555-3",
                              "300 - Email : ", "300 - Parent/Guardian Name: ", "300 - one",
                              "300 - two", "300 - X"}) +
                     separator +
                     QStringList({"300 B Zoe Q Young", "300 - 1 Elm Street", "300 - Oslo", "300 - ",
                                  "300 - 0150", "300 - Work phone: 555-1", "300 - Home phone: ",
                                  "300 - Cell Phone: ", "300 - Email : zoe@example.org",
                                  "300 - Parent/Guardian Name: Ola", "300 - "}) +
                     separator);
        QCOMPARE(printer.aborted, 0);
        QCOMPARE(printer.fileFolder, f.folder.path());
        QCOMPARE(f.doors.boxes.shown().size(), 1);
        const platform::Message& question = f.doors.boxes.shown()[0];
        QCOMPARE(question.text, bookQuestion);
        QCOMPARE(question.title, QStringLiteral("Print contact book"));
        QCOMPARE(question.buttons, platform::Buttons::YesNo);
        QCOMPARE(question.icon, platform::Icon::Question);
    }

    void printsTheSelectionWithAnEmptyLineAfterEachName() {
        MainWindowFixture f;
        RecordingPrinter printer;
        const qint64 book = f.folder.addBook(QStringLiteral("Kim's"));
        const qint64 zed = f.folder.addContact({.firstName = "Zed", .bookId = book});
        f.folder.addContact({.firstName = "Kit", .bookId = book});
        const qint64 max = f.folder.addContact(
            {.firstName = "Max", .lastName = "Moe", .address = "Flat 2", .bookId = book});
        f.folder.addContact({.firstName = "Ann"}); // in "Default", never printed
        f.window().store().setCurrentBook(QStringLiteral("Kim's"));
        f.click(QStringLiteral("cmdPersonal"));
        QCOMPARE(f.listed(), QStringList({"Zed|", "Kit|", "Max|Moe"}));
        f.selectRows({0, 2});
        StatementLog log;

        f.doors.boxes.answerYes();
        f.click(QStringLiteral("cmdPrintRecord"));
        const QStringList statements = log.stop();

        QCOMPARE(statements.size(), 1);
        QVERIFY(statements[0].endsWith(
            QStringLiteral("where ContactBookName = 'Kim''s') AND pkContactDetailsId IN (%1,%2) "
                           "ORDER BY FirstName")
                .arg(zed)
                .arg(max)));
        QCOMPARE(printer.documents.size(), 1);
        const QStringList lines = layout(printer.documents[0]);
        // The name line is printed bold together with its line break.
        QCOMPARE(lines.mid(0, 3), QStringList({"300 B Max  Moe", "0 B ", "300 - Flat 2"}));
        QCOMPARE(lines.size(), 2 * (12 + 4));
        QCOMPARE(lines.mid(12, 4), separator);
        QCOMPARE(lines.mid(16, 3), QStringList({"300 B Zed  ", "0 B ", "300 - "}));
        QCOMPARE(f.doors.boxes.shown().size(), 1);
        QCOMPARE(f.doors.boxes.shown()[0].text, selectionQuestion);
        QCOMPARE(f.doors.boxes.shown()[0].title, QStringLiteral("Print selected contact"));
        QCOMPARE(f.doors.boxes.unansweredQuestions(), 0);
    }

    void answeringNoOrAnEmptyBookPrintsNothing() {
        MainWindowFixture f;
        RecordingPrinter printer;
        f.doors.boxes.answerYes();
        f.trigger(QStringLiteral("mnuPrintContactBook"));
        QCOMPARE(printer.documents, QList<QList<PrintedLine>>{{}}); // ended, with no line

        f.folder.addContact({.firstName = "Ann"});
        f.click(QStringLiteral("cmdPersonal"));
        f.selectRows({0});
        f.doors.boxes.answerNo();
        f.click(QStringLiteral("cmdPrintRecord"));
        f.doors.boxes.answerNo();
        f.trigger(QStringLiteral("mnuPrintContactBook"));
        QCOMPARE(f.doors.boxes.texts(),
                 QStringList({bookQuestion, selectionQuestion, bookQuestion}));
        QCOMPARE(printer.documents.size(), 1);
        QVERIFY(printer.openDocument.isEmpty());
    }

    void eachFailureShowsItsCommandsMessageAndDropsTheDocument() {
        MainWindowFixture f;
        RecordingPrinter printer;
        f.folder.addContact({.firstName = "Ann"});
        f.click(QStringLiteral("cmdPersonal"));

        // Nothing selected: the selection printout fails before printing.
        f.selectRows({});
        f.doors.boxes.answerYes();
        f.click(QStringLiteral("cmdPrintRecord"));
        QCOMPARE(f.doors.boxes.takeTexts(), QStringList({selectionQuestion, selectionFailure}));
        QCOMPARE(printer.aborted, 0);

        // The printer fails in the middle of a block, for either command.
        printer.failAtLine = 3;
        f.doors.boxes.answerYes();
        f.trigger(QStringLiteral("mnuPrintContactBook"));
        const QList<platform::Message> shown = f.doors.boxes.shown();
        QCOMPARE(shown.size(), 2);
        QCOMPARE(shown[1].text, bookFailure);
        QCOMPARE(shown[1].icon, platform::Icon::Critical);
        QCOMPARE(shown[1].buttons, platform::Buttons::Ok);
        QCOMPARE(shown[1].title, QString()); // the application's title
        f.doors.boxes.clear();
        f.selectRows({0});
        f.doors.boxes.answerYes();
        f.click(QStringLiteral("cmdPrintRecord"));
        QCOMPARE(f.doors.boxes.takeTexts(), QStringList({selectionQuestion, selectionFailure}));
        QCOMPARE(printer.aborted, 2);

        // The next document holds nothing of the failed ones.
        printer.failAtLine = -1;
        f.doors.boxes.answerYes();
        f.trigger(QStringLiteral("mnuPrintContactBook"));
        QCOMPARE(printer.documents.size(), 1);
        QCOMPARE(printer.documents[0].size(), 11 + 4);
        QCOMPARE(printer.documents[0][0], (PrintedLine{"Ann  ", 300, true}));

        // The database cannot be read.
        QVERIFY(QFile::remove(f.folder.databasePath()));
        f.doors.boxes.clear();
        f.doors.boxes.answerYes();
        f.trigger(QStringLiteral("mnuPrintContactBook"));
        QCOMPARE(f.doors.boxes.texts(), QStringList({bookQuestion, bookFailure}));
        QCOMPARE(printer.documents.size(), 1);
    }

    void absentValuesPrintAsEmptyLines() {
        MainWindowFixture f;
        RecordingPrinter printer;
        // A database made elsewhere may hold NULL in any text column.
        f.folder.useNullableContactWith(QStringLiteral("FirstName"), QStringLiteral("Ann"));
        f.doors.boxes.answerYes();
        f.trigger(QStringLiteral("mnuPrintContactBook"));
        QCOMPARE(f.doors.boxes.texts(), QStringList{bookQuestion});
        QCOMPARE(printer.documents.size(), 1);
        QCOMPARE(
            RecordingPrinter::texts(printer.documents[0]),
            QStringList({"Ann  ", "", "", "", "", "Work phone: ", "Home phone: ", "Cell Phone: ",
                         "Email : ", "Parent/Guardian Name: ", "", "", "", "", ""}));
    }

    void printsARealPdfOverSeveralPages() {
        QTemporaryDir out;
        const QString pdf = out.filePath(QStringLiteral("book.pdf"));
        platform::SystemPrinter real(pdf);
        platform::setPrinter(&real);
        ViewerCatcher viewer;
        MainWindowFixture f;
        for (int i = 0; i < 120; ++i)
            f.folder.addContact(
                {.firstName = QStringLiteral("Person%1").arg(119 - i, 3, 10, QLatin1Char('0')),
                 .lastName = QStringLiteral("Øberg"),
                 .address = "2 Long Road\r\nC\r\nLakeside",
                 .comments = "Met at the fair"});
        f.doors.boxes.answerYes();
        f.trigger(QStringLiteral("mnuPrintContactBook"));
        platform::setPrinter(nullptr);

        QCOMPARE(f.doors.boxes.texts(), QStringList{bookQuestion});
        QCOMPARE(viewer.opened, QList<QUrl>{QUrl::fromLocalFile(pdf)});
        const QString info = run(QStringLiteral("pdfinfo"), {pdf});
        const QRegularExpressionMatch pages =
            QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)")).match(info);
        QVERIFY2(pages.hasMatch(), qPrintable(info));
        QVERIFY(pages.captured(1).toInt() > 1);

        const QString text = run(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")});
        // Names in first-name order; the text reader joins the two spaces.
        qsizetype at = 0;
        for (int i = 0; i < 120; ++i) {
            const QRegularExpression name(
                QStringLiteral("Person%1\\s+Øberg").arg(i, 3, 10, QLatin1Char('0')));
            at = text.indexOf(name, at);
            QVERIFY2(at >= 0, qPrintable(name.pattern()));
        }
        QCOMPARE(text.count(QStringLiteral("Lakeside")), 120);
        QCOMPARE(text.count(QStringLiteral("Met at the fair")), 120);

        // The name starts 300 twips (15 pt) right of the printable area's
        // edge, which lies 12.7 mm (36 pt) in from the paper's edge.
        const QString boxes =
            run(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), pdf, QStringLiteral("-")});
        const QRegularExpressionMatch first =
            QRegularExpression(QStringLiteral("xMin=\"([0-9.]+)\"[^>]*>Person000<")).match(boxes);
        QVERIFY2(first.hasMatch(), qPrintable(boxes.left(2000)));
        QVERIFY(qAbs(first.captured(1).toDouble() - 51.0) < 1.0);
    }

    // A line wider than the paper continues on the next lines: every word of
    // a long comment, and every letter of a word longer than a line, is on
    // the page, none beyond its right edge.
    void longLinesWrapInsteadOfRunningOffThePage() {
        QTemporaryDir out;
        const QString pdf = out.filePath(QStringLiteral("wide.pdf"));
        platform::SystemPrinter real(pdf);
        platform::setPrinter(&real);
        ViewerCatcher viewer;
        MainWindowFixture f;
        QStringList words;
        for (int i = 0; i < 60; ++i)
            words << QStringLiteral("word%1").arg(i, 2, 10, QLatin1Char('0'));
        f.folder.addContact({.firstName = "Ann",
                             .address = QString(300, QLatin1Char('x')),
                             .comments = words.join(QLatin1Char(' '))});
        f.doors.boxes.answerYes();
        f.trigger(QStringLiteral("mnuPrintContactBook"));
        platform::setPrinter(nullptr);

        const QString text = run(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")});
        QCOMPARE(text.count(QLatin1Char('x')), 300);
        qsizetype at = 0;
        for (const QString& word : words) {
            at = text.indexOf(word, at);
            QVERIFY2(at >= 0, qPrintable(word));
        }
        const QString boxes =
            run(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), pdf, QStringLiteral("-")});
        const double pageWidth = QRegularExpression(QStringLiteral("<page width=\"([0-9.]+)\""))
                                     .match(boxes)
                                     .captured(1)
                                     .toDouble();
        QVERIFY(pageWidth > 0);
        QRegularExpressionMatchIterator edges =
            QRegularExpression(QStringLiteral("xMax=\"([0-9.]+)\"")).globalMatch(boxes);
        int wordsOnPage = 0;
        while (edges.hasNext()) {
            QVERIFY(edges.next().captured(1).toDouble() <= pageWidth - 30);
            ++wordsOnPage;
        }
        QVERIFY(wordsOnPage > 60);
    }

    void withoutAPrinterWritesAPdfInTheDataFolder() {
        if (!QPrinterInfo::defaultPrinter().isNull())
            QSKIP("a printer is installed here");
        ViewerCatcher viewer;
        MainWindowFixture f;
        const QString pdf = platform::SystemPrinter::fileIn(f.folder.path());
        f.doors.boxes.answerYes();
        f.trigger(QStringLiteral("mnuPrintContactBook")); // an empty book: no file
        QVERIFY(!QFile::exists(pdf));
        QVERIFY(viewer.opened.isEmpty());

        f.folder.addContact({.firstName = "Ann", .lastName = "Lee"});
        f.doors.boxes.answerYes();
        f.trigger(QStringLiteral("mnuPrintContactBook"));
        QCOMPARE(f.doors.boxes.texts(), QStringList({bookQuestion, bookQuestion}));
        QCOMPARE(viewer.opened, QList<QUrl>{QUrl::fromLocalFile(pdf)});
        QVERIFY(run(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")})
                    .contains(QStringLiteral("Ann Lee")));
    }

    void aPdfThatCannotBeWrittenIsAFailure() {
        QTemporaryDir out;
        platform::SystemPrinter real(out.filePath(QStringLiteral("missing/book.pdf")));
        platform::setPrinter(&real);
        ViewerCatcher viewer;
        MainWindowFixture f;
        f.folder.addContact({.firstName = "Ann"});
        f.click(QStringLiteral("cmdPersonal"));
        f.selectRows({0});
        f.doors.boxes.answerYes();
        f.click(QStringLiteral("cmdPrintRecord"));
        platform::setPrinter(nullptr);
        QCOMPARE(f.doors.boxes.texts(), QStringList({selectionQuestion, selectionFailure}));
        QVERIFY(viewer.opened.isEmpty());
    }
};

QTEST_MAIN(PrintingTest)
#include "PrintingTest.moc"
