// The import and export commands as a user meets them in the real window:
// the File menu, the file dialogs, the questions, the closing message and
// the list; vCard files dropped on the window; the CSV the e-mail command
// attaches, brought back in.
#include "ExchangeTesting.h"
#include "contacts/ContactListView.h"
#include "exchange/ContactImport.h"
#include "support/FileDialogDouble.h"
#include "support/MainWindowFixture.h"

#include <QMenu>
#include <QMimeData>
#include <QUrl>

using platform::Answer;

Q_DECLARE_METATYPE(platform::Answer)

namespace {

const QByteArray twoCards = "BEGIN:VCARD\r\nVERSION:3.0\r\nN:Lee;Ann;;;\r\nEND:VCARD\r\n"
                            "BEGIN:VCARD\r\nVERSION:3.0\r\nN:Ray;Bo;;;\r\nTEL;TYPE=CELL:1\r\n"
                            "END:VCARD\r\nBEGIN:VCARD\r\nEND:VCARD\r\n";

// The window over a book holding Ann Lee, with Personal chosen on the
// filter strip.
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

const QString importedTwo =
    u"1 contact(s) imported from \"two.vcf\" into the contact book \"Default\".\r\n"
    "1 contact(s) already in the book, so not imported again.\r\n"
    "1 contact(s) skipped.\r\n\r\n"
    "Line 10: a contact without any value was skipped."_s;

} // namespace

class WindowTest : public QObject {
    Q_OBJECT

private slots:
    void theFileMenuHasBothCommandsInAGroupAfterPrinting() {
        MainWindowFixture f;
        QStringList names;
        for (const QAction* action : f.window().mnuRootFile->actions())
            names << action->objectName() +
                         (action->isSeparator() ? QString() : u'=' + action->text());
        QCOMPARE(names, (QStringList{"createcontactbook=&Manage contact books", "sep1",
                                     "emailcontactbook=&EMail current contact book",
                                     "mnuPrintContactBook=&Print current contact book", "sep3",
                                     "mnuImportContacts=&Import Contacts…",
                                     "mnuExportVCard=Export Contact Book as &vCard…", "sepSync",
                                     "mnuSyncSettings=&Sync with Server…", "mnuSyncNow=Sync &Now",
                                     "sep2", "mnuExit=E&xit"}));
        // Hidden with the rest of the menu while a pane is open.
        f.window().enterEditorPane();
        QVERIFY(!f.window().mnuImportContacts->isVisible());
        f.window().returnToMainView();
        QVERIFY(f.window().mnuExportVCard->isVisible());
    }

    // File → Import: the dialog offers vCard and CSV files; the message sums
    // up; the list shows the new contact.
    void importFromTheFileMenu() {
        Window w;
        writeFile(w.file("two.vcf"), twoCards);
        w.dialogs.choose(w.file("two.vcf"));
        w.trigger("mnuImportContacts");
        QCOMPARE(w.dialogs.shown.size(), 1);
        QVERIFY(!w.dialogs.shown[0].save);
        QVERIFY(w.dialogs.shown[0].request.filters.first().contains(QLatin1String("*.vcf")));
        QVERIFY(w.dialogs.shown[0].request.filters.first().contains(QLatin1String("*.csv")));
        QCOMPARE(w.doors.boxes.takeTexts(), QStringList{importedTwo});
        QCOMPARE(w.listed(), (QStringList{"Ann|Lee", "Bo|Ray"}));

        // Cancelling the dialog does nothing; a file of another kind is refused.
        w.trigger("mnuImportContacts");
        QVERIFY(w.doors.boxes.takeTexts().isEmpty());
        writeFile(w.file("notes.txt"), "Just some notes\r\n");
        w.dialogs.choose(w.file("notes.txt"));
        w.trigger("mnuImportContacts");
        QCOMPARE(w.doors.boxes.takeTexts(),
                 QStringList{"\"notes.txt\" cannot be imported: it is neither a vCard file nor a "
                             "CSV file with the columns of this program's export. Nothing was "
                             "imported."});
        QCOMPARE(w.listed(), (QStringList{"Ann|Lee", "Bo|Ray"}));
        QCOMPARE(w.dialogs.unexpected, 1);
    }

    // File → Export: with a selection, Yes writes the whole book, No the
    // selection, Escape nothing; the dialog suggests "<book>.vcf" and its
    // second filter asks for vCard 4.0.
    void exportFromTheFileMenu_data() {
        QTest::addColumn<Answer>("answer");
        QTest::addColumn<int>("filter");
        QTest::addColumn<QStringList>("names"); // first names in the file; empty: no file
        QTest::addColumn<QByteArray>("version");
        QTest::newRow("Yes: the whole book")
            << Answer::Yes << 0 << QStringList{"Ann", "Bo"} << QByteArray("VERSION:3.0");
        QTest::newRow("No: the selection, as 4.0")
            << Answer::No << 1 << QStringList{"Bo"} << QByteArray("VERSION:4.0");
        QTest::newRow("Escape: nothing") << Answer::Cancel << 0 << QStringList() << QByteArray();
    }
    void exportFromTheFileMenu() {
        QFETCH(Answer, answer);
        QFETCH(int, filter);
        QFETCH(QStringList, names);
        QFETCH(QByteArray, version);
        Window w;
        w.folder.addContact({.firstName = "Bo", .lastName = "Ray"});
        w.click("cmdPersonal");
        w.selectRows({1});
        w.doors.boxes.answerNext(answer);
        w.dialogs.choose(w.file("out.vcf"), filter);
        w.trigger("mnuExportVCard");
        QCOMPARE(w.doors.boxes.shown().first().buttons, platform::Buttons::YesNoCancel);
        QCOMPARE(w.doors.boxes.shown().first().text,
                 u"Click Yes to export the current contact book\r\n"
                 "or No to export the selected contacts only"_s);
        if (names.isEmpty()) {
            QVERIFY(w.dialogs.shown.isEmpty());
            QVERIFY(!QFile::exists(w.file("out.vcf")));
            return;
        }
        QCOMPARE(w.dialogs.shown.size(), 1);
        QVERIFY(w.dialogs.shown[0].save);
        QCOMPARE(QFileInfo(w.dialogs.shown[0].request.path).fileName(), u"Default.vcf"_s);
        QCOMPARE(w.dialogs.shown[0].request.defaultSuffix, u"vcf"_s);
        QStringList written;
        const QByteArray bytes = readBytes(w.file("out.vcf"));
        for (const vcard::ReadContact& read : vcard::readContacts(bytes).contacts)
            written << read.contact.firstName;
        QCOMPARE(written, names);
        QVERIFY(bytes.contains(version));
        QCOMPARE(w.doors.boxes.texts().last(),
                 u"%1 contact(s) of the contact book \"Default\" written to "
                 "\"out.vcf\"."_s.arg(names.size()));
    }

    // Without a selection there is nothing to ask.
    void exportWithoutASelectionWritesTheBook() {
        Window w;
        w.window().lvContacts->clearSelection();
        w.dialogs.choose(w.file("out.vcf"));
        w.trigger("mnuExportVCard");
        QCOMPARE(w.doors.boxes.takeTexts(),
                 QStringList{"1 contact(s) of the contact book \"Default\" written to "
                             "\"out.vcf\"."});
        QCOMPARE(vcard::readContacts(readBytes(w.file("out.vcf"))).contacts.size(), 1);
    }

    // A dropped vCard file, or one named on the command line, is imported
    // after a question naming it and the book; other files are not taken.
    void aDroppedVCardIsImportedAfterTheQuestion_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("accepted");
        QTest::addColumn<Answer>("answer");
        QTest::addColumn<QStringList>("listed");
        QTest::newRow("Yes") << "two.vcf" << true << Answer::Yes
                             << QStringList{"Ann|Lee", "Bo|Ray"};
        QTest::newRow("No") << "two.vcf" << true << Answer::No << QStringList{"Ann|Lee"};
        QTest::newRow("upper-case suffix")
            << "TWO.VCF" << true << Answer::Yes << QStringList{"Ann|Lee", "Bo|Ray"};
        QTest::newRow("not a vCard name")
            << "two.txt" << false << Answer::Yes << QStringList{"Ann|Lee"};
    }
    void aDroppedVCardIsImportedAfterTheQuestion() {
        QFETCH(QString, name);
        QFETCH(bool, accepted);
        QFETCH(Answer, answer);
        QFETCH(QStringList, listed);
        Window w;
        writeFile(w.file(name), twoCards);
        w.doors.boxes.answerNext(answer);
        QCOMPARE(w.drop(w.file(name)), accepted);
        if (accepted)
            QCOMPARE(w.doors.boxes.texts().first(),
                     u"Import the contacts in \"%1\" into the contact book "
                     "\"Default\"?"_s.arg(name));
        const int boxes = !accepted ? 0 : answer == Answer::Yes ? 2 : 1;
        QCOMPARE(int(w.doors.boxes.shown().size()), boxes);
        QCOMPARE(w.listed(), listed);
    }

    void theEditorPaneTakesNoDrop() {
        Window w;
        writeFile(w.file("two.vcf"), twoCards);
        w.window().enterEditorPane();
        QVERIFY(!w.drop(w.file("two.vcf")));
    }

    void aFileFromTheCommandLineIsImportedAfterTheQuestion() {
        Window w;
        writeFile(w.file("two.vcf"), twoCards);
        w.doors.boxes.answerYes();
        w.window().importFiles({w.file("two.vcf")});
        QCOMPARE(w.doors.boxes.takeTexts(),
                 (QStringList{"Import the contacts in \"two.vcf\" into the contact book "
                              "\"Default\"?",
                              importedTwo}));
        QCOMPARE(w.listed(), (QStringList{"Ann|Lee", "Bo|Ray"}));
    }

    // The CSV the e-mail command attaches, imported into an empty book,
    // gives the same contacts, values a spreadsheet would take for formulas
    // and values of the user's own that start with an apostrophe included.
    void theEmailedCsvRestoresTheBook() {
        MainWindowFixture f;
        f.folder.addContact({.firstName = "=SUM(A1)",
                             .middleName = "'-5",
                             .lastName = "O'Neil",
                             .address = "1 Main St\r\n\"Flat\", 2",
                             .city = "@home",
                             .state = "-x",
                             .zipCode = "+1",
                             .workPhone = "+1 (555) 0100",
                             .homePhone = "'+44",
                             .cellPhone = "\t1",
                             .email = "a,b@x",
                             .guardian = "Zoë 😀",
                             .comments = "two\r\nlines, \"quoted\"",
                             .type = 2});
        f.folder.addContact({.firstName = "Ann", .lastName = "Lee"});
        f.folder.addContact({.lastName = "Other book", .bookId = f.folder.addBook("Work")});
        f.doors.boxes.answerYes();
        f.trigger("emailcontactbook");
        QCOMPARE(f.doors.mail.sent.size(), 1);

        StoreFolder copy;
        copy.folder.addBook(u"Restored"_s);
        copy.store.setCurrentBook(u"Restored"_s);
        const auto summary =
            exchange::ContactImport(copy.store).run(f.folder.path() + u"/attachment.csv"_s);
        QCOMPARE(summary.format, vcard::FileFormat::Csv);
        QCOMPARE(summary.imported, 2);
        ContactStore original(f.folder.connectionString());
        original.setCurrentBook(u"Default"_s);
        QStringList stored;
        original.readContacts({}, [&](const Contact& c) {
            stored << described(c);
            return true;
        });
        // The export lists the book in the order of its index, so compare as sets.
        QStringList restored = copy.contacts();
        restored.sort();
        stored.sort();
        QCOMPARE(restored, stored);
    }
};

QTEST_MAIN(WindowTest)
#include "WindowTest.moc"
