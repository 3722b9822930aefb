#include "app/frmContactMgmt.h"
#include "contacts/ContactDetailsTabs.h"
#include "support/DesktopDoubles.h"
#include "support/MainWindowFixture.h"

#include <QLabel>
#include <QRegularExpression>
#include <QTest>

// The Contact tab's numbers call and its address writes, through the doors;
// what the contact holds is shown as text, never read as markup.
class DetailsLinksTest : public QObject {
    Q_OBJECT

private slots:
    void linksCallAndWrite() {
        MainWindowFixture f;
        RecordingTelephony telephony;
        FakeShell shell;
        f.folder.addContact({.firstName = "<b>Ann</b>",
                             .workPhone = "555 1",
                             .cellPhone = "555<3>",
                             .email = "a b&c<i>@x.org"});
        f.click(QStringLiteral("cmdPersonal"));
        QLabel* label = f.window().SSTab1->lblContactInfo;
        const QString html = label->text();
        QVERIFY2(html.contains("555&lt;3&gt;") && !html.contains("<i>"), qPrintable(html));
        // No home number, no link.
        for (const auto& link : QRegularExpression("href=\"([^\"]*)\"").globalMatch(html))
            emit label->linkActivated(link.captured(1));

        QCOMPARE(telephony.requests.size(), 2);
        QCOMPARE(telephony.requests[0].destination, QStringLiteral("555 1"));
        QCOMPARE(telephony.requests[0].calledParty, QStringLiteral("<b>Ann</b>"));
        QCOMPARE(telephony.requests[1].destination, QStringLiteral("555<3>"));
        QCOMPARE(shell.openedUrls, QStringList{"mailto:a%20b%26c%3Ci%3E@x.org"});
    }
};

QTEST_MAIN(DetailsLinksTest)
#include "DetailsLinksTest.moc"
