#include "app/frmContactMgmt.h"
#include "contacts/ContactDetailsTabs.h"
#include "contacts/ContactListView.h"
#include "data/Connection.h"
#include "editor/ctrRecord.h"
#include "support/MainWindowFixture.h"
#include "support/StatementLog.h"
#include "support/Typing.h"

#include <QComboBox>
#include <QFile>
#include <QGroupBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTest>

namespace {

struct Field {
    const char* box;
    const char* column;
    QString typed;
};

// Every text box with a value worth a round trip: quotes, line breaks, a
// no-break space.
const QList<Field> fullContact = {
    {"txtFirstName", "FirstName", QStringLiteral("Ann")},
    {"txtMiddleName", "MiddleName", QStringLiteral("Marie")},
    {"txtLastName", "LastName", QStringLiteral("O'Brien")},
    {"txtGuardianName", "ParentOrGuardianName", QStringLiteral("Jo O'Brien")},
    {"txtAddress", "Address", QStringLiteral("1 Main St\nFlat 2")},
    {"txtCity", "City", QStringLiteral("Cork")},
    {"txtState", "State", QStringLiteral("CO")},
    {"txtZipCode", "ZipCode", QStringLiteral("T12")},
    {"txtWorkPhone", "WorkPhoneNumber", QStringLiteral("555-1")},
    {"txtHomePhone", "HomePhoneNumber", QStringLiteral("555-2")},
    {"txtCellPhone", "CellPhoneNumber", QStringLiteral("555-3")},
    {"txtEmail", "EmailAddress", QStringLiteral("ann@x.org")},
    {"txtComments", "Comments", QStringLiteral("Met at 'the' fair\nno-break\u00a0space\n\nend")},
};

QWidget* box(MainWindowFixture& f, const char* name) {
    return f.window().recordEditor->findChild<QWidget*>(QLatin1String(name));
}

QComboBox* recordType(MainWindowFixture& f) {
    return f.window().recordEditor->findChild<QComboBox*>(QStringLiteral("cmdRecordType"));
}

// Replaces a box's text as a user would: select all, delete, type.
void retype(MainWindowFixture& f, const char* name, const QString& text) {
    QWidget* target = box(f, name);
    QTest::keyClick(target, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(target, Qt::Key_Delete);
    typeText(target, text);
}

QString shown(MainWindowFixture& f, const char* name) {
    QWidget* target = box(f, name);
    if (auto* line = qobject_cast<QLineEdit*>(target))
        return line->text();
    return static_cast<QPlainTextEdit*>(target)->toPlainText();
}

QString stored(const QString& typed) {
    QString text = typed;
    return text.replace(QLatin1String("\n"), QLatin1String("\r\n"));
}

QString frameTitle(MainWindowFixture& f) {
    return f.window()
        .recordEditor->findChild<QGroupBox*>(QStringLiteral("frameAddUpdateRecord"))
        ->title();
}

QString saveCaption(MainWindowFixture& f) {
    return f.window().recordEditor->findChild<QPushButton*>(QStringLiteral("cmdSave"))->text();
}

bool inMainView(MainWindowFixture& f) {
    return !f.window().recordEditor->isVisible() && f.window().lvContacts->isVisible() &&
           f.window().cmdAddRecord->isVisible();
}

qint64 onlyContactId(MainWindowFixture& f) {
    return f.folder.rows(QStringLiteral("select pkContactDetailsId from tblContactDetails"))
        .value(0)
        .toLongLong();
}

} // namespace

class RecordEditorTest : public QObject {
    Q_OBJECT

private slots:
    void addListEditSaveDeleteKeepsEveryValue() {
        MainWindowFixture f;
        f.click(QStringLiteral("cmdPersonal"));
        f.click(QStringLiteral("cmdAddRecord"));
        QVERIFY(f.window().recordEditor->isVisible());
        QVERIFY(!f.window().lvContacts->isVisible());
        QCOMPARE(frameTitle(f), QStringLiteral("Add details"));
        QCOMPARE(saveCaption(f), QStringLiteral("Save"));
        for (const Field& field : fullContact)
            retype(f, field.box, field.typed);
        QTest::keyClick(recordType(f), Qt::Key_Up); // "Business" -> "Personal"
        f.click(QStringLiteral("cmdSave"));

        QCOMPARE(f.doors.boxes.takeTexts(), QStringList{QStringLiteral("Record saved sucessfuly")});
        QVERIFY(inMainView(f));
        QCOMPARE(f.listed(), QStringList{QStringLiteral("Ann|O'Brien")});
        const qint64 id = onlyContactId(f);
        auto row = f.folder.contactRow(id);
        for (const Field& field : fullContact)
            QCOMPARE(row[QLatin1String(field.column)], stored(field.typed));
        QCOMPARE(row["fkContactType"], QStringLiteral("1"));
        QCOMPARE(row["fkContactBookId"], QStringLiteral("1"));

        f.clickRow(0);
        f.click(QStringLiteral("cmdEditRecord"));
        QCOMPARE(frameTitle(f), QStringLiteral("Update details"));
        QCOMPARE(saveCaption(f), QStringLiteral("Update"));
        for (const Field& field : fullContact) // a box shows a no-break space as a space
            QCOMPARE(shown(f, field.box), QString(field.typed).replace(QChar(0xa0), u' '));
        QCOMPARE(recordType(f)->currentText(), QStringLiteral("Personal"));
        retype(f, "txtLastName", QStringLiteral("O'Brien-Lee"));
        f.click(QStringLiteral("cmdSave"));

        QVERIFY(f.doors.boxes.texts().isEmpty()); // an update says nothing when it works
        QVERIFY(inMainView(f));
        QCOMPARE(f.listed(), QStringList{QStringLiteral("Ann|O'Brien-Lee")});
        auto updated = f.folder.contactRow(id);
        QCOMPARE(updated["LastName"], QStringLiteral("O'Brien-Lee"));
        updated["LastName"] = row["LastName"];
        QVERIFY(updated == row); // everything else came back as it was stored

        // Deleting the last Personal contact empties the list; the details
        // tabs keep what they showed.
        f.clickRow(0);
        f.doors.boxes.answerYes();
        f.click(QStringLiteral("cmdDeleteRecord"));
        QCOMPARE(f.doors.boxes.takeTexts(),
                 (QStringList{QStringLiteral("Are you sure you want to delete the current Record "
                                             "Ann?"),
                              QStringLiteral("Record Deleted successfully")}));
        QCOMPARE(f.folder.count(QStringLiteral("tblContactDetails")), 0);
        QVERIFY(f.listed().isEmpty());
        QCOMPARE(f.window().SSTab1->txtLName->text(), QStringLiteral("O'Brien-Lee"));
        QCOMPARE(f.doors.boxes.unansweredQuestions(), 0);
    }

    void statementsAreSpelledOut() {
        MainWindowFixture f;
        f.click(QStringLiteral("cmdPersonal"));
        StatementLog log;
        f.click(QStringLiteral("cmdAddRecord"));
        retype(f, "txtFirstName", QStringLiteral("Ann"));
        retype(f, "txtLastName", QStringLiteral("Lee"));
        QTest::keyClick(recordType(f), Qt::Key_Up);
        f.click(QStringLiteral("cmdSave"));
        const QString id = QString::number(onlyContactId(f));
        f.clickRow(0);
        f.click(QStringLiteral("cmdEditRecord"));
        f.click(QStringLiteral("cmdSave"));
        const QStringList statements = log.stop();

        QCOMPARE(statements.value(0), QStringLiteral("SELECT pkContactBookId FROM tblContactBook "
                                                     "WHERE ContactBookName = 'Default'"));
        QCOMPARE(statements.value(1),
                 QStringLiteral("insert into tblContactDetails (FirstName, MiddleName, LastName, "
                                "Address, city, State, ZipCode, WorkPhoneNumber, HomePhoneNumber, "
                                "CellPhoneNumber, EmailAddress, ParentOrGuardianName, Comments, "
                                "fkContactType, fkContactBookId) "
                                "values('Ann','','Lee','','','','','','','','','','',1,1)"));
        QVERIFY(statements.contains(
            QStringLiteral("update tblContactDetails Set FirstName = 'Ann',MiddleName = "
                           "'',LastName = 'Lee',Address = '',city = '',State = '',ZipCode = "
                           "'',WorkPhoneNumber = '',HomePhoneNumber = '',CellPhoneNumber = "
                           "'',EmailAddress = '',ParentOrGuardianName = '',Comments = "
                           "'',fkContactType = 1 WHERE pkContactDetailsId = ") +
            id));
    }

    void anUntouchedAddStoresABusinessContactAndTypingCannotBreakTheType() {
        MainWindowFixture f;
        f.click(QStringLiteral("cmdBusiness"));
        f.click(QStringLiteral("cmdAddRecord"));
        typeText(recordType(f), QStringLiteral("Friends\n"));
        f.click(QStringLiteral("cmdSave"));
        QCOMPARE(f.folder.rows(QStringLiteral("select * from tblContactDetails")),
                 QStringList{QStringLiteral("1||||||||||||||2|1")});
        QCOMPARE(f.listed(), QStringList{QStringLiteral("|")});
    }

    void theBookIdIsLookedUpAndNeverGuessed() {
        MainWindowFixture f;
        f.folder.execute(QStringLiteral(
            "insert into tblContactBook (pkContactBookId, ContactBookName) values (40000, 'Big')"));
        f.click(QStringLiteral("cmdPersonal"));
        f.window().store().setCurrentBook(QStringLiteral("Big"));
        f.window().store().setCurrentBook(QStringLiteral("big"));
        f.click(QStringLiteral("cmdAddRecord"));
        retype(f, "txtFirstName", QStringLiteral("Wide"));
        QTest::keyClick(recordType(f), Qt::Key_Up);
        f.click(QStringLiteral("cmdSave"));
        QCOMPARE(f.doors.boxes.takeTexts(), QStringList{QStringLiteral("Record saved sucessfuly")});
        QCOMPARE(f.folder.contactRow(onlyContactId(f))["fkContactBookId"], QStringLiteral("40000"));
        QCOMPARE(f.listed(), QStringList{QStringLiteral("Wide|")});

        // A book another program renamed meanwhile stores nothing; the main
        // view still comes back with the list reloaded (empty: no book has
        // the current name any more).
        f.folder.execute(QStringLiteral("update tblContactBook set ContactBookName = 'Renamed' "
                                        "where pkContactBookId = 40000"));
        QSignalSpy saved(f.window().recordEditor, &ctrRecord::RecordAddedOrUpdated);
        f.click(QStringLiteral("cmdAddRecord"));
        retype(f, "txtFirstName", QStringLiteral("Orphan"));
        f.click(QStringLiteral("cmdSave"));
        QCOMPARE(f.doors.boxes.takeTexts(),
                 QStringList{QStringLiteral("There was an error in saving data")});
        QCOMPARE(saved.count(), 1);
        QCOMPARE(f.folder.count(QStringLiteral("tblContactDetails")), 1);
        QVERIFY(inMainView(f));
        QCOMPARE(f.listed(), QStringList());
    }

    void aFailedSaveStillReturnsAndReloads() {
        MainWindowFixture f;
        f.folder.addContact({QStringLiteral("Kim")});
        f.click(QStringLiteral("cmdPersonal"));
        f.clickRow(0);
        f.click(QStringLiteral("cmdEditRecord"));
        QVERIFY(QFile::rename(f.folder.databasePath(), f.folder.databasePath() + ".away"));
        f.click(QStringLiteral("cmdSave"));
        QCOMPARE(f.doors.boxes.takeTexts(),
                 (QStringList{QStringLiteral("There was an error retrieving data"),
                              QStringLiteral("There was an error retrieving data")}));
        QVERIFY(inMainView(f));

        f.click(QStringLiteral("cmdAddRecord"));
        f.click(QStringLiteral("cmdSave"));
        QCOMPARE(f.doors.boxes.takeTexts(),
                 (QStringList{QStringLiteral("There was an error in saving data"),
                              QStringLiteral("There was an error retrieving data")}));
        QVERIFY(inMainView(f));
        QVERIFY(!QFile::exists(f.folder.databasePath()));
    }

    void cancelKeepsTheTypedTextUntilTheNextSetup() {
        MainWindowFixture f;
        f.folder.addContact({QStringLiteral("Kim"), {}, QStringLiteral("Ray")});
        f.folder.addContact({QStringLiteral("Lou"), {}, QStringLiteral("Ray")});
        f.click(QStringLiteral("cmdPersonal"));
        f.clickRow(0);
        f.click(QStringLiteral("cmdAddRecord"));
        retype(f, "txtFirstName", QStringLiteral("Draft"));
        f.click(QStringLiteral("cmdCancel"));
        QVERIFY(inMainView(f));
        QCOMPARE(shown(f, "txtFirstName"), QStringLiteral("Draft"));
        QCOMPARE(f.folder.count(QStringLiteral("tblContactDetails")), 2);
        QCOMPARE(f.window().lvContacts->selectedRow(), 0);

        f.click(QStringLiteral("cmdEditRecord"));
        QCOMPARE(shown(f, "txtFirstName"), QStringLiteral("Kim"));
        f.click(QStringLiteral("cmdCancel"));
        f.click(QStringLiteral("cmdAddRecord"));
        QCOMPARE(frameTitle(f), QStringLiteral("Add details"));
        QCOMPARE(shown(f, "txtFirstName"), QString());
        QCOMPARE(recordType(f)->currentText(), QStringLiteral("Business"));
        QVERIFY(f.doors.boxes.texts().isEmpty());
    }

    void anUnknownTypeLoadsAsBusinessAndAGoneRecordIsAnInternalError() {
        MainWindowFixture f;
        const qint64 odd = f.folder.addContact({QStringLiteral("Odd")});
        const qint64 gone = f.folder.addContact({QStringLiteral("Gone")});
        f.click(QStringLiteral("cmdPersonal"));
        f.folder.execute(QStringLiteral("update tblContactDetails set fkContactType = 7"));
        f.clickRow(0);
        f.click(QStringLiteral("cmdEditRecord"));
        QCOMPARE(recordType(f)->currentText(), QStringLiteral("Business"));
        f.click(QStringLiteral("cmdSave"));
        QCOMPARE(f.folder.contactRow(odd)["fkContactType"], QStringLiteral("2"));

        f.folder.execute(QStringLiteral("update tblContactDetails set fkContactType = 1"));
        f.click(QStringLiteral("cmdPersonal"));
        QCOMPARE(f.listed(), (QStringList{"Odd|", "Gone|"}));
        f.clickRow(1);
        f.folder.execute(QStringLiteral("delete from tblContactDetails where "
                                        "pkContactDetailsId = ") +
                         QString::number(gone));
        f.doors.boxes.clear();
        f.click(QStringLiteral("cmdEditRecord"));
        QCOMPARE(f.doors.boxes.takeTexts(), QStringList{QStringLiteral("internal error")});
        // A failed load leaves nothing to save: the main view is back.
        QVERIFY(f.window().recordEditor->isHidden());
        QVERIFY(!f.window().lvContacts->isHidden());

        // Deleted after it was loaded: the save says so and writes nothing.
        f.clickRow(0);
        f.click(QStringLiteral("cmdEditRecord"));
        f.folder.execute(QStringLiteral("delete from tblContactDetails"));
        retype(f, "txtFirstName", QStringLiteral("Ghost"));
        f.click(QStringLiteral("cmdSave"));
        QCOMPARE(f.doors.boxes.texts(),
                 QStringList{QStringLiteral(
                     "This contact no longer exists, so the changes could not be saved.")});
        QCOMPARE(f.folder.count(QStringLiteral("tblContactDetails")), 0);
    }

    void tabFollowsTheKeyboardOrderAcrossTheTabs() {
        MainWindowFixture f;
        f.click(QStringLiteral("cmdAddRecord"));
        const QStringList order{"txtFirstName",  "txtMiddleName", "txtLastName",  "txtGuardianName",
                                "cmdRecordType", "txtAddress",    "txtCity",      "txtState",
                                "txtZipCode",    "txtWorkPhone",  "txtHomePhone", "txtCellPhone",
                                "txtEmail",      "txtComments",   "cmdSave",      "cmdCancel",
                                "txtFirstName"};
        auto* tabs = f.window().recordEditor->findChild<QTabWidget*>(QStringLiteral("SSTab1"));
        QStringList visited;
        box(f, "txtFirstName")->setFocus();
        for (int i = 0; i < order.size(); ++i) {
            QWidget* focused = f.window().recordEditor->focusWidget();
            visited << focused->objectName();
            QVERIFY(focused->isVisible()); // its tab was brought forward
            if (i + 1 < order.size())
                QTest::keyClick(focused, Qt::Key_Tab);
        }
        QCOMPARE(visited, order);
        QCOMPARE(shown(f, "txtAddress"), QString()); // Tab moved on, typed nothing
        QStringList back;
        for (int i = 0; i < 3; ++i) {
            QTest::keyClick(f.window().recordEditor->focusWidget(), Qt::Key_Backtab);
            back << f.window().recordEditor->focusWidget()->objectName();
        }
        QCOMPARE(back, (QStringList{"cmdCancel", "cmdSave", "txtComments"}));
        QCOMPARE(tabs->currentIndex(), 3);
    }
};

QTEST_MAIN(RecordEditorTest)
#include "RecordEditorTest.moc"
