// The real program's command line, run without a display: options, the
// one-line summaries, the reasons on standard error and the exit codes.
#include "ExchangeTesting.h"

#include <QProcess>
#include <QRegularExpression>

namespace {

const QByteArray cards = "BEGIN:VCARD\r\nVERSION:3.0\r\nN:Lee;Ann;;;\r\nEND:VCARD\r\n"
                         "BEGIN:VCARD\r\nVERSION:3.0\r\nN:Ray;Bo;;;\r\nEND:VCARD\r\n";

struct Run {
    int exitCode;
    QString out;
    QString err;
};

// A copy of the program in a folder of its own, whose data folder that
// folder then is: a database with Ann Lee in "Default" and an empty "Work".
struct ProgramFolder : ContactFolder {
    ProgramFolder() {
        QVERIFY(QFile::copy(QStringLiteral(ORVANTA_PROGRAM), file(u"orvanta-contacts"_s)));
        addBook(u"Work"_s);
        addContact({.firstName = "Ann", .lastName = "Lee"});
        QVERIFY(QDir(path()).mkdir(u"elsewhere"_s));
        writeFile(file(u"in.vcf"_s), cards);
        writeFile(file(u"garbage.bin"_s), QByteArray("\x7F"
                                                     "ELF\x02\x01\x01\0\0\0",
                                                     10));
    }
    QString file(const QString& name) const { return QDir(path()).filePath(name); }

    // Runs the program with no display at all.
    Run run(const QStringList& arguments) const {
        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
            environment.remove(QLatin1String(name));
        process.setProcessEnvironment(environment);
        process.setWorkingDirectory(path());
        process.start(file(u"orvanta-contacts"_s), arguments);
        process.waitForFinished(60000);
        return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
                QString::fromUtf8(process.readAllStandardOutput()),
                QString::fromUtf8(process.readAllStandardError())};
    }

    // How many contacts each book holds: "Default 1, Work 0".
    QString counts() {
        return rows(u"select b.ContactBookName || ' ' || count(c.pkContactDetailsId) from "
                    "tblContactBook b left join tblContactDetails c on c.fkContactBookId = "
                    "b.pkContactBookId group by b.pkContactBookId order by b.pkContactBookId"_s)
            .join(u", "_s);
    }
};

} // namespace

class CommandLineTest : public QObject {
    Q_OBJECT

private slots:
    // Arguments are relative to the program's folder; `out` and `err` are
    // patterns the whole output must match.
    void eachRunSaysWhatItDidOrWhyNot_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("out");
        QTest::addColumn<QString>("err");
        QTest::addColumn<QString>("counts");
        const QString unchanged = u"Default 1, Work 0"_s;
        QTest::newRow("--version")
            << QStringList{"--version"} << 0 << "Orvanta Contacts 1\\.0\\.8\n"
            << "" << unchanged;
        QTest::newRow("--help") << QStringList{"--help"} << 0
                                << "Usage: .*orvanta-contacts \\[options\\] \\[FILE\\.\\.\\.\\]\n"
                                   "(.|\n)*-h, --help(.|\n)*-v, --version(.|\n)*"
                                   "--import <FILE>(.|\n)*--export-vcard <FILE>(.|\n)*"
                                   "--book <NAME>(.|\n)*--vcard-version <VERSION>(.|\n)*"
                                   "--sync(.|\n)*--link-book <NAME>(.|\n)*--url <URL>(.|\n)*"
                                   "--user <USER>(.|\n)*--password-file <FILE>(.|\n)*"
                                   "--data-folder <FOLDER>(.|\n)*"
                                << "" << unchanged;
        QTest::newRow("unknown option")
            << QStringList{"--frobnicate"} << 2 << ""
            << "Unknown option 'frobnicate'\\.\n\nUsage: (.|\n)*--import <FILE>(.|\n)*"
            << unchanged;
        QTest::newRow("unknown option beside --sync")
            << QStringList{"--sync", "--frobnicate"} << 2 << ""
            << "Unknown option 'frobnicate'\\.\n\nUsage: (.|\n)*--sync(.|\n)*" << unchanged;
        QTest::newRow("Qt's window options are left out")
            << QStringList{"-style", "fusion", "-platform=offscreen", "--version"} << 0
            << "Orvanta Contacts 1\\.0\\.8\n"
            << "" << unchanged;
        QTest::newRow("--sync with no linked book")
            << QStringList{"--sync"} << 0 << "No book is linked to a server\\.\n"
            << "" << unchanged;
        QTest::newRow("--link-book without its account")
            << QStringList{"--link-book", "Work", "--url", "http://127.0.0.1:9/"} << 2 << ""
            << "--link-book needs --url, --user and --password-file\\.\n\nUsage: (.|\n)*"
            << unchanged;
        QTest::newRow("--sync with --import")
            << QStringList{"--sync", "--import", "in.vcf"} << 2 << ""
            << "--sync and --link-book go without --import, --export-vcard and "
               "--vcard-version\\.\n\nUsage: (.|\n)*"
            << unchanged;
        QTest::newRow("import into another data folder")
            << QStringList{"--import", "in.vcf", "--data-folder", "elsewhere"} << 0
            << "in.vcf: 2 imported into \"Default\", 0 already there, 0 skipped\n"
            << "" << unchanged;
        QTest::newRow("import into Default")
            << QStringList{"--import", "in.vcf"} << 0
            << "in.vcf: 1 imported into \"Default\", 1 already there, 0 skipped\n"
            << ""
            << "Default 2, Work 0";
        QTest::newRow("import into a named book")
            << QStringList{"--import", "in.vcf", "--book", "Work"} << 0
            << "in.vcf: 2 imported into \"Work\", 0 already there, 0 skipped\n"
            << ""
            << "Default 1, Work 2";
        QTest::newRow("no such book")
            << QStringList{"--book", "Nowhere", "--import", "in.vcf"} << 1 << ""
            << "There is no contact book named \"Nowhere\"\\. The contact books are: Default, "
               "Work\\.\n"
            << unchanged;
        QTest::newRow("not vCard")
            << QStringList{"--import", "garbage.bin"} << 1 << ""
            << "\"garbage\\.bin\" cannot be imported: it is neither a vCard file nor a CSV file "
               "with the columns of this program's export\\. Nothing was imported\\.\n"
            << unchanged;
        QTest::newRow("unreadable file")
            << QStringList{"--import", "missing.vcf"} << 1 << ""
            << "The file \"missing\\.vcf\" could not be read \\(No such file or directory\\)\\. "
               "Nothing was imported\\.\n"
            << unchanged;
        QTest::newRow("export as 4.0")
            << QStringList{"--export-vcard", "out.vcf", "--vcard-version", "4.0"} << 0
            << "out.vcf: 1 written from \"Default\" as vCard 4\\.0\n"
            << "" << unchanged;
        QTest::newRow("export of no such book")
            << QStringList{"--export-vcard", "out.vcf", "--book", "Nowhere"} << 1 << ""
            << "There is no contact book named \"Nowhere\"(.|\n)*" << unchanged;
        QTest::newRow("a vCard version that does not exist")
            << QStringList{"--export-vcard", "out.vcf", "--vcard-version", "2.1"} << 2 << ""
            << "The vCard version is 3\\.0 or 4\\.0, not \"2\\.1\"\\.\n\nUsage: (.|\n)*"
            << unchanged;
        QTest::newRow("both at once")
            << QStringList{"--import", "in.vcf", "--export-vcard", "out.vcf"} << 2 << ""
            << "Give either --import or --export-vcard\\.\n\nUsage: (.|\n)*" << unchanged;
    }
    void eachRunSaysWhatItDidOrWhyNot() {
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        QFETCH(QString, out);
        QFETCH(QString, err);
        QFETCH(QString, counts);
        ProgramFolder folder;
        const QByteArray database = readBytes(folder.file(u"contacts.mdb"_s));
        const Run run = folder.run(arguments);
        QCOMPARE(run.exitCode, exitCode);
        QVERIFY2(
            QRegularExpression(QRegularExpression::anchoredPattern(out)).match(run.out).hasMatch(),
            qPrintable(run.out));
        QVERIFY2(
            QRegularExpression(QRegularExpression::anchoredPattern(err)).match(run.err).hasMatch(),
            qPrintable(run.err));
        QCOMPARE(folder.counts(), counts);
        if (exitCode == 2)
            QCOMPARE(readBytes(folder.file(u"contacts.mdb"_s)), database);
        const bool exported = arguments.contains("--export-vcard") && exitCode == 0;
        QCOMPARE(QFile::exists(folder.file(u"out.vcf"_s)), exported);
        if (exported)
            QVERIFY(
                readBytes(folder.file(u"out.vcf"_s))
                    .contains(arguments.contains("4.0") ? "VERSION:4.0\r\n" : "VERSION:3.0\r\n"));
    }
};

QTEST_MAIN(CommandLineTest)
#include "CommandLineTest.moc"
