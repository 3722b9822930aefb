#include "VCardTesting.h"
#include "vcard/ContactFileReader.h"

#include <QFile>

using vcard::ImportProblem;
using Kind = ImportProblem::Kind;
using Problems = QList<ImportProblem>;

namespace {

ImportProblem problem(Kind kind, qint64 line, int count = 0) {
    return {kind, line, count, {}};
}

// What a reader gives for `device`, with the problems' details left out.
vcard::ImportResult readAll(QIODevice* device) {
    vcard::ImportResult result = vcard::readContacts(device);
    for (ImportProblem& p : result.problems)
        p.detail.clear();
    return result;
}

QStringList contactsOf(const vcard::ImportResult& result) {
    QStringList contacts;
    for (const vcard::ReadContact& read : result.contacts)
        contacts.append(described(read.contact));
    return contacts;
}

// Peak memory of this process in KiB since the last reset.
qint64 peakKiB(bool reset) {
    if (reset) {
        QFile clear(u"/proc/self/clear_refs"_s);
        if (!clear.open(QIODevice::WriteOnly) || clear.write("5") != 1)
            return -1;
    }
    QFile status(u"/proc/self/status"_s);
    status.open(QIODevice::ReadOnly);
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').first().toLongLong();
    return -1;
}

const QByteArray csvHeader = "FirstName,MiddleName,LastName,Address,City,State,ZipCode,"
                             "WorkPhoneNumber,HomePhoneNumber,CellPhoneNumber,EmailAddress,"
                             "ParentOrGuardianName,Comments,ContactType\r\n";

} // namespace

class VCardReadTest : public QObject {
    Q_OBJECT

private slots:
    void readsWhatOtherProgramsWrite_data() {
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<QStringList>("contacts"); // as described()
        QTest::addColumn<Problems>("problems");

        QTest::newRow("2.1 quoted-printable, Latin-1 and windows-1252")
            << QByteArray("BEGIN:VCARD\r\nVERSION:2.1\r\n"
                          "N;CHARSET=ISO-8859-1;ENCODING=QUOTED-PRINTABLE:M=FCller;J=F6rg;;;\r\n"
                          "ADR;HOME;CHARSET=ISO-8859-1;ENCODING=QUOTED-PRINTABLE:;;Hauptstra=DFe "
                          "1=0D=0A=\r\nHinterhaus;K=F6ln;;50667;\r\n"
                          "TEL;CELL:0171 1\r\nTEL;HOME;VOICE:0221 2\r\nTEL;WORK;FAX:0221 3\r\n"
                          "NOTE;QUOTED-PRINTABLE;CHARSET=windows-1252:Preis =80 5=\r\n0\r\n"
                          "END:VCARD\r\n")
            << QStringList{"Jörg||Müller|Hauptstraße 1\r\nHinterhaus|Köln||50667||0221 2|0171 1|||"
                           "Preis € 50\r\nFax (work): 0221 3|P"}
            << Problems{};

        QTest::newRow("3.0 in lower case with LF, groups and values without a column")
            << QByteArray("begin:vcard\nversion:3.0\nn:Doe;Jane;Q.;Dr.;PhD\nfn:Dr. Jane Q. Doe\n"
                          "TEL;TYPE=CELL:+1 555 0111\n"
                          "item1.tel;type=CELL,WORK,voice:+1 555 0100\nitem1.X-ABLabel:Office\n"
                          "item2.TEL;type=VOICE:+1 555 0199\nitem2.X-ABLabel:_$!<Other>!$_\n"
                          "TEL;TYPE=HOME:+1 555 0122\n"
                          "EMAIL;type=INTERNET;type=pref:jane@example.org\n"
                          "EMAIL;TYPE=INTERNET:jd@example.com\nORG:Acme;Research\n"
                          "TITLE:Chemist\nX-ORVANTA-GUARDIAN:John Doe\n"
                          "CATEGORIES:Friends,business\nX-ABUID:1234\nend:vcard\n"
                          "BEGIN:VCARD\nVERSION:3.0\nFN:Acme Widgets Inc\nORG:Acme Widgets Inc\n"
                          "N:;;;;\nEND:VCARD\n")
            << QStringList{"Jane|Q.|Doe|||||+1 555 0100|+1 555 0122|+1 555 0111|jane@example.org|"
                           "John Doe|E-mail: jd@example.com\r\nOrganization: Acme, Research\r\n"
                           "Title: Chemist\r\nCategories: Friends\r\nName prefix: Dr.\r\nName "
                           "suffix: PhD\r\n"
                           "Phone (Other): +1 555 0199|B",
                           "||Acme Widgets Inc||||||||||Organization: Acme Widgets Inc|P"}
            << Problems{problem(Kind::VendorSkipped, 0, 1)};

        QTest::newRow("4.0 with FN only, a second address, a fax and a photo")
            << QByteArray("BEGIN:VCARD\r\nVERSION:4.0\r\nFN:Ludwig van Beethoven\r\n"
                          "TEL;VALUE=uri;TYPE=\"work,voice\":tel:+49-228-0\r\n"
                          "TEL;TYPE=fax:+49 1\r\nTEL:+49 2\r\n"
                          "ADR;TYPE=work:;Suite 5;Bonngasse 20;Bonn;NRW;53111;Germany\r\n"
                          "ADR;TYPE=home:;;Wien 1;Wien;;1010;Austria\r\n"
                          "EMAIL:lvb@example.org\r\nNOTE:Composer\\, pianist\r\n"
                          "PHOTO:data:image/png;base64,iVBORw0KGgo=\r\nEND:VCARD\r\n")
            << QStringList{"Ludwig|van|Beethoven|Bonngasse 20|Bonn|NRW|53111|+49-228-0||+49 2|"
                           "lvb@example.org||Composer, pianist\r\nFax: +49 1\r\nExtended address: "
                           "Suite 5\r\nCountry: Germany\r\nAddress (home): Wien 1, Wien, 1010, "
                           "Austria|P"}
            << Problems{problem(Kind::BinarySkipped, 0, 1)};

        QTest::newRow("escapes in every field, a fold inside an emoji, a byte-order mark")
            << QByteArray(
                   "\xEF\xBB\xBF"
                   "BEGIN:VCARD\r\nVERSION:3.0\r\nN:O\\;Brien\\, Jr.;Ann\\nMa\r\n rie;\\\\x;;\r\n"
                   "ADR:;;1 Main St\\nApt 2\\, rear;Town\\;ville;ST\\,X;01\\\\2;\r\n"
                   "TEL;TYPE=CELL:555\\,1\r\nEMAIL:a\\;b@example.org\r\n"
                   "X-ORVANTA-GUARDIAN:Pa\\NMa\r\nNOTE:smile \xF0\x9F\r\n\t\x98\x80 end\r\n"
                   "END:VCARD\r\n")
            << QStringList{"Ann\r\nMarie|\\x|O;Brien, Jr.|1 Main St\r\nApt 2, rear|Town;ville|ST,X|"
                           "01\\2|||555,1|a;b@example.org|Pa\r\nMa|smile 😀 end|P"}
            << Problems{};

        QTest::newRow("invalid UTF-8 without a charset is read as windows-1252")
            << QByteArray("BEGIN:VCARD\nN:Gonz\xE1lez;Mar\xED"
                          "a;;;\nEND:VCARD\n")
            << QStringList{"María||González|||||||||||P"} << Problems{};

        QTest::newRow("CSV of the program's own export")
            << csvHeader +
                   "Ann,'tis,Lee,\"1 Main St\r\nFlat 2\",Town,ST,01234,'+1-800-FLOWERS,'=2+2,"
                   "'+1 555,ann@example.org,\"Bo \"\"Pa\"\" Lee\",\"line1\r\nline2, more\","
                   "Business\r\n"
                   "\r\nCy,,Cole,\"\",,,,,,,,,\"\",Personal\r\n"
            // The export guards only what a spreadsheet would run: "'+1 555" is
            // a value of the user's own.
            << QStringList{"Ann|'tis|Lee|1 Main St\r\nFlat 2|Town|ST|01234|+1-800-FLOWERS|=2+2|"
                           "'+1 555|ann@example.org|Bo \"Pa\" Lee|line1\r\nline2, more|B",
                           "Cy||Cole|||||||||||P"}
            << Problems{};

        const QStringList b{"B|||||||||||||P"};
        QTest::newRow("a card without END:VCARD")
            << QByteArray("BEGIN:VCARD\r\nFN:A\r\nBEGIN:VCARD\r\nFN:B\r\nEND:VCARD\r\n"
                          "BEGIN:VCARD\r\nFN:C\r\n")
            << b
            << Problems{problem(Kind::UnterminatedCard, 1), problem(Kind::UnterminatedCard, 6)};
        QTest::newRow("a line that is not name:value, text between cards")
            << QByteArray("BEGIN:VCARD\nFN:A\nnot a property\nEND:VCARD\nstray\nstray\n"
                          "BEGIN:VCARD\nFN:B\nEND:VCARD\n")
            << b << Problems{problem(Kind::MalformedLine, 3), problem(Kind::TextOutsideCard, 5)};
        QTest::newRow("empty cards")
            << QByteArray("BEGIN:VCARD\r\nEND:VCARD\r\nBEGIN:VCARD\r\nVERSION:3.0\r\nUID:1\r\n"
                          "PHOTO;ENCODING=b;TYPE=JPEG:abc\r\n def\r\nEND:VCARD\r\n")
            << QStringList{}
            << Problems{problem(Kind::EmptyCard, 1), problem(Kind::EmptyCard, 3),
                        problem(Kind::BinarySkipped, 0, 1)};
        QTest::newRow("binary values")
            << QByteArray("BEGIN:VCARD\nFN:B\nLOGO;VALUE=uri:http://example.org/a.png\n"
                          "X-IMAGE;ENCODING=BASE64:AAAA\nKEY;ENCODING=b:AAAA\nEND:VCARD\n")
            << b << Problems{problem(Kind::BinarySkipped, 0, 3)};
        QTest::newRow("CSV rows with a field too many and an unclosed quote")
            << csvHeader + "A,,L,\"\",,,,,,,,,\"\",Personal,x\r\nB,,,\"\",,,,,,,,,\"\",Personal\r\n"
                           "C,,L,\"open,,,,,,,,,,,Personal\r\n"
            << b << Problems{problem(Kind::MalformedRow, 2, 15), problem(Kind::UnclosedQuote, 4)};

        const Problems notContacts{problem(Kind::NotContactFile, 0)};
        QTest::newRow("binary garbage")
            << QByteArray("\x89PNG\r\n\x1a\n\0\0\xff\xfe", 12) << QStringList{} << notContacts;
        QTest::newRow("plain text") << QByteArray("Dear Ann,\nBEGIN:VCARD\nFN:A\nEND:VCARD\n")
                                    << QStringList{} << notContacts;
        QTest::newRow("CSV of other columns")
            << QByteArray("Name,Phone\r\nAnn,1\r\n") << QStringList{} << notContacts;
        QTest::newRow("an empty file") << QByteArray() << QStringList{} << notContacts;
    }

    // Read whole, and read from a device that hands over a few bytes at a
    // time, so that every line end, fold and character is cut somewhere.
    void readsWhatOtherProgramsWrite() {
        QFETCH(QByteArray, input);
        QFETCH(QStringList, contacts);
        QFETCH(Problems, problems);
        for (const qint64 piece : {qint64(1) << 16, qint64(1), qint64(5)}) {
            GeneratedDevice device(input, {}, 0, {}, piece);
            const vcard::ImportResult result = readAll(&device);
            QCOMPARE(contactsOf(result), contacts);
            QCOMPARE(result.problems, problems);
        }
    }

    void givesTheUidAndLineOfEachCard() {
        const vcard::ImportResult result = vcard::readContacts(
            QByteArray("BEGIN:VCARD\nUID:urn:uuid:4FBE8971-0BC3-424C-9C26-36C3E1EFF6B1\nFN:A\n"
                       "END:VCARD\n\nbegin:vcard\nfn:B\nuid:x-1\nend:vcard\n"));
        QCOMPARE(result.format, vcard::FileFormat::VCard);
        QCOMPARE(result.contacts.size(), 2);
        QCOMPARE(result.contacts[0].uid, u"4FBE8971-0BC3-424C-9C26-36C3E1EFF6B1"_s);
        QCOMPARE(result.contacts[1].uid, u"x-1"_s);
        QCOMPARE(result.contacts[1].line, 6);
    }

    void problemsNameTheLineAndTheText() {
        const vcard::ImportResult result = vcard::readContacts(
            QByteArray("BEGIN:VCARD\nFN:A\nNäher dran, ein Satz ohne Doppelpunkt und lang\n"
                       "END:VCARD\n"));
        QCOMPARE(result.problems.size(), 1);
        QCOMPARE(result.problems[0].message(),
                 u"Line 3: \"Näher dran, ein Satz ohne Doppelpunkt un\" is not a "
                 "property of the form name:value; its card was skipped."_s);
    }

    // Huge inputs are made on the fly; what they would cost if kept shows in
    // the peak memory, which must stay far below their size.
    void hugeInputsTakeBoundedMemory_data() {
        QTest::addColumn<QByteArray>("head");
        QTest::addColumn<QByteArray>("filler");
        QTest::addColumn<qint64>("repeats");
        QTest::addColumn<QByteArray>("tail");
        QTest::addColumn<QStringList>("contacts");
        QTest::addColumn<Problems>("problems");
        const QByteArray kib(1024, 'x');
        const qint64 size = 200 << 10;
        const QStringList a{"A|||||||||||||P"};
        QTest::newRow("a 200 MB line of a card")
            << QByteArray("BEGIN:VCARD\r\nFN:A\r\nNOTE:") << kib << size
            << QByteArray("\r\nEND:VCARD\r\n") << a << Problems{problem(Kind::ValueTooLong, 3)};
        QTest::newRow("a 200 MB line without a line end")
            << QByteArray() << QByteArray(1024, '\xff') << size << QByteArray() << QStringList{}
            << Problems{problem(Kind::NotContactFile, 0)};
        QTest::newRow("a card of 2 million tiny lines")
            << QByteArray("BEGIN:VCARD\r\nFN:A\r\n") << QByteArray("URL:a\r\n") << qint64(2000000)
            << QByteArray("END:VCARD\r\n"
                          "BEGIN:VCARD\r\nFN:A\r\nEND:VCARD\r\n")
            << a << Problems{problem(Kind::TooLarge, 1)};
        QTest::newRow("a 200 MB CSV field")
            << csvHeader + "A,,,\"" << kib << size
            << QByteArray("\",,,,,,,,,,Personal\r\nA,,,,,,,,,,,,,Personal\r\n") << a
            << Problems{problem(Kind::TooLarge, 2)};
    }

    void hugeInputsTakeBoundedMemory() {
        QFETCH(QByteArray, head);
        QFETCH(QByteArray, filler);
        QFETCH(qint64, repeats);
        QFETCH(QByteArray, tail);
        QFETCH(QStringList, contacts);
        QFETCH(Problems, problems);
        const qint64 before = peakKiB(true);
        if (before < 0)
            QSKIP("this system does not show the peak memory of a process");
        GeneratedDevice device(head, filler, repeats, tail);
        const vcard::ImportResult result = readAll(&device);
        QCOMPARE(contactsOf(result), contacts);
        QCOMPARE(result.problems, problems);
        QCOMPARE_LT(peakKiB(false) - before, 64 * 1024);
    }
};

QTEST_MAIN(VCardReadTest)
#include "VCardReadTest.moc"
