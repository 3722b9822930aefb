// Hostile and unusual text in every box, the search box and the book name:
// stored, listed, searched, exported and printed exactly, or refused with a
// message; the schema never changes.
#include "ReliabilitySupport.h"

#include "app/frmContactMgmt.h"
#include "data/DbError.h"
#include "data/SqlQuote.h"
#include "editor/ctrRecord.h"
#include "support/CsvReading.h"
#include "support/MainWindowFixture.h"
#include "support/RecordingPrinter.h"

#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTest>

using namespace reliability;

namespace {

// The thirteen boxes with their columns, in the order of the export.
const char* const boxes[][2] = {{"txtFirstName", "FirstName"},
                                {"txtMiddleName", "MiddleName"},
                                {"txtLastName", "LastName"},
                                {"txtAddress", "Address"},
                                {"txtCity", "City"},
                                {"txtState", "State"},
                                {"txtZipCode", "ZipCode"},
                                {"txtWorkPhone", "WorkPhoneNumber"},
                                {"txtHomePhone", "HomePhoneNumber"},
                                {"txtCellPhone", "CellPhoneNumber"},
                                {"txtEmail", "EmailAddress"},
                                {"txtGuardianName", "ParentOrGuardianName"},
                                {"txtComments", "Comments"}};

bool isMultiLine(int box) {
    return box == 3 || box == 12;
}

// A multi-line box stores each line break (CR, LF, CR LF, U+2028, U+2029) as CR LF.
QString storedForm(int box, const QString& typed) {
    if (!isMultiLine(box))
        return typed;
    QString text = typed;
    text.replace(QRegularExpression(QStringLiteral("\r\n|[\r\n\u2028\u2029]")),
                 QStringLiteral("\r\n"));
    return text;
}

// The export's field for a stored value: the value itself, or, for one that
// begins like a formula, the value behind an apostrophe that disarms it.
bool exportedAs(const QString& field, const QString& stored) {
    const bool formulaStart = !stored.isEmpty() && QStringLiteral("=@+-\t\r").contains(stored[0]);
    return field == stored || (formulaStart && field == u'\'' + stored);
}

QString schema(ContactFolder& folder) {
    return folder.rows(QStringLiteral("select type, name, sql from sqlite_master order by name"))
        .join(u'\n');
}

// Adds one Business contact with values[i] pasted into box i, then checks it
// is stored, listed, found, exported, printed and edited back exactly.
void roundTrip(MainWindowFixture& f, RecordingPrinter& printer, const QStringList& values) {
    frmContactMgmt& window = f.window();
    const QString schemaBefore = schema(f.folder);
    f.doors.boxes.clear();
    click(window, QStringLiteral("cmdAddRecord"));
    for (int i = 0; i < 13; ++i)
        paste(window.findChild<QWidget*>(QLatin1String(boxes[i][0])), values[i]);
    click(window, QStringLiteral("cmdSave"));
    QCOMPARE(f.doors.boxes.takeTexts(), QStringList{"Record saved sucessfuly"});
    const qint64 id = f.folder
                          .rows(QStringLiteral("select max(pkContactDetailsId) from "
                                               "tblContactDetails"))
                          .first()
                          .toLongLong();
    auto checkStored = [&] {
        const auto row = f.folder.contactRow(id);
        for (int i = 0; i < 13; ++i)
            QCOMPARE(row.at(QLatin1String(boxes[i][1])), storedForm(i, values[i]));
    };
    checkStored();
    const QString entry = values[0] + u'|' + values[2];

    f.click(QStringLiteral("cmdBusiness"));
    QVERIFY(f.listed().contains(entry));
    f.typeSearch(QString());
    paste(window.txtSearchText, values[2]);
    f.click(QStringLiteral("cmdFind"));
    QVERIFY(f.listed().contains(entry));
    QVERIFY(f.doors.boxes.shown().isEmpty());

    f.doors.boxes.answerYes();
    f.click(QStringLiteral("cmdEmailRecord"));
    const QList<QStringList> csv = parseCsv(f.doors.mail.attachmentContents.last());
    QStringList exported;
    for (const QStringList& record : csv)
        if (record.size() == 14 && exportedAs(record[0], storedForm(0, values[0])) &&
            exportedAs(record[2], values[2]))
            exported = record;
    QCOMPARE(exported.size(), 14);
    for (int i = 0; i < 13; ++i)
        QVERIFY2(exportedAs(exported[i], storedForm(i, values[i])), boxes[i][1]);

    f.doors.boxes.answerYes();
    f.trigger(QStringLiteral("mnuPrintContactBook"));
    const QString printed = RecordingPrinter::texts(printer.documents.last()).join(u'\n');
    for (int i = 0; i < 13; ++i)
        for (const QString& line : storedForm(i, values[i]).split(QStringLiteral("\r\n")))
            QVERIFY2(printed.contains(line), boxes[i][1]);

    // Edit and save unchanged: the load and the update keep every character.
    f.click(QStringLiteral("cmdBusiness"));
    f.clickRow(int(f.listed().indexOf(entry)));
    f.click(QStringLiteral("cmdEditRecord"));
    f.click(QStringLiteral("cmdSave"));
    checkStored();
    QCOMPARE(f.doors.boxes.unansweredQuestions(), 0);
    QCOMPARE(schema(f.folder), schemaBefore);
}

// Random text over the whole Unicode range: any code point but the
// surrogates (not characters) and NUL (refused). A multi-line box also gets
// no line breaks (stored as CR LF, checked above) and not U+FDD0/U+FDD1,
// which the text box itself uses for its own structure and drops.
QString randomText(QRandomGenerator& random, bool multiLine) {
    const int length = int(random.bounded(1, 24));
    QString text;
    while (text.size() < length) {
        char32_t cp;
        switch (random.bounded(4)) {
        case 0:
            cp = char32_t(random.bounded(0x20, 0x7F)); // ASCII, with ' " % _ \ among it
            break;
        case 1:
            cp = char32_t(random.bounded(0x01, 0x3000));
            break;
        default:
            cp = char32_t(random.bounded(0x01, 0x110000));
        }
        if ((cp >= 0xD800 && cp <= 0xDFFF) ||
            (multiLine && (cp == '\r' || cp == '\n' || cp == 0x2028 || cp == 0x2029 ||
                           cp == 0xFDD0 || cp == 0xFDD1)))
            continue;
        text += QString::fromUcs4(&cp, 1);
    }
    return text;
}

} // namespace

class BadInputTest : public QObject {
    Q_OBJECT

private slots:
    void hostileTextInEveryBoxComesBackExactly_data() {
        QTest::addColumn<QString>("value");
        QTest::newRow("quotes") << QStringLiteral("O'Brien \"Bob\" ''");
        QTest::newRow("statement") << QStringLiteral("'); DROP TABLE tblContactDetails;--");
        QTest::newRow("wildcards") << QStringLiteral("100%_done");
        QTest::newRow("backslashes") << QStringLiteral("C:\\path\\to\\");
        QTest::newRow("line breaks") << QStringLiteral("one\r\ntwo\nthree\rfour");
        QTest::newRow("tabs") << QStringLiteral("a\tb\t");
        QTest::newRow("emoji") << QStringLiteral("😀 👨‍👩‍👧");
        QTest::newRow("right to left") << QStringLiteral("שלום عليكم");
        QTest::newRow("combining accents") << QStringLiteral("e\u0301le\u0300ve A\u030A");
        QTest::newRow("spaces only") << QStringLiteral("   ");
    }
    void hostileTextInEveryBoxComesBackExactly() {
        QFETCH(QString, value);
        MainWindowFixture f;
        RecordingPrinter printer;
        QStringList values;
        for (int i = 0; i < 13; ++i)
            values << value;
        roundTrip(f, printer, values);
    }

    // Only the multi-line boxes take a megabyte; no box cuts a value short.
    void aMegabyteCommentAndLongLinesAreKeptWhole() {
        MainWindowFixture f;
        RecordingPrinter printer;
        QStringList values;
        for (int i = 0; i < 13; ++i)
            values << QStringLiteral("v%1").arg(i);
        values[2] = QString(40000, QLatin1Char('L')); // beyond a line box's usual 32767
        values[12] = QString(1 << 20, QLatin1Char('m'));
        roundTrip(f, printer, values);
        f.click(QStringLiteral("cmdBusiness"));
        f.clickRow(0);
        QCOMPARE(f.window().findChild<QLineEdit*>(QStringLiteral("txtLName"))->text(), values[2]);
    }

    void aNulCharacterIsRefusedEverywhereWithAMessage() {
        MainWindowFixture f;
        frmContactMgmt& window = f.window();
        const QString withNul = QStringLiteral("a") + QChar(0) + QStringLiteral("b");
        const QStringList stored = everything(f.folder.path());
        for (int i : {0, 12}) {
            click(window, QStringLiteral("cmdAddRecord"));
            paste(window.findChild<QWidget*>(QLatin1String(boxes[i][0])), withNul);
            click(window, QStringLiteral("cmdSave"));
            QCOMPARE(
                f.doors.boxes.takeTexts(),
                QStringList{(i == 0 ? QStringLiteral("First Name") : QStringLiteral("Comments")) +
                            QStringLiteral(" holds a character that cannot be stored (a NUL "
                                           "character).\r\nPlease remove it and save again.")});
            QVERIFY(window.recordEditor->isVisible()); // still open, with what was typed
            click(window, QStringLiteral("cmdCancel"));
        }
        paste(window.txtSearchText, withNul);
        f.click(QStringLiteral("cmdFind"));
        QCOMPARE(f.doors.boxes.takeTexts(),
                 QStringList{"The search text holds a character that cannot be searched for (a "
                             "NUL character)."});
        f.trigger(QStringLiteral("createcontactbook"));
        f.click(QStringLiteral("cmdAddBook"));
        paste(window.findChild<QLineEdit*>(QStringLiteral("txtNewBookName")), withNul);
        f.click(QStringLiteral("cmdAddConfirm"));
        QCOMPARE(f.doors.boxes.takeTexts(),
                 QStringList{"Please specify a valid contact book name.\r\nThe name holds a "
                             "character that cannot be stored (a NUL character)."});
        QCOMPARE(everything(f.folder.path()), stored);
        // The quoting helper itself refuses what statement text cannot carry.
        QVERIFY_THROWS_EXCEPTION(DbError, sqlText(withNul));
        QVERIFY_THROWS_EXCEPTION(DbError, sqlText(QString(QChar(0xD800))));
    }

    void hostileBookNamesAreStoredAndListedExactly() {
        MainWindowFixture f;
        frmContactMgmt& window = f.window();
        const QString schemaBefore = schema(f.folder);
        f.trigger(QStringLiteral("createcontactbook"));
        auto* name = window.findChild<QLineEdit*>(QStringLiteral("txtNewBookName"));
        auto* books = window.findChild<QListWidget*>(QStringLiteral("lstContactBooks"));
        const QStringList names{QStringLiteral("O'Brien \"family\""),
                                QStringLiteral("'); DROP TABLE tblContactBook;--"),
                                QStringLiteral("50%_off\\"),
                                QStringLiteral("tab\there"),
                                QStringLiteral("two\r\nlines"),
                                QStringLiteral("😀 שלום e\u0301"),
                                QStringLiteral("   "),
                                QString(40000, QLatin1Char('b'))};
        for (const QString& book : names) {
            f.click(QStringLiteral("cmdAddBook"));
            paste(name, book);
            f.click(QStringLiteral("cmdAddConfirm"));
            QCOMPARE(f.doors.boxes.takeTexts(), QStringList{"New Contact book Added successfully"});
        }
        QStringList listedBooks;
        for (int row = 0; row < books->count(); ++row)
            listedBooks << books->item(row)->text();
        QCOMPARE(listedBooks, QStringList{"Default"} + names);
        QCOMPARE(f.folder.rows(QStringLiteral("select ContactBookName from tblContactBook order "
                                              "by pkContactBookId")),
                 QStringList{"Default"} + names);
        // A contact added to each of two of them lands in that book alone.
        for (int row : {2, 5}) {
            books->setCurrentRow(row);
            f.click(QStringLiteral("cmdChooseClose"));
            addContact(window, QStringLiteral("In"), QString::number(row));
            f.click(QStringLiteral("cmdBusiness"));
            QCOMPARE(f.listed(), QStringList{QStringLiteral("In|") + QString::number(row)});
            f.trigger(QStringLiteral("createcontactbook"));
        }
        QCOMPARE(schema(f.folder), schemaBefore);
    }

    void randomUnicodeComesBackIdentical() {
        QRandomGenerator random(20240607);
        MainWindowFixture f;
        RecordingPrinter printer;
        for (int contact = 0; contact < 20; ++contact) {
            QStringList values;
            for (int i = 0; i < 13; ++i)
                values << randomText(random, isMultiLine(i));
            roundTrip(f, printer, values);
            if (QTest::currentTestFailed()) {
                qWarning() << "failing values:" << values;
                return;
            }
        }
    }
};

QTEST_MAIN(BadInputTest)
#include "BadInputTest.moc"
