#include "app/frmContactMgmt.h"
#include "data/Connection.h"
#include "platform/Telephony.h"
#include "support/DesktopDoubles.h"
#include "support/MainWindowFixture.h"
#include "support/StatementLog.h"

#include <QAbstractItemView>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QTest>
#include <QUrl>

namespace {

// Catches the links the desktop would open, by scheme.
class UrlCatcher : public QObject {
    Q_OBJECT
public:
    QList<QUrl> urls;
public slots:
    void open(const QUrl& url) { urls << url; }
};

const QString noNumber = QStringLiteral("This contact has no number to call.");

// Two Personal contacts, listed Mia then Zoe once "Personal" is pressed.
void addTwoContacts(MainWindowFixture& f) {
    ContactFolder& folder = f.folder;
    folder.addContact({.firstName = QStringLiteral("Mia"),
                       .lastName = QStringLiteral("Morrison"),
                       .workPhone = QStringLiteral("+1 (555) 0102"),
                       .homePhone = QStringLiteral("555-0101 ext. 7")});
    folder.addContact({.firstName = QStringLiteral("Zoe"),
                       .lastName = QStringLiteral("Zander"),
                       .homePhone = QStringLiteral("555-0199")});
    f.click("cmdPersonal");
}

} // namespace

class CallTest : public QObject {
    Q_OBJECT
private slots:
    void handsTheStoredNumberAndThreeTextsToTelephony() {
        MainWindowFixture f;
        RecordingTelephony phone;
        addTwoContacts(f);
        QCOMPARE(f.listed(), (QStringList{"Mia|Morrison", "Zoe|Zander"}));
        f.clickRow(0);
        StatementLog log;
        f.trigger("mnuCallHome");
        f.trigger("mnuCallWork");
        f.trigger("mnuCallCell");
        const QStringList statements = log.stop();

        QCOMPARE(phone.requests.size(), 2); // Mia has no cell number
        QCOMPARE(phone.requests[0].destination, QStringLiteral("555-0101 ext. 7"));
        QCOMPARE(phone.requests[1].destination, QStringLiteral("+1 (555) 0102"));
        for (const RecordingTelephony::Request& r : phone.requests) {
            QCOMPARE(r.appName, QCoreApplication::applicationName());
            QCOMPARE(r.calledParty, QStringLiteral("Mia")); // the first name alone
            QCOMPARE(r.comment, QStringLiteral("Calling"));
        }
        const QString id = f.folder
                               .rows("select pkContactDetailsId from tblContactDetails "
                                     "where FirstName = 'Mia'")
                               .value(0);
        QCOMPARE(statements.value(0),
                 "Select HomePhoneNumber from tblContactDetails where pkContactDetailsId = " + id);

        f.clickRow(1);
        f.trigger("mnuCallHome");
        QCOMPARE(phone.requests.last().destination, QStringLiteral("555-0199"));
        QCOMPARE(phone.requests.last().calledParty, QStringLiteral("Zoe"));
        QCOMPARE(f.doors.boxes.takeTexts(), QStringList{noNumber});
    }

    // An empty number, or one of blanks only, is no number: nothing is dialled
    // and the user is told.
    void aBlankNumberPlacesNoCall() {
        MainWindowFixture f;
        RecordingTelephony phone;
        addTwoContacts(f);
        f.folder.execute("update tblContactDetails set HomePhoneNumber = ' \t ' "
                         "where FirstName = 'Zoe'");
        f.clickRow(1);
        f.trigger("mnuCallHome");
        f.trigger("mnuCallCell");
        QVERIFY(phone.requests.isEmpty());
        QCOMPARE(f.doors.boxes.takeTexts(), QStringList(2, noNumber));
        f.trigger("mnuCallWork");
        QVERIFY(phone.requests.isEmpty());
        QCOMPARE(f.doors.boxes.takeTexts(), QStringList{noNumber});
    }

    // Whatever the number holds, the link carries it as data: the handler
    // reads back exactly the stored text, never a host, query or fragment.
    void theTelLinkCarriesTheNumberExactly_data() {
        QTest::addColumn<QString>("number");
        QTest::newRow("plain") << QStringLiteral("+1 (555) 0102");
        QTest::newRow("fragment and query") << QStringLiteral("555 123#2?x");
        QTest::newRow("authority") << QStringLiteral("//evil.example.com/x");
        QTest::newRow("scheme") << QStringLiteral("http://evil.example.com");
        QTest::newRow("percent escapes") << QStringLiteral("%41%2F");
        QTest::newRow("stray percent") << QStringLiteral("100%");
        QTest::newRow("service code") << QStringLiteral("*31#555;ext=7");
        QTest::newRow("brackets and backslash") << QStringLiteral("[::1]\\x@y:z");
        QTest::newRow("letters") << QStringLiteral("Émile ☎ 555");
    }
    void theTelLinkCarriesTheNumberExactly() {
        QFETCH(QString, number);
        const QUrl url = platform::telUrl(number);
        QVERIFY(url.isValid());
        QCOMPARE(url.scheme(), QStringLiteral("tel"));
        QCOMPARE(url.path(QUrl::FullyDecoded), number);
        QVERIFY(!url.hasQuery());
        QVERIFY(!url.hasFragment());
        QVERIFY(url.authority().isEmpty());
        // A handler that gets the link as text reads the same.
        const QUrl reread = QUrl::fromEncoded(url.toEncoded(), QUrl::StrictMode);
        QCOMPARE(reread.path(QUrl::FullyDecoded), number);
        QVERIFY(!reread.hasQuery() && !reread.hasFragment() && reread.authority().isEmpty());
    }

    void withoutSelectionTheMenuOpensButNothingIsRequested() {
        MainWindowFixture f;
        RecordingTelephony phone;
        addTwoContacts(f);
        f.window().findChild<QAbstractItemView*>("lvContacts")->clearSelection();
        f.click("cmdCallRecord");
        auto* menu = f.window().findChild<QMenu*>("mnuCallMenu");
        QVERIFY(menu->isVisible());
        menu->close();
        f.trigger("mnuCallHome");
        f.trigger("mnuCallWork");
        f.trigger("mnuCallCell");
        QVERIFY(phone.requests.isEmpty());
        QVERIFY(f.doors.boxes.shown().isEmpty());
    }

    // A contact that is gone or cannot be read is never dialled.
    void aFailedLookupPlacesNoCall() {
        MainWindowFixture f;
        RecordingTelephony phone;
        addTwoContacts(f);
        f.window();
        f.clickRow(0);
        f.folder.execute("delete from tblContactDetails where FirstName = 'Mia'");
        f.trigger("mnuCallHome");
        QVERIFY(phone.requests.isEmpty());
        QCOMPARE(f.doors.boxes.takeTexts(), QStringList{QStringLiteral("internal error")});

        f.clickRow(1);
        QVERIFY(QFile::remove(f.folder.databasePath()));
        f.trigger("mnuCallHome");
        QVERIFY(phone.requests.isEmpty());
        QCOMPARE(f.doors.boxes.takeTexts(),
                 QStringList{QStringLiteral("There was an error retrieving data")});
    }

    // The real door hands "tel:" + number to the desktop.
    void theRealDoorOpensATelLink() {
        MainWindowFixture f;
        UrlCatcher catcher;
        QDesktopServices::setUrlHandler("tel", &catcher, "open");
        addTwoContacts(f);
        f.clickRow(0);
        f.trigger("mnuCallWork");
        QDesktopServices::unsetUrlHandler("tel");
        QCOMPARE(catcher.urls.size(), 1);
        QCOMPARE(catcher.urls[0].scheme(), QStringLiteral("tel"));
        QCOMPARE(catcher.urls[0].path(QUrl::FullyDecoded), QStringLiteral("+1 (555) 0102"));
    }
};

QTEST_MAIN(CallTest)
#include "CallTest.moc"
