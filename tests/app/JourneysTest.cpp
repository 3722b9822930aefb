// The user's journeys through the real window: what the user sees on the way
// and what ends up stored.
#include "about/frmAbout.h"
#include "contacts/ContactDetailsTabs.h"
#include "contacts/ContactListView.h"
#include "editor/ctrRecord.h"
#include "support/DesktopDoubles.h"
#include "support/MainWindowFixture.h"

#include <QComboBox>
#include <QRegularExpression>
#include <QTextDocument>

namespace {

const QString retrievingError = u"There was an error retrieving data"_s;
const QString saved = u"Record saved sucessfuly"_s;

// The editor's boxes and their columns; the two multi-line ones store each
// line break as CR LF.
const QStringList boxes{"txtFirstName", "txtMiddleName", "txtLastName", "txtAddress",
                        "txtCity",      "txtState",      "txtZipCode",  "txtWorkPhone",
                        "txtHomePhone", "txtCellPhone",  "txtEmail",    "txtGuardianName",
                        "txtComments"};
const QStringList columns{"FirstName",
                          "MiddleName",
                          "LastName",
                          "Address",
                          "City",
                          "State",
                          "ZipCode",
                          "WorkPhoneNumber",
                          "HomePhoneNumber",
                          "CellPhoneNumber",
                          "EmailAddress",
                          "ParentOrGuardianName",
                          "Comments"};

QString storedForm(const QString& box, QString typed) {
    if (box != u"txtAddress"_s && box != u"txtComments"_s)
        return typed;
    return typed.replace(QRegularExpression(u"\r\n|[\r\n\u2028\u2029]"_s), u"\r\n"_s);
}

QString shown(QWidget* box) {
    if (auto* line = qobject_cast<QLineEdit*>(box))
        return line->text();
    return static_cast<QPlainTextEdit*>(box)->toPlainText();
}

} // namespace

class JourneysTest : public QObject {
    Q_OBJECT

private slots:
    void listFilterAndSearch() {
        MainWindowFixture f;
        const QList<TestContact> contacts{{.firstName = "Mia", .lastName = "Morrison"},
                                          {.firstName = "Ben", .lastName = "bates"},
                                          {.firstName = "Kai", .lastName = "Klein", .type = 2},
                                          {.firstName = "Sam", .lastName = "Bronson", .type = 2},
                                          {.firstName = "Pat", .lastName = "O'Hara"},
                                          {.firstName = "Øyvind",
                                           .middleName = "M",
                                           .lastName = "Ødegård",
                                           .address = "1 Main St\r\nFlat 2",
                                           .state = "OR",
                                           .zipCode = "97201",
                                           .homePhone = "555-1",
                                           .email = "o@x.org",
                                           .guardian = "Jo",
                                           .comments = "line one\r\nline two"}};
        for (const TestContact& contact : contacts)
            f.folder.addContact(contact);
        f.folder.addContact(
            {.firstName = "Other", .lastName = "Booker", .bookId = f.folder.addBook("Work")});
        frmContactMgmt& w = f.window();
        QCOMPARE(w.windowTitle(), u"Orvanta Contacts [Default Contact Book]"_s);
        QVERIFY(f.listed().isEmpty());
        QVERIFY(w.lblStart->isVisible());
        QCOMPARE(f.doors.mail.signOns, 1);

        f.click("cmdA_1"); // "B" before a type: nothing yet
        QVERIFY(f.listed().isEmpty());
        f.click("cmdPersonal");
        QCOMPARE(f.listed(), QStringList{"Ben|bates"});
        QCOMPARE(f.frameCaption(), u"Viewing PERSONAL Contacts"_s);
        QVERIFY(!w.lblStart->isVisible());
        f.click("cmdAll");
        QCOMPARE(f.listed(),
                 (QStringList{"Mia|Morrison", "Ben|bates", "Pat|O'Hara", "Øyvind|Ødegård"}));
        f.click("cmdA_10"); // "K"
        f.click("cmdBusiness");
        QCOMPARE(f.listed(), QStringList{"Kai|Klein"});
        QCOMPARE(f.frameCaption(), u"Viewing BUSINESS Contacts"_s);

        // The search looks in both types, in any case, and keeps quotes and
        // wildcards of the text as text.
        const QList<std::pair<QString, QStringList>> searches{
            {"SON", {"Mia|Morrison", "Sam|Bronson"}},
            {"_r%n", {"Mia|Morrison", "Sam|Bronson"}},
            {"o'h", {"Pat|O'Hara"}},
            {"ødegå", {"Øyvind|Ødegård"}},
            {"'); DROP TABLE tblContactDetails;--", {}}};
        for (const auto& [text, found] : searches) {
            f.pasteSearch(text);
            f.click("cmdFind");
            QCOMPARE(f.listed(), found);
            QCOMPARE(f.frameCaption(), u"Searching ALL Contacts"_s);
        }
        QCOMPARE(f.folder.count(u"tblContactDetails"_s), 7);
        f.click("cmdA_1"); // a letter lists the chosen type again
        QCOMPARE(f.listed(), QStringList{"Sam|Bronson"});

        // A click shows the contact in the tabs.
        f.pasteSearch(u"ø"_s);
        f.click("cmdFind");
        f.clickRow(0);
        ContactDetailsTabs* tabs = w.SSTab1;
        QCOMPARE(tabs->txtFName->text(), u"Øyvind"_s);
        QCOMPARE(tabs->txtMidName->text(), u"M"_s);
        QCOMPARE(tabs->txtLName->text(), u"Ødegård"_s);
        QCOMPARE(tabs->txtGName->text(), u"Jo"_s);
        QCOMPARE(tabs->lblAddress->toPlainText(), u"1 Main St\nFlat 2\n\nOR\n97201"_s);
        QTextDocument contactTab;
        contactTab.setHtml(tabs->lblContactInfo->text());
        QCOMPARE(contactTab.toPlainText(), u"Work  \nHome  555-1\nCell  \nEmail o@x.org"_s);
        QCOMPARE(tabs->lblComments->text(), u"line one\nline two"_s);
        QVERIFY(f.doors.boxes.texts().isEmpty());

        // The file goes away: the list keeps what it showed and says so.
        QVERIFY(QFile::rename(f.folder.databasePath(), f.folder.databasePath() + ".away"));
        f.click("cmdPersonal");
        QCOMPARE(f.doors.boxes.takeTexts(), QStringList{retrievingError});
        QCOMPARE(f.listed(), QStringList{"Øyvind|Ødegård"});
        QVERIFY(!QFile::exists(f.folder.databasePath()));
        QVERIFY(QFile::rename(f.folder.databasePath() + ".away", f.folder.databasePath()));

        f.trigger("mnuExit");
        QVERIFY(!w.isVisible());
        QCOMPARE(f.doors.mail.signOffs, 1);
    }

    // Whatever is pasted into every box is stored, listed, found and loaded
    // back exactly; an edit changes only what was edited; a delete asks.
    void addEditDelete_data() {
        QTest::addColumn<QString>("value");
        QTest::newRow("quotes") << u"O'Brien \"Bob\" ''"_s;
        QTest::newRow("statement") << u"'); DROP TABLE tblContactDetails;--"_s;
        QTest::newRow("wildcards") << u"100%_done\\"_s;
        QTest::newRow("line breaks") << u"one\r\ntwo\nthree\rfour\u2028five\u2029six"_s;
        QTest::newRow("scripts") << u"😀 שלום e\u0301 Straße"_s;
    }
    void addEditDelete() {
        QFETCH(QString, value);
        MainWindowFixture f;
        frmContactMgmt& w = f.window();
        f.click("cmdPersonal");
        f.click("cmdAddRecord");
        QVERIFY(w.recordEditor->isVisible());
        for (const QString& box : boxes)
            paste(w.recordEditor->findChild<QWidget*>(box), value);
        auto* type = w.recordEditor->findChild<QComboBox*>("cmdRecordType");
        QTest::keyClick(type, Qt::Key_Up); // Business -> Personal
        f.click("cmdSave");
        QCOMPARE(f.doors.boxes.takeTexts(), QStringList{saved});
        QVERIFY(!w.recordEditor->isVisible());
        const qint64 id = f.folder.lastId();
        auto row = f.folder.contactRow(id);
        for (int i = 0; i < boxes.size(); ++i)
            QCOMPARE(row.at(columns[i]), storedForm(boxes[i], value));
        QCOMPARE(row.at(u"fkContactType"_s), u"1"_s);

        const QString entry = value + u'|' + value;
        QCOMPARE(f.listed(), QStringList{entry});
        f.pasteSearch(value);
        f.click("cmdFind");
        QCOMPARE(f.listed(), QStringList{entry});

        f.clickRow(0);
        f.click("cmdEditRecord");
        for (const QString& box : boxes)
            QCOMPARE(storedForm(box, shown(w.recordEditor->findChild<QWidget*>(box))),
                     storedForm(box, value));
        QCOMPARE(type->currentText(), u"Personal"_s);
        paste(w.recordEditor->findChild<QWidget*>("txtCity"), u"Cork"_s);
        f.click("cmdSave");
        QVERIFY(f.doors.boxes.texts().isEmpty()); // an update that works says nothing
        row[u"City"_s] = u"Cork"_s;
        QVERIFY(f.folder.contactRow(id) == row);
        QCOMPARE(f.listed(), QStringList{entry});

        f.clickRow(0);
        f.doors.boxes.answerNo();
        f.click("cmdDeleteRecord");
        QCOMPARE(f.folder.count(u"tblContactDetails"_s), 1);
        f.doors.boxes.answerYes();
        f.click("cmdDeleteRecord");
        QCOMPARE(f.doors.boxes.takeTexts().last(), u"Record Deleted successfully"_s);
        QCOMPARE(f.folder.count(u"tblContactDetails"_s), 0);
        QVERIFY(f.listed().isEmpty());
        QCOMPARE(f.doors.boxes.unansweredQuestions(), 0);
    }

    void whatCannotBeSavedIsRefusedWithAMessage() {
        MainWindowFixture f;
        frmContactMgmt& w = f.window();
        f.click("cmdEditRecord");
        f.click("cmdDeleteRecord");
        QCOMPARE(f.doors.boxes.takeTexts(), (QStringList{"Please select a contact to edit",
                                                         "Please select a contact to delete"}));
        const QString withNul = u"a"_s + QChar(0) + u"b"_s;
        addContact(w, withNul, QString());
        QCOMPARE(f.doors.boxes.takeTexts(),
                 QStringList{"First Name holds a character that cannot be stored (a NUL "
                             "character).\r\nPlease remove it and save again."});
        QVERIFY(w.recordEditor->isVisible()); // still open, with what was typed
        f.click("cmdCancel");
        paste(w.txtSearchText, withNul);
        f.click("cmdFind");
        f.trigger("createcontactbook");
        f.click("cmdAddBook");
        paste(w.findChild<QLineEdit*>("txtNewBookName"), withNul);
        f.click("cmdAddConfirm");
        QCOMPARE(f.doors.boxes.takeTexts(),
                 (QStringList{"The search text holds a character that cannot be searched for (a "
                              "NUL character).",
                              "Please specify a valid contact book name.\r\nThe name holds a "
                              "character that cannot be stored (a NUL character)."}));
        f.click("cmdChooseClose");
        QCOMPARE(f.folder.count(u"tblContactDetails"_s), 0);
        QCOMPARE(f.folder.count(u"tblContactBook"_s), 1);

        // Gone before the editor loads it: nothing to save, the main view is
        // back. Gone after: the save says so and writes nothing.
        const qint64 id = f.folder.addContact({.firstName = "Kim"});
        f.folder.addContact({.firstName = "Lou"});
        f.click("cmdPersonal");
        f.clickRow(0);
        f.folder.execute(u"delete from tblContactDetails where pkContactDetailsId = "_s +
                         QString::number(id));
        f.click("cmdEditRecord");
        QCOMPARE(f.doors.boxes.takeTexts(), QStringList{"internal error"});
        QVERIFY(w.recordEditor->isHidden());
        f.clickRow(1);
        f.click("cmdEditRecord");
        f.folder.execute(u"delete from tblContactDetails"_s);
        f.click("cmdSave");
        QCOMPARE(f.doors.boxes.takeTexts(),
                 QStringList{"This contact no longer exists, so the changes could not be saved."});
        QCOMPARE(f.folder.count(u"tblContactDetails"_s), 0);
    }

    void books() {
        MainWindowFixture f;
        const qint64 family = f.folder.addBook(u"Family"_s);
        f.folder.addContact({.firstName = "Kid", .bookId = family});
        f.folder.addContact({.firstName = "Dora"});
        frmContactMgmt& w = f.window();
        auto* list = w.findChild<QListWidget*>("lstContactBooks");
        const auto books = [&] {
            QStringList names;
            for (int row = 0; row < list->count(); ++row)
                names << list->item(row)->text();
            return names;
        };
        const auto choose = [&](const QString& name, const char* button) {
            list->setCurrentItem(list->findItems(name, Qt::MatchExactly).value(0));
            f.click(QLatin1String(button));
        };
        f.trigger("createcontactbook");
        QVERIFY(w.frameContactBooks->isVisible());
        QVERIFY(!w.lvContacts->isVisible());
        QCOMPARE(books(), (QStringList{"Default", "Family"}));

        for (const QString& name : {QString(), u"FAMILY"_s, u"O'Neil's"_s}) {
            f.click("cmdAddBook");
            paste(w.findChild<QLineEdit*>("txtNewBookName"), name);
            f.click("cmdAddConfirm");
        }
        QCOMPARE(f.doors.boxes.takeTexts(),
                 (QStringList{"Please specify a valid contact book name.",
                              "Please specify a valid contact book name.\r\nThe provided name is "
                              "already in use.",
                              "New Contact book Added successfully"}));
        QCOMPARE(books(), (QStringList{"Default", "Family", "O'Neil's"}));

        // A chosen book is the current one: its title, its list, new contacts.
        choose(u"O'Neil's"_s, "cmdChooseClose");
        QCOMPARE(w.windowTitle(), u"Orvanta Contacts [ O'Neil's ]"_s);
        f.click("cmdPersonal");
        QVERIFY(f.listed().isEmpty());
        addContact(w, u"New"_s, u"Comer"_s);
        QCOMPARE(f.doors.boxes.takeTexts(), QStringList{saved});
        QCOMPARE(f.folder.rows("select b.ContactBookName from tblContactDetails c join "
                               "tblContactBook b on b.pkContactBookId = c.fkContactBookId "
                               "where c.FirstName = 'New'"),
                 QStringList{"O'Neil's"});
        f.trigger("createcontactbook");
        choose(u"Family"_s, "cmdChooseClose");
        QCOMPARE(f.listed(), QStringList{"Kid|"});

        // Deleting asks, and takes the book's contacts; Default stays.
        f.trigger("createcontactbook");
        choose(u"Default"_s, "cmdDelete");
        QCOMPARE(f.doors.boxes.takeTexts(), QStringList{"This book cannot be deleted"});
        f.doors.boxes.answerNo();
        choose(u"Family"_s, "cmdDelete");
        QCOMPARE(books().size(), 3);
        f.doors.boxes.answerYes();
        choose(u"Family"_s, "cmdDelete");
        QCOMPARE(f.doors.boxes.takeTexts().last(), u"Contact book Deleted successfully"_s);
        QCOMPARE(books(), (QStringList{"Default", "O'Neil's"}));
        QCOMPARE(f.folder.rows(u"select FirstName from tblContactDetails"_s),
                 (QStringList{"Dora", "New"}));
        QCOMPARE(f.doors.boxes.unansweredQuestions(), 0);
    }

    void about() {
        MainWindowFixture f;
        FakeShell shell;
        frmAbout* box = f.openAbout();
        QVERIFY(box);
        QCOMPARE(f.openAbout(), box); // one box at a time
        QCOMPARE(box->lblVersion->text(), QStringLiteral("Version " ORVANTA_PROJECT_VERSION));
        QVERIFY(!box->isModal());
        QVERIFY(f.window().isEnabled());

        box->lblEmail->setText(u"a.b@c.example"_s);
        QTest::mouseClick(box->lblEmail, Qt::LeftButton);
        QTest::mouseClick(box->lblWebsite, Qt::LeftButton);
        QCOMPARE(shell.openedUrls.value(0), u"mailto:a.b@c.example"_s);
        QVERIFY(shell.openedUrls.value(1).startsWith(u"http"_s));

        // System Info: no viewer is unavailable; the shared tools folder's
        // viewer when it exists; the viewer entry as it stands, first.
        const QString unavailable = u"System Information Is Unavailable At This Time"_s;
        const QString tools = u"SOFTWARE\\Microsoft\\Shared Tools Location"_s;
        QTest::mouseClick(box->cmdSysInfo, Qt::LeftButton);
        QCOMPARE(f.doors.boxes.takeTexts(), QStringList{unavailable});
        shell.setRegistryString(tools, u"MSINFO"_s, u"/opt/tools"_s);
        shell.existingFiles << u"/opt/tools/MSINFO32.EXE"_s;
        QTest::mouseClick(box->cmdSysInfo, Qt::LeftButton);
        shell.setRegistryString(u"SOFTWARE\\Microsoft\\Shared Tools\\MSINFO"_s, u"PATH"_s,
                                u"/no/such/viewer"_s);
        QTest::mouseClick(box->cmdSysInfo, Qt::LeftButton);
        QCOMPARE(shell.startedPrograms,
                 (QStringList{"/opt/tools/MSINFO32.EXE", "/no/such/viewer"}));
        shell.failStart = true;
        QTest::mouseClick(box->cmdSysInfo, Qt::LeftButton);
        QCOMPARE(f.doors.boxes.takeTexts(), QStringList{unavailable});

        QTest::keyClick(box, Qt::Key_Escape);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(f.openAbout());
    }
};

QTEST_MAIN(JourneysTest)
#include "JourneysTest.moc"
