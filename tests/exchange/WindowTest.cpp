// Import and export in the real window: File menu, file dialogs, questions, a dropped file.
#include "contacts/ContactListView.h"
#include "formats/ContactFileReader.h"
#include "platform/Background.h"
#include "support/FileDialogDouble.h"
#include "support/MainWindowFixture.h"

#include <QMimeData>
#include <QProgressDialog>
#include <QSemaphore>
#include <QUrl>

#include <atomic>

#include <sys/stat.h>

using platform::Answer;

Q_DECLARE_METATYPE(platform::Answer)

namespace {

const QByteArray twoCards = "BEGIN:VCARD\r\nVERSION:3.0\r\nN:Lee;Ann;;;\r\nEND:VCARD\r\n"
                            "BEGIN:VCARD\r\nVERSION:3.0\r\nN:Ray;Bo;;;\r\nTEL;TYPE=CELL:1\r\n"
                            "END:VCARD\r\nBEGIN:VCARD\r\nEND:VCARD\r\n";
const QString importedTwo =
    u"1 contact(s) imported from \"two.vcf\" into the contact book \"Default\".\r\n"
    "1 contact(s) already in the book, so not imported again.\r\n"
    "1 contact(s) skipped.\r\n\r\n"
    "Line 10: a contact without any value was skipped."_s;

constexpr int drop = 0, dropOnEditor = 1, commandLine = 2, menu = 3;

// The window over a book holding Ann Lee, Personal chosen on the filter strip.
struct Window : MainWindowFixture {
    ScriptedFileDialogs dialogs;
    Window() {
        folder.addContact({.firstName = "Ann", .lastName = "Lee"});
        click("cmdPersonal");
    }
    QString file(const QString& name) const { return folder.path() + u'/' + name; }
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

class WindowTest : public QObject {
    Q_OBJECT

private slots:
    // With a selection, Yes exports the whole book, No the selection, Escape
    // nothing. The dialog suggests "<book>.vcf"; its second filter means 4.0.
    void exportFromTheFileMenu_data() {
        QTest::addColumn<bool>("selected");
        QTest::addColumn<Answer>("answer");
        QTest::addColumn<int>("filter");
        QTest::addColumn<QStringList>("names"); // first names in the file; empty: no file
        QTest::newRow("Yes: the whole book")
            << true << Answer::Yes << 0 << QStringList{"Ann", "Bo"};
        QTest::newRow("No: the selection, as 4.0") << true << Answer::No << 1 << QStringList{"Bo"};
        QTest::newRow("Escape: nothing") << true << Answer::Cancel << 0 << QStringList();
        QTest::newRow("no selection") << false << Answer::Cancel << 0 << QStringList{"Ann", "Bo"};
    }
    void exportFromTheFileMenu() {
        QFETCH(bool, selected);
        QFETCH(Answer, answer);
        QFETCH(int, filter);
        QFETCH(QStringList, names);
        Window w;
        w.folder.addContact({.firstName = "Bo", .lastName = "Ray"});
        w.click("cmdPersonal");
        w.selectRows({1});
        if (!selected)
            contactList(w.window())->clearSelection();
        w.doors.boxes.answerNext(answer);
        w.dialogs.choose(w.file("out.vcf"), filter);
        w.trigger("mnuExportVCard");
        QStringList boxes;
        if (selected)
            boxes << "Click Yes to export the current contact book\r\nor No to export the "
                     "selected contacts only";
        if (!names.isEmpty())
            boxes << u"%1 contact(s) of the contact book \"Default\" written to \"out.vcf\"."_s.arg(
                names.size());
        QCOMPARE(w.doors.boxes.texts(), boxes);
        QCOMPARE(w.dialogs.shown.size(), names.isEmpty() ? 0 : 1);
        if (names.isEmpty())
            return;
        QCOMPARE(QFileInfo(w.dialogs.shown[0].request.path).fileName(), u"Default.vcf"_s);
        QCOMPARE(w.dialogs.shown[0].request.defaultSuffix, u"vcf"_s);
        const QByteArray bytes = readBytes(w.file("out.vcf"));
        QStringList written;
        for (const vcard::ReadContact& read : vcard::readContacts(bytes).contacts)
            written << read.contact.firstName;
        QCOMPARE(written, names);
        QVERIFY(bytes.contains(filter == 1 ? "VERSION:4.0" : "VERSION:3.0"));
    }

    // Dropped or named on the command line, a vCard file is imported after a question;
    // other files and drops on the editor are not taken. File → Import asks nothing.
    void aDroppedVCardIsImportedAfterTheQuestion_data() {
        QTest::addColumn<int>("how");
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("accepted");
        QTest::addColumn<Answer>("answer");
        QTest::newRow("Yes") << drop << u"two.vcf"_s << true << Answer::Yes;
        QTest::newRow("No") << drop << u"two.vcf"_s << true << Answer::No;
        QTest::newRow("upper-case suffix") << drop << u"TWO.VCF"_s << true << Answer::Yes;
        QTest::newRow("not a vCard name") << drop << u"two.txt"_s << false << Answer::Yes;
        QTest::newRow("on the editor pane") << dropOnEditor << u"two.vcf"_s << false << Answer::Yes;
        QTest::newRow("command line") << commandLine << u"two.vcf"_s << true << Answer::Yes;
        QTest::newRow("File → Import") << menu << u"two.vcf"_s << true << Answer::Yes;
    }
    void aDroppedVCardIsImportedAfterTheQuestion() {
        QFETCH(int, how);
        QFETCH(QString, name);
        QFETCH(bool, accepted);
        QFETCH(Answer, answer);
        Window w;
        writeFile(w.file(name), twoCards);
        w.doors.boxes.answerNext(answer);
        if (how == dropOnEditor)
            w.window().enterEditorPane();
        if (how == menu) {
            w.dialogs.choose(w.file(name));
            w.trigger("mnuImportContacts");
            w.trigger("mnuImportContacts");
            const QString filter = w.dialogs.shown.value(0).request.filters.value(0);
            QVERIFY2(filter.contains(u"*.vcf"_s) && filter.contains(u"*.csv"_s),
                     qPrintable(filter));
        } else if (how == commandLine)
            w.window().importFiles({w.file(name)});
        else
            QCOMPARE(w.drop(w.file(name)), accepted);
        waitUntilSettled(w.window());
        QStringList boxes;
        if (accepted && how != menu)
            boxes << u"Import the contacts in \"%1\" into the contact book \"Default\"?"_s.arg(
                name);
        if (accepted && answer == Answer::Yes)
            boxes << QString(importedTwo).replace(u"two.vcf"_s, name);
        QCOMPARE(w.doors.boxes.texts(), boxes);
        if (how != dropOnEditor)
            QCOMPARE(w.listed().size(), accepted && answer == Answer::Yes ? 2 : 1);
    }

    // The worker is held mid-way: the window answers meanwhile, and nothing of
    // the work shows before its result; the command chosen again brings up
    // the progress instead of superseding the work. Cancel then leaves the book without
    // the import's contacts, or the earlier file untouched with no
    // temporary file beside it.
    void cancelLeavesBookAndFileAsTheyWere_data() {
        QTest::addColumn<QString>("action");
        QTest::addColumn<int>("heldAtStep");
        QTest::addColumn<QString>("message");
        QTest::newRow("import") << u"mnuImportContacts"_s << 4
                                << u"The import was cancelled. Nothing was imported."_s;
        QTest::newRow("export") << u"mnuExportVCard"_s << 1
                                << u"The export was cancelled. No file was written; an earlier "
                                   "\"three.vcf\" is left as it was."_s;
    }
    void cancelLeavesBookAndFileAsTheyWere() {
        QFETCH(QString, action);
        QFETCH(int, heldAtStep);
        QFETCH(QString, message);
        Window w;
        w.folder.addContact({.firstName = "Bo", .lastName = "Ray"});
        const QByteArray three = "BEGIN:VCARD\r\nN:A;Al;;;\r\nEND:VCARD\r\n"
                                 "BEGIN:VCARD\r\nN:B;Bea;;;\r\nEND:VCARD\r\n"
                                 "BEGIN:VCARD\r\nN:C;Cy;;;\r\nEND:VCARD\r\n";
        writeFile(w.file(u"three.vcf"_s), three);
        QSemaphore held, release;
        std::atomic<int> steps{0};
        w.window().longWork().setStepGate([&] {
            if (++steps == heldAtStep) {
                held.release();
                release.acquire();
            }
        });
        w.doors.boxes.answerNext(Answer::Yes);
        w.dialogs.choose(w.file(u"three.vcf"_s));
        child<QAction>(w.window(), action)->trigger();
        held.acquire();
        w.doors.boxes.takeTexts(); // the export's question
        QTest::mouseClick(child<QPushButton>(w.window(), u"cmdPersonal"_s), Qt::LeftButton);
        QTRY_COMPARE(contactList(w.window())->model()->rowCount(), 2);
        // The command again: its progress comes up at once, and nothing else.
        child<QAction>(w.window(), action)->trigger();
        auto* dialog = w.window().findChild<QProgressDialog*>(u"longWorkProgress"_s);
        QVERIFY(dialog && dialog->isVisible());
        QCOMPARE(w.dialogs.shown.size(), 1);
        QTest::mouseClick(dialog->findChild<QPushButton*>(), Qt::LeftButton);
        QVERIFY(w.doors.boxes.texts().isEmpty() && w.window().longWork().pending());
        release.release();
        waitUntilSettled(w.window());
        QCOMPARE(w.doors.boxes.texts(), QStringList{message});
        QCOMPARE(readBytes(w.file(u"three.vcf"_s)), three);
        QCOMPARE(QDir(w.folder.path()).entryList({u"three*"_s}), QStringList{"three.vcf"});
        w.click("cmdPersonal");
        QCOMPARE(w.listed(), (QStringList{"Ann|Lee", "Bo|Ray"}));
    }

    // A named pipe would hold the window until another program opened it: it
    // is refused with a word, and left as it is.
    void aPipeIsRefused_data() {
        QTest::addColumn<QString>("action");
        QTest::addColumn<QString>("message");
        QTest::newRow("import") << u"mnuImportContacts"_s
                                << u"\"pipe.vcf\" is not a file but a folder, a named pipe or a "
                                   "device, and cannot be imported. Nothing was imported."_s;
        QTest::newRow("export") << u"mnuExportVCard"_s
                                << u"\"pipe.vcf\" is not a file that an export can write into, "
                                   "but a folder, a device or the like. Choose a file to export "
                                   "to."_s;
    }
    void aPipeIsRefused() {
        QFETCH(QString, action);
        QFETCH(QString, message);
        Window w;
        QVERIFY(mkfifo(QFile::encodeName(w.file(u"pipe.vcf"_s)).constData(), 0600) == 0);
        w.doors.boxes.answerNext(Answer::Yes);
        w.dialogs.choose(w.file(u"pipe.vcf"_s));
        w.trigger(action);
        QCOMPARE(w.doors.boxes.texts().value(w.doors.boxes.texts().size() - 1), message);
        QVERIFY(!QFileInfo(w.file(u"pipe.vcf"_s)).isFile());
        QCOMPARE(w.listed().size(), 1);
    }
};

QTEST_MAIN(WindowTest)
#include "WindowTest.moc"
