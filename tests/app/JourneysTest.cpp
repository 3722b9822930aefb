// The user's journeys through the real window: what is seen, what is stored, how it looks.
#include "about/frmAbout.h"
#include "app/Startup.h"
#include "app/Translations.h"
#include "app/WindowGeometry.h"
#include "contacts/ContactDetailsTabs.h"
#include "contacts/ContactListView.h"
#include "contacts/DisplayText.h"
#include "contacts/ListReload.h"
#include "contacts/ctrTypeFilter.h"
#include "data/CardStore.h"
#include "editor/ctrRecord.h"
#include "platform/Background.h"
#include "support/DesktopDoubles.h"
#include "support/HeldFile.h"
#include "support/MainWindowFixture.h"

#include <QAccessible>
#include <QComboBox>
#include <QDialog>
#include <QHeaderView>
#include <QLibraryInfo>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QProgressDialog>
#include <QScopeGuard>
#include <QSettings>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>

namespace {

// The editor's boxes ("txt" + name) and the columns they are stored in.
const QStringList boxes = u"FirstName MiddleName LastName Address City State ZipCode WorkPhone "
                          u"HomePhone CellPhone Email GuardianName Comments"_s.split(u' ');
const QStringList columns = u"FirstName MiddleName LastName Address City State ZipCode "
                            u"WorkPhoneNumber HomePhoneNumber CellPhoneNumber EmailAddress "
                            u"ParentOrGuardianName Comments"_s.split(u' ');

// The two multi-line boxes store each line break as CR LF.
QString storedForm(const QString& box, QString typed) {
    if (box == u"Address"_s || box == u"Comments"_s)
        typed.replace(QRegularExpression(u"\r\n|[\r\n\u2028\u2029]"_s), u"\r\n"_s);
    return typed;
}

const QByteArray onePixelPng =
    "iVBORw0KGgoAAAANSUhEUgAAAAEAAAABCAYAAAAfFcSJAAAADUlEQVR42mP8z8BQDwAEhQ"
    "GAhKmMIQAAAABJRU5ErkJggg==";

// Keeps a card of these properties for the contact, as an import does.
void keepCard(ContactFolder& folder, qint64 id, const QByteArray& properties) {
    CardStore(folder.connectionString())
        .keep(id, {u"u-1"_s, "BEGIN:VCARD\r\nVERSION:3.0\r\n" + properties + "END:VCARD\r\n", {}});
}

} // namespace

class JourneysTest : public QObject {
    Q_OBJECT

private slots:
    // The tabs show the contact as text, never markup; its links call and write.
    // What its card holds beyond the columns shows on a further tab, read-only.
    void listFilterSearchAndDetails() {
        MainWindowFixture f;
        RecordingTelephony telephony;
        FakeShell shell;
        for (const TestContact& contact :
             QList<TestContact>{{.firstName = "Mia", .lastName = "Morrison"},
                                {.firstName = "Ben", .lastName = "bates"},
                                {.firstName = "Sam", .lastName = "Bronson", .type = 2},
                                {.firstName = "Pat", .lastName = "O'Hara"}})
            f.folder.addContact(contact);
        keepCard(f.folder,
                 f.folder.addContact({.firstName = "Kai", .lastName = "Klein", .type = 2}),
                 "N:Klein;Kai;;;\r\nORG:Acme <Labs>\r\nTITLE:Chemist\r\nBDAY:1970-01-02\r\n"
                 "URL:https://example.org/ann\r\nEMAIL;TYPE=WORK:lee@acme.example\r\n"
                 "PHOTO;ENCODING=b;TYPE=PNG:" +
                     onePixelPng + "\r\n");
        f.folder.addContact({.firstName = "<b>Øy</b>",
                             .lastName = "Ødegård",
                             .address = "1 Main St\r\nFlat 2",
                             .state = "OR",
                             .zipCode = "97201",
                             .workPhone = "555 1",
                             .cellPhone = "555<3>",
                             .email = "a b&c<i>@x.org",
                             .comments = "line one\r\nline two"});
        f.folder.addContact({.firstName = "Bo", .lastName = "B", .bookId = f.folder.addBook("W")});
        frmContactMgmt& w = f.window();
        f.click("cmdA_1"); // "B" before a type: nothing yet
        QVERIFY(f.listed().isEmpty());
        f.click("cmdPersonal");
        QCOMPARE(f.listed(), QStringList{"Ben|bates"});
        QCOMPARE(f.frameCaption(), u"Viewing PERSONAL Contacts"_s);
        f.click("cmdAll");
        QCOMPARE(f.listed(),
                 (QStringList{"Mia|Morrison", "Ben|bates", "Pat|O'Hara", "<b>Øy</b>|Ødegård"}));
        f.click("cmdA_10"); // "K"
        f.click("cmdBusiness");
        QCOMPARE(f.listed(), QStringList{"Kai|Klein"});
        f.clickRow(0);
        ContactDetailsTabs* tabs = details(w);
        const int more = tabs->indexOf(tabs->moreTab);
        QVERIFY(tabs->isTabVisible(more));
        QCOMPARE(tabs->tabText(more), u"More"_s);
        QTextDocument shown;
        shown.setHtml(tabs->lblCardExtras->text());
        QCOMPARE(shown.toPlainText().trimmed(),
                 u"Organization\nAcme <Labs>\nTitle\nChemist\nBirthday\n"
                 "1970-01-02\nWeb page\nhttps://example.org/ann\nE-mail "
                 "(work)\nlee@acme.example"_s);
        QVERIFY(!tabs->lblPhoto->pixmap().isNull());
        emit tabs->lblCardExtras->linkActivated(u"web:0"_s);

        QCOMPARE(f.search(u"SON"_s), (QStringList{"Mia|Morrison", "Sam|Bronson"}));
        QCOMPARE(f.search(u"o'h"_s), QStringList{"Pat|O'Hara"});
        QCOMPARE(f.frameCaption(), u"Searching ALL Contacts"_s);

        QCOMPARE(f.search(u"ødeg"_s).size(), 1);
        f.clickRow(0);
        QVERIFY(!tabs->isTabVisible(more));
        QCOMPARE(
            (QStringList{tabs->txtFName->text(), tabs->lblAddress->toPlainText(),
                         tabs->lblComments->text()}),
            (QStringList{"<b>Øy</b>", "1 Main St\nFlat 2\n\nOR\n97201", "line one\nline two"}));
        QTextDocument contactTab;
        contactTab.setHtml(tabs->lblContactInfo->text());
        QCOMPARE(contactTab.toPlainText(),
                 u"Work  555 1\nHome  \nCell  555<3>\nEmail a b&c<i>@x.org"_s);
        for (const auto& link :
             QRegularExpression(u"href=\"([^\"]*)\""_s).globalMatch(tabs->lblContactInfo->text()))
            emit tabs->lblContactInfo->linkActivated(link.captured(1));
        QStringList calls;
        for (const RecordingTelephony::Request& call : telephony.requests)
            calls << call.destination + u'|' + call.calledParty;
        QCOMPARE(calls, (QStringList{"555 1|<b>Øy</b>", "555<3>|<b>Øy</b>"}));
        QCOMPARE(shell.openedUrls,
                 (QStringList{"https://example.org/ann", "mailto:a%20b%26c%3Ci%3E@x.org"}));

        // A real box shows the name as it was typed, markup and all.
        platform::setMessageBoxes(nullptr);
        const auto restore = qScopeGuard([&] { platform::setMessageBoxes(&f.doors.boxes); });
        QString seen; // what a reader selecting the box's whole text gets
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box)
                return;
            auto* label = box->findChild<QLabel*>(u"qt_msgbox_label"_s);
            label->setTextInteractionFlags(Qt::TextSelectableByMouse);
            label->setSelection(0, int(label->text().size()));
            seen = label->selectedText();
            box->button(QMessageBox::No)->click();
        });
        poll.start(10);
        f.click("cmdDeleteRecord");
        QCOMPARE(seen, u"Are you sure you want to delete the current Record <b>Øy</b>?"_s);
        QCOMPARE(f.folder.count(u"tblContactDetails"_s), 7);
    }

    // At start a missing contact file is made, a good one taken, another refused.
    void startUpPreparesTheDataFolder() {
        InstalledDoubles doors;
        QTemporaryDir folder;
        QVERIFY(prepareDataFolder(folder.path()));
        QVERIFY(prepareDataFolder(folder.path()));
        QVERIFY(doors.boxes.texts().isEmpty());
        writeFile(folder.filePath(u"contacts.mdb"_s), "not a database");
        QVERIFY(!prepareDataFolder(folder.path()));
        QCOMPARE(doors.boxes.texts().size(), 1);
    }

    // Whatever is pasted is stored, listed, found and loaded back whole; an edit
    // changes only that. What cannot be stored or searched for is refused.
    void addEditDelete() {
        MainWindowFixture f;
        frmContactMgmt& w = f.window();
        addContact(w, u"New"_s, u"Comer"_s); // before any type: Business, and not listed
        QVERIFY(f.listed().isEmpty());
        f.click("cmdEditRecord");
        const QString withNul = u"a"_s + QChar(0) + u"b"_s;
        addContact(w, withNul, QString());
        QVERIFY(editor(w)->isVisible()); // still open, with what was typed
        f.click("cmdCancel");
        f.search(withNul);
        QCOMPARE(f.doors.boxes.takeTexts(),
                 (QStringList{"Record saved sucessfuly", "Please select a contact to edit",
                              "First Name holds a character that cannot be stored (a NUL "
                              "character).\r\nPlease remove it and save again.",
                              "The search text holds a character that cannot be searched for (a "
                              "NUL character)."}));
        QCOMPARE(f.folder.rows(u"select fkContactType from tblContactDetails"_s), QStringList{"2"});
        f.folder.execute(u"delete from tblContactDetails"_s);

        auto box = [&](const QString& n) { return editor(w)->findChild<QWidget*>(u"txt"_s + n); };
        for (const QString& value :
             {u"O'Brien \"Bob\" 100%_done\\ 😀 שלום e\u0301"_s,
              u"one\r\ntwo\nthree\rfour\u2028five\u2029six"_s, u"Lee "_s.repeated(40'000)}) {
            f.click("cmdPersonal");
            f.click("cmdAddRecord");
            for (const QString& name : boxes)
                paste(box(name), value);
            auto* type = editor(w)->findChild<QComboBox*>("cmdRecordType");
            QCOMPARE(type->currentText(), u"Personal"_s); // the type being viewed
            QVERIFY(child<QPushButton>(w, u"cmdSave"_s)->isDefault());
            QTest::keyClick(box(u"LastName"_s), Qt::Key_Return);
            QCOMPARE(f.doors.boxes.takeTexts(), QStringList{"Record saved sucessfuly"});
            QVERIFY(!editor(w)->isVisible());
            auto row = f.folder.contactRow(f.folder.lastId());
            for (int i = 0; i < boxes.size(); ++i)
                QVERIFY2(row.at(columns[i]) == storedForm(boxes[i], value), qPrintable(columns[i]));
            QCOMPARE(row.at(u"fkContactType"_s), u"1"_s);
            const QStringList entry{value + u'|' + value};
            QVERIFY(f.listed() == entry);
            QVERIFY(f.search(value) == entry);

            f.clickRow(0);
            QVERIFY(details(w)->txtLName->text().size() < 100'000);
            QVERIFY(details(w)->lblAddress->toPlainText().size() < 250'000);
            f.click("cmdEditRecord");
            for (const QString& name : boxes) {
                QWidget* edit = box(name);
                const QString shown =
                    edit->property(edit->inherits("QLineEdit") ? "text" : "plainText").toString();
                QVERIFY2(storedForm(name, shown) == storedForm(name, value), qPrintable(name));
            }
            QCOMPARE(type->currentText(), u"Personal"_s);
            paste(box(u"City"_s), u"Cork"_s);
            f.click("cmdSave");
            QVERIFY(f.doors.boxes.texts().isEmpty()); // an update that works says nothing
            row[u"City"_s] = u"Cork"_s;
            QVERIFY(f.folder.contactRow(f.folder.lastId()) == row);
            QVERIFY(f.listed() == entry);
            // The edited contact stays selected: Enter edits it again.
            QCOMPARE(contactList(w)->selectedIds(), QList<qint64>{f.folder.lastId()});
            QTest::keyClick(contactList(w), Qt::Key_Return);
            QVERIFY(editor(w)->isVisible() && f.doors.boxes.texts().isEmpty());
            f.click("cmdCancel");

            f.clickRow(0);
            f.doors.boxes.answerNo();
            f.click("cmdDeleteRecord");
            QCOMPARE(f.folder.count(u"tblContactDetails"_s), 1);
            f.doors.boxes.answerYes();
            f.click("cmdDeleteRecord");
            QCOMPARE(f.doors.boxes.takeTexts().last(), u"Record Deleted successfully"_s);
            QVERIFY(f.listed().isEmpty() && f.folder.count(u"tblContactDetails"_s) == 0);
        }

        // A delete lists the Personal contacts, and the strip follows: a contact
        // added then is Personal and listed.
        f.folder.addContact({.firstName = "Bea", .type = 2});
        f.click("cmdBusiness");
        f.clickRow(0);
        f.doors.boxes.answerYes();
        f.click("cmdDeleteRecord");
        addContact(w, u"Pia"_s, u"P"_s);
        QCOMPARE(f.listed(), QStringList{"Pia|P"});
        f.doors.boxes.takeTexts();

        // Gone while in the editor: the save says so, writes nothing and closes.
        f.folder.addContact({.firstName = "Kim"});
        f.showPersonal();
        f.click("cmdEditRecord");
        f.folder.execute(u"delete from tblContactDetails"_s);
        f.click("cmdSave");
        QCOMPARE(f.doors.boxes.takeTexts(),
                 QStringList{"This contact no longer exists, so the changes could not be saved."});
        QVERIFY(editor(w)->isHidden());
    }

    // Books made, chosen and deleted, and each way back to the main view: the
    // caption names the current book, the heading what is listed, the details a
    // listed contact or none; the hint is gone once contacts were listed.
    void booksAndTheMainView() {
        MainWindowFixture f;
        f.folder.addContact({.firstName = "Pia", .lastName = "P"});
        f.folder.addContact({.firstName = "Bea", .lastName = "B", .type = 2});
        f.folder.addContact({.firstName = "Kid", .bookId = f.folder.addBook(u"Family"_s)});
        frmContactMgmt& w = f.window();
        const auto seen = [&] {
            return QStringList{w.windowTitle(), f.frameCaption(), f.listed().join(u','),
                               details(w)->txtFName->text(),
                               child<QLabel>(w, u"lblStart"_s)->isVisible() ? u"hint"_s : u""_s};
        };
        const QString start = u"Orvanta Contacts [Default Contact Book]"_s;
        const QString personal = u"Viewing PERSONAL Contacts"_s;
        QCOMPARE(seen(), (QStringList{start, "", "", "", "hint"}));
        f.click(u"cmdBusiness"_s);
        const QStringList business{start, u"Viewing BUSINESS Contacts"_s, "Bea|B", "Bea", ""};
        QCOMPARE(seen(), business);

        f.trigger("createcontactbook");
        QVERIFY(child(w, u"frameContactBooks"_s)->isVisible() && !contactList(w)->isVisible());
        auto* bookName = child<QLineEdit>(w, u"txtNewBookName"_s);
        for (const QString& name : {QString(), u"FAMILY"_s, u"O'Neil's"_s}) {
            f.click("cmdAddBook");
            paste(bookName, name);
            f.click("cmdAddConfirm");
        }
        QCOMPARE(f.doors.boxes.takeTexts(),
                 (QStringList{"Please specify a valid contact book name.",
                              "Please specify a valid contact book name.\r\nThe provided name is "
                              "already in use.",
                              "New Contact book Added successfully"}));
        paste(bookName, QString(40'000, u'b'));
        QCOMPARE(bookName->text().size(), 40'000); // not cut
        f.trigger(u"keyClose"_s);
        QCOMPARE(seen(), business);

        // A chosen book is the current one: its title, its list, new contacts.
        f.inBookPane(u"O'Neil's"_s, u"cmdChooseClose"_s);
        QCOMPARE(seen(), (QStringList{u"Orvanta Contacts [ O'Neil's ]"_s, personal, "", "", ""}));
        addContact(w, u"New"_s, u"Comer"_s); // of the type listed, and listed
        QCOMPARE(f.listed(), QStringList{"New|Comer"});
        QCOMPARE(f.frameCaption(), personal);
        f.inBookPane(u"Family"_s, u"cmdChooseClose"_s);
        QCOMPARE(f.listed(), QStringList{"Kid|"});

        // Deleting asks, and takes the book's contacts; Default stays. Deleting
        // the current book makes Default current.
        auto* list = child<QListWidget>(w, u"lstContactBooks"_s);
        f.inBookPane(u"Default"_s, u"cmdDelete"_s);
        f.doors.boxes.answerNo();
        f.inBookPane(u"Family"_s, u"cmdDelete"_s);
        QCOMPARE(list->count(), 3);
        f.doors.boxes.answerYes();
        f.inBookPane(u"Family"_s, u"cmdDelete"_s);
        QCOMPARE(list->count(), 2);
        f.trigger(u"keyClose"_s);
        const QStringList afterwards{u"Orvanta Contacts [ Default ]"_s, personal, "Pia|P", "Pia",
                                     ""};
        QCOMPARE(seen(), afterwards);
        const QStringList said = f.doors.boxes.takeTexts();
        QVERIFY(said.contains(u"This book cannot be deleted"_s));
        QCOMPARE(said.last(), u"Contact book Deleted successfully"_s);

        f.click(u"cmdBusiness"_s);
        f.clickRow(0);
        f.doors.boxes.answerYes();
        f.click(u"cmdDeleteRecord"_s);
        QCOMPARE(seen(), afterwards);
        addContact(w, u"New"_s, u"One"_s); // into Default, where the main view is
        QCOMPARE(f.folder.rows(u"select FirstName, fkContactBookId from tblContactDetails"_s),
                 (QStringList{"Pia|1", "New|3", "New|1"}));
    }

    // One Tab stop for the column headers, one for the filter strip; keys do the rest.
    void theKeyboardSortsAndFilters() {
        MainWindowFixture f;
        for (const char* name : {"Cy Adams", "Al Zorn", "Bo Marx"})
            f.folder.addContact({.firstName = QString::fromLatin1(name).section(u' ', 0, 0),
                                 .lastName = QString::fromLatin1(name).section(u' ', 1)});
        frmContactMgmt& w = f.activeWindow();
        f.click(u"cmdPersonal"_s);
        QWidget* strip = child(w, u"ctrTypeFilter1"_s);
        QHeaderView* header = contactList(w)->header();
        contactList(w)->setFocus();
        QWidgetList stops;
        do {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            stops << QApplication::focusWidget();
        } while (stops.last() != contactList(w) && stops.size() < 100);
        QCOMPARE(std::ranges::count_if(stops, [&](QWidget* s) { return strip->isAncestorOf(s); }),
                 1);
        QVERIFY(stops.contains(header));

        header->setFocus();
        // Right moves to the last name column.
        const std::pair<Qt::Key, const char*> sorts[] = {{Qt::Key_Space, "Al Bo Cy"},
                                                         {Qt::Key_Return, "Cy Bo Al"},
                                                         {Qt::Key_Right, "Cy Bo Al"},
                                                         {Qt::Key_Space, "Al Bo Cy"},
                                                         {Qt::Key_Left, "Al Bo Cy"}};
        for (const auto& [key, order] : sorts) {
            QTest::keyClick(header, key);
            QCOMPARE(f.listed(0).join(u' '), QString::fromLatin1(order));
        }

        child(w, u"cmdPersonal"_s)->setFocus();
        // The key, the button then focused, what is then listed.
        const std::tuple<Qt::Key, const char*, const char*> moves[] = {
            {Qt::Key_Right, "cmdBusiness", "Al Bo Cy"}, {Qt::Key_End, "cmdAll", "Al Bo Cy"},
            {Qt::Key_Left, "cmdA_25", "Al Bo Cy"},      {Qt::Key_Space, "cmdA_25", "Al"},
            {Qt::Key_Home, "cmdPersonal", "Al"},        {Qt::Key_Left, "cmdPersonal", "Al"},
            {Qt::Key_Down, "cmdBusiness", "Al"}};
        for (const auto& [key, focused, listed] : moves) {
            QTest::keyClick(QApplication::focusWidget(), key);
            QCOMPARE(QApplication::focusWidget()->objectName(), QString::fromLatin1(focused));
            QCOMPARE(f.listed(0).join(u' '), QString::fromLatin1(listed));
        }
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QVERIFY(!strip->isAncestorOf(QApplication::focusWidget()));
        // A button the mouse focused becomes the strip's one Tab stop.
        QTest::mouseClick(child(w, u"cmdA_2"_s), Qt::LeftButton);
        waitUntilSettled(w);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
        QCOMPARE(QApplication::focusWidget()->objectName(), u"cmdA_2"_s);
    }

    // The list is read off the window's thread. Personal is shown; Business is
    // clicked while the file is locked, and Cancel pressed in the progress that
    // shows: the list, the details, the heading and the strip stay Personal's.
    // A header click during a reload sorts the list that arrives.
    void listReloads() {
        MainWindowFixture f;
        f.folder.addContact({.firstName = "Ann", .lastName = "Lee", .type = 1});
        f.folder.addContact({.firstName = "Bob", .lastName = "Ray", .type = 2});
        frmContactMgmt& w = f.window();
        f.click(u"cmdPersonal"_s);
        auto lock = std::make_unique<HeldFile>(f.folder.databasePath(), "BEGIN EXCLUSIVE");
        auto* business = child<QPushButton>(w, u"cmdBusiness"_s);
        business->click(); // not waiting for the work it starts
        QProgressDialog* progress = nullptr;
        QTRY_VERIFY((progress = w.findChild<QProgressDialog*>(u"longWorkProgress"_s)) &&
                    progress->isVisible());
        QTest::mouseClick(progress->findChild<QAbstractButton*>(), Qt::LeftButton);
        QVERIFY(!w.background().pending());
        lock->release();
        w.background().waitForWorkers();
        QCoreApplication::processEvents();
        QCOMPARE(f.listed(), QStringList{u"Ann|Lee"_s});
        QCOMPARE(details(w)->txtFName->text(), u"Ann"_s);
        QCOMPARE(f.frameCaption(), u"Viewing PERSONAL Contacts"_s);
        QCOMPARE(child<ctrTypeFilter>(w, u"ctrTypeFilter1"_s)->CurrentTypeFilter,
                 TypeFilter::Personal);
        QCOMPARE(f.doors.boxes.takeTexts(), QStringList());
        f.click(u"cmdBusiness"_s); // the next click lists again
        QCOMPARE(f.listed(), QStringList{u"Bob|Ray"_s});

        for (const char* last : {"Moss", "Abel"})
            f.folder.addContact(
                {.firstName = "A", .lastName = QString::fromLatin1(last), .type = 2});
        lock = std::make_unique<HeldFile>(f.folder.databasePath(), "BEGIN EXCLUSIVE");
        business->click();
        QHeaderView* header = contactList(w)->header();
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                          {header->sectionViewportPosition(1) + 5, header->height() / 2});
        QVERIFY(w.background().pending());
        lock->release();
        QCOMPARE(f.listed(), (QStringList{u"A|Abel"_s, u"A|Moss"_s, u"Bob|Ray"_s}));
        QCOMPARE(details(w)->txtLName->text(), u"Ray"_s);

        // A read the lock refuses is a failure, not an empty list.
        lock = std::make_unique<HeldFile>(f.folder.databasePath(), "BEGIN EXCLUSIVE");
        const std::atomic<bool> stop = false;
        const ListReload refused = readContactList(ContactStore(f.folder.connectionString()),
                                                   TypeFilter::Both, u"%"_s, 0, {}, stop);
        QVERIFY(refused.failed && !refused.names);
    }

    // A cut for display never splits a character or a line break.
    void aCutKeepsCharactersWhole() {
        const QString more = u"abcdefghi"_s, ellipsis(QChar(0x2026));
        QCOMPARE(shortenedForDisplay(more + u'j', 10), more + u'j');
        QCOMPARE(shortenedForDisplay(more + u"jk"_s, 10), more + u'j' + ellipsis);
        QCOMPARE(shortenedForDisplay(more + u"\U0001D11Ek"_s, 10), more + ellipsis);
        QCOMPARE(shortenedForDisplay(more + u"\r\nk"_s, 10), more + ellipsis);
    }

    // Clicked headers sort in the user's locale; the selection stays put, a
    // reload keeps the order.
    void headerClicksSortInTheUsersLocale() {
        // The locale, the column clicked, its order then.
        const std::tuple<const char*, int, QStringList> sorts[] = {
            {"de_DE", 0, {"anna", "Ärger", "Åsa", "Bo", "émile", "Ölund", "Zoë"}},
            {"sv_SE", 1, {"anna", "Bo", "émile", "Zoë", "Åsa", "Ärger", "Ölund"}}};
        for (auto [locale, column, order] : sorts) {
            QLocale::setDefault(QLocale(QString::fromLatin1(locale)));
            // Both columns hold the same names, each in a different row order.
            const QStringList names{"Zoë", "émile", "Ölund", "anna", "Åsa", "Bo", "Ärger"};
            MainWindowFixture f;
            for (int row = 0; row < names.size(); ++row)
                f.folder.addContact({.firstName = names[row], .lastName = names[(row + 3) % 7]});
            frmContactMgmt& w = f.window();
            f.showPersonal(1); // émile
            QHeaderView* header = contactList(w)->header();
            const QPoint heading(header->sectionViewportPosition(column) + 5, header->height() / 2);
            QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, heading);
            QCOMPARE(f.listed(column), order);
            QCOMPARE(contactList(w)->selectedText(), u"émile"_s);
            QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, heading);
            std::reverse(order.begin(), order.end());
            QCOMPARE(f.listed(column), order);
            f.click(u"cmdPersonal"_s);
            QCOMPARE(f.listed(column), order);
            QCOMPARE(details(w)->txtFName->text(), f.listed().last().section(u'|', 0, 0));
        }
    }

    // In a pane the main view's keys are off, its buttons on keys; back, all is as it was.
    void panesAndTheirKeys() {
        MainWindowFixture f;
        const qint64 id =
            f.folder.addContact({.firstName = "Ann", .lastName = "Lee", .address = "1 Main St"});
        frmContactMgmt& w = f.activeWindow();
        const QSize chosen(1040, 720);
        w.resize(chosen);
        f.showPersonal();
        details(w)->setCurrentIndex(1);
        QTest::keySequence(&w, Qt::CTRL | Qt::Key_E);
        QVERIFY(editor(w)->isVisible() && !contactList(w)->isVisible());
        auto* box = w.findChild<QLineEdit*>(u"txtFirstName"_s);
        QWidget* save = child(w, u"cmdSave"_s); // Save and Cancel keep to the right
        QVERIFY(save->x() > save->parentWidget()->width() / 2);
        for (QKeySequence::StandardKey key : {QKeySequence::Delete, QKeySequence::New})
            QTest::keySequence(box, key);
        f.doors.boxes.answerYes(); // Delete took a letter: the question comes
        QTest::keyClick(box, Qt::Key_Escape);
        QCOMPARE(f.doors.boxes.takeTexts(), QStringList{"Discard your changes?"});
        QVERIFY(!editor(w)->isVisible() && contactList(w)->isVisible());
        QTest::keySequence(&w, QKeySequence::New);
        paste(box, u"Bo"_s);
        for (int i = 0; i < 5; ++i) // Tab runs on from the Name tab into the Address tab
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget()->objectName(), u"txtAddress"_s);
        // The page, its tab and the focus move together: what is typed next is seen.
        auto* pages = child<QTabWidget>(*editor(w), u"SSTab1"_s);
        // From the box with the focus, the key, the box typed into.
        const std::tuple<const char*, QKeyCombination, const char*> turns[] = {
            {"txtFirstName", Qt::CTRL | Qt::Key_Tab, "txtAddress"},
            {"txtFirstName", Qt::CTRL | Qt::SHIFT | Qt::Key_Tab, "txtComments"},
            {"txtAddress", Qt::CTRL | Qt::Key_PageDown, "txtWorkPhone"},
            {"txtAddress", Qt::CTRL | Qt::Key_PageUp, "txtFirstName"},
            {"txtEmail", Qt::CTRL | Qt::Key_PageDown, "txtComments"}};
        for (const auto& [from, key, typedInto] : turns) {
            QWidget* start = child(w, QLatin1String(from));
            for (int page = 0; page < pages->count(); ++page)
                if (pages->widget(page)->isAncestorOf(start))
                    pages->setCurrentIndex(page);
            start->setFocus();
            QTest::keyClick(start, key.key(), key.keyboardModifiers());
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_X);
            QCOMPARE(QApplication::focusWidget()->objectName(), QLatin1String(typedInto));
            QVERIFY(pages->currentWidget()->isAncestorOf(QApplication::focusWidget()));
            QCOMPARE(pages->tabBar()->currentIndex(), pages->currentIndex());
            QVERIFY(QApplication::focusWidget()->isVisible());
        }
        QTest::keyClick(box, Qt::Key_Return, Qt::ControlModifier);
        QCOMPARE(f.doors.boxes.takeTexts(), QStringList{"Record saved sucessfuly"});
        f.trigger(u"createcontactbook"_s);
        QTest::keyClick(w.focusWidget(), Qt::Key_Escape);
        QVERIFY(!child(w, u"frameContactBooks"_s)->isVisible() && contactList(w)->isVisible());
        QCoreApplication::processEvents(); // the layouts settle
        QCOMPARE(w.size(), chosen);
        for (int page = 0; page < details(w)->count(); ++page)
            QCOMPARE(details(w)->widget(page)->isVisible(), page == 1);
        QVERIFY(!w.menuBar()->actions().contains(child<QMenu>(w, u"mnuCallMenu"_s)->menuAction()) ||
                !child<QMenu>(w, u"mnuCallMenu"_s)->menuAction()->isVisible());
        for (QAction* item :
             {child<QAction>(w, u"mnuCallHome"_s), child<QAction>(w, u"mnuCallWork"_s),
              child<QAction>(w, u"mnuCallCell"_s)})
            QVERIFY(item->isVisible());

        // Leaving the editor: typed text is thrown away only after a Yes; the
        // Cancel button never asks.
        f.showPersonal();
        auto* city = child<QLineEdit>(w, u"txtCity"_s);
        // The way out, whether text was typed, whether a question came, its answer.
        const std::tuple<const char*, bool, bool, bool> steps[] = {
            {"Escape", false, false, false}, {"Escape", true, true, false},
            {"Escape", true, true, true},    {"Cancel", true, false, false},
            {"quit", true, true, false},     {"close", true, true, false},
            {"quit", true, true, true},      {"close", false, false, false}};
        for (const auto& [out, typed, asked, discard] : steps) {
            const QString way = QLatin1String(out);
            if (!editor(w)->isVisible()) {
                w.show();
                f.click(u"cmdEditRecord"_s);
            }
            if (typed)
                paste(city, u"Cork"_s);
            if (asked)
                f.doors.boxes.answerNext(discard ? platform::Answer::Yes : platform::Answer::No);
            if (way == u"Escape"_s)
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
            else if (way == u"quit"_s)
                QTest::keySequence(QApplication::focusWidget(),
                                   child<QAction>(w, u"mnuExit"_s)->shortcuts().value(0));
            else if (way == u"close"_s)
                w.close();
            else
                f.click(u"cmdCancel"_s);
            QCOMPARE(f.doors.boxes.takeTexts(),
                     asked ? QStringList{"Discard your changes?"} : QStringList{});
            const bool left = !asked || discard;
            QCOMPARE(editor(w)->isVisible(), !left);
            QCOMPARE(w.isVisible(), !left || way == u"Escape"_s || way == u"Cancel"_s);
            if (typed && !left)
                QCOMPARE(city->text(), u"Cork"_s); // kept in the box, not stored
            QCOMPARE(f.folder.contactRow(id).at(u"City"_s), QString());
        }
    }

    // 640 wide, dark (left so: no later case looks at colours): all in view, readable, named.
    void aNarrowDarkWindowKeepsEverythingInViewAndReadable() {
        QApplication::setPalette(QPalette(QColor(0x30, 0x30, 0x30), QColor(0x20, 0x20, 0x20)));
        MainWindowFixture f;
        f.folder.addContact({.firstName = "Ann"});
        frmContactMgmt& w = f.window();
        f.click(u"cmdPersonal"_s); // gives the list its heading
        w.resize(640, 560);
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QCoreApplication::processEvents();
        QCOMPARE(w.width(), 640);
        int texts = 0;
        for (QWidget* child : w.findChildren<QWidget*>()) {
            const QString name = child->objectName() + " " + child->metaObject()->className();
            QAccessibleInterface* face = QAccessible::queryAccessibleInterface(child);
            QVERIFY2(child->focusPolicy() == Qt::NoFocus ||
                         (face && !face->text(QAccessible::Name).isEmpty()),
                     qPrintable(name));
            QWidget* parent = child->parentWidget();
            // What scrolls inside a viewport may be larger than the viewport.
            if (!child->isVisible() || child->isWindow() ||
                qobject_cast<QAbstractScrollArea*>(parent->parentWidget()))
                continue;
            QVERIFY2(parent->rect().contains(child->geometry()), qPrintable(name));
            const bool button = qobject_cast<QAbstractButton*>(child);
            const char* text = qobject_cast<QGroupBox*>(child) ? "title" : "text";
            if (child->property(text).toString().isEmpty())
                continue;
            const QWidget* back = child;
            while (!button && !back->autoFillBackground() && !back->isWindow())
                back = back->parentWidget();
            const QColor fore = child->palette().color(child->foregroundRole());
            const QColor ground = back->palette().color(back->backgroundRole());
            QVERIFY2(qAbs(qGray(fore.rgb()) - qGray(ground.rgb())) >= 64,
                     qPrintable(name + " " + fore.name() + " on " + ground.name()));
            ++texts;
        }
        QVERIFY(texts > 20);
        const QList<QPushButton*> buttons =
            child(w, u"ctrTypeFilter1"_s)->findChildren<QPushButton*>();
        for (QPushButton* button : buttons)
            for (QPushButton* other : buttons)
                QVERIFY2(button == other ? button->width() >= button->minimumSizeHint().width()
                                         : !button->geometry().intersects(other->geometry()),
                         qPrintable(button->text() + " " + other->text()));
        // Too narrow for one row: the type buttons above the letters, after the list.
        QWidget* letter = w.findChild<QWidget*>(u"cmdA_0"_s);
        QVERIFY(w.findChild<QWidget*>(u"cmdPersonal"_s)->y() < letter->y());
        QWidget* next = contactList(w);
        while (next != letter && next != &w)
            next = next->nextInFocusChain();
        QCOMPARE(next, letter);

        // Screen readers hear what a part is, not what it happens to show. The
        // About box, one at a time, leaves the window usable.
        FakeShell shell;
        f.trigger(u"mnuSyncSettings"_s);
        auto* sync = child<QDialog>(w, u"SyncSettingsDialog"_s);
        QVERIFY(sync);
        f.click(u"cmdAddRecord"_s);
        frmAbout* box = f.openAbout();
        QCOMPARE(f.openAbout(), box);
        for (QLabel* link : {box->lblWebsite, box->lblEmail}) {
            const QColor fore = link->palette().color(link->foregroundRole());
            const QColor ground = box->palette().color(QPalette::Window);
            QVERIFY2(qAbs(qGray(fore.rgb()) - qGray(ground.rgb())) >= 64, qPrintable(fore.name()));
        }
        const std::tuple<QObject*, const char*, const char*> parts[] = {
            {&w, "Picture1", "Orvanta Contacts logo"},
            {&w, "cmdRecordType", "Record type"},
            {&w, "cmdA_0", "Last names starting with A"},
            {&w, "SSTab1", "Contact details"},
            {sync, "lstAddressBooks", "Address books on the server"},
            {sync, "lblSyncMessage", "Sync status"},
            {box, "picIcon", "Orvanta Contacts logo"},
            {box, "txtLicence", "Licence"}};
        for (const auto& [root, part, name] : parts) {
            QWidget* widget = child(*root, QLatin1String(part));
            QVERIFY2(widget, part);
            QCOMPARE(QAccessible::queryAccessibleInterface(widget)->text(QAccessible::Name),
                     QString::fromUtf8(name));
        }
        QCOMPARE(details(w)->findChild<QTabBar*>()->accessibleName(), u"Contact details pages"_s);
        sync->close();
        QCOMPARE(box->lblVersion->text(), QStringLiteral("Version " ORVANTA_PROJECT_VERSION));
        QVERIFY(!box->isModal() && w.isEnabled());
        const QFont link = box->lblWebsite->font();
        QVERIFY(link.underline() && !link.bold() && !link.italic());
        QVERIFY(box->lblTitle->font().bold() && !box->lblVersion->font().underline());
        QCOMPARE(box->lblMaker->text(), u"Orvanta Software Works"_s);
        QCOMPARE(box->lblTitle->text(), u"Orvanta Contacts"_s);
        const QString licence = box->txtLicence->toPlainText();
        QVERIFY(licence.startsWith(u"MIT License\n\nCopyright (c) 2026 Orvanta Contacts"_s));
        QVERIFY(licence.contains(u"a copy of this software and associated documentation files"_s));
        QVERIFY(!licence.contains(u"penalties"_s));
        QCOMPARE(box->focusWidget(), box->cmdOK);
        box->lblEmail->setText(u"a.b@c.example"_s);
        QTest::mouseClick(box->lblEmail, Qt::LeftButton);
        // Both links are Tab stops that Enter or Space follows.
        QWidgetList stops;
        for (QWidget* at = box->cmdOK->nextInFocusChain(); at != box->cmdOK;
             at = at->nextInFocusChain())
            if (at->focusPolicy() & Qt::TabFocus)
                stops << at;
        QVERIFY(stops.contains(box->lblWebsite) && stops.contains(box->lblEmail));
        QTest::keyClick(box->lblWebsite, Qt::Key_Return);
        QTest::keyClick(box->lblEmail, Qt::Key_Space);
        QCOMPARE(shell.openedUrls,
                 (QStringList{"mailto:a.b@c.example", "http://www.orvanta.example",
                              "mailto:a.b@c.example"}));

        QTest::mouseClick(box->cmdSysInfo, Qt::LeftButton);
        QCOMPARE(f.doors.boxes.takeTexts(),
                 QStringList{"System Information Is Unavailable At This Time"});
        shell.registry[u"SOFTWARE\\Microsoft\\Shared Tools Location|MSINFO"_s] = u"/opt/tools"_s;
        shell.existingFiles << u"/opt/tools/MSINFO32.EXE"_s;
        QTest::mouseClick(box->cmdSysInfo, Qt::LeftButton);
        QCOMPARE(shell.startedPrograms, QStringList{"/opt/tools/MSINFO32.EXE"});

        QTest::keyClick(box, Qt::Key_Return); // OK is the default button
        QVERIFY(!box->isVisible());
    }

    // The program's texts in the user's language, loaded as at start-up; the
    // window's place kept from one start to the next.
    void theWindowSpeaksTheLocalesLanguageAndKeepsItsPlace() {
        QVERIFY(installTranslations(QLocale(QLocale::German, QLocale::Germany)));
        MainWindowFixture f;
        keepCard(f.folder, f.folder.addContact({.firstName = "Ann", .lastName = "Lee"}),
                 "N:Lee;Ann;;;\r\nORG:Acme\r\nEMAIL;TYPE=WORK:lee@acme.example\r\n");
        frmContactMgmt& w = f.window();
        f.click(u"cmdDeleteRecord"_s);
        QCOMPARE((QStringList{child<QMenu>(w, u"mnuRootFile"_s)->title(),
                              child<QAction>(w, u"mnuPrintContactBook"_s)->text(),
                              child<QPushButton>(w, u"cmdAddRecord"_s)->text()} +
                  f.doors.boxes.takeTexts()),
                 (QStringList{"&Datei", "Aktuelles Adressbuch &drucken", "Hinzufügen",
                              "Bitte wählen Sie einen Kontakt zum Löschen aus"}));
        f.showPersonal(); // the captions beside the values, too
        ContactDetailsTabs* tabs = details(w);
        QTextDocument contactTab, moreTab;
        contactTab.setHtml(tabs->lblContactInfo->text());
        moreTab.setHtml(tabs->lblCardExtras->text());
        QCOMPARE((QStringList{contactTab.toPlainText(), tabs->tabText(tabs->indexOf(tabs->moreTab)),
                              moreTab.toPlainText().trimmed()}),
                 (QStringList{"Arbeit  \nPrivat  \nMobil   \nE-Mail  ", "Weiteres",
                              "Organisation\nAcme\nE-Mail (Arbeit)\nlee@acme.example"}));

        // The place is saved on close (in the test settings) and restored.
        QSettings().clear(); // the test area's, not the user's
        QVERIFY(!restoreWindowGeometry(w));
        const QRect place(40, 50, 700, 520);
        w.setGeometry(place);
        w.close();
        MainWindowFixture again;
        QVERIFY(restoreWindowGeometry(again.window()));
        QCOMPARE(again.window().geometry(), place);
        const QRect screen(0, 24, 1920, 1056); // a place off it is moved and shrunk onto it
        QCOMPARE(fittedOnto(QRect(1500, 10, 3000, 500), screen), QRect(0, 24, 1920, 500));
        if (!QFile::exists(QLibraryInfo::path(QLibraryInfo::TranslationsPath) + "/qtbase_de.qm"))
            QSKIP("Qt's German translation is not installed (qt6-translations-l10n)");
        QCOMPARE(QCoreApplication::translate("QPlatformTheme", "Cancel"), u"Abbrechen"_s);
    }
};

QTEST_MAIN(JourneysTest)
#include "JourneysTest.moc"
