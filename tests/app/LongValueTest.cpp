#include "contacts/ContactDetailsTabs.h"
#include "contacts/ContactListView.h"
#include "contacts/DisplayText.h"
#include "editor/ctrRecord.h"
#include "support/MainWindowFixture.h"
#include "support/StatementLog.h"

#include <QStyleOptionViewItem>

// Values far longer than anyone types: the window shows a bounded part of
// them, while the editor and the database keep them whole.
class LongValueTest : public QObject {
    Q_OBJECT

private slots:
    void aHugeValueShowsInPartAndIsKeptWhole() {
        MainWindowFixture f;
        const QString address = u"1 Main Street "_s.repeated(1'500'000); // 21 MB
        const QString comments = u"a long note "_s.repeated(90'000);     // 1 MB
        const QString lastName = u"Lee"_s.repeated(350'000);             // 1 MB
        const qint64 id = f.folder.addContact({.firstName = "Ann",
                                               .lastName = lastName,
                                               .address = address,
                                               .city = "Springfield",
                                               .zipCode = "12345",
                                               .comments = comments});
        frmContactMgmt& w = f.window();
        f.click("cmdPersonal");

        constexpr int bound = 100'000;
        const QString shownAddress = w.SSTab1->lblAddress->toPlainText();
        QVERIFY(shownAddress.size() < bound);
        QVERIFY(shownAddress.startsWith(address.left(1000)));
        QVERIFY(shownAddress.endsWith(u"\nSpringfield\n\n12345"_s));
        const QString shownComments = w.SSTab1->lblComments->text();
        QVERIFY(shownComments.size() < bound);
        QVERIFY(shownComments.startsWith(comments.left(1000)));
        QVERIFY(w.SSTab1->txtLName->text().size() < bound);
        // The list draws a bounded part of the name; its entry keeps it whole.
        const QModelIndex listed = w.lvContacts->model()->index(0, 1);
        QVERIFY(listed.data().toString() == lastName);
        QVERIFY(listed.data(Qt::ToolTipRole).toString().size() < bound);
        QStyleOptionViewItem option;
        option.initFrom(w.lvContacts);
        QVERIFY(w.lvContacts->itemDelegate()->sizeHint(option, listed).width() < 100'000);
        QVERIFY(f.doors.boxes.texts().isEmpty());

        f.clickRow(0);
        f.click("cmdEditRecord");
        auto* editedAddress = w.findChild<QPlainTextEdit*>("txtAddress");
        QVERIFY(w.recordEditor->isVisible());
        QCOMPARE(editedAddress->toPlainText().size(), address.size());
        f.click("cmdSave");
        QVERIFY(f.doors.boxes.texts().isEmpty());
        const std::map<QString, QString> stored = f.folder.contactRow(id);
        // Compared without QCOMPARE, which would print megabytes on a failure.
        QVERIFY(stored.at(u"Address"_s) == address);
        QVERIFY(stored.at(u"Comments"_s) == comments);
        QVERIFY(stored.at(u"LastName"_s) == lastName);
    }

    void aCutKeepsCharactersAndLineBreaksWhole_data() {
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("shown");
        const QString five = u"abcde"_s;
        const QString ellipsis(QChar(0x2026));
        const QString clef = u"\U0001D11E"_s; // two UTF-16 units
        QTest::newRow("short") << five << five;
        QTest::newRow("at the length") << five + five << five + five;
        QTest::newRow("longer") << five + five + five << five + five + ellipsis;
        QTest::newRow("pair across the cut")
            << u"abcdefghi"_s + clef + five << u"abcdefghi"_s + ellipsis;
        QTest::newRow("line break across the cut")
            << u"abcdefghi\r\nxyz"_s << u"abcdefghi"_s + ellipsis;
    }

    void aCutKeepsCharactersAndLineBreaksWhole() {
        QFETCH(QString, value);
        QFETCH(QString, shown);
        QCOMPARE(shortenedForDisplay(value, 10), shown);
    }

    void aPastedSearchTextIsCutToTheBoxLength() {
        MainWindowFixture f;
        frmContactMgmt& w = f.window();
        const QString pasted = u"abcdefghij"_s.repeated(200);
        w.txtSearchText->insert(pasted);
        const QString kept = w.txtSearchText->text();
        QVERIFY(kept.size() >= 50);
        QVERIFY(kept.size() <= 200);
        QVERIFY(pasted.startsWith(kept));

        StatementLog log;
        f.click("cmdFind");
        const QStringList statements = log.stop();
        QCOMPARE(statements.size(), 1);
        QVERIFY(statements.first().contains(u"LastName like '%"_s + kept + u"%'"_s));
    }
};

QTEST_MAIN(LongValueTest)
#include "LongValueTest.moc"
