// Import and export through a real database, through the program's command
// line, and in the real window: File menu, file dialogs, questions, a dropped file.
#include "contacts/ContactListView.h"
#include "data/ContactStore.h"
#include "exchange/ContactExport.h"
#include "exchange/ContactImport.h"
#include "formats/ContactFileReader.h"
#include "formats/VCardTesting.h"
#include "platform/Background.h"
#include "platform/Progress.h"
#include "support/FileDialogDouble.h"
#include "support/MainWindowFixture.h"

#include <QMimeData>
#include <QPointer>
#include <QProcess>
#include <QProgressDialog>
#include <QRegularExpression>
#include <QSemaphore>
#include <QUrl>
#include <QUuid>

#include <atomic>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using exchange::ContactExport;
using exchange::ContactImport;
using exchange::ImportSummary;
using Outcome = ImportSummary::Outcome;
using ExportOutcome = exchange::ExportSummary::Outcome;
using platform::Answer;

namespace {

// A new database, a store on its "Default" book, and that book's contacts.
struct StoreFolder : ContactFolder {
    ContactStore store{connectionString()};
    StoreFolder() { store.setCurrentBook(u"Default"_s); }
    QStringList contacts() const {
        QStringList lines;
        store.readContacts({}, [&](const Contact& c) {
            lines << described(c);
            return true;
        });
        return lines;
    }
};

// Answers "go on" `calls` times, then "cancel".
struct CancelAfter : platform::Progress {
    int left;
    explicit CancelAfter(int calls) : left(calls) {}
    bool advance(qint64, qint64) override { return left-- > 0; }
};

const QByteArray annCard = "BEGIN:VCARD\r\nVERSION:3.0\r\nN:Lee;Ann;;;\r\nEND:VCARD\r\n";
const QByteArray boCard = "BEGIN:VCARD\r\nVERSION:3.0\r\nN:Ray;Bo;;;\r\nEND:VCARD\r\n";

QStringList uidsIn(const QString& path) {
    QStringList uids;
    for (const vcard::ReadContact& read : vcard::readContacts(readBytes(path)).contacts)
        uids << read.uid;
    return uids;
}

// A copy of the program in its own data folder: Ann Lee in "Default", an empty "Work";
// two cards in "in.vcf" and in a file named in Latin-1, a password file, a read pipe.
struct ProgramFolder : ContactFolder {
    int pipeReader = -1;
    ProgramFolder() {
        QVERIFY(QFile::copy(QStringLiteral(ORVANTA_PROGRAM), file(u"orvanta-contacts"_s)));
        addBook(u"Work"_s);
        addContact({.firstName = "Ann", .lastName = "Lee"});
        QVERIFY(QDir(path()).mkdir(u"elsewhere"_s));
        const QByteArray cards = annCard + boCard;
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

const QByteArray twoCards = annCard + boCard + "BEGIN:VCARD\r\nEND:VCARD\r\n";
const QString importedTwo =
    u"1 contact(s) imported from \"two.vcf\" into the contact book \"Default\".\r\n"
    "1 contact(s) already in the book, so not imported again.\r\n"
    "1 contact(s) skipped.\r\n\r\n"
    "Line 9: a contact without any value was skipped."_s;

constexpr int drop = 0, dropOnEditor = 1, commandLine = 2, menu = 3;

// The window over a book holding Ann Lee, Personal chosen on the filter strip.
struct Window : MainWindowFixture {
    ScriptedFileDialogs dialogs;
    Window() {
        folder.addContact({.firstName = "Ann", .lastName = "Lee"});
        click("cmdPersonal");
    }
    // Drags the file over the window and drops it there if taken; whether it was.
    bool drop(const QString& path) {
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(path)});
        const QPoint at = window().rect().center();
        QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(&window(), &enter);
        if (!enter.isAccepted())
            return false;
        QDropEvent drop(QPointF(at), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(&window(), &drop);
        QCoreApplication::processEvents();
        return true;
    }
};

} // namespace

class ExchangeTest : public QObject {
    Q_OBJECT

private slots:
    // Identical means every column and the type, in the book or earlier in the file.
    void theSummarySaysWhatCameInWhatWasThereAndWhatWasSkipped() {
        StoreFolder f;
        f.addContact({.firstName = "Ann", .lastName = "Lee"});
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
        QCOMPARE(f.contacts(),
                 (QStringList{"Ann||Lee|||||||||||P", "Ann||Lee||||||||||Ann |P",
                              "Bo||Ray|||||||||||P", "A|||||||||||||P", "Ann||Lee|||||||||||B"}));
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

        // A cancel at the last card, and a refused insert, leave the book as it was.
        const QStringList before = f.contacts();
        QByteArray file;
        for (int i = 0; i < 100; ++i)
            file += "BEGIN:VCARD\r\nN:Card;" + QByteArray::number(i) + ";;;\r\nEND:VCARD\r\n";
        writeFile(f.file("100.vcf"), file);
        CancelAfter cancel(99);
        QCOMPARE(ContactImport(f.store, &cancel).run(f.file("100.vcf")).outcome,
                 Outcome::Cancelled);
        f.execute("create trigger refuse before insert on tblContactDetails when "
                  "new.FirstName = '60' begin select raise(abort, 'refused'); end");
        QCOMPARE(ContactImport(f.store).run(f.file("100.vcf")).outcome, Outcome::DatabaseFailed);
        QCOMPARE(f.contacts(), before);
        // After the highest id there is none to give: the import says so.
        f.execute(u"drop trigger refuse"_s);
        f.execute(u"update tblContactDetails set pkContactDetailsId = 9223372036854775807 where "
                  "pkContactDetailsId = %1"_s.arg(f.addContact({.firstName = "Max"})));
        const ImportSummary full = ContactImport(f.store).run(f.file("100.vcf"));
        QCOMPARE(full.outcome, Outcome::NoIdsLeft);
        QVERIFY(full.report(u"100.vcf"_s, u"Default"_s).contains(u"highest contact id"_s));
        QCOMPARE(f.contacts().size(), before.size() + 1);
    }

    // A book's own cards imported again are found one by one, whatever their
    // text (outside ASCII, line breaks, empty columns, either type); a
    // contact edited since comes in again, and a card read twice counts once.
    void aBookImportedAgainIsFoundCardByCard() {
        // How many contacts, and which was edited since (-1: none).
        for (const auto& [contacts, edited] : {std::pair{1, -1}, {40, -1}, {40, 0}, {40, 17}}) {
            StoreFolder f;
            QList<qint64> ids;
            for (int i = 0; i < contacts; ++i)
                ids << f.addContact({.firstName = u"Jörg %1"_s.arg(i),
                                     .lastName = i % 3 ? u"Müller"_s : QString(),
                                     .address = u"Hauptstraße %1\r\nHof"_s.arg(i),
                                     .comments = i % 2 ? u"Zeile\r\nzwei; drei, \\"_s : QString(),
                                     .type = 1 + i % 2});
            QCOMPARE(ContactExport(f.store).run(f.file("book.vcf"), {}).written, contacts);
            if (edited >= 0)
                f.execute(u"update tblContactDetails set City = 'Neustadt' where "
                          "pkContactDetailsId = %1"_s.arg(ids[edited]));
            const QByteArray file = readBytes(f.file("book.vcf"));
            writeFile(f.file("twice.vcf"), file + file);
            const ImportSummary again = ContactImport(f.store).run(f.file("twice.vcf"));
            QCOMPARE(again.outcome, Outcome::Imported);
            QCOMPARE(again.imported, edited >= 0 ? 1 : 0);
            QCOMPARE(again.alreadyThere, 2 * contacts - again.imported);
            QCOMPARE(f.store.count(), contacts + again.imported);
        }
    }

    // A stopped export leaves the earlier file and the database as they were, no
    // temporary beside them; the next export keeps each contact's UID.
    void aStoppedExportLeavesTheEarlierFile() {
        StoreFolder f;
        for (const Contact& c : awkwardContacts())
            QVERIFY(f.store.insert(c));
        QVERIFY(ContactExport(f.store).run(f.file("book.vcf"), {}).succeeded());
        const QByteArray earlier = readBytes(f.file("book.vcf"));
        const QByteArray database = readBytes(f.databasePath());
        const QStringList files = QDir(f.path()).entryList(QDir::Files);
        for (const auto& [target, calls, outcome] :
             {std::tuple{"book.vcf", 2, ExportOutcome::Cancelled},
              std::tuple{"missing/book.vcf", 100, ExportOutcome::CannotWrite},
              std::tuple{"contacts.mdb", 100, ExportOutcome::IsTheDatabase}}) {
            CancelAfter cancel(calls);
            QCOMPARE(ContactExport(f.store, &cancel).run(f.file(target), {}).outcome, outcome);
            QCOMPARE(readBytes(f.file("book.vcf")), earlier);
            QCOMPARE(readBytes(f.databasePath()), database);
            QCOMPARE(QDir(f.path()).entryList(QDir::Files), files);
        }
        f.addContact({.firstName = "New"});
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
        const qint64 id = f.lastId();
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
        QVERIFY(ContactExport(f.store).run(f.file("again.vcf"), {}).succeeded());
        QCOMPARE(readBytes(f.file("again.vcf")), out);
    }

    // A contact without a card gets one with a random UID; a contact deleted by
    // another program, and a new one given its id, does not inherit its card.
    void uidsAreRandomKeptAndNeverInherited() {
        StoreFolder f;
        f.addContact({.firstName = "Ann"});
        const qint64 bo = f.addContact({.firstName = "Bo"});
        QVERIFY(ContactExport(f.store).run(f.file("1.vcf"), {}).succeeded());
        const QStringList uids = uidsIn(f.file("1.vcf"));
        for (const QString& uid : uids)
            QCOMPARE(QUuid::fromString(uid).version(), QUuid::Random);

        f.execute(u"delete from tblContactDetails where pkContactDetailsId = %1"_s.arg(bo));
        f.execute(u"insert into tblContactDetails (pkContactDetailsId, FirstName, "
                  "fkContactType, fkContactBookId) values (%1, 'Cy', 1, 1)"_s.arg(bo));
        QCOMPARE(f.rows(u"select count(*) from tblContactCard"_s), QStringList{"1"});
        QVERIFY(ContactExport(f.store).run(f.file("3.vcf"), {}).succeeded());
        const QStringList after = uidsIn(f.file("3.vcf"));
        QCOMPARE(after[0], uids[0]);
        QVERIFY(!uids.contains(after[1]));

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
        f.execute(u"with recursive n(i) as (select 1 union all select i + 1 from n "
                  "where i < 20000) insert into tblContactDetails (FirstName, "
                  "fkContactType, fkContactBookId) select 'Ann' || i, 1, 1 from n"_s);
        struct : QIODevice {
            qint64 readData(char*, qint64) override { return -1; }
            qint64 writeData(const char*, qint64) override { return -1; }
        } refusing;
        refusing.open(QIODevice::WriteOnly);
        QCOMPARE(ContactExport(f.store).run(&refusing, {}).outcome, ExportOutcome::CannotWrite);
    }

    // The arguments' `line` split at spaces, '' an empty one; `text` a pattern for standard
    // output after a success, else standard error.
    void eachRunSaysWhatItDidOrWhyNot_data() {
        QTest::addColumn<QString>("line");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("text");
        const QString usage = u"\n\nUsage: (.|\n)*--import <FILE>(.|\n)*"_s;
        const QString imported = u"%1: 2 imported into \"%2\", 0 already there, 0 skipped\n"_s;
        const QString noBook =
            u"There is no contact book named \"Nowhere\"\\. The contact books are: %1\\.\n"_s;
        const QString link = u"--url http://127.0.0.1:9/ --user u --password-file password"_s;
        QTest::newRow("--version, Qt's window options left out")
            << "-style fusion -platform=offscreen --version" << 0 << "Orvanta Contacts 1\\.0\\.8\n";
        QTest::newRow("unknown option")
            << "--frobnicate" << 2 << "Unknown option 'frobnicate'\\." + usage;
        QTest::newRow("--sync with no linked book")
            << "--sync" << 0 << "No book is linked to a server\\.\n";
        QTest::newRow("import into another data folder")
            << "--import in.vcf --data-folder elsewhere" << 0 << imported.arg("in.vcf", "Default");
        QTest::newRow("import into a named book")
            << "--import in.vcf --book Work" << 0 << imported.arg("in.vcf", "Work");
        QTest::newRow("no such book")
            << "--book Nowhere --import in.vcf" << 1 << noBook.arg("Default, Work");
        QTest::newRow("not vCard, into a new data folder")
            << "--import orvanta-contacts --data-folder elsewhere" << 1
            << "\"orvanta-contacts\" cannot be imported: it is neither a vCard file nor a CSV file "
               "with the columns of this program's export\\. Nothing was imported\\.\n";
        QTest::newRow("unreadable file, into a new data folder")
            << "--import missing.vcf --data-folder elsewhere" << 1
            << "The file \"missing\\.vcf\" could not be read \\(No such file or directory\\)\\. "
               "Nothing was imported\\.\n";
        QTest::newRow("export as 4.0") << "--export-vcard out.vcf --vcard-version 4.0" << 0
                                       << "out.vcf: 1 written from \"Default\" as vCard 4\\.0\n";
        QTest::newRow("a vCard version that does not exist")
            << "--export-vcard out.vcf --vcard-version 2.1" << 2
            << "The vCard version is 3\\.0 or 4\\.0, not \"2\\.1\"\\." + usage;
        QTest::newRow("both at once") << "--import in.vcf --export-vcard out.vcf" << 2
                                      << "Give either --import or --export-vcard\\." + usage;
        QTest::newRow("an empty data folder") << "--import in.vcf --data-folder ''" << 2
                                              << "The value of --data-folder is empty\\." + usage;
        QTest::newRow("an option twice")
            << "--import in.vcf --data-folder elsewhere --data-folder ." << 2
            << "--data-folder is given more than once\\." + usage;
        QTest::newRow("an empty book to link")
            << "--link-book '' " + link << 2 << "The value of --link-book is empty\\." + usage;
        QTest::newRow("a new data folder, no such book")
            << "--export-vcard out.vcf --book Nowhere --data-folder elsewhere" << 1
            << noBook.arg("Default");
        QTest::newRow("a new data folder, no server")
            << "--link-book Home --data-folder elsewhere " + link << 1 << "(.|\n)+";
        QTest::newRow("a file named in Latin-1") << "--import caf\\0351.vcf --book Work" << 0
                                                 << imported.arg(u"caf\uFFFD\\.vcf"_s, "Work");
        QTest::newRow("export under a Latin-1 name")
            << "--export-vcard out\\0351.vcf" << 1
            << u"The name of the file \"out\uFFFD\\.vcf\" is not valid UTF-8; nothing was "
               "written\\. Name a file whose name is\\.\n"_s;
        QTest::newRow("export into a named pipe")
            << "--export-vcard pipe.vcf" << 0
            << "pipe\\.vcf: 1 written from \"Default\" as vCard 3\\.0\n";
        QTest::newRow("export to standard output")
            << "--export-vcard -" << 0
            << "BEGIN:VCARD\r\n(.|\r|\n)*N:Lee;Ann;;;\r\n(.|\r|\n)*END:VCARD\r\n";
        // A folder rather than a device: run as root, a fault here must not risk /dev/null.
        QTest::newRow("export onto a folder")
            << "--export-vcard elsewhere" << 1
            << "\"elsewhere\" is not a file that an export can write into, but a folder, a device "
               "or the like\\. Choose a file to export to\\.\n";
    }

    void eachRunSaysWhatItDidOrWhyNot() {
        QFETCH(QString, line);
        QStringList arguments = line.split(u' ');
        arguments.replaceInStrings(QRegularExpression(u"^''$"_s), QString());
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

    // With a selection, Yes exports the whole book, No the selection, Escape
    // nothing. The dialog suggests "<book>.vcf"; its second filter means 4.0.
    void exportFromTheFileMenu() {
        Window w;
        w.folder.addContact({.firstName = "Bo", .lastName = "Ray"});
        w.click("cmdPersonal");
        const QString question = u"Click Yes to export the current contact book\r\nor No to "
                                 "export the selected contacts only"_s;
        // The boxes shown, the first names written, the vCard version (Ok: no question).
        const auto exported = [&](Answer answer, int filter) {
            if (answer != Answer::Ok)
                w.doors.boxes.answerNext(answer);
            w.dialogs.choose(w.folder.file("out.vcf"), filter);
            w.trigger("mnuExportVCard");
            const QByteArray bytes = readBytes(w.folder.file("out.vcf"));
            QStringList seen = w.doors.boxes.takeTexts();
            for (const vcard::ReadContact& read : vcard::readContacts(bytes).contacts)
                seen << read.contact.firstName;
            return seen << QString::fromLatin1(bytes.mid(bytes.indexOf("VERSION:"), 11));
        };
        const QString all =
            u"2 contact(s) of the contact book \"Default\" written to \"out.vcf\"."_s;
        w.selectRows({1});
        w.doors.boxes.answerCancel();
        w.trigger("mnuExportVCard");
        QCOMPARE(w.doors.boxes.takeTexts(), QStringList{question});
        QVERIFY(!QFile::exists(w.folder.file("out.vcf")) && w.dialogs.shown.isEmpty());
        QCOMPARE(exported(Answer::No, 1),
                 (QStringList{question, QString(all).replace(u'2', u'1'), "Bo", "VERSION:4.0"}));
        QCOMPARE(QFileInfo(w.dialogs.shown[0].path).fileName(), u"Default.vcf"_s);
        QCOMPARE(w.dialogs.shown[0].defaultSuffix, u"vcf"_s);
        QCOMPARE(exported(Answer::Yes, 0),
                 (QStringList{question, all, "Ann", "Bo", "VERSION:3.0"}));
        contactList(w.window())->clearSelection();
        QCOMPARE(exported(Answer::Ok, 0), (QStringList{all, "Ann", "Bo", "VERSION:3.0"}));
    }

    // Dropped or named on the command line, a vCard file is imported after a question;
    // other files and drops on the editor are not taken. File → Import asks nothing.
    void aDroppedVCardIsImportedAfterTheQuestion() {
        Window w;
        // How, the file's name, whether it is taken, the answer to the question.
        const std::tuple<int, const char*, bool, Answer> ways[] = {
            {drop, "two.txt", false, Answer::Yes}, {dropOnEditor, "two.vcf", false, Answer::Yes},
            {drop, "two.vcf", true, Answer::No},   {drop, "two.vcf", true, Answer::Yes},
            {drop, "TWO.VCF", true, Answer::Yes},  {commandLine, "two.vcf", true, Answer::Yes},
            {menu, "two.vcf", true, Answer::Yes}};
        for (const auto& [how, file, accepted, answer] : ways) {
            const QString name = QLatin1String(file);
            writeFile(w.folder.file(name), twoCards);
            if (accepted && how != menu)
                w.doors.boxes.answerNext(answer);
            if (how == dropOnEditor)
                w.window().enterEditorPane();
            if (how == menu) {
                w.dialogs.choose(w.folder.file(name));
                w.trigger("mnuImportContacts");
                w.trigger("mnuImportContacts");
                const QString filter = w.dialogs.shown.value(0).filters.value(0);
                QVERIFY2(filter.contains(u"*.vcf"_s) && filter.contains(u"*.csv"_s),
                         qPrintable(filter));
            } else if (how == commandLine)
                w.window().importFiles({w.folder.file(name)});
            else
                QCOMPARE(w.drop(w.folder.file(name)), accepted);
            waitUntilSettled(w.window());
            QStringList boxes;
            if (accepted && how != menu)
                boxes << u"Import the contacts in \"%1\" into the contact book \"Default\"?"_s.arg(
                    name);
            if (accepted && answer == Answer::Yes)
                boxes << QString(importedTwo).replace(u"two.vcf"_s, name);
            QCOMPARE(w.doors.boxes.takeTexts(), boxes);
            w.window().returnToMainView();
            QCOMPARE(w.listed().size(), accepted && answer == Answer::Yes ? 2 : 1);
            w.folder.execute(u"delete from tblContactDetails where FirstName = 'Bo'"_s);
            w.click("cmdPersonal");
        }
    }

    // The worker is held mid-way: the window answers meanwhile; the command again
    // brings up the progress. Cancel leaves the book, or the earlier file, as it was.
    void cancelLeavesBookAndFileAsTheyWere() {
        // The command, the step its work is held at, what Cancel then says, what a pipe gets.
        const std::tuple<QString, int, QString, QString> commands[] = {
            {u"mnuImportContacts"_s, 4, u"The import was cancelled. Nothing was imported."_s,
             u"\"pipe.vcf\" is not a file but a folder, a named pipe or a device, and cannot be "
             "imported. Nothing was imported."_s},
            {u"mnuExportVCard"_s, 1,
             u"The export was cancelled. No file was written; an earlier \"three.vcf\" is left "
             "as it was."_s,
             u"\"pipe.vcf\" is not a file that an export can write into, but a folder, a device "
             "or the like. Choose a file to export to."_s}};
        for (const auto& [action, heldAtStep, message, refusal] : commands) {
            Window w;
            w.folder.addContact({.firstName = "Bo", .lastName = "Ray"});
            const QByteArray three = "BEGIN:VCARD\r\nN:A;Al;;;\r\nEND:VCARD\r\n"
                                     "BEGIN:VCARD\r\nN:B;Bea;;;\r\nEND:VCARD\r\n"
                                     "BEGIN:VCARD\r\nN:C;Cy;;;\r\nEND:VCARD\r\n";
            writeFile(w.folder.file(u"three.vcf"_s), three);
            QSemaphore held, release;
            std::atomic<int> steps{0};
            w.window().longWork().setStepGate([&] {
                if (++steps == heldAtStep) {
                    held.release();
                    release.acquire();
                }
            });
            w.doors.boxes.answerNext(Answer::Yes);
            w.dialogs.choose(w.folder.file(u"three.vcf"_s));
            child<QAction>(w.window(), action)->trigger();
            held.acquire();
            w.doors.boxes.takeTexts(); // the export's question
            QTest::mouseClick(child<QPushButton>(w.window(), u"cmdPersonal"_s), Qt::LeftButton);
            QTRY_COMPARE(contactList(w.window())->model()->rowCount(), 2);
            // The command again: its progress comes up at once, and nothing else.
            child<QAction>(w.window(), action)->trigger();
            const QPointer<QProgressDialog> dialog =
                w.window().findChild<QProgressDialog*>(u"longWorkProgress"_s);
            QVERIFY(dialog && dialog->isVisible());
            QCOMPARE(w.dialogs.shown.size(), 1);
            QTest::mouseClick(dialog->findChild<QPushButton*>(), Qt::LeftButton);
            // The work is told to stop, and its own result says how that went.
            QVERIFY(!dialog || dialog->isHidden());
            QVERIFY(w.doors.boxes.texts().isEmpty() && w.window().longWork().pending());
            release.release();
            waitUntilSettled(w.window());
            QCOMPARE(w.doors.boxes.texts(), QStringList{message});
            QVERIFY(!QGuiApplication::overrideCursor());
            QCOMPARE(readBytes(w.folder.file(u"three.vcf"_s)), three);
            QCOMPARE(QDir(w.folder.path()).entryList({u"three*"_s}), QStringList{"three.vcf"});
            // A named pipe, which would hold the window, is refused and left as it is.
            QVERIFY(mkfifo(QFile::encodeName(w.folder.file(u"pipe.vcf"_s)).constData(), 0600) == 0);
            w.doors.boxes.answerNext(Answer::Yes);
            w.dialogs.choose(w.folder.file(u"pipe.vcf"_s));
            w.trigger(action);
            QCOMPARE(w.doors.boxes.texts().last(), refusal);
            QVERIFY(!QFileInfo(w.folder.file(u"pipe.vcf"_s)).isFile());
            w.click("cmdPersonal");
            QCOMPARE(w.listed(), (QStringList{"Ann|Lee", "Bo|Ray"}));
        }
    }
};

QTEST_MAIN(ExchangeTest)
#include "ExchangeTest.moc"
