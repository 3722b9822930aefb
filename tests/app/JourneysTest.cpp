// The user's journeys through the real window: what the user sees on the way
// and what ends up stored.
#include "about/frmAbout.h"
#include "app/frmContactMgmt.h"
#include "contacts/ContactDetailsTabs.h"
#include "contacts/ContactListView.h"
#include "editor/ctrRecord.h"
#include "support/DesktopDoubles.h"
#include "support/MainWindowFixture.h"

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <QTextDocument>

namespace {

const QString retrievingError = QStringLiteral("There was an error retrieving data");
const QString saved = QStringLiteral("Record saved sucessfuly");

// The editor's boxes with their columns; the two multi-line ones store each
// line break as CR LF.
const QList<std::pair<const char*, const char*>> boxes{{"txtFirstName", "FirstName"},
                                                       {"txtMiddleName", "MiddleName"},
                                                       {"txtLastName", "LastName"},
                                                       {"txtAddress", "Address"},
                                                       {"txtCity", "City"},
                                                       {"txtState", "State"},
                                                       {"txtZipCode", "ZipCode"},
                                                       {"txtWorkPhone", "WorkPhoneNumber"},
                                                       {"txtHomePhone", "HomePhoneNumber"},
                                                       {"txtCellPhone", "CellPhoneNumber"},
                                                       {"txtEmail", "EmailAddress"},
                                                       {"txtGuardianName", "ParentOrGuardianName"},
                                                       {"txtComments", "Comments"}};

QString storedForm(const char* box, QString typed) {
    if (qstrcmp(box, "txtAddress") && qstrcmp(box, "txtComments"))
        return typed;
    return typed.replace(QRegularExpression(QStringLiteral("\r\n|[\r\n\u2028\u2029]")),
                         QStringLiteral("\r\n"));
}

QString shown(QWidget* box) {
    if (auto* line = qobject_cast<QLineEdit*>(box))
        return line->text();
    return static_cast<QPlainTextEdit*>(box)->toPlainText();
}

qint64 lastId(ContactFolder& folder) {
    return folder.rows(QStringLiteral("select max(pkContactDetailsId) from tblContactDetails"))
        .value(0)
        .toLongLong();
}

frmAbout* openAbout(MainWindowFixture& f) {
    f.trigger(QStringLiteral("mnuAbout"));
    QList<frmAbout*> open;
    for (QWidget* top : QApplication::topLevelWidgets())
        if (auto* box = qobject_cast<frmAbout*>(top); box && box->isVisible())
            open << box;
    return open.size() == 1 ? open.first() : nullptr;
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
        QCOMPARE(w.windowTitle(), QStringLiteral("Orvanta Contacts [Default Contact Book]"));
        QVERIFY(f.listed().isEmpty());
        QVERIFY(w.lblStart->isVisible());
        QCOMPARE(f.doors.mail.signOns, 1);

        f.click(QStringLiteral("cmdA_1")); // "B" before a type: nothing yet
        QVERIFY(f.listed().isEmpty());
        f.click(QStringLiteral("cmdPersonal"));
        QCOMPARE(f.listed(), QStringList{"Ben|bates"});
        QCOMPARE(f.frameCaption(), QStringLiteral("Viewing PERSONAL Contacts"));
        QVERIFY(!w.lblStart->isVisible());
        f.click(QStringLiteral("cmdAll"));
        QCOMPARE(f.listed(),
                 (QStringList{"Mia|Morrison", "Ben|bates", "Pat|O'Hara", "Øyvind|Ødegård"}));
        f.click(QStringLiteral("cmdA_10")); // "K"
        f.click(QStringLiteral("cmdBusiness"));
        QCOMPARE(f.listed(), QStringList{"Kai|Klein"});
        QCOMPARE(f.frameCaption(), QStringLiteral("Viewing BUSINESS Contacts"));

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
            f.click(QStringLiteral("cmdFind"));
            QCOMPARE(f.listed(), found);
            QCOMPARE(f.frameCaption(), QStringLiteral("Searching ALL Contacts"));
        }
        QCOMPARE(f.folder.count(QStringLiteral("tblContactDetails")), 7);
        f.click(QStringLiteral("cmdA_1")); // a letter lists the chosen type again
        QCOMPARE(f.listed(), QStringList{"Sam|Bronson"});

        // A click shows the contact in the tabs.
        f.pasteSearch(QStringLiteral("ø"));
        f.click(QStringLiteral("cmdFind"));
        f.clickRow(0);
        ContactDetailsTabs* tabs = w.SSTab1;
        QCOMPARE(tabs->txtFName->text(), QStringLiteral("Øyvind"));
        QCOMPARE(tabs->txtMidName->text(), QStringLiteral("M"));
        QCOMPARE(tabs->txtLName->text(), QStringLiteral("Ødegård"));
        QCOMPARE(tabs->txtGName->text(), QStringLiteral("Jo"));
        QCOMPARE(tabs->lblAddress->toPlainText(), QStringLiteral("1 Main St\nFlat 2\n\nOR\n97201"));
        QTextDocument contactTab;
        contactTab.setHtml(tabs->lblContactInfo->text());
        QCOMPARE(contactTab.toPlainText(),
                 QStringLiteral("Work  \nHome  555-1\nCell  \nEmail o@x.org"));
        QCOMPARE(tabs->lblComments->text(), QStringLiteral("line one\nline two"));
        QVERIFY(f.doors.boxes.texts().isEmpty());

        // The file goes away: the list keeps what it showed and says so.
        QVERIFY(QFile::rename(f.folder.databasePath(), f.folder.databasePath() + ".away"));
        f.click(QStringLiteral("cmdPersonal"));
        QCOMPARE(f.doors.boxes.takeTexts(), QStringList{retrievingError});
        QCOMPARE(f.listed(), QStringList{"Øyvind|Ødegård"});
        QVERIFY(!QFile::exists(f.folder.databasePath()));
        QVERIFY(QFile::rename(f.folder.databasePath() + ".away", f.folder.databasePath()));

        f.trigger(QStringLiteral("mnuExit"));
        QVERIFY(!w.isVisible());
        QCOMPARE(f.doors.mail.signOffs, 1);
    }

    // Whatever is pasted into every box is stored, listed, found and loaded
    // back exactly; an edit changes only what was edited; a delete asks.
    void addEditDelete_data() {
        QTest::addColumn<QString>("value");
        QTest::newRow("quotes") << QStringLiteral("O'Brien \"Bob\" ''");
        QTest::newRow("statement") << QStringLiteral("'); DROP TABLE tblContactDetails;--");
        QTest::newRow("wildcards") << QStringLiteral("100%_done\\");
        QTest::newRow("line breaks")
            << QStringLiteral("one\r\ntwo\nthree\rfour\u2028five\u2029six");
        QTest::newRow("scripts") << QStringLiteral("😀 שלום e\u0301 Straße");
    }
    void addEditDelete() {
        QFETCH(QString, value);
        MainWindowFixture f;
        frmContactMgmt& w = f.window();
        f.click(QStringLiteral("cmdPersonal"));
        f.click(QStringLiteral("cmdAddRecord"));
        QVERIFY(w.recordEditor->isVisible());
        for (const auto& [box, column] : boxes)
            paste(w.recordEditor->findChild<QWidget*>(box), value);
        auto* type = w.recordEditor->findChild<QComboBox*>(QStringLiteral("cmdRecordType"));
        QTest::keyClick(type, Qt::Key_Up); // Business -> Personal
        f.click(QStringLiteral("cmdSave"));
        QCOMPARE(f.doors.boxes.takeTexts(), QStringList{saved});
        QVERIFY(!w.recordEditor->isVisible());
        const qint64 id = lastId(f.folder);
        auto row = f.folder.contactRow(id);
        for (const auto& [box, column] : boxes)
            QCOMPARE(row.at(QLatin1String(column)), storedForm(box, value));
        QCOMPARE(row.at(QStringLiteral("fkContactType")), QStringLiteral("1"));

        const QString entry = value + u'|' + value;
        QCOMPARE(f.listed(), QStringList{entry});
        f.pasteSearch(QString());
        paste(w.txtSearchText, value);
        f.click(QStringLiteral("cmdFind"));
        QCOMPARE(f.listed(), QStringList{entry});

        f.clickRow(0);
        f.click(QStringLiteral("cmdEditRecord"));
        for (const auto& [box, column] : boxes)
            QCOMPARE(storedForm(box, shown(w.recordEditor->findChild<QWidget*>(box))),
                     storedForm(box, value));
        QCOMPARE(type->currentText(), QStringLiteral("Personal"));
        paste(w.recordEditor->findChild<QWidget*>("txtCity"), QStringLiteral("Cork"));
        f.click(QStringLiteral("cmdSave"));
        QVERIFY(f.doors.boxes.texts().isEmpty()); // an update that works says nothing
        row[QStringLiteral("City")] = QStringLiteral("Cork");
        QVERIFY(f.folder.contactRow(id) == row);
        QCOMPARE(f.listed(), QStringList{entry});

        f.clickRow(0);
        f.doors.boxes.answerNo();
        f.click(QStringLiteral("cmdDeleteRecord"));
        QCOMPARE(f.folder.count(QStringLiteral("tblContactDetails")), 1);
        f.doors.boxes.answerYes();
        f.click(QStringLiteral("cmdDeleteRecord"));
        QCOMPARE(f.doors.boxes.takeTexts().last(), QStringLiteral("Record Deleted successfully"));
        QCOMPARE(f.folder.count(QStringLiteral("tblContactDetails")), 0);
        QVERIFY(f.listed().isEmpty());
        QCOMPARE(f.doors.boxes.unansweredQuestions(), 0);
    }

    void whatCannotBeSavedIsRefusedWithAMessage() {
        MainWindowFixture f;
        frmContactMgmt& w = f.window();
        f.click(QStringLiteral("cmdEditRecord"));
        f.click(QStringLiteral("cmdDeleteRecord"));
        QCOMPARE(f.doors.boxes.takeTexts(), (QStringList{"Please select a contact to edit",
                                                         "Please select a contact to delete"}));
        const QString withNul = QStringLiteral("a") + QChar(0) + QStringLiteral("b");
        addContact(w, withNul, QString());
        QCOMPARE(f.doors.boxes.takeTexts(),
                 QStringList{"First Name holds a character that cannot be stored (a NUL "
                             "character).\r\nPlease remove it and save again."});
        QVERIFY(w.recordEditor->isVisible()); // still open, with what was typed
        f.click(QStringLiteral("cmdCancel"));
        paste(w.txtSearchText, withNul);
        f.click(QStringLiteral("cmdFind"));
        f.trigger(QStringLiteral("createcontactbook"));
        f.click(QStringLiteral("cmdAddBook"));
        paste(w.findChild<QLineEdit*>(QStringLiteral("txtNewBookName")), withNul);
        f.click(QStringLiteral("cmdAddConfirm"));
        QCOMPARE(f.doors.boxes.takeTexts(),
                 (QStringList{"The search text holds a character that cannot be searched for (a "
                              "NUL character).",
                              "Please specify a valid contact book name.\r\nThe name holds a "
                              "character that cannot be stored (a NUL character)."}));
        f.click(QStringLiteral("cmdChooseClose"));
        QCOMPARE(f.folder.count(QStringLiteral("tblContactDetails")), 0);
        QCOMPARE(f.folder.count(QStringLiteral("tblContactBook")), 1);

        // Gone before the editor loads it: nothing to save, the main view is
        // back. Gone after: the save says so and writes nothing.
        const qint64 id = f.folder.addContact({.firstName = "Kim"});
        f.folder.addContact({.firstName = "Lou"});
        f.click(QStringLiteral("cmdPersonal"));
        f.clickRow(0);
        f.folder.execute(
            QStringLiteral("delete from tblContactDetails where pkContactDetailsId = ") +
            QString::number(id));
        f.click(QStringLiteral("cmdEditRecord"));
        QCOMPARE(f.doors.boxes.takeTexts(), QStringList{"internal error"});
        QVERIFY(w.recordEditor->isHidden());
        f.clickRow(1);
        f.click(QStringLiteral("cmdEditRecord"));
        f.folder.execute(QStringLiteral("delete from tblContactDetails"));
        f.click(QStringLiteral("cmdSave"));
        QCOMPARE(f.doors.boxes.takeTexts(),
                 QStringList{"This contact no longer exists, so the changes could not be saved."});
        QCOMPARE(f.folder.count(QStringLiteral("tblContactDetails")), 0);
    }

    void books() {
        MainWindowFixture f;
        const qint64 family = f.folder.addBook(QStringLiteral("Family"));
        f.folder.addContact({.firstName = "Kid", .bookId = family});
        f.folder.addContact({.firstName = "Dora"});
        frmContactMgmt& w = f.window();
        auto* list = w.findChild<QListWidget*>(QStringLiteral("lstContactBooks"));
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
        f.trigger(QStringLiteral("createcontactbook"));
        QVERIFY(w.frameContactBooks->isVisible());
        QVERIFY(!w.lvContacts->isVisible());
        QCOMPARE(books(), (QStringList{"Default", "Family"}));

        for (const QString& name :
             {QString(), QStringLiteral("FAMILY"), QStringLiteral("O'Neil's")}) {
            f.click(QStringLiteral("cmdAddBook"));
            paste(w.findChild<QLineEdit*>(QStringLiteral("txtNewBookName")), name);
            f.click(QStringLiteral("cmdAddConfirm"));
        }
        QCOMPARE(f.doors.boxes.takeTexts(),
                 (QStringList{"Please specify a valid contact book name.",
                              "Please specify a valid contact book name.\r\nThe provided name is "
                              "already in use.",
                              "New Contact book Added successfully"}));
        QCOMPARE(books(), (QStringList{"Default", "Family", "O'Neil's"}));

        // A chosen book is the current one: its title, its list, new contacts.
        choose(QStringLiteral("O'Neil's"), "cmdChooseClose");
        QCOMPARE(w.windowTitle(), QStringLiteral("Orvanta Contacts [ O'Neil's ]"));
        f.click(QStringLiteral("cmdPersonal"));
        QVERIFY(f.listed().isEmpty());
        addContact(w, QStringLiteral("New"), QStringLiteral("Comer"));
        QCOMPARE(f.doors.boxes.takeTexts(), QStringList{saved});
        QCOMPARE(f.folder.rows("select b.ContactBookName from tblContactDetails c join "
                               "tblContactBook b on b.pkContactBookId = c.fkContactBookId "
                               "where c.FirstName = 'New'"),
                 QStringList{"O'Neil's"});
        f.trigger(QStringLiteral("createcontactbook"));
        choose(QStringLiteral("Family"), "cmdChooseClose");
        QCOMPARE(f.listed(), QStringList{"Kid|"});

        // Deleting asks, and takes the book's contacts; Default stays.
        f.trigger(QStringLiteral("createcontactbook"));
        choose(QStringLiteral("Default"), "cmdDelete");
        QCOMPARE(f.doors.boxes.takeTexts(), QStringList{"This book cannot be deleted"});
        f.doors.boxes.answerNo();
        choose(QStringLiteral("Family"), "cmdDelete");
        QCOMPARE(books().size(), 3);
        f.doors.boxes.answerYes();
        choose(QStringLiteral("Family"), "cmdDelete");
        QCOMPARE(f.doors.boxes.takeTexts().last(),
                 QStringLiteral("Contact book Deleted successfully"));
        QCOMPARE(books(), (QStringList{"Default", "O'Neil's"}));
        QCOMPARE(f.folder.rows(QStringLiteral("select FirstName from tblContactDetails")),
                 (QStringList{"Dora", "New"}));
        QCOMPARE(f.doors.boxes.unansweredQuestions(), 0);
    }

    void about() {
        MainWindowFixture f;
        FakeShell shell;
        frmAbout* box = openAbout(f);
        QVERIFY(box);
        QCOMPARE(openAbout(f), box); // one box at a time
        QCOMPARE(box->lblVersion->text(), QStringLiteral("Version " ORVANTA_PROJECT_VERSION));
        QVERIFY(!box->isModal());
        QVERIFY(f.window().isEnabled());

        box->lblEmail->setText(QStringLiteral("a.b@c.example"));
        QTest::mouseClick(box->lblEmail, Qt::LeftButton);
        QTest::mouseClick(box->lblWebsite, Qt::LeftButton);
        QCOMPARE(shell.openedUrls.value(0), QStringLiteral("mailto:a.b@c.example"));
        QVERIFY(shell.openedUrls.value(1).startsWith(QStringLiteral("http")));

        // System Info: no viewer is unavailable; the shared tools folder's
        // viewer when it exists; the viewer entry as it stands, first.
        const QString unavailable =
            QStringLiteral("System Information Is Unavailable At This Time");
        const QString tools = QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools Location");
        QTest::mouseClick(box->cmdSysInfo, Qt::LeftButton);
        QCOMPARE(f.doors.boxes.takeTexts(), QStringList{unavailable});
        shell.setRegistryString(tools, QStringLiteral("MSINFO"), QStringLiteral("/opt/tools"));
        shell.existingFiles << QStringLiteral("/opt/tools/MSINFO32.EXE");
        QTest::mouseClick(box->cmdSysInfo, Qt::LeftButton);
        shell.setRegistryString(QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools\\MSINFO"),
                                QStringLiteral("PATH"), QStringLiteral("/no/such/viewer"));
        QTest::mouseClick(box->cmdSysInfo, Qt::LeftButton);
        QCOMPARE(shell.startedPrograms,
                 (QStringList{"/opt/tools/MSINFO32.EXE", "/no/such/viewer"}));
        shell.failStart = true;
        QTest::mouseClick(box->cmdSysInfo, Qt::LeftButton);
        QCOMPARE(f.doors.boxes.takeTexts(), QStringList{unavailable});

        QTest::keyClick(box, Qt::Key_Escape);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(openAbout(f));
    }
};

QTEST_MAIN(JourneysTest)
#include "JourneysTest.moc"
