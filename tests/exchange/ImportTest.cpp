// Importing through ContactImport into a real database: what the book holds
// afterwards, what the summary says, and that a failure leaves nothing behind.
#include "ExchangeTesting.h"
#include "exchange/ContactImport.h"

#include <QBuffer>
#include <QTest>

using exchange::ContactImport;
using exchange::ImportSummary;
using Outcome = ImportSummary::Outcome;
using Kind = vcard::ImportProblem::Kind;

namespace {

const QString keepMe = QStringLiteral("Keep||Me|||||||||||P");

// The problems of a summary as "Kind@line", unstorable cards as "NUL@line".
QStringList problemsOf(const ImportSummary& summary) {
    static const QHash<Kind, QString> names{{Kind::NotContactFile, "NotContactFile"},
                                            {Kind::ReadError, "ReadError"},
                                            {Kind::UnterminatedCard, "Unterminated"},
                                            {Kind::MalformedLine, "MalformedLine"},
                                            {Kind::TextOutsideCard, "TextOutside"},
                                            {Kind::EmptyCard, "Empty"},
                                            {Kind::ValueTooLong, "ValueTooLong"},
                                            {Kind::TooLarge, "TooLarge"},
                                            {Kind::MalformedRow, "MalformedRow"},
                                            {Kind::UnclosedQuote, "UnclosedQuote"},
                                            {Kind::BinarySkipped, "Binary"},
                                            {Kind::VendorSkipped, "Vendor"},
                                            {Kind::MoreProblems, "More"}};
    QStringList texts;
    for (const vcard::ImportProblem& p : summary.problems)
        texts << names.value(p.kind) + u'@' + QString::number(p.line);
    for (qint64 line : summary.unstorable)
        texts << QStringLiteral("NUL@") + QString::number(line);
    return texts;
}

const QByteArray card = "BEGIN:VCARD\r\nVERSION:3.0\r\nN:Lee;Ann;;;\r\nEND:VCARD\r\n";
const QString ann = QStringLiteral("Ann||Lee|||||||||||P");

// Gives `good` bytes, then fails.
class FailingDevice : public QIODevice {
public:
    explicit FailingDevice(QByteArray good) : m_good(std::move(good)) {
        open(QIODevice::ReadOnly | QIODevice::Unbuffered);
    }
    bool isSequential() const override { return true; }

protected:
    qint64 readData(char* data, qint64 max) override {
        if (m_at >= m_good.size()) {
            setErrorString(QStringLiteral("Input/output error"));
            return -1;
        }
        const qint64 n = qMin(max, qint64(m_good.size()) - m_at);
        memcpy(data, m_good.constData() + m_at, size_t(n));
        m_at += n;
        return n;
    }
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    QByteArray m_good;
    qint64 m_at = 0;
};

} // namespace

class ImportTest : public QObject {
    Q_OBJECT

private slots:
    // Files as other programs write them, read into the book.
    void oldEscapedAndFoldedCardsComeInWithTheirValues_data() {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QStringList>("stored");
        QTest::newRow("2.1: quoted-printable UTF-8, Latin-1 named and unnamed")
            << QByteArray(
                   "BEGIN:VCARD\r\nVERSION:2.1\r\n"
                   "N;CHARSET=ISO-8859-1:Mu\xF1oz;Jos\xE9;;;\r\n"
                   "ADR;HOME;ENCODING=QUOTED-PRINTABLE;CHARSET=UTF-8:;;Calle Ma=C3=B1ana 3=\r\n"
                   "=0D=0A2=C2=BA B;Le=C3=B3n;;24001;\r\n"
                   "TEL;CELL:600 1\r\n"
                   "NOTE;ENCODING=QUOTED-PRINTABLE:Caf=E9 =3D sol=\r\n"
                   "o\r\n"
                   "END:VCARD\r\n"
                   "BEGIN:VCARD\r\nVERSION:2.1\r\nN:Fran\xE7ois;;;;\r\nEND:VCARD\r\n")
            << QStringList{"José||Muñoz|Calle Mañana 3\r\n2º B|León||24001|||600 1|||Café = solo|P",
                           "||François|||||||||||P"};
        QTest::newRow("3.0: escaped , ; \\ and line breaks in every property")
            << QByteArray("BEGIN:VCARD\r\nVERSION:3.0\r\n"
                          "N:O'Hara\\, Jr\\;;Ann\\\\B;Mid\\ndle;;\r\n"
                          "ADR:;;1\\, Main\\; St\\nFlat 2;Town\\,X;S\\;T;0\\\\1;\r\n"
                          "TEL;TYPE=WORK:1\\,2\r\nTEL;TYPE=HOME:3\\;4\r\nTEL;TYPE=CELL:5\\\\6\r\n"
                          "EMAIL:a\\,b@x\r\nX-ORVANTA-GUARDIAN:Pa\\; Ma\\nNan\r\n"
                          "NOTE:one\\, two\\; three\\\\\\nfour\r\n"
                          "CATEGORIES:Business\r\nEND:VCARD\r\n")
            << QStringList{"Ann\\B|Mid\r\ndle|O'Hara, Jr;|1, Main; St\r\nFlat 2|Town,X|S;T|0\\1|"
                           "1,2|3;4|5\\6|a,b@x|Pa; Ma\r\nNan|one, two; three\\\r\nfour|B"};
        QTest::newRow("4.0: accents and an emoji cut by folds, no byte-order mark")
            << QByteArray(
                   "BEGIN:VCARD\r\nVERSION:4.0\r\nN:Bj\xC3\r\n \xB6rk;Zo\xC3\xAB;;;\r\n"
                   "NOTE:smile \xF0\x9F\r\n \x98\x80 and \xE6\x97\r\n\t\xA5\r\nEND:VCARD\r\n")
            << QStringList{"Zoë||Björk||||||||||smile 😀 and 日|P"};
        QTest::newRow("byte-order mark, LF only, lower case")
            << QByteArray("\xEF\xBB\xBF"
                          "begin:vcard\nversion:3.0\nfn:Solo\nemail:s@x\nend:vcard\n")
            << QStringList{"Solo||||||||||s@x|||P"};
    }
    void oldEscapedAndFoldedCardsComeInWithTheirValues() {
        QFETCH(QByteArray, file);
        QFETCH(QStringList, stored);
        StoreFolder f;
        writeFile(f.file("in.vcf"), file);
        const ImportSummary summary = ContactImport(f.store).run(f.file("in.vcf"));
        QCOMPARE(summary.outcome, Outcome::Imported);
        QCOMPARE(problemsOf(summary), QStringList());
        QCOMPARE(summary.imported, stored.size());
        QCOMPARE(f.contacts(), stored);
    }

    // Faulty files: the right values or a clear message, and never part of
    // a file. The book holds "Keep Me" before each import.
    void eachFaultGivesTheRightValuesOrAMessage_data() {
        QTest::addColumn<QByteArray>("head");
        QTest::addColumn<QByteArray>("filler");
        QTest::addColumn<qint64>("repeats");
        QTest::addColumn<QByteArray>("tail");
        QTest::addColumn<Outcome>("outcome");
        QTest::addColumn<QStringList>("added");
        QTest::addColumn<QStringList>("problems");
        const QByteArray none;
        QTest::newRow("an empty card")
            << QByteArray("BEGIN:VCARD\r\nVERSION:3.0\r\nEND:VCARD\r\n") << none << 0LL << card
            << Outcome::Imported << QStringList{ann} << QStringList{"Empty@1"};
        QTest::newRow("no END:VCARD") << card + "BEGIN:VCARD\r\nFN:Cut Off\r\n"
                                      << none << 0LL << none << Outcome::Imported
                                      << QStringList{ann} << QStringList{"Unterminated@5"};
        QTest::newRow("a broken line inside a card")
            << QByteArray("BEGIN:VCARD\r\nFN:X\r\n\x01\x02\xFF\xFE\r\nEND:VCARD\r\n") + card << none
            << 0LL << none << Outcome::Imported << QStringList{ann}
            << QStringList{"MalformedLine@3"};
        QTest::newRow("a NUL character in a value")
            << card + "BEGIN:VCARD\r\nFN:Nul" + QByteArray(1, '\0') + "Byte\r\nEND:VCARD\r\n"
            << none << 0LL << none << Outcome::Imported << QStringList{ann} << QStringList{"NUL@5"};
        QTest::newRow("binary garbage")
            << QByteArray("\x89PNG\r\n\x1A\n\0\0\0\rIHDR", 16) << QByteArray("\0\xFF\x10\x80", 4)
            << 1000LL << none << Outcome::NotContactFile << QStringList()
            << QStringList{"NotContactFile@0"};
        QTest::newRow("an empty file") << none << none << 0LL << none << Outcome::NotContactFile
                                       << QStringList() << QStringList{"NotContactFile@0"};
        QTest::newRow("a 50 MB single line")
            << none << QByteArray("abcdefghij") << 5000000LL << none << Outcome::NotContactFile
            << QStringList() << QStringList{"NotContactFile@0"};
        QTest::newRow("a 50 MB value in a card")
            << QByteArray("BEGIN:VCARD\r\nFN:Big Note\r\nNOTE:") << QByteArray("abcdefghij")
            << 5000000LL << "\r\nEND:VCARD\r\n" + card << Outcome::Imported
            << QStringList{"Big||Note|||||||||||P", ann} << QStringList{"ValueTooLong@3"};
        QTest::newRow("CSV with a short row")
            << QByteArray("FirstName,LastName,ContactType\r\nAnn,Lee,Personal\r\nBo\r\n"
                          "\"Cy, Jr\",\"Ray\"\"s\",Business\r\n")
            << none << 0LL << none << Outcome::Imported
            << QStringList{ann, "Cy, Jr||Ray\"s|||||||||||B"} << QStringList{"MalformedRow@3"};
    }
    void eachFaultGivesTheRightValuesOrAMessage() {
        QFETCH(QByteArray, head);
        QFETCH(QByteArray, filler);
        QFETCH(qint64, repeats);
        QFETCH(QByteArray, tail);
        QFETCH(Outcome, outcome);
        QFETCH(QStringList, added);
        QFETCH(QStringList, problems);
        StoreFolder f;
        f.folder.addContact({.firstName = "Keep", .lastName = "Me"});
        GeneratedDevice device(head, filler.isEmpty() ? QByteArray(" ") : filler,
                               filler.isEmpty() ? 0 : repeats, tail);
        const ImportSummary summary = ContactImport(f.store).run(&device, 0);
        QCOMPARE(summary.outcome, outcome);
        QCOMPARE(problemsOf(summary), problems);
        QCOMPARE(f.contacts(), QStringList{keepMe} + added);
        QCOMPARE(summary.imported, int(added.size()));
    }

    // Identical means every column and the type; the book's contacts and
    // the file's earlier cards count alike, and an import of the same file
    // again adds nothing.
    void identicalContactsAreNotImportedTwice() {
        StoreFolder f;
        f.folder.addContact({.firstName = "Ann", .lastName = "Lee"});
        f.folder.addContact({.firstName = "Keep", .lastName = "Me"});
        const QByteArray business = "BEGIN:VCARD\r\nVERSION:3.0\r\nN:Lee;Ann;;;\r\n"
                                    "CATEGORIES:Business\r\nEND:VCARD\r\n";
        const QByteArray other = "BEGIN:VCARD\r\nVERSION:3.0\r\nN:Lee;Ann;;;\r\n"
                                 "NOTE:Ann \r\nEND:VCARD\r\n";
        writeFile(f.file("in.vcf"), card + business + business + other + card + other);
        ImportSummary summary = ContactImport(f.store).run(f.file("in.vcf"));
        QCOMPARE(summary.imported, 2);
        QCOMPARE(summary.alreadyThere, 4);
        QCOMPARE(f.contacts(),
                 (QStringList{ann, keepMe, "Ann||Lee||||||||||Ann |P", "Ann||Lee|||||||||||B"}));
        summary = ContactImport(f.store).run(f.file("in.vcf"));
        QCOMPARE(summary.imported, 0);
        QCOMPARE(summary.alreadyThere, 6);
        QCOMPARE(f.contacts().size(), 4);
    }

    // A contact of another book is no reason to skip one for this book.
    void onlyTheCurrentBookCountsForDuplicates() {
        StoreFolder f;
        f.folder.addContact({.firstName = "Ann", .lastName = "Lee", .bookId = 1});
        f.folder.addBook(QStringLiteral("Work"));
        f.store.setCurrentBook(QStringLiteral("Work"));
        writeFile(f.file("in.vcf"), card);
        QCOMPARE(ContactImport(f.store).run(f.file("in.vcf")).imported, 1);
        QCOMPARE(f.contacts(), QStringList{ann});
    }

    // Cancel at any point, a file that fails half-way and a database that
    // refuses one insert all leave the book exactly as it was.
    void aStoppedImportLeavesTheBookAsItWas_data() {
        QTest::addColumn<QString>("how");
        QTest::addColumn<Outcome>("outcome");
        QTest::newRow("cancel at the first card") << "cancel 0" << Outcome::Cancelled;
        QTest::newRow("cancel at the last card") << "cancel 99" << Outcome::Cancelled;
        QTest::newRow("read error half-way") << "read error" << Outcome::Unreadable;
        QTest::newRow("database refuses card 60") << "trigger" << Outcome::DatabaseFailed;
    }
    void aStoppedImportLeavesTheBookAsItWas() {
        QFETCH(QString, how);
        QFETCH(Outcome, outcome);
        StoreFolder f;
        f.folder.addContact({.firstName = "Keep", .lastName = "Me"});
        QByteArray file;
        for (int i = 0; i < 100; ++i)
            file += "BEGIN:VCARD\r\nVERSION:3.0\r\nN:Card;" + QByteArray::number(i) +
                    ";;;\r\nEND:VCARD\r\n";
        if (how == QLatin1String("trigger"))
            f.folder.execute("create trigger refuse before insert on tblContactDetails when "
                             "new.FirstName = '60' begin select raise(abort, 'refused'); end");
        CancelAfter cancel(how.startsWith(QLatin1String("cancel")) ? how.mid(7).toInt() : 1000);
        ImportSummary summary;
        if (how == QLatin1String("read error")) {
            FailingDevice device(file.left(file.size() / 2));
            summary = ContactImport(f.store, &cancel).run(&device, file.size());
        } else {
            QBuffer buffer(&file);
            buffer.open(QIODevice::ReadOnly);
            summary = ContactImport(f.store, &cancel).run(&buffer, file.size());
        }
        QCOMPARE(summary.outcome, outcome);
        QCOMPARE(summary.imported, 0);
        QCOMPARE(f.contacts(), QStringList{keepMe});
        QCOMPARE(f.folder.count(QStringLiteral("tblContactDetails")), 1);
    }

    void aBookThatIsGoneOrAFileThatIsNotThereImportsNothing() {
        StoreFolder f;
        writeFile(f.file("in.vcf"), card);
        f.store.setCurrentBook(QStringLiteral("Gone"));
        QCOMPARE(ContactImport(f.store).run(f.file("in.vcf")).outcome, Outcome::NoSuchBook);
        f.store.setCurrentBook(QStringLiteral("Default"));
        const ImportSummary missing = ContactImport(f.store).run(f.file("missing.vcf"));
        QCOMPARE(missing.outcome, Outcome::Unreadable);
        QCOMPARE(missing.report("missing.vcf", "Default"),
                 QStringLiteral("The file \"missing.vcf\" could not be read (No such file or "
                                "directory). Nothing was imported."));
        QCOMPARE(f.folder.count(QStringLiteral("tblContactDetails")), 0);
    }

    // What the user reads at the end, and the line a script reads.
    void theSummarySaysWhatCameInWhatWasThereAndWhatWasSkipped() {
        StoreFolder f;
        f.folder.addContact({.firstName = "Ann", .lastName = "Lee"});
        writeFile(f.file("in.vcf"),
                  "BEGIN:VCARD\r\nVERSION:3.0\r\nEND:VCARD\r\n" + card +
                      "BEGIN:VCARD\r\nFN:Bo Ray\r\nPHOTO;ENCODING=b:AAAA\r\nX-FOO:1\r\n"
                      "END:VCARD\r\nBEGIN:VCARD\r\nFN:Cut\r\n");
        const ImportSummary summary = ContactImport(f.store).run(f.file("in.vcf"));
        QCOMPARE(summary.report("in.vcf", "Default"),
                 QStringLiteral("1 contact(s) imported from \"in.vcf\" into the contact book "
                                "\"Default\".\r\n"
                                "1 contact(s) already in the book, so not imported again.\r\n"
                                "2 contact(s) skipped.\r\n\r\n"
                                "Line 1: a contact without any value was skipped.\r\n"
                                "Line 13: a card without END:VCARD was skipped.\r\n"
                                "1 picture(s), sound(s), key(s) or other binary value(s) were "
                                "skipped.\r\n"
                                "1 propert(y/ies) that only other programs use were skipped."));
        QCOMPARE(summary.oneLine("in.vcf", "Default"),
                 QStringLiteral("in.vcf: 1 imported into \"Default\", 1 already there, 2 "
                                "skipped"));
        QCOMPARE(
            summary.problemLines(1),
            (QStringList{"Line 1: a contact without any value was skipped.", "… and 3 more."}));
    }
};

QTEST_MAIN(ImportTest)
#include "ImportTest.moc"
