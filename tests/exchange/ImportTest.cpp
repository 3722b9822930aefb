// Importing through ContactImport into a real database: what the book holds
// afterwards, what the summary says, and that a failure leaves nothing behind.
#include "ExchangeTesting.h"
#include "exchange/ContactImport.h"

#include <QBuffer>

using exchange::ContactImport;
using exchange::ImportSummary;
using Outcome = ImportSummary::Outcome;
using Kind = vcard::ImportProblem::Kind;

namespace {

const QString keepMe = u"Keep||Me|||||||||||P"_s;

// The problems of a summary as "Kind@line", unstorable cards as "NUL@line".
QStringList problemsOf(const ImportSummary& summary) {
    static const char* const names[] = {
        "NotContactFile", "ReadError",    "Unterminated", "MalformedLine", "TextOutside",
        "Empty",          "ValueTooLong", "TooLarge",     "MalformedRow",  "UnclosedQuote",
        "Binary",         "Vendor",       "More"};
    QStringList texts;
    for (const vcard::ImportProblem& p : summary.problems)
        texts << u"%1@%2"_s.arg(QLatin1String(names[int(p.kind)])).arg(p.line);
    for (qint64 line : summary.unstorable)
        texts << u"NUL@%1"_s.arg(line);
    return texts;
}

const QByteArray card = "BEGIN:VCARD\r\nVERSION:3.0\r\nN:Lee;Ann;;;\r\nEND:VCARD\r\n";
const QString ann = u"Ann||Lee|||||||||||P"_s;

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
            setErrorString(u"Input/output error"_s);
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
    // Faulty files: the right values or a clear message, and never part of
    // a file. The book holds "Keep Me" before each import.
    void eachFaultGivesTheRightValuesOrAMessage_data() {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<Outcome>("outcome");
        QTest::addColumn<QStringList>("added");
        QTest::addColumn<QStringList>("problems");
        const QStringList notContacts{"NotContactFile@0"};
        QTest::newRow("an empty card")
            << "BEGIN:VCARD\r\nVERSION:3.0\r\nEND:VCARD\r\n" + card << Outcome::Imported
            << QStringList{ann} << QStringList{"Empty@1"};
        QTest::newRow("no END:VCARD")
            << card + "BEGIN:VCARD\r\nFN:Cut Off\r\n"
            << Outcome::Imported << QStringList{ann} << QStringList{"Unterminated@5"};
        QTest::newRow("a broken line inside a card")
            << "BEGIN:VCARD\r\nFN:X\r\n\x01\x02\xFF\xFE\r\nEND:VCARD\r\n" + card
            << Outcome::Imported << QStringList{ann} << QStringList{"MalformedLine@3"};
        QTest::newRow("a NUL character in a value")
            << card + "BEGIN:VCARD\r\nFN:Nul" + QByteArray(1, '\0') + "Byte\r\nEND:VCARD\r\n"
            << Outcome::Imported << QStringList{ann} << QStringList{"NUL@5"};
        QTest::newRow("binary garbage") << QByteArray("\x89PNG\r\n\x1A\n\0\0\0\rIHDR\0\xFF", 18)
                                        << Outcome::NotContactFile << QStringList() << notContacts;
        QTest::newRow("an empty file")
            << QByteArray() << Outcome::NotContactFile << QStringList() << notContacts;
        QTest::newRow("CSV with a short row")
            << QByteArray("FirstName,LastName,ContactType\r\nAnn,Lee,Personal\r\nBo\r\n"
                          "\"Cy, Jr\",\"Ray\"\"s\",Business\r\n")
            << Outcome::Imported << QStringList{ann, "Cy, Jr||Ray\"s|||||||||||B"}
            << QStringList{"MalformedRow@3"};
    }
    void eachFaultGivesTheRightValuesOrAMessage() {
        QFETCH(QByteArray, file);
        QFETCH(Outcome, outcome);
        QFETCH(QStringList, added);
        QFETCH(QStringList, problems);
        StoreFolder f;
        f.folder.addContact({.firstName = "Keep", .lastName = "Me"});
        QBuffer device(&file);
        device.open(QIODevice::ReadOnly);
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
        f.folder.addBook(u"Work"_s);
        f.store.setCurrentBook(u"Work"_s);
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
        QCOMPARE(f.folder.count(u"tblContactDetails"_s), 1);
    }

    void aBookThatIsGoneOrAFileThatIsNotThereImportsNothing() {
        StoreFolder f;
        writeFile(f.file("in.vcf"), card);
        f.store.setCurrentBook(u"Gone"_s);
        QCOMPARE(ContactImport(f.store).run(f.file("in.vcf")).outcome, Outcome::NoSuchBook);
        f.store.setCurrentBook(u"Default"_s);
        const ImportSummary missing = ContactImport(f.store).run(f.file("missing.vcf"));
        QCOMPARE(missing.outcome, Outcome::Unreadable);
        QCOMPARE(missing.report("missing.vcf", "Default"),
                 u"The file \"missing.vcf\" could not be read (No such file or "
                 "directory). Nothing was imported."_s);
        QCOMPARE(f.folder.count(u"tblContactDetails"_s), 0);
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
                 u"1 contact(s) imported from \"in.vcf\" into the contact book "
                 "\"Default\".\r\n"
                 "1 contact(s) already in the book, so not imported again.\r\n"
                 "2 contact(s) skipped.\r\n\r\n"
                 "Line 1: a contact without any value was skipped.\r\n"
                 "Line 13: a card without END:VCARD was skipped.\r\n"
                 "1 picture(s), sound(s), key(s) or other binary value(s) were "
                 "skipped.\r\n"
                 "1 propert(y/ies) that only other programs use were skipped."_s);
        QCOMPARE(summary.oneLine("in.vcf", "Default"),
                 u"in.vcf: 1 imported into \"Default\", 1 already there, 2 "
                 "skipped"_s);
        QCOMPARE(
            summary.problemLines(1),
            (QStringList{"Line 1: a contact without any value was skipped.", "… and 3 more."}));
    }
};

QTEST_MAIN(ImportTest)
#include "ImportTest.moc"
