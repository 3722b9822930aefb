// The reader against other programs' files, the writer, the kept cards rewritten.
#include "VCardTesting.h"
#include "formats/CardExtras.h"
#include "formats/CardUpdate.h"
#include "formats/ContactFileReader.h"
#include "formats/VCardWriter.h"

#include <QBuffer>

#include <functional>
#include <tuple>

using vcard::ImportProblem;
using vcard::VCardVersion;
using Kind = ImportProblem::Kind;
using Problems = QList<ImportProblem>;

using Edit = std::function<void(Contact&)>;
Q_DECLARE_METATYPE(Edit)

namespace {

ImportProblem problem(Kind kind, qint64 line, int count = 0) {
    return {kind, line, count, {}};
}

// A file, its contacts as described(), the problems, and the first card as kept.
void row(const char* name, const QByteArray& input, const QStringList& contacts,
         const Problems& problems = {}, const QByteArray& kept = {}) {
    QTest::newRow(name) << input << contacts << problems << kept;
}

// Hands over at most `piece` bytes a read.
struct PieceDevice : QBuffer {
    qint64 piece = 0;
    qint64 readData(char* data, qint64 max) override {
        return QBuffer::readData(data, qMin(max, piece));
    }
};

const QByteArray csvHeader = "FirstName,MiddleName,LastName,Address,City,State,ZipCode,"
                             "WorkPhoneNumber,HomePhoneNumber,CellPhoneNumber,EmailAddress,"
                             "ParentOrGuardianName,Comments,ContactType\r\n";

} // namespace

class VCardTest : public QObject {
    Q_OBJECT

private slots:
    // The 2.1 cards kept become 3.0 with their values in UTF-8; every card is
    // kept with its properties, lines unfolded, folded again, with CR LF.
    void readsWhatOtherProgramsWrite_data() {
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<QStringList>("contacts"); // as described()
        QTest::addColumn<Problems>("problems");
        QTest::addColumn<QByteArray>("kept"); // the first card's, when given
        row("escapes between plain runs, a backslash at the end",
            "BEGIN:VCARD\r\nVERSION:3.0\r\nN:Lee;Ann;;;\r\nEMAIL:a\\\\b\\\r\n"
            "NOTE:x\\,y\\;z\\\\w\\nv\\q\\N\r\nEND:VCARD\r\n",
            {"Ann||Lee||||||||a\\b\\||x,y;z\\w\r\nv\\q\r\n|P"});
        row("2.1 quoted-printable, Latin-1 and windows-1252",
            "BEGIN:VCARD\r\nVERSION:2.1\r\n"
            "N;CHARSET=ISO-8859-1;ENCODING=QUOTED-PRINTABLE:M=FCller;J=F6rg;;;\r\n"
            "ADR;HOME;CHARSET=ISO-8859-1;ENCODING=QUOTED-PRINTABLE:;;Hauptstra=DFe "
            "1=0D=0A=\r\nHinterhaus;K=F6ln;;50667;\r\n"
            "TEL;CELL:0171 1\r\nTEL;HOME;VOICE:0221 2\r\nTEL;WORK;FAX:0221 3\r\n"
            "NOTE;QUOTED-PRINTABLE;CHARSET=windows-1252:Preis =80 =39=\r\n0\r\nEND:VCARD\r\n",
            {"Jörg||Müller|Hauptstraße 1\r\nHinterhaus|Köln||50667||0221 2|0171 1|||Preis € 90|P"});
        row("3.0 after a blank line, lower case, LF, groups, values without a column",
            " \nbegin:vcard\nversion:3.0\nn:Doe;Jane;Q.;Dr.;PhD\nfn:Dr. Jane Q. Doe\n"
            "TEL;TYPE=CELL:+1 555 0111\nitem1.tel;type=CELL,WORK,voice:+1 555 0100\n"
            "item1.X-ABLabel:Office\nitem2.TEL;type=VOICE:+1 555 0199\n"
            "item2.X-ABLabel:_$!<Other>!$_\nTEL;TYPE=HOME:+1 555 0122\n"
            "EMAIL;type=INTERNET;type=pref:jane@example.org\n"
            "EMAIL;TYPE=INTERNET:jd@example.com\nORG:Acme;Research\nTITLE:Chemist\n"
            "X-ORVANTA-GUARDIAN:John Doe\nCATEGORIES:Friends,business\nX-ABUID:1234\n"
            "end:vcard\nBEGIN:VCARD\nVERSION:3.0\nFN:Acme Widgets Inc\nORG:Acme Widgets Inc\n"
            "N:;;;;\nEND:VCARD\n",
            {"Jane|Q.|Doe|||||+1 555 0100|+1 555 0122|+1 555 0111|jane@example.org|John Doe||B",
             "||Acme Widgets Inc|||||||||||P"});
        row("4.0 with FN only, a second address, a fax and a photo",
            "BEGIN:VCARD\r\nVERSION:4.0\r\nFN:Ludwig van Beethoven\r\n"
            "TEL;VALUE=uri;TYPE=\"work,voice\":tel:+49-228-0\r\nTEL;TYPE=fax:+49 1\r\n"
            "TEL:+49 2\r\nADR;TYPE=work:;Suite 5;Bonngasse 20;Bonn;NRW;53111;Germany\r\n"
            "ADR;TYPE=home:;;Wien 1;Wien;;1010;Austria\r\nEMAIL:lvb@example.org\r\n"
            "NOTE:Composer\\, pianist\r\nPHOTO:data:image/png;base64,iVBORw0KGgo=\r\n"
            "END:VCARD\r\n",
            {"Ludwig|van|Beethoven|Bonngasse 20|Bonn|NRW|53111|+49-228-0||+49 2|"
             "lvb@example.org||Composer, pianist|P"});
        row("escapes in every field, a fold inside an emoji, a byte-order mark",
            "\xEF\xBB\xBF"
            "BEGIN:VCARD\r\nVERSION:3.0\r\nN:O\\;Brien\\, Jr.;Ann\\nMa\r\n rie;\\\\x;;\r\n"
            "ADR:;;1 Main St\\nApt 2\\, rear;Town\\;ville;ST\\,X;01\\\\2;\r\n"
            "TEL;TYPE=CELL:555\\,1\r\nEMAIL:a\\;b@example.org\r\n"
            "X-ORVANTA-GUARDIAN:Pa\\NMa\r\nNOTE:smile \xF0\x9F\r\n\t\x98\x80 end\r\n"
            "END:VCARD\r\n",
            {"Ann\r\nMarie|\\x|O;Brien, Jr.|1 Main St\r\nApt 2, rear|Town;ville|ST,X|01\\2|||"
             "555,1|a;b@example.org|Pa\r\nMa|smile 😀 end|P"});
        // Only what a spreadsheet would run is guarded: "'+1 555" is the user's.
        row("CSV of the program's own export",
            csvHeader + "Ann,'tis,Lee,\"1 Main St\r\nFlat 2\",Town,ST,01234,'+1-800-FLOWERS,'=2+2,"
                        "'+1 555,ann@example.org,\"Bo \"\"Pa\"\" Lee\",\"line1\r\nline2, more\","
                        "Business\r\n\r\nCy,,Cole,\"\",,,,,,,,,\"\",Personal\r\n",
            {"Ann|'tis|Lee|1 Main St\r\nFlat 2|Town|ST|01234|+1-800-FLOWERS|=2+2|'+1 555|"
             "ann@example.org|Bo \"Pa\" Lee|line1\r\nline2, more|B",
             "Cy||Cole|||||||||||P"});
        row("CR CR LF line ends, a fold among them",
            "BEGIN:VCARD\r\r\nVERSION:3.0\r\r\nN:Lee;Ann;;;\r\r\nTEL;TYPE=CELL:+1 555 0111\r\r\n"
            "EMAIL:ann@example.org\r\r\nNOTE:two\\nli\r\r\n nes\r\r\nEND:VCARD\r\r\n",
            {"Ann||Lee|||||||+1 555 0111|ann@example.org||two\r\nlines|P"});
        row("CR line ends, a quoted-printable soft break",
            "BEGIN:VCARD\rVERSION:2.1\rN:Lee;Ann\rTEL;HOME:0221 2\r"
            "NOTE;ENCODING=QUOTED-PRINTABLE:a=\rb\rEND:VCARD\r",
            {"Ann||Lee||||||0221 2||||ab|P"});
        // A lone CR or LF decoded from quoted-printable is a line break; in a
        // parameter ^n is one, a caret before anything else stays.
        row("lone CR and LF in a value, caret escapes in a parameter",
            "BEGIN:VCARD\r\nVERSION:2.1\r\nN:Lee;Ann\r\nTEL;TYPE=^,work^n:111\r\n"
            "NOTE;ENCODING=QUOTED-PRINTABLE:one=0Dtwo=0Athree\r\nEND:VCARD\r\n",
            {"Ann||Lee|||||111|||||one\r\ntwo\r\nthree|P"});
        row("a group on BEGIN and END",
            "home.begin:vcard\r\nversion:3.0\r\nn:Lee;Ann;;;\r\nhome.end:vcard\r\n",
            {"Ann||Lee|||||||||||P"});
        row("UTF-8 named, one byte invalid",
            "BEGIN:VCARD\r\nVERSION:2.1\r\nN;CHARSET=UTF-8:M\xC3\xBCller\xE9;J\xC3\xB6rg\r\n"
            "END:VCARD\r\n",
            {u"Jörg||Müller\uFFFD|||||||||||P"_s});
        row("bad lines skipped, their cards read",
            "BEGIN:VCARD\nVERSION:3.0\nFN\nN:Lee;Ann;;;\nX-messaging/twitter-All:@ann\n"
            "# a comment\nTEL;TYPE=CELL:+1 555 0111\nEND:VCARD\nBEGIN:VCARD\nVERSION:2.1\n"
            "N:Ray;Bo\nADR;HOME:;;1 Main St\\\nFlat 2;Town;;;\nEMAIL:bo@example.org\nEND:VCARD\n",
            {"Ann||Lee|||||||+1 555 0111||||P", "Bo||Ray|1 Main St\\|||||||bo@example.org|||P"},
            {problem(Kind::MalformedLine, 3), problem(Kind::MalformedLine, 5),
             problem(Kind::MalformedLine, 6), problem(Kind::MalformedLine, 13)});
        row("a 2.1 card in a card",
            "BEGIN:VCARD\r\nVERSION:2.1\r\nN:Lee;Ann\r\nAGENT:\r\nBEGIN:VCARD\r\nVERSION:2.1\r\n"
            "N:Ray;Bo\r\nTEL;WORK:0221 9\r\nEND:VCARD\r\nTEL;CELL:0171 1\r\nEND:VCARD\r\n",
            {"Bo||Ray|||||0221 9||||||P", "Ann||Lee|||||||0171 1||||P"});
        const QString a = u"A|||||||||||||P"_s, b = u"B|||||||||||||P"_s;
        row("a card without END:VCARD",
            "BEGIN:VCARD\r\nFN:A\r\nBEGIN:VCARD\r\nFN:B\r\nEND:VCARD\r\nBEGIN:VCARD\r\nFN:C\r\n",
            {b}, {problem(Kind::UnterminatedCard, 1), problem(Kind::UnterminatedCard, 6)});
        row("a line that is not name:value, text between cards",
            "BEGIN:VCARD\nFN:A\nnot a property\nEND:VCARD\nstray\nstray\n"
            "BEGIN:VCARD\nFN:B\nEND:VCARD\n",
            {a, b}, {problem(Kind::MalformedLine, 3), problem(Kind::TextOutsideCard, 5)});
        row("empty cards, binary values",
            "BEGIN:VCARD\r\nN: ;;;;\r\nEND:VCARD\r\nBEGIN:VCARD\r\nVERSION:3.0\r\nUID:1\r\n"
            "PHOTO;ENCODING=b;TYPE=JPEG:abc\r\n def\r\nLOGO;VALUE=uri:http://example.org/a.png\r\n"
            "X-IMAGE;ENCODING=BASE64:AAAA\r\nKEY;ENCODING=b:AAAA\r\nEND:VCARD\r\n",
            {}, {problem(Kind::EmptyCard, 1), problem(Kind::EmptyCard, 4)});
        row("a value of 5 MB, a card of 10 MB",
            "BEGIN:VCARD\r\nFN:A\r\nNOTE:" + QByteArray(5 << 20, 'x') + "\r\nEND:VCARD\r\n" +
                "BEGIN:VCARD\r\nFN:B\r\n" + QByteArray("URL:a\r\n").repeated(10 << 17) +
                "END:VCARD\r\n",
            {a}, {problem(Kind::ValueTooLong, 3), problem(Kind::TooLarge, 5)});
        row("CSV rows with a field too many and an unclosed quote",
            csvHeader + "A,,L,\"\",,,,,,,,,\"\",Personal,x\r\nB,,,\"\",,,,,,,,,\"\",Personal\r\n"
                        "C,,L,\"open,,,,,,,,,,,Personal\r\n",
            {b}, {problem(Kind::MalformedRow, 2, 15), problem(Kind::UnclosedQuote, 4)});
        const Problems notContacts{problem(Kind::NotContactFile, 0)};
        row("binary garbage", QByteArray("\x89PNG\r\n\x1a\n\0\0\xff\xfe", 12), {}, notContacts);
        row("plain text", "Dear Ann,\nBEGIN:VCARD\nFN:A\nEND:VCARD\n", {}, notContacts);
        row("CSV of other columns", "Name,Phone\r\nAnn,1\r\n", {}, notContacts);
        row("an empty file", {}, {}, notContacts);

        row("kept: 3.0 with LF, a group, a vendor property and a photo",
            "BEGIN:VCARD\nVERSION:3.0\nUID:u-1\nN:Lee;Ann;;;\nitem1.TEL;type=pref:+1 555\n"
            "item1.X-ABLabel:_$!<AssistantPhone>!$_\nX-FOO;X-P=1:bar\\, baz\n"
            "PHOTO;ENCODING=b;TYPE=JPEG:AAAA\n BBBB\nEND:VCARD\n",
            {"Ann||Lee|||||||+1 555||||P"}, {},
            "BEGIN:VCARD\r\nVERSION:3.0\r\nUID:u-1\r\nN:Lee;Ann;;;\r\nitem1.TEL;type=pref:+1 "
            "555\r\n"
            "item1.X-ABLabel:_$!<AssistantPhone>!$_\r\nX-FOO;X-P=1:bar\\, baz\r\n"
            "PHOTO;ENCODING=b;TYPE=JPEG:AAAABBBB\r\nEND:VCARD\r\n");
        row("kept: 2.1 quoted-printable, bare types, a base64 photo",
            "BEGIN:VCARD\r\nVERSION:2.1\r\n"
            "N;CHARSET=ISO-8859-1;ENCODING=QUOTED-PRINTABLE:M=FCller;J=F6rg;;;\r\n"
            "TEL;CELL;VOICE:0171 1\r\nPHOTO;ENCODING=BASE64;TYPE=GIF:\r\n    R0lG\r\n    ODlh\r\n"
            "\r\nEND:VCARD\r\n",
            {"Jörg||Müller|||||||0171 1||||P"}, {},
            "BEGIN:VCARD\r\nVERSION:3.0\r\nN:Müller;Jörg;;;\r\nTEL;TYPE=CELL,VOICE:0171 1\r\n"
            "PHOTO;TYPE=GIF;ENCODING=b:R0lGODlh\r\nEND:VCARD\r\n");
        row("kept: 2.1 types with caret escapes, written back escaped",
            "BEGIN:VCARD\r\nVERSION:2.1\r\nN:Lee;Ann\r\nTEL;TYPE=^^x,^'y^',a^nb,WORK:1\r\n"
            "END:VCARD\r\n",
            {"Ann||Lee|||||1||||||P"}, {},
            "BEGIN:VCARD\r\nVERSION:3.0\r\nN:Lee;Ann\r\nTEL;TYPE=^^X,^'Y^',A^nB,WORK:1\r\n"
            "END:VCARD\r\n");
        row("kept: 4.0 with a long line folded at 75 octets",
            "BEGIN:VCARD\r\nVERSION:4.0\r\nFN:A\r\nNOTE:" + QByteArray(80, 'x') +
                "\r\nEND:VCARD\r\n",
            {u"A||||||||||||"_s + QString(80, u'x') + u"|P"_s}, {},
            "BEGIN:VCARD\r\nVERSION:4.0\r\nFN:A\r\nNOTE:" + QByteArray(70, 'x') + "\r\n " +
                QByteArray(10, 'x') + "\r\nEND:VCARD\r\n");
    }

    // Read whole, and a few bytes at a time to cut every line end, fold and character.
    void readsWhatOtherProgramsWrite() {
        QFETCH(QByteArray, input);
        QFETCH(QStringList, contacts);
        QFETCH(Problems, problems);
        QFETCH(QByteArray, kept);
        for (const qint64 piece : {qint64(1) << 16, qint64(1), qint64(5)}) {
            if (piece < 16 && input.size() > 4096)
                continue;
            PieceDevice device;
            device.piece = piece;
            device.setData(input);
            device.open(QIODevice::ReadOnly | QIODevice::Unbuffered);
            vcard::ImportResult result = vcard::readContacts(&device);
            QStringList read;
            for (const vcard::ReadContact& r : result.contacts)
                read << described(r.contact);
            for (ImportProblem& p : result.problems)
                p.detail.clear();
            QCOMPARE(read, contacts);
            QCOMPARE(result.problems, problems);
            if (!kept.isEmpty()) {
                QCOMPARE(result.contacts[0].card, kept);
                QCOMPARE(vcard::readContacts(kept).contacts.value(0).contact,
                         result.contacts[0].contact);
            }
        }
    }

    // Read and written again, a card comes out byte for byte but for PRODID;
    // the awkward contacts come back whole, in whole UTF-8 lines of 75 octets.
    void writesAndReadsBack_data() {
        QTest::addColumn<VCardVersion>("version");
        QTest::addColumn<QByteArray>("card");
        const QByteArray names = "FN:Ann B. O'Lee\\, Jr\\;\r\nN:O'Lee\\, Jr\\;;Ann;B.;;\r\n";
        const QByteArray end = "X-ORVANTA-GUARDIAN:Bo\\\\Pa\r\nNOTE:Line 1\\nLine 2\r\n"
                               "CATEGORIES:Business\r\nEND:VCARD\r\n";
        QTest::newRow("3.0")
            << VCardVersion::V3_0
            << "BEGIN:VCARD\r\nVERSION:3.0\r\nUID:4fbe8971-0bc3-424c-9c26-36c3e1eff6b1\r\n" +
                   names +
                   "ADR;TYPE=WORK:;;1 Main St\\nFlat 2;Town;ST;01234;\r\n"
                   "TEL;TYPE=WORK:+1 555 0100\r\nTEL;TYPE=CELL:+1 555 0111\r\n"
                   "EMAIL;TYPE=INTERNET:ann@example.org\r\n" +
                   end;
        QTest::newRow("4.0") << VCardVersion::V4_0
                             << "BEGIN:VCARD\r\nVERSION:4.0\r\n"
                                "UID:urn:uuid:4fbe8971-0bc3-424c-9c26-36c3e1eff6b1\r\n" +
                                    names +
                                    "ADR;TYPE=work:;;1 Main St\\nFlat 2;Town;ST;01234;\r\n"
                                    "TEL;TYPE=work:+1 555 0100\r\nTEL;TYPE=cell:+1 555 0111\r\n"
                                    "EMAIL:ann@example.org\r\n" +
                                    end;
    }

    void writesAndReadsBack() {
        QFETCH(VCardVersion, version);
        QFETCH(QByteArray, card);
        const vcard::ReadContact read = vcard::readContacts(card).contacts.value(0);
        vcard::VCardWriter one(version);
        one.write(read.contact, read.uid);
        QList<QByteArray> lines = one.data().split('\n');
        QVERIFY(lines.size() > 3 && lines[2].startsWith("PRODID:-//Orvanta//Orvanta Contacts "));
        lines.removeAt(2);
        QCOMPARE(lines.join('\n'), card);

        QList<Contact> contacts = awkwardContacts();
        contacts[0].comments += u"\r\n"_s; // a line break at the very end
        vcard::VCardWriter writer(version);
        for (const Contact& c : contacts)
            writer.write(c, u"uid-%1"_s.arg(c.id));
        const QByteArray out = writer.data();
        lines = out.split('\n');
        for (qsizetype i = 0; i + 1 < lines.size(); ++i) {
            QVERIFY2(lines[i].endsWith('\r') && lines[i].size() <= 76, lines[i]);
            QVERIFY2(!lines[i + 1].startsWith(' ') || lines[i].size() >= 73, lines[i]);
            QVERIFY2(QString::fromUtf8(lines[i]).toUtf8() == lines[i], lines[i]); // whole UTF-8
        }
        const vcard::ImportResult result = vcard::readContacts(out);
        QCOMPARE(result.problems, Problems{});
        QCOMPARE(result.contacts.size(), contacts.size());
        for (qsizetype i = 0; i < contacts.size(); ++i) {
            QCOMPARE(described(result.contacts[i].contact), described(contacts[i]));
            QCOMPARE(result.contacts[i].uid, u"uid-%1"_s.arg(contacts[i].id));
        }
    }

    // A kept card rewritten: only the lines of the changed columns differ,
    // and REV says when; an unchanged card comes back as it was, with CR LF.
    void rewritesOnlyTheChangedColumns_data() {
        QTest::addColumn<QByteArray>("card");
        QTest::addColumn<Edit>("edit");
        QTest::addColumn<QByteArrayList>("gone");
        QTest::addColumn<QByteArrayList>("added");
        QTest::addColumn<bool>("readsBack"); // the card reads as the edited contact
        const QByteArray head = "BEGIN:VCARD\r\nVERSION:3.0\r\nUID:u\r\n";
        QTest::newRow("additional names stay a list")
            << head + "FN:John Doe\r\nN:Doe;John;Richter,James;;\r\nEND:VCARD\r\n"
            << Edit([](Contact& c) { c.lastName = u"Dough"_s; })
            << QByteArrayList{"FN:John Doe", "N:Doe;John;Richter,James;;"}
            << QByteArrayList{"FN:John Richter James Dough", "N:Dough;John;Richter,James;;"}
            << true;
        QTest::newRow("no name left: FN is the organization")
            << head + "FN:Ann Lee\r\nN:Lee;Ann;;;\r\nORG:Acme\\, Inc.;Sales\r\nEND:VCARD\r\n"
            << Edit([](Contact& c) { c.firstName = c.lastName = QString(); })
            << QByteArrayList{"FN:Ann Lee", "N:Lee;Ann;;;"}
            << QByteArrayList{"FN:Acme\\, Inc.", "N:;;;;"} << false;
        QTest::newRow("no name, no organization: FN is the e-mail address")
            << head + "FN:Ann\r\nN:;Ann;;;\r\nEMAIL:ann@example.org\r\nEND:VCARD\r\n"
            << Edit([](Contact& c) { c.firstName = QString(); })
            << QByteArrayList{"FN:Ann", "N:;Ann;;;"}
            << QByteArrayList{"FN:ann@example.org", "N:;;;;"} << true;
        QTest::newRow("a tel: URI rewritten without blanks")
            << QByteArray("BEGIN:VCARD\r\nVERSION:4.0\r\nFN:A\r\n"
                          "TEL;VALUE=uri;TYPE=cell:tel:+1-555-0100\r\nEND:VCARD\r\n")
            << Edit([](Contact& c) { c.cellPhone = u"+1 555 (0199)"_s; })
            << QByteArrayList{"TEL;VALUE=uri;TYPE=cell:tel:+1-555-0100"}
            << QByteArrayList{"TEL;VALUE=uri;TYPE=cell:tel:+1-555-(0199)"} << false;
        QTest::newRow("comments and NOTE one to one, nothing else touched")
            << head + "FN:A\r\nORG:Acme\r\nBDAY:1970-01-02\r\nNOTE:old\r\nEND:VCARD\r\n"
            << Edit([](Contact& c) { c.comments = u"new\r\nline"_s; }) << QByteArrayList{"NOTE:old"}
            << QByteArrayList{"NOTE:new\\nline"} << true;
        QTest::newRow("phones, note and type; other properties byte for byte")
            << head +
                   "FN:Ann Archer\r\nN:Archer;Ann;;Dr.;\r\nX-OTHER-APP;X-P=1:kept as it is\r\n"
                   "TEL;TYPE=HOME:111\r\nTEL;TYPE=CELL:111\r\nTEL;TYPE=FAX:999\r\n"
                   "NOTE:First note\r\nTITLE:Boss\r\nCATEGORIES:Friends,Personal\r\nEND:VCARD\r\n"
            << Edit([](Contact& c) {
                   std::tie(c.lastName, c.cellPhone, c.workPhone, c.comments) =
                       std::tuple(u"Baker"_s, QString(), u"333"_s, u"New note"_s);
                   c.type = ContactType::Business;
               })
            << QByteArrayList{"FN:Ann Archer", "N:Archer;Ann;;Dr.;", "TEL;TYPE=CELL:111",
                              "NOTE:First note", "CATEGORIES:Friends,Personal"}
            << QByteArrayList{"FN:Ann Baker", "N:Baker;Ann;;Dr.;", "NOTE:New note",
                              "CATEGORIES:Friends,Business", "TEL;TYPE=WORK:333"}
            << true;
        QTest::newRow("unchanged, LF line ends")
            << QByteArray("BEGIN:VCARD\nVERSION:3.0\nFN:A\nEND:VCARD\n") << Edit()
            << QByteArrayList{} << QByteArrayList{} << true;
    }
    void rewritesOnlyTheChangedColumns() {
        QFETCH(QByteArray, card);
        QFETCH(Edit, edit);
        QFETCH(QByteArrayList, gone);
        QFETCH(QByteArrayList, added);
        QFETCH(bool, readsBack);
        Contact c = vcard::readContacts(card).contacts.value(0).contact;
        if (edit)
            edit(c);
        const QByteArray updated = vcard::updateCard(card, c);
        QVERIFY(!updated.contains("\n\n") && updated.count('\n') == updated.count("\r\n"));
        QVERIFY(updated.endsWith("\r\nEND:VCARD\r\n"));
        QByteArrayList before = QByteArray(card).replace("\r\n", "\n").split('\n');
        QByteArrayList after = QByteArray(updated).replace("\r\n", "\n").split('\n');
        const qsizetype revs =
            after.removeIf([](const QByteArray& l) { return l.startsWith("REV:"); });
        QCOMPARE(revs, edit ? 1 : 0);
        const auto missing = [](QByteArrayList from, const QByteArrayList& in) {
            from.removeIf([&](const QByteArray& line) { return in.contains(line); });
            return from;
        };
        QCOMPARE(missing(before, after), gone);
        QCOMPARE(missing(after, before), added);
        if (readsBack)
            QCOMPARE(vcard::readContacts(updated).contacts.value(0).contact, c);
    }

    // Beyond the columns: what the details show, labels as people read them.
    void findsWhatTheCardHoldsBeyondTheColumns() {
        const QByteArray card =
            "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Ann Lee\r\nN:Lee;Ann;;;\r\nORG:Acme;Sales\r\n"
            "TITLE:Chemist\r\nBDAY:1970-01-02\r\nNICKNAME:Annie,Al\r\n"
            "URL:https://example.org/ann\r\nEMAIL;TYPE=INTERNET:ann@example.org\r\n"
            "EMAIL;TYPE=WORK:lee@acme.example\r\nTEL;TYPE=CELL:111\r\n"
            "item1.TEL:222\r\nitem1.X-ABLabel:_$!<AssistantPhone>!$_\r\n"
            "item2.TEL;TYPE=FAX:333\r\nitem2.X-ABLabel:Boat\r\nTEL;TYPE=HOME:444\r\n"
            "TEL;TYPE=HOME:555\r\n"
            "ADR;TYPE=HOME:;;1 Main St;Town;;01;\r\nADR;TYPE=WORK:;;2 Side St;City;;02;Land\r\n"
            "PHOTO;ENCODING=b;TYPE=PNG:iVBORw0KGgo=\r\nX-FOO:bar\r\nEND:VCARD\r\n";
        const Contact c = vcard::readContacts(card).contacts.value(0).contact;
        QCOMPARE(c.cellPhone, u"111"_s);
        QCOMPARE(c.workPhone, u"222"_s); // an untyped number takes a free column
        const CardExtras expected{u"Acme, Sales"_s,
                                  u"Chemist"_s,
                                  u"1970-01-02"_s,
                                  {"Annie", "Al"},
                                  {"https://example.org/ann"},
                                  {{u"Boat"_s, u"333"_s}, {u"home"_s, u"555"_s}},
                                  {{u"work"_s, u"lee@acme.example"_s}},
                                  {{u"work"_s, u"2 Side St, City, 02, Land"_s}},
                                  QByteArray::fromBase64("iVBORw0KGgo=")};
        QCOMPARE(vcard::extrasOf(card, c), expected);
        QVERIFY(
            vcard::extrasOf("BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Bo\r\nEND:VCARD\r\n", {}).isEmpty());
        QCOMPARE(vcard::plainLabel(u"_$!<AssistantPhone>!$_"_s), u"assistant"_s);
        QCOMPARE(vcard::plainLabel(u"_$!<HomeFax>!$_"_s), u"Home fax"_s);
    }
};

QTEST_MAIN(VCardTest)
#include "VCardTest.moc"
