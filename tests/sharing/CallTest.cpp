#include "platform/Telephony.h"
#include "support/DesktopDoubles.h"
#include "support/MainWindowFixture.h"

#include <QDesktopServices>
#include <QMenu>
#include <QUrl>

namespace {

// Catches the links the desktop would open.
class UrlCatcher : public QObject {
    Q_OBJECT
public:
    QList<QUrl> urls;
public slots:
    void open(const QUrl& url) { urls << url; }
};

const QString noNumber = u"This contact has no number to call."_s;

// Two Personal contacts, listed Mia then Zoe.
void addTwoContacts(MainWindowFixture& f) {
    f.folder.addContact({.firstName = "Mia",
                         .lastName = "Morrison",
                         .workPhone = "+1 (555) 0102",
                         .homePhone = "555-0101 ext. 7"});
    f.folder.addContact({.firstName = "Zoe", .lastName = "Zander", .homePhone = "555-0199"});
    f.click("cmdPersonal");
}

} // namespace

class CallTest : public QObject {
    Q_OBJECT
private slots:
    void handsTheStoredNumberAndTheFirstNameToTelephony() {
        MainWindowFixture f;
        RecordingTelephony phone;
        addTwoContacts(f);
        f.click("cmdCallRecord"); // no selection: the menu, but no call
        f.window().mnuCallMenu->close();
        f.trigger("mnuCallHome");
        QVERIFY(phone.requests.isEmpty());
        QVERIFY(f.doors.boxes.shown().isEmpty());

        f.clickRow(0);
        f.trigger("mnuCallHome");
        f.trigger("mnuCallWork");
        f.trigger("mnuCallCell"); // Mia has no cell number
        QCOMPARE(f.doors.boxes.takeTexts(), QStringList{noNumber});
        f.clickRow(1);
        f.trigger("mnuCallHome");
        QStringList calls;
        for (const RecordingTelephony::Request& r : phone.requests) {
            calls << r.destination + u'|' + r.calledParty + u'|' + r.comment;
            QCOMPARE(r.appName, QCoreApplication::applicationName());
        }
        QCOMPARE(calls, (QStringList{"555-0101 ext. 7|Mia|Calling", "+1 (555) 0102|Mia|Calling",
                                     "555-0199|Zoe|Calling"}));

        // A contact that is gone or cannot be read is never dialled.
        f.folder.execute(u"delete from tblContactDetails where FirstName = 'Zoe'"_s);
        f.trigger("mnuCallHome");
        QCOMPARE(f.doors.boxes.takeTexts(), QStringList{"internal error"});
        f.clickRow(0);
        QVERIFY(QFile::remove(f.folder.databasePath()));
        f.trigger("mnuCallHome");
        QCOMPARE(f.doors.boxes.takeTexts(), QStringList{"There was an error retrieving data"});
        QCOMPARE(phone.requests.size(), 3);
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
        f.trigger("mnuCallWork");
        QVERIFY(phone.requests.isEmpty());
        QCOMPARE(f.doors.boxes.takeTexts(), QStringList(3, noNumber));
    }

    // Whatever the number holds, the link carries it as data: the handler
    // reads back exactly the stored text, never a host, query or fragment.
    void theTelLinkCarriesTheNumberExactly_data() {
        QTest::addColumn<QString>("number");
        QTest::newRow("plain") << u"+1 (555) 0102"_s;
        QTest::newRow("fragment and query") << u"555 123#2?x"_s;
        QTest::newRow("authority") << u"//evil.example.com/x"_s;
        QTest::newRow("scheme") << u"http://evil.example.com"_s;
        QTest::newRow("percent escapes") << u"%41%2F"_s;
        QTest::newRow("stray percent") << u"100%"_s;
        QTest::newRow("service code") << u"*31#555;ext=7"_s;
        QTest::newRow("brackets and backslash") << u"[::1]\\x@y:z"_s;
        QTest::newRow("letters") << u"Émile ☎ 555"_s;
    }
    void theTelLinkCarriesTheNumberExactly() {
        QFETCH(QString, number);
        const QUrl url = platform::telUrl(number);
        QVERIFY(url.isValid());
        QCOMPARE(url.scheme(), u"tel"_s);
        QCOMPARE(url.path(QUrl::FullyDecoded), number);
        QVERIFY(!url.hasQuery());
        QVERIFY(!url.hasFragment());
        QVERIFY(url.authority().isEmpty());
        // A handler that gets the link as text reads the same.
        const QUrl reread = QUrl::fromEncoded(url.toEncoded(), QUrl::StrictMode);
        QCOMPARE(reread.path(QUrl::FullyDecoded), number);
        QVERIFY(!reread.hasQuery() && !reread.hasFragment() && reread.authority().isEmpty());
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
        QCOMPARE(catcher.urls, QList<QUrl>{platform::telUrl("+1 (555) 0102")});
    }
};

QTEST_MAIN(CallTest)
#include "CallTest.moc"
