#include "app/frmContactMgmt.h"
#include "contacts/ContactDetailsTabs.h"
#include "contacts/ContactListView.h"
#include "contacts/DisplayText.h"
#include "editor/ctrRecord.h"
#include "support/MainWindowFixture.h"
#include "support/StatementLog.h"

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QStyleOptionViewItem>
#include <QTest>

// Values far longer than anyone types: the window shows a bounded part of
// them, while the editor and the database keep them whole.
class LongValueTest : public QObject {
    Q_OBJECT

private slots:
    void aHugeValueShowsInPartAndIsKeptWhole() {
        MainWindowFixture f;
        const QString address = QStringLiteral("1 Main Street ").repeated(1'500'000); // 21 MB
        const QString comments = QStringLiteral("a long note ").repeated(90'000);     // 1 MB
        const QString lastName = QStringLiteral("Lee").repeated(350'000);             // 1 MB
        const qint64 id = f.folder.addContact({.firstName = "Ann",
                                               .lastName = lastName,
                                               .address = address,
                                               .city = "Springfield",
                                               .zipCode = "12345",
                                               .comments = comments});
        frmContactMgmt& w = f.window();
        f.click(QStringLiteral("cmdPersonal"));

        constexpr int bound = 100'000;
        const QString shownAddress = w.SSTab1->lblAddress->toPlainText();
        QVERIFY(shownAddress.size() < bound);
        QVERIFY(shownAddress.startsWith(address.left(1000)));
        QVERIFY(shownAddress.endsWith(QStringLiteral("\nSpringfield\n\n12345")));
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
        f.click(QStringLiteral("cmdEditRecord"));
        auto* editedAddress = w.findChild<QPlainTextEdit*>(QStringLiteral("txtAddress"));
        QVERIFY(w.recordEditor->isVisible());
        QCOMPARE(editedAddress->toPlainText().size(), address.size());
        f.click(QStringLiteral("cmdSave"));
        QVERIFY(f.doors.boxes.texts().isEmpty());
        const std::map<QString, QString> stored = f.folder.contactRow(id);
        // Compared without QCOMPARE, which would print megabytes on a failure.
        QVERIFY(stored.at(QStringLiteral("Address")) == address);
        QVERIFY(stored.at(QStringLiteral("Comments")) == comments);
        QVERIFY(stored.at(QStringLiteral("LastName")) == lastName);
    }

    void aCutKeepsCharactersAndLineBreaksWhole_data() {
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("shown");
        const QString five = QStringLiteral("abcde");
        const QString ellipsis(QChar(0x2026));
        const QString clef = QStringLiteral("\U0001D11E"); // two UTF-16 units
        QTest::newRow("short") << five << five;
        QTest::newRow("at the length") << five + five << five + five;
        QTest::newRow("longer") << five + five + five << five + five + ellipsis;
        QTest::newRow("pair across the cut")
            << QStringLiteral("abcdefghi") + clef + five << QStringLiteral("abcdefghi") + ellipsis;
        QTest::newRow("line break across the cut")
            << QStringLiteral("abcdefghi\r\nxyz") << QStringLiteral("abcdefghi") + ellipsis;
    }

    void aCutKeepsCharactersAndLineBreaksWhole() {
        QFETCH(QString, value);
        QFETCH(QString, shown);
        QCOMPARE(shortenedForDisplay(value, 10), shown);
    }

    void aPastedSearchTextIsCutToTheBoxLength() {
        MainWindowFixture f;
        frmContactMgmt& w = f.window();
        const QString pasted = QStringLiteral("abcdefghij").repeated(200);
        w.txtSearchText->insert(pasted);
        const QString kept = w.txtSearchText->text();
        QVERIFY(kept.size() >= 50);
        QVERIFY(kept.size() <= 200);
        QVERIFY(pasted.startsWith(kept));

        StatementLog log;
        f.click(QStringLiteral("cmdFind"));
        const QStringList statements = log.stop();
        QCOMPARE(statements.size(), 1);
        QVERIFY(statements.first().contains(QStringLiteral("LastName like '%") + kept +
                                            QStringLiteral("%'")));
    }
};

QTEST_MAIN(LongValueTest)
#include "LongValueTest.moc"
