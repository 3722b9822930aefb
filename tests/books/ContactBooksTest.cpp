#include "app/frmContactMgmt.h"
#include "books/ctrContactBook.h"
#include "contacts/ContactListView.h"
#include "data/Connection.h"
#include "editor/ctrRecord.h"
#include "support/MainWindowFixture.h"
#include "support/StatementLog.h"
#include "support/Typing.h"

#include <QFile>
#include <QGroupBox>
#include <QLineEdit>
#include <QListWidget>
#include <QSignalSpy>
#include <QTest>

class ContactBooksTest : public QObject {
    Q_OBJECT

    // Opens the book pane the way the user does.
    static ctrContactBook* openBooks(MainWindowFixture& f) {
        f.trigger(QStringLiteral("createcontactbook"));
        return f.window().ctrContactBooks;
    }
    static QListWidget* list(MainWindowFixture& f) {
        return f.window().findChild<QListWidget*>(QStringLiteral("lstContactBooks"));
    }
    static QStringList books(MainWindowFixture& f) {
        QStringList names;
        for (int row = 0; row < list(f)->count(); ++row)
            names << list(f)->item(row)->text();
        return names;
    }
    static void addBook(MainWindowFixture& f, const QString& name) {
        f.click(QStringLiteral("cmdAddBook"));
        auto* box = f.window().findChild<QLineEdit*>(QStringLiteral("txtNewBookName"));
        box->clear();
        typeText(box, name);
        f.click(QStringLiteral("cmdAddConfirm"));
    }
    static void selectBook(MainWindowFixture& f, const QString& name) {
        list(f)->setCurrentItem(list(f)->findItems(name, Qt::MatchExactly).first());
    }

private slots:
    void thePaneReplacesTheMainViewAndListsTheBooks() {
        MainWindowFixture f;
        f.folder.addBook(QStringLiteral("Work"));
        ctrContactBook* chooser = openBooks(f);
        QVERIFY(chooser->isVisible());
        QVERIFY(f.window().frameContactBooks->isVisible());
        QVERIFY(!f.window().Frame7->isVisibleTo(&f.window()));
        QCOMPARE(books(f), (QStringList{"Default", "Work"}));
        QCOMPARE(list(f)->currentRow(), 0);
        QVERIFY(!f.window().findChild<QGroupBox*>(QStringLiteral("frameAddNew"))->isEnabled());
    }

    void addingChecksTheNameAndStoresItExactly() {
        MainWindowFixture f;
        openBooks(f);
        addBook(f, QString());
        addBook(f, QStringLiteral("DEFAULT"));
        addBook(f, QStringLiteral("O'Neil's"));
        addBook(f, QStringLiteral("   "));
        QCOMPARE(f.doors.boxes.texts(),
                 (QStringList{"Please specify a valid contact book name.",
                              "Please specify a valid contact book name.\r\nThe provided name is "
                              "already in use.",
                              "New Contact book Added successfully",
                              "New Contact book Added successfully"}));
        QCOMPARE(f.doors.boxes.shown().at(0).icon, platform::Icon::Information);
        QCOMPARE(f.doors.boxes.shown().at(1).icon, platform::Icon::Exclamation);
        QCOMPARE(books(f), (QStringList{"Default", "O'Neil's", "   "}));
        QCOMPARE(f.folder.rows(QStringLiteral("select ContactBookName from tblContactBook")),
                 (QStringList{"Default", "O'Neil's", "   "}));
        QCOMPARE(list(f)->currentRow(), 0);
        QVERIFY(
            f.window().findChild<QLineEdit*>(QStringLiteral("txtNewBookName"))->text().isEmpty());
        QVERIFY(f.window().findChild<QGroupBox*>(QStringLiteral("frameAddNew"))->isEnabled());
    }

    void aNameTakenElsewhereIsRefusedWhenAdding() {
        MainWindowFixture f;
        openBooks(f);
        // Another program adds "Élan" after the list was loaded.
        f.folder.addBook(QStringLiteral("Élan"));
        addBook(f, QStringLiteral("éLAN"));
        QCOMPARE(f.doors.boxes.texts(),
                 QStringList{QStringLiteral("Please specify a valid contact book name.\r\n"
                                            "The provided name is already in use.")});
        QCOMPARE(f.folder.count(QStringLiteral("tblContactBook")), 2);
    }

    void deletingABookTakesItsContactsWithIt() {
        MainWindowFixture f;
        const qint64 family = f.folder.addBook(QStringLiteral("Family"));
        f.folder.addContact(
            {QStringLiteral("Kid"), {}, {}, {}, {}, {}, {}, {}, {}, {}, {}, {}, {}, 1, family});
        f.folder.addContact({QStringLiteral("Keep")});
        openBooks(f);

        selectBook(f, QStringLiteral("Default"));
        f.click(QStringLiteral("cmdDelete"));
        selectBook(f, QStringLiteral("Family"));
        f.doors.boxes.answerNo();
        f.click(QStringLiteral("cmdDelete"));
        QCOMPARE(f.folder.count(QStringLiteral("tblContactDetails")), 2);

        StatementLog log;
        f.doors.boxes.answerYes();
        f.click(QStringLiteral("cmdDelete"));
        const QStringList statements = log.stop();
        QCOMPARE(f.doors.boxes.texts(),
                 (QStringList{"This book cannot be deleted",
                              "Are you sure you want to delete the contact book Family?\r\nAll "
                              "contacts in this book will be deleted",
                              "Are you sure you want to delete the contact book Family?\r\nAll "
                              "contacts in this book will be deleted",
                              "Contact book Deleted successfully"}));
        QCOMPARE(f.doors.boxes.shown().at(1).icon, platform::Icon::Question);
        QVERIFY(statements.contains(
            "Delete from tblContactDetails where fkContactBookId = (select pkContactBookId from "
            "tblContactBook where ContactBookName = 'Family')"));
        QVERIFY(statements.contains("Delete from tblContactBook where ContactBookName = 'Family'"));
        QCOMPARE(books(f), QStringList{"Default"});
        QCOMPARE(list(f)->currentRow(), 0);
        QCOMPARE(f.folder.rows(QStringLiteral("select FirstName from tblContactDetails")),
                 QStringList{"Keep"});
    }

    void aFailedDeleteChangesNothing() {
        MainWindowFixture f;
        const qint64 family = f.folder.addBook(QStringLiteral("Family"));
        f.folder.addContact(
            {QStringLiteral("Kid"), {}, {}, {}, {}, {}, {}, {}, {}, {}, {}, {}, {}, 1, family});
        // The book's row cannot be deleted: its contacts must stay too.
        f.folder.execute(
            QStringLiteral("create trigger keepFamily before delete on tblContactBook begin select "
                           "raise(abort, 'kept'); end"));
        openBooks(f);
        selectBook(f, QStringLiteral("Family"));
        f.doors.boxes.answerYes();
        f.click(QStringLiteral("cmdDelete"));
        QCOMPARE(f.doors.boxes.texts().last(), QStringLiteral("Contact book could not be deleted"));
        QCOMPARE(f.folder.count(QStringLiteral("tblContactDetails")), 1);
        QCOMPARE(f.folder.count(QStringLiteral("tblContactBook")), 2);
    }

    void choosingABookMakesItCurrent() {
        MainWindowFixture f;
        const qint64 work = f.folder.addBook(QStringLiteral("Work"));
        f.folder.addContact({QStringLiteral("Wendy"),
                             {},
                             QStringLiteral("Work"),
                             {},
                             {},
                             {},
                             {},
                             {},
                             {},
                             {},
                             {},
                             {},
                             {},
                             1,
                             work});
        f.folder.addContact({QStringLiteral("Bob"),
                             {},
                             QStringLiteral("Biz"),
                             {},
                             {},
                             {},
                             {},
                             {},
                             {},
                             {},
                             {},
                             {},
                             {},
                             2,
                             work});
        f.folder.addContact({QStringLiteral("Dora"), {}, QStringLiteral("Default")});
        f.click(QStringLiteral("cmdBusiness"));
        openBooks(f);
        QSignalSpy chosen(f.window().ctrContactBooks, &ctrContactBook::ContactBookChosen);
        selectBook(f, QStringLiteral("Work"));
        f.click(QStringLiteral("cmdChooseClose"));
        QCOMPARE(chosen.count(), 1);
        QCOMPARE(f.window().windowTitle(), QStringLiteral("Orvanta Contacts [ Work ]"));
        QCOMPARE(f.window().CurrentContactBook(), QStringLiteral("Work"));
        QCOMPARE(f.listed(), QStringList{"Wendy|Work"});
        QCOMPARE(f.frameCaption(), QStringLiteral("Viewing BUSINESS Contacts"));
        QVERIFY(f.window().lvContacts->isVisible());
        QVERIFY(!f.window().frameContactBooks->isVisibleTo(&f.window()));

        openBooks(f);
        selectBook(f, QStringLiteral("Default"));
        f.click(QStringLiteral("cmdChooseClose"));
        QCOMPARE(f.window().windowTitle(), QStringLiteral("Orvanta Contacts [ Default ]"));
        QCOMPARE(f.listed(), QStringList{"Dora|Default"});
    }

    void aContactAddedAfterChoosingGoesIntoThatBook() {
        MainWindowFixture f;
        const qint64 work = f.folder.addBook(QStringLiteral("Work"));
        openBooks(f);
        selectBook(f, QStringLiteral("Work"));
        f.click(QStringLiteral("cmdChooseClose"));
        f.click(QStringLiteral("cmdAddRecord"));
        typeText(f.window().findChild<QLineEdit*>(QStringLiteral("txtFirstName")),
                 QStringLiteral("Newcomer"));
        f.click(QStringLiteral("cmdSave"));
        QCOMPARE(f.doors.boxes.texts(), QStringList{QStringLiteral("Record saved sucessfuly")});
        QCOMPARE(f.folder.rows(
                     QStringLiteral("select FirstName, fkContactBookId from tblContactDetails")),
                 QStringList{QStringLiteral("Newcomer|") + QString::number(work)});
    }

    void deletingTheCurrentBookKeepsItsNameUntilAnotherIsChosen() {
        MainWindowFixture f;
        f.folder.addBook(QStringLiteral("Temp"));
        openBooks(f);
        selectBook(f, QStringLiteral("Temp"));
        f.click(QStringLiteral("cmdChooseClose"));
        openBooks(f);
        selectBook(f, QStringLiteral("Temp"));
        f.doors.boxes.answerYes();
        f.click(QStringLiteral("cmdDelete"));
        QCOMPARE(f.window().CurrentContactBook(), QStringLiteral("Temp"));
        QCOMPARE(f.window().windowTitle(), QStringLiteral("Orvanta Contacts [ Temp ]"));
        QCOMPARE(books(f), QStringList{"Default"});
    }

    void withNoBooksNothingCanBeChosen() {
        MainWindowFixture f;
        f.folder.execute(QStringLiteral("delete from tblContactBook"));
        openBooks(f);
        f.click(QStringLiteral("cmdChooseClose"));
        f.click(QStringLiteral("cmdDelete"));
        QCOMPARE(f.doors.boxes.texts(),
                 (QStringList{"Please choose a contact book", "Please choose a contact book"}));
        QVERIFY(f.window().ctrContactBooks->isVisible());
    }

    void aListThatCannotBeLoadedSaysSo() {
        MainWindowFixture f;
        f.window();
        QFile::remove(f.folder.databasePath());
        openBooks(f);
        QCOMPARE(f.doors.boxes.texts(),
                 QStringList{QStringLiteral("There was an error retrieving data")});
        QVERIFY(books(f).isEmpty());
        QVERIFY(!QFile::exists(f.folder.databasePath()));
    }
};

QTEST_MAIN(ContactBooksTest)
#include "ContactBooksTest.moc"
