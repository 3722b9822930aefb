// Import and export through a real database, then through the program's command line.
#include "data/ContactStore.h"
#include "exchange/ContactExport.h"
#include "exchange/ContactImport.h"
#include "formats/ContactFileReader.h"
#include "formats/VCardTesting.h"
#include "platform/Progress.h"
#include "support/ContactFolder.h"

#include <QProcess>
#include <QRegularExpression>
#include <QUuid>

#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using exchange::ContactExport;
using exchange::ContactImport;
using exchange::ImportSummary;
using Outcome = ImportSummary::Outcome;
using ExportOutcome = exchange::ExportSummary::Outcome;

namespace {

// A new database, a store on its "Default" book, and that book's contacts.
struct StoreFolder {
    ContactFolder folder;
    ContactStore store{folder.connectionString()};
    StoreFolder() { store.setCurrentBook(u"Default"_s); }
    QStringList contacts() const {
        QStringList lines;
        store.readContacts({}, [&](const Contact& c) {
            lines << described(c);
            return true;
        });
        return lines;
    }
    QString file(const QString& name) const { return folder.path() + u'/' + name; }
};

// Answers "go on" `calls` times, then "cancel".
struct CancelAfter : platform::Progress {
    int left;
    explicit CancelAfter(int calls) : left(calls) {}
    bool advance(qint64, qint64) override { return left-- > 0; }
};

const QByteArray annCard = "BEGIN:VCARD\r\nVERSION:3.0\r\nN:Lee;Ann;;;\r\nEND:VCARD\r\n";
const QString ann = u"Ann||Lee|||||||||||P"_s;

QStringList uidsIn(const QString& path) {
    QStringList uids;
    for (const vcard::ReadContact& read : vcard::readContacts(readBytes(path)).contacts)
        uids << read.uid;
    return uids;
}

// A copy of the program in its own data folder: Ann Lee in "Default", an empty "Work".
// Beside it the same two cards in "in.vcf" and in a file named in Latin-1,
// a password file, and a named pipe that is read from.
struct ProgramFolder : ContactFolder {
    int pipeReader = -1;
    ProgramFolder() {
        QVERIFY(QFile::copy(QStringLiteral(ORVANTA_PROGRAM), file(u"orvanta-contacts"_s)));
        addBook(u"Work"_s);
        addContact({.firstName = "Ann", .lastName = "Lee"});
        QVERIFY(QDir(path()).mkdir(u"elsewhere"_s));
        const QByteArray cards =
            annCard + "BEGIN:VCARD\r\nVERSION:3.0\r\nN:Ray;Bo;;;\r\nEND:VCARD\r\n";
        writeFile(file(u"in.vcf"_s), cards);
        std::FILE* latin1 = std::fopen(QFile::encodeName(path()) + "/caf\xE9.vcf", "wb");
        QVERIFY(latin1 && std::fwrite(cards.constData(), 1, size_t(cards.size()), latin1));
        std::fclose(latin1);
        writeFile(file(u"password"_s), "secret\n");
        QFile(file(u"password"_s)).setPermissions(QFile::ReadOwner | QFile::WriteOwner);
        const QByteArray pipe = QFile::encodeName(file(u"pipe.vcf"_s));
        QVERIFY(mkfifo(pipe.constData(), 0600) == 0);
        pipeReader = ::open(pipe.constData(), O_RDONLY | O_NONBLOCK);
    }
    ~ProgramFolder() {
        ::close(pipeReader);
        ::unlink(QFile::encodeName(path()) + "/caf\xE9.vcf"); // which a QString cannot name
    }
    QString file(const QString& name) const { return QDir(path()).filePath(name); }
    QByteArray readPipe() const {
        QByteArray bytes(1 << 16, '\0');
        const ssize_t got = ::read(pipeReader, bytes.data(), size_t(bytes.size()));
        return bytes.left(qMax<ssize_t>(got, 0));
    }

    // Each argument goes through printf's %b, so that "\0351" passes the byte 0xE9.
    std::tuple<int, QString, QString> run(const QStringList& arguments,
                                          const QStringList& settings = {}) const {
        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
            environment.remove(QLatin1String(name));
        for (const QString& setting : settings)
            environment.insert(setting.section(u'=', 0, 0), setting.section(u'=', 1));
        process.setProcessEnvironment(environment);
        process.setWorkingDirectory(path());
        QString script = u"exec \"$0\""_s;
        for (qsizetype i = 1; i <= arguments.size(); ++i)
            script += u" \"$(printf '%b' \"${%1}\")\""_s.arg(i);
        process.start(u"/bin/sh"_s,
                      QStringList{u"-c"_s, script, file(u"orvanta-contacts"_s)} + arguments);
        process.waitForFinished(60000);
        return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
                QString::fromUtf8(process.readAllStandardOutput()),
                QString::fromUtf8(process.readAllStandardError())};
    }
};

} // namespace

class ExchangeTest : public QObject {
    Q_OBJECT

private slots:
    // Skipped cards by line. Identical means every column and
    // the type, in the book or earlier in the file; a second import adds nothing.
    void theSummarySaysWhatCameInWhatWasThereAndWhatWasSkipped() {
        StoreFolder f;
        f.folder.addContact({.firstName = "Ann", .lastName = "Lee"});
        const QByteArray business =
            QByteArray(annCard).replace("END:", "CATEGORIES:Business\r\nEND:");
        const QByteArray other = QByteArray(annCard).replace("END:", "NOTE:Ann \r\nEND:");
        writeFile(f.file("in.vcf"),
                  business + business + other + annCard + other +
                      "BEGIN:VCARD\r\nVERSION:3.0\r\nEND:VCARD\r\n" + annCard +
                      "BEGIN:VCARD\r\nFN:Bo Ray\r\nPHOTO;ENCODING=b:AAAA\r\nX-FOO:1\r\n"
                      "END:VCARD\r\nBEGIN:VCARD\r\nFN:Nul" +
                      QByteArray(1, '\0') +
                      "Byte\r\nEND:VCARD\r\nBEGIN:VCARD\r\nFN:A\r\nNäher dran, ein Satz ohne "
                      "Doppelpunkt und lang\r\nEND:VCARD\r\nBEGIN:VCARD\r\nFN:Cut\r\n");
        const ImportSummary summary = ContactImport(f.store).run(f.file("in.vcf"));
        QCOMPARE(f.contacts(), (QStringList{ann, "Ann||Lee||||||||||Ann |P", "Bo||Ray|||||||||||P",
                                            "A|||||||||||||P", "Ann||Lee|||||||||||B"}));
        QCOMPARE(summary.report("in.vcf", "Default"),
                 u"4 contact(s) imported from \"in.vcf\" into the contact book \"Default\".\r\n"
                 "4 contact(s) already in the book, so not imported again.\r\n3 contact(s) "
                 "skipped.\r\n\r\nLine 25: a contact without any value was skipped.\r\nLine "
                 "37: a contact with a value that cannot be stored (a NUL character) was skipped."
                 "\r\nLine 42: \"Näher dran, ein Satz ohne Doppelpunkt un\" is not a property "
                 "of the form name:value and was skipped.\r\nLine 44: a card without "
                 "END:VCARD was skipped."_s);
        QCOMPARE(summary.oneLine("in.vcf", "Default"),
                 u"in.vcf: 4 imported into \"Default\", 4 already there, 3 skipped"_s);
        QCOMPARE(
            summary.problemLines(1),
            (QStringList{"Line 25: a contact without any value was skipped.", "… and 3 more."}));
        QCOMPARE(ContactImport(f.store).run(f.file("in.vcf")).imported, 0);
        QCOMPARE(f.contacts().size(), 5);
    }

    // A book's own cards imported again are found one by one, whatever their
    // text (outside ASCII, line breaks, empty columns, either type); a
    // contact edited since comes in again, and a card read twice counts once.
    void aBookImportedAgainIsFoundCardByCard_data() {
        QTest::addColumn<int>("contacts");
        QTest::addColumn<int>("edited");
        QTest::newRow("one, unchanged") << 1 << -1;
        QTest::newRow("many, unchanged") << 40 << -1;
        QTest::newRow("many, the first edited") << 40 << 0;
        QTest::newRow("many, one in the middle edited") << 40 << 17;
    }
    void aBookImportedAgainIsFoundCardByCard() {
        QFETCH(int, contacts);
        QFETCH(int, edited);
        StoreFolder f;
        QList<qint64> ids;
        for (int i = 0; i < contacts; ++i)
            ids << f.folder.addContact(
                {.firstName = u"Jörg %1"_s.arg(i),
                 .lastName = i % 3 ? u"Müller"_s : QString(),
                 .address = u"Hauptstraße %1\r\nHof"_s.arg(i),
                 .comments = i % 2 ? u"Zeile\r\nzwei; drei, \\"_s : QString(),
                 .type = 1 + i % 2});
        QCOMPARE(ContactExport(f.store).run(f.file("book.vcf"), {}).written, contacts);
        if (edited >= 0)
            f.folder.execute(u"update tblContactDetails set City = 'Neustadt' where "
                             "pkContactDetailsId = %1"_s.arg(ids[edited]));
        const QByteArray file = readBytes(f.file("book.vcf"));
        writeFile(f.file("twice.vcf"), file + file);
        const ImportSummary again = ContactImport(f.store).run(f.file("twice.vcf"));
        QCOMPARE(again.outcome, Outcome::Imported);
        QCOMPARE(again.imported, edited >= 0 ? 1 : 0);
        QCOMPARE(again.alreadyThere, 2 * contacts - again.imported);
        QCOMPARE(f.store.count(), contacts + again.imported);
    }

    // A cancel at the last card, and a refused insert, leave the book as it was.
    void aStoppedImportLeavesTheBookAsItWas() {
        StoreFolder f;
        f.folder.addContact({.firstName = "Keep", .lastName = "Me"});
        QByteArray file;
        for (int i = 0; i < 100; ++i)
            file += "BEGIN:VCARD\r\nN:Card;" + QByteArray::number(i) + ";;;\r\nEND:VCARD\r\n";
        writeFile(f.file("in.vcf"), file);
        CancelAfter cancel(99);
        QCOMPARE(ContactImport(f.store, &cancel).run(f.file("in.vcf")).outcome, Outcome::Cancelled);
        f.folder.execute("create trigger refuse before insert on tblContactDetails when "
                         "new.FirstName = '60' begin select raise(abort, 'refused'); end");
        QCOMPARE(ContactImport(f.store).run(f.file("in.vcf")).outcome, Outcome::DatabaseFailed);
        QCOMPARE(f.contacts(), QStringList{u"Keep||Me|||||||||||P"_s});
        // After the highest id there is none to give: the import says so.
        f.folder.execute(u"drop trigger refuse"_s);
        f.folder.execute(
            u"update tblContactDetails set pkContactDetailsId = 9223372036854775807"_s);
        const ImportSummary full = ContactImport(f.store).run(f.file("in.vcf"));
        QCOMPARE(full.outcome, Outcome::NoIdsLeft);
        QVERIFY(full.report(u"in.vcf"_s, u"Default"_s).contains(u"highest contact id"_s));
        QCOMPARE(f.contacts().size(), 1);
    }

    // The earlier file and the database stay as they were, no temporary left;
    // the next export keeps each contact's UID.
    void aStoppedExportLeavesTheEarlierFile_data() {
        QTest::addColumn<QString>("target");
        QTest::addColumn<int>("cancelAfter");
        QTest::addColumn<ExportOutcome>("outcome");
        QTest::newRow("cancel") << "book.vcf" << 2 << ExportOutcome::Cancelled;
        QTest::newRow("no such folder") << "missing/book.vcf" << 100 << ExportOutcome::CannotWrite;
        QTest::newRow("the database") << "contacts.mdb" << 100 << ExportOutcome::IsTheDatabase;
    }
    void aStoppedExportLeavesTheEarlierFile() {
        QFETCH(QString, target);
        QFETCH(int, cancelAfter);
        QFETCH(ExportOutcome, outcome);
        StoreFolder f;
        for (const Contact& c : awkwardContacts())
            QVERIFY(f.store.insert(c));
        QVERIFY(ContactExport(f.store).run(f.file("book.vcf"), {}).succeeded());
        const QByteArray earlier = readBytes(f.file("book.vcf"));
        const QByteArray database = readBytes(f.folder.databasePath());
        const QStringList files = QDir(f.folder.path()).entryList(QDir::Files);
        CancelAfter cancel(cancelAfter);
        const auto summary = ContactExport(f.store, &cancel).run(f.file(target), {});
        QCOMPARE(summary.outcome, outcome);
        QCOMPARE(readBytes(f.file("book.vcf")), earlier);
        QCOMPARE(readBytes(f.folder.databasePath()), database);
        QCOMPARE(QDir(f.folder.path()).entryList(QDir::Files), files);
        f.folder.addContact({.firstName = "New"});
        QVERIFY(ContactExport(f.store).run(f.file("2.vcf"), {}).succeeded());
        // Personal first, then Business: contacts 2, 3, the new 4, then 1.
        const QStringList first = uidsIn(f.file("book.vcf")), second = uidsIn(f.file("2.vcf"));
        QCOMPARE(QSet<QString>(first.begin(), first.end()).size(), 3);
        QCOMPARE((QStringList{second[0], second[1], second[3]}), first);
    }

    // A card read, edited in one column, exported and read again is the same
    // card: the same UID, every other property byte for byte (folds aside).
    // Exported again unchanged, it comes out the same.
    void aCardComesBackWhole() {
        StoreFolder f;
        const QByteArray card =
            "BEGIN:VCARD\r\nVERSION:3.0\r\nPRODID:-//Other//EN\r\nUID:card-77\r\n"
            "FN:Ann Lee\r\nN:Lee;Ann;;;\r\nORG:Acme;Research\r\nTITLE:Chemist\r\n"
            "BDAY:1970-01-02\r\nURL:https://example.org/ann\r\n"
            "EMAIL;TYPE=INTERNET:ann@example.org\r\nEMAIL;TYPE=WORK:lee@acme.example\r\n"
            "item1.TEL;TYPE=pref:+1 555 0100\r\nitem1.X-ABLabel:_$!<AssistantPhone>!$_\r\n"
            "TEL;TYPE=HOME:+1 555 0122\r\nX-SPOUSE;X-P=1:Bo\r\nNOTE:Met in 2020\r\n"
            "PHOTO;ENCODING=b;TYPE=JPEG:" +
            QByteArray(200, 'A') + "\r\nEND:VCARD\r\n";
        writeFile(f.file("in.vcf"), card);
        QCOMPARE(ContactImport(f.store).run(f.file("in.vcf")).imported, 1);
        const qint64 id = f.folder.lastId();
        Contact loaded = *f.store.contact(id);
        Contact edited = loaded;
        edited.homePhone = u"+1 555 0199"_s;
        QCOMPARE(f.store.update(edited, loaded), ContactStore::UpdateResult::Saved);
        QVERIFY(ContactExport(f.store).run(f.file("out.vcf"), {}).succeeded());
        const QByteArray out = readBytes(f.file("out.vcf"));
        const auto unfolded = [](QByteArray text) { return text.replace("\r\n ", "").split('\n'); };
        QByteArrayList lines = unfolded(out);
        QVERIFY(lines.removeIf([](const QByteArray& l) { return l.startsWith("REV:"); }) == 1);
        QByteArrayList expected = unfolded(card);
        expected.replace(expected.indexOf("TEL;TYPE=HOME:+1 555 0122\r"),
                         "TEL;TYPE=HOME:+1 555 0199\r");
        QCOMPARE(lines, expected);
        const vcard::ImportResult back = vcard::readContacts(out);
        QCOMPARE(back.contacts.value(0).uid, u"card-77"_s);
        QCOMPARE(described(back.contacts.value(0).contact), described(edited));
        QVERIFY(ContactExport(f.store).run(f.file("again.vcf"), {}).succeeded());
        QCOMPARE(readBytes(f.file("again.vcf")), out);
    }

    // A contact without a card gets one with a random UID, kept from one
    // export to the next; a contact deleted by another program, and a new
    // one given its id, does not inherit its card.
    void uidsAreRandomKeptAndNeverInherited() {
        StoreFolder f;
        f.folder.addContact({.firstName = "Ann"});
        const qint64 bo = f.folder.addContact({.firstName = "Bo"});
        QVERIFY(ContactExport(f.store).run(f.file("1.vcf"), {}).succeeded());
        QVERIFY(ContactExport(f.store).run(f.file("2.vcf"), {}).succeeded());
        const QStringList uids = uidsIn(f.file("1.vcf"));
        QCOMPARE(uidsIn(f.file("2.vcf")), uids);
        QCOMPARE(uids.size(), 2);
        QVERIFY(uids[0] != uids[1]);
        for (const QString& uid : uids)
            QCOMPARE(QUuid::fromString(uid).version(), QUuid::Random);

        f.folder.execute(u"delete from tblContactDetails where pkContactDetailsId = %1"_s.arg(bo));
        f.folder.execute(u"insert into tblContactDetails (pkContactDetailsId, FirstName, "
                         "fkContactType, fkContactBookId) values (%1, 'Cy', 1, 1)"_s.arg(bo));
        QCOMPARE(f.folder.rows(u"select count(*) from tblContactCard"_s), QStringList{"1"});
        QVERIFY(ContactExport(f.store).run(f.file("3.vcf"), {}).succeeded());
        const QStringList after = uidsIn(f.file("3.vcf"));
        QCOMPARE(after[0], uids[0]);
        QVERIFY(!uids.contains(after[1]));
        QCOMPARE(f.folder.rows(u"pragma integrity_check"_s), QStringList{"ok"});

        // The same card imported again after a change is a second contact: a UID of its own.
        writeFile(f.file("twice.vcf"),
                  "BEGIN:VCARD\r\nVERSION:4.0\r\nUID:urn:uuid:dup\r\nN:Dee;Al;;;\r\nEND:VCARD\r\n"
                  "BEGIN:VCARD\r\nVERSION:4.0\r\nUID:urn:uuid:dup\r\nN:Dee;Bo;;;\r\nEND:VCARD\r\n");
        QCOMPARE(ContactImport(f.store).run(f.file("twice.vcf")).imported, 2);
        QVERIFY(ContactExport(f.store).run(f.file("4.vcf"), {}).succeeded());
        const QStringList all = uidsIn(f.file("4.vcf"));
        QCOMPARE(all.size(), 4);
        QCOMPARE(all[2], u"dup"_s);
        QCOMPARE(QSet<QString>(all.begin(), all.end()).size(), 4);
        QVERIFY(readBytes(f.file("4.vcf"))
                    .contains("VERSION:4.0\r\nUID:urn:uuid:" + all[3].toUtf8() + "\r\nN:Dee;Bo"));
    }

    // A file that refuses what is written ends the export, however far the
    // reading of the contacts has run ahead of the writing.
    void aRefusedWriteEndsTheExport() {
        StoreFolder f;
        f.folder.execute(u"with recursive n(i) as (select 1 union all select i + 1 from n "
                         "where i < 20000) insert into tblContactDetails (FirstName, "
                         "fkContactType, fkContactBookId) select 'Ann' || i, 1, 1 from n"_s);
        struct : QIODevice {
            qint64 readData(char*, qint64) override { return -1; }
            qint64 writeData(const char*, qint64) override { return -1; }
        } refusing;
        refusing.open(QIODevice::WriteOnly);
        QCOMPARE(ContactExport(f.store).run(&refusing, {}).outcome, ExportOutcome::CannotWrite);
    }

    // `text`: a pattern for standard output after a success, else standard error.
    void eachRunSaysWhatItDidOrWhyNot_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("text");
        const QString usage = u"\n\nUsage: (.|\n)*--import <FILE>(.|\n)*"_s;
        QTest::newRow("--version, Qt's window options left out")
            << QStringList{"-style", "fusion", "-platform=offscreen", "--version"} << 0
            << "Orvanta Contacts 1\\.0\\.8\n";
        QTest::newRow("unknown option")
            << QStringList{"--frobnicate"} << 2 << "Unknown option 'frobnicate'\\." + usage;
        QTest::newRow("--sync with no linked book")
            << QStringList{"--sync"} << 0 << "No book is linked to a server\\.\n";
        QTest::newRow("import into another data folder")
            << QStringList{"--import", "in.vcf", "--data-folder", "elsewhere"} << 0
            << "in.vcf: 2 imported into \"Default\", 0 already there, 0 skipped\n";
        QTest::newRow("import into a named book")
            << QStringList{"--import", "in.vcf", "--book", "Work"} << 0
            << "in.vcf: 2 imported into \"Work\", 0 already there, 0 skipped\n";
        QTest::newRow("no such book")
            << QStringList{"--book", "Nowhere", "--import", "in.vcf"} << 1
            << "There is no contact book named \"Nowhere\"\\. The contact books are: Default, "
               "Work\\.\n";
        QTest::newRow("not vCard, into a new data folder")
            << QStringList{"--import", "orvanta-contacts", "--data-folder", "elsewhere"} << 1
            << "\"orvanta-contacts\" cannot be imported: it is neither a vCard file nor a CSV file "
               "with the columns of this program's export\\. Nothing was imported\\.\n";
        QTest::newRow("unreadable file, into a new data folder")
            << QStringList{"--import", "missing.vcf", "--data-folder", "elsewhere"} << 1
            << "The file \"missing\\.vcf\" could not be read \\(No such file or directory\\)\\. "
               "Nothing was imported\\.\n";
        QTest::newRow("export as 4.0")
            << QStringList{"--export-vcard", "out.vcf", "--vcard-version", "4.0"} << 0
            << "out.vcf: 1 written from \"Default\" as vCard 4\\.0\n";
        QTest::newRow("a vCard version that does not exist")
            << QStringList{"--export-vcard", "out.vcf", "--vcard-version", "2.1"} << 2
            << "The vCard version is 3\\.0 or 4\\.0, not \"2\\.1\"\\." + usage;
        QTest::newRow("both at once")
            << QStringList{"--import", "in.vcf", "--export-vcard", "out.vcf"} << 2
            << "Give either --import or --export-vcard\\." + usage;
        QTest::newRow("an empty data folder")
            << QStringList{"--import", "in.vcf", "--data-folder", ""} << 2
            << "The value of --data-folder is empty\\." + usage;
        QTest::newRow("an option twice")
            << QStringList{"--import", "in.vcf", "--data-folder", "elsewhere", "--data-folder", "."}
            << 2 << "--data-folder is given more than once\\." + usage;
        QTest::newRow("an empty book to link")
            << QStringList{"--link-book", "",  "--url",           "http://127.0.0.1:9/",
                           "--user",      "u", "--password-file", "password"}
            << 2 << "The value of --link-book is empty\\." + usage;
        QTest::newRow("a new data folder, no such book")
            << QStringList{"--export-vcard", "out.vcf",       "--book",
                           "Nowhere",        "--data-folder", "elsewhere"}
            << 1
            << "There is no contact book named \"Nowhere\"\\. The contact books are: Default\\.\n";
        QTest::newRow("a new data folder, no server")
            << QStringList{"--link-book",   "Home",     "--url",           "http://127.0.0.1:9/ab/",
                           "--user",        "u",        "--password-file", "password",
                           "--data-folder", "elsewhere"}
            << 1 << "(.|\n)+";
        QTest::newRow("a file named in Latin-1")
            << QStringList{"--import", "caf\\0351.vcf", "--book", "Work"} << 0
            << u"caf\uFFFD\\.vcf: 2 imported into \"Work\", 0 already there, 0 skipped\n"_s;
        QTest::newRow("export under a Latin-1 name")
            << QStringList{"--export-vcard", "out\\0351.vcf"} << 1
            << u"The name of the file \"out\uFFFD\\.vcf\" is not valid UTF-8; nothing was "
               "written\\. Name a file whose name is\\.\n"_s;
        QTest::newRow("export into a named pipe")
            << QStringList{"--export-vcard", "pipe.vcf"} << 0
            << "pipe\\.vcf: 1 written from \"Default\" as vCard 3\\.0\n";
        QTest::newRow("export to standard output")
            << QStringList{"--export-vcard", "-"} << 0
            << "BEGIN:VCARD\r\n(.|\r|\n)*N:Lee;Ann;;;\r\n(.|\r|\n)*END:VCARD\r\n";
        // A folder rather than a device: run as root, a fault here must not risk /dev/null.
        QTest::newRow("export onto a folder")
            << QStringList{"--export-vcard", "elsewhere"} << 1
            << "\"elsewhere\" is not a file that an export can write into, but a folder, a device "
               "or the like\\. Choose a file to export to\\.\n";
    }
    void eachRunSaysWhatItDidOrWhyNot() {
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        QFETCH(QString, text);
        ProgramFolder folder;
        const QByteArray database = readBytes(folder.file(u"contacts.mdb"_s));
        const auto [code, output, errors] = folder.run(arguments);
        QCOMPARE(code, exitCode);
        const QRegularExpression pattern(QRegularExpression::anchoredPattern(text));
        QVERIFY2(pattern.match(exitCode ? errors : output).hasMatch(), qPrintable(output + errors));
        QVERIFY2((exitCode ? output : errors).isEmpty(), qPrintable(output + errors));
        // Only the import into "Work" adds contacts (to its own book, as its text says).
        QCOMPARE(folder.count(u"tblContactDetails"_s), arguments.contains(u"Work"_s) ? 3 : 1);
        if (exitCode == 2)
            QCOMPARE(readBytes(folder.file(u"contacts.mdb"_s)), database);
        const QByteArray written = readBytes(folder.file(u"out.vcf"_s));
        QCOMPARE(!written.isEmpty(), arguments.contains("out.vcf") && exitCode == 0);
        QVERIFY(written.isEmpty() || written.contains("VERSION:4.0\r\n"));
        // A refused command makes no contact file; a pipe stays a pipe.
        if (exitCode != 0)
            QVERIFY(!QFileInfo::exists(folder.file(u"elsewhere/contacts.mdb"_s)));
        const QByteArray piped = folder.readPipe();
        QCOMPARE(piped.contains("BEGIN:VCARD\r\n"), arguments.contains("pipe.vcf"));
        QVERIFY(!QFileInfo(folder.file(u"pipe.vcf"_s)).isFile());
    }

    // With --data-folder alone the window opens on that folder.
    void theDataFolderAloneOpensTheWindow() {
        ProgramFolder folder;
        const auto [code, output, errors] =
            folder.run({"--data-folder", "elsewhere"},
                       {"QT_QPA_PLATFORM=offscreen", "ORVANTA_EXIT_WHEN_SHOWN=1"});
        QCOMPARE(code, 0);
        QVERIFY2(output.startsWith(u"shown "_s), qPrintable(output + errors));
        QVERIFY(QFileInfo::exists(folder.file(u"elsewhere/contacts.mdb"_s)));
    }
};

QTEST_MAIN(ExchangeTest)
#include "ExchangeTest.moc"
