#include "app/frmContactMgmt.h"
#include "contacts/ContactDetailsTabs.h"
#include "contacts/ContactListView.h"
#include "contacts/ctrTypeFilter.h"
#include "data/Connection.h"
#include "support/MainWindowFixture.h"
#include "support/StatementLog.h"

#include <QAbstractButton>

#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSignalSpy>
#include <QTest>

namespace {
// A small book: two Personal and two Business contacts, one in another book.
void fillBook(ContactFolder& folder) {
    folder.addContact({QStringLiteral("Mia"),
                       {},
                       QStringLiteral("Morrison"),
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
                       1});
    folder.addContact({QStringLiteral("Ben"),
                       {},
                       QStringLiteral("bates"),
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
                       1});
    folder.addContact({QStringLiteral("Kai"),
                       {},
                       QStringLiteral("Klein"),
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
                       2});
    folder.addContact({QStringLiteral("Sam"),
                       {},
                       QStringLiteral("Bronson"),
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
                       2});
    const qint64 work = folder.addBook(QStringLiteral("Work"));
    folder.addContact({QStringLiteral("Other"),
                       {},
                       QStringLiteral("Booker"),
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
}
} // namespace

class ContactListTest : public QObject {
    Q_OBJECT

private slots:
    void typeAndLetterButtonsFilterTheList() {
        MainWindowFixture f;
        fillBook(f.folder);
        f.click(QStringLiteral("cmdA_1")); // "B" before any type: nothing
        QVERIFY(f.listed().isEmpty());
        QCOMPARE(f.frameCaption(), QString());

        f.click(QStringLiteral("cmdPersonal"));
        QCOMPARE(f.listed(), (QStringList{"Ben|bates"}));
        QCOMPARE(f.frameCaption(), QStringLiteral("Viewing PERSONAL Contacts"));
        QVERIFY(!f.window().lblStart->isVisible());

        f.click(QStringLiteral("cmdAll"));
        QCOMPARE(f.window().ctrTypeFilter1->CurrentRecordFilter, QStringLiteral("%"));
        QCOMPARE(f.listed(), (QStringList{"Mia|Morrison", "Ben|bates"}));

        f.click(QStringLiteral("cmdA_10")); // "K"
        f.click(QStringLiteral("cmdBusiness"));
        QCOMPARE(f.listed(), (QStringList{"Kai|Klein"}));
        QCOMPARE(f.frameCaption(), QStringLiteral("Viewing BUSINESS Contacts"));
        QCOMPARE(f.window().ctrTypeFilter1->CurrentTypeFilter, TypeFilter::Business);
    }

    void buttonsRaiseTheirEventsEveryTime() {
        MainWindowFixture f;
        ctrTypeFilter* strip = f.window().ctrTypeFilter1;
        QSignalSpy types(strip, &ctrTypeFilter::RecordTypeChanged);
        QSignalSpy letters(strip, &ctrTypeFilter::RecordFilterChanged);
        f.click(QStringLiteral("cmdPersonal"));
        f.click(QStringLiteral("cmdPersonal"));
        f.click(QStringLiteral("cmdA_25"));
        QCOMPARE(types.count(), 2);
        QCOMPARE(types.at(0).at(0).value<TypeFilter>(), TypeFilter::Personal);
        QCOMPARE(letters.count(), 1);
        QCOMPARE(letters.at(0).at(0).toString(), QStringLiteral("Z"));
        QCOMPARE(f.window().findChild<QAbstractButton*>(QStringLiteral("cmdA_25"))->text(),
                 QStringLiteral("Z"));
    }

    void searchFindsBothTypesAndKeepsTheFilter() {
        MainWindowFixture f;
        fillBook(f.folder);
        f.click(QStringLiteral("cmdPersonal"));
        f.typeSearch(QStringLiteral("SON"));
        f.click(QStringLiteral("cmdFind"));
        QCOMPARE(f.listed(), (QStringList{"Mia|Morrison", "Sam|Bronson"}));
        QCOMPARE(f.frameCaption(), QStringLiteral("Searching ALL Contacts"));

        f.click(QStringLiteral("cmdA_1")); // "B" lists Personal again
        QCOMPARE(f.listed(), (QStringList{"Ben|bates"}));
        QCOMPARE(f.frameCaption(), QStringLiteral("Searching ALL Contacts"));

        f.typeSearch(QString());
        f.click(QStringLiteral("cmdFind"));
        QCOMPARE(f.listed().size(), 4);
        f.typeSearch(QStringLiteral("_r%n"));
        f.click(QStringLiteral("cmdFind"));
        QCOMPARE(f.listed(), (QStringList{"Mia|Morrison", "Sam|Bronson"}));
    }

    void searchTextIsAValueNeverStatementText() {
        MainWindowFixture f;
        f.folder.addContact({QStringLiteral("Pat"), {}, QStringLiteral("O'Hara")});
        f.window();
        for (const QString& text :
             {QStringLiteral("o'h"), QStringLiteral("'); DROP TABLE "
                                                    "tblContactDetails;--")}) {
            f.typeSearch(text);
            f.click(QStringLiteral("cmdFind"));
        }
        QVERIFY(f.doors.boxes.texts().isEmpty());
        QCOMPARE(f.folder.count(QStringLiteral("tblContactDetails")), 1);
        f.typeSearch(QStringLiteral("o'h"));
        f.click(QStringLiteral("cmdFind"));
        QCOMPARE(f.listed(), (QStringList{"Pat|O'Hara"}));
    }

    void unicodeLettersMatchInAnyCase() {
        MainWindowFixture f;
        f.folder.addContact({QStringLiteral("Øyvind"), {}, QStringLiteral("Ødegård")});
        f.folder.addContact({QStringLiteral("Élise"), {}, QStringLiteral("ÉCHARD")});
        f.typeSearch(QStringLiteral("ødegå"));
        f.click(QStringLiteral("cmdFind"));
        QCOMPARE(f.listed(), (QStringList{"Øyvind|Ødegård"}));
        f.typeSearch(QStringLiteral("échard"));
        f.click(QStringLiteral("cmdFind"));
        QCOMPARE(f.listed(), (QStringList{"Élise|ÉCHARD"}));
    }

    void reloadShowsTheLastEntryAndAClickShowsItsContact() {
        MainWindowFixture f;
        f.folder.addContact({QStringLiteral("Ann"),
                             QStringLiteral("M"),
                             QStringLiteral("Lee"),
                             QStringLiteral("1 Main St\r\nFlat 2"),
                             {},
                             QStringLiteral("OR"),
                             QStringLiteral("97201"),
                             {},
                             QStringLiteral("555-1"),
                             QStringLiteral("555-2"),
                             QStringLiteral("ann@x.org"),
                             QStringLiteral("Jo Lee"),
                             QStringLiteral("line one\r\nline two")});
        f.folder.addContact({QStringLiteral("Bo"), {}, QStringLiteral("Yu")});
        f.click(QStringLiteral("cmdPersonal"));
        ContactDetailsTabs* tabs = f.window().SSTab1;
        QCOMPARE(tabs->txtFName->text(), QStringLiteral("Bo"));
        QCOMPARE(f.window().lvContacts->selectedRow(), -1);

        f.clickRow(0);
        QCOMPARE(tabs->txtFName->text(), QStringLiteral("Ann"));
        QCOMPARE(tabs->txtMidName->text(), QStringLiteral("M"));
        QCOMPARE(tabs->txtLName->text(), QStringLiteral("Lee"));
        QCOMPARE(tabs->txtGName->text(), QStringLiteral("Jo Lee"));
        QCOMPARE(tabs->lblAddress->toPlainText(), QStringLiteral("1 Main St\nFlat 2\n\nOR\n97201"));
        QCOMPARE(tabs->lblContactInfo->text(),
                 QStringLiteral("Work  \nHome  555-1\nCell  555-2\nEmail ann@x.org"));
        QCOMPARE(tabs->lblComments->text(), QStringLiteral("line one\nline two"));
        f.clickRow(0);
        QVERIFY(f.doors.boxes.texts().isEmpty());

        // A reload that finds nothing keeps the contact shown.
        f.click(QStringLiteral("cmdBusiness"));
        QVERIFY(f.listed().isEmpty());
        QCOMPARE(tabs->txtFName->text(), QStringLiteral("Ann"));
    }

    void nullColumnsReadAsEmptyText() {
        MainWindowFixture f;
        // A file made by another program may allow NULL; the schema here does not.
        f.folder.useNullableContactWith(QStringLiteral("LastName"), QStringLiteral("Nullsby"));
        f.click(QStringLiteral("cmdPersonal"));
        QCOMPARE(f.listed(), (QStringList{"|Nullsby"}));
        QVERIFY(f.doors.boxes.texts().isEmpty());
        QCOMPARE(f.window().SSTab1->lblContactInfo->text(),
                 QStringLiteral("Work  \nHome  \nCell  \nEmail "));
    }

    void aFailedReloadKeepsTheListAndSaysSo() {
        MainWindowFixture f;
        fillBook(f.folder);
        f.click(QStringLiteral("cmdPersonal"));
        QVERIFY(QFile::rename(f.folder.databasePath(), f.folder.databasePath() + ".away"));
        f.click(QStringLiteral("cmdBusiness"));
        QCOMPARE(f.doors.boxes.takeTexts(),
                 QStringList{QStringLiteral("There was an error retrieving data")});
        QCOMPARE(f.listed(), (QStringList{"Mia|Morrison", "Ben|bates"}));
        f.clickRow(0);
        QCOMPARE(f.doors.boxes.takeTexts(),
                 QStringList{QStringLiteral("There was an error retrieving data")});
        QVERIFY(!QFile::exists(f.folder.databasePath()));

        QVERIFY(QFile::rename(f.folder.databasePath() + ".away", f.folder.databasePath()));
        f.click(QStringLiteral("cmdBusiness"));
        QCOMPARE(f.listed(), (QStringList{"Kai|Klein", "Sam|Bronson"}));
    }

    void aContactDeletedElsewhereIsAnInternalError() {
        MainWindowFixture f;
        const qint64 id = f.folder.addContact({QStringLiteral("Gone")});
        f.click(QStringLiteral("cmdPersonal"));
        f.folder.execute(
            QStringLiteral("delete from tblContactDetails where pkContactDetailsId = ") +
            QString::number(id));
        f.clickRow(0);
        QCOMPARE(f.doors.boxes.texts(), QStringList{QStringLiteral("internal error")});
        QCOMPARE(f.window().SSTab1->txtFName->text(), QStringLiteral("Gone"));
    }

    void theListStatementIsSpelledOut() {
        MainWindowFixture f;
        f.window();
        StatementLog log;
        f.window().store().setCurrentBook(QStringLiteral("O'Neil's"));
        f.typeSearch(QStringLiteral("d'a"));
        f.click(QStringLiteral("cmdFind"));
        const QStringList statements = log.stop();
        QCOMPARE(statements.value(0),
                 QStringLiteral(
                     "Select * from tblContactDetails where fkContactType in (select "
                     "pkContactTypeId from tblContactType where ContactTypeDesc like 'Personal' "
                     "or ContactTypeDesc like 'Business') AND LastName like '%d''a%' AND "
                     "fkContactBookId = (select pkContactBookId from tblContactBook where "
                     "ContactBookName = 'O''Neil''s')"));
    }
};

QTEST_MAIN(ContactListTest)
#include "ContactListTest.moc"
