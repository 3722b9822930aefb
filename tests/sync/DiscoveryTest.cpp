// Finding the address books of an account on a scripted server.
#include "FakeDav.h"

#include "sync/Discovery.h"

#include <QSignalSpy>
#include <QTest>

using carddav::AddressBookDiscovery;

class DiscoveryTest : public QObject {
    Q_OBJECT
private slots:
    // `wellKnown`, `given`: the answers at /.well-known/carddav and at the
    // address typed; `result`: the book found, or part of the failure's message.
    void eachSearchEndsInABookOrAReason_data() {
        QTest::addColumn<QByteArray>("wellKnown");
        QTest::addColumn<QByteArray>("given");
        QTest::addColumn<QString>("result");
        QTest::addColumn<int>("requests");
        const QByteArray missing = FakeDav::answer("404 Not Found");
        const QByteArray book = FakeDav::multistatus(
            "<d:response><d:href>/anna/book/</d:href><d:propstat><d:prop><d:resourcetype>"
            "<d:collection/><c:addressbook/></d:resourcetype><d:displayname>Work</d:displayname>"
            "</d:prop><d:status>HTTP/1.1 200 OK</d:status></d:propstat></d:response>");
        QTest::newRow("the address is the book") << missing << book << u"Work /anna/book/"_s << 2;
        QTest::newRow("nothing at either address")
            << missing << missing << u"No address book was found"_s << 2;
        QTest::newRow("a server error stops the search")
            << FakeDav::answer("500 Internal Server Error") << book << u"has a problem"_s << 1;
    }
    void eachSearchEndsInABookOrAReason() {
        QFETCH(QByteArray, wellKnown);
        QFETCH(QByteArray, given);
        QFETCH(QString, result);
        QFETCH(int, requests);
        FakeDav fake([&](const FakeDav::Request& r) {
            return r.path.startsWith("/.well-known/") ? wellKnown : given;
        });
        AddressBookDiscovery discovery;
        QSignalSpy found(&discovery, &AddressBookDiscovery::found);
        QSignalSpy failed(&discovery, &AddressBookDiscovery::failed);
        discovery.start(fake.url(u"/anna/book/"_s), u"anna"_s, u"pw"_s);
        QTRY_COMPARE(found.size() + failed.size(), 1);
        if (found.isEmpty()) {
            const QString message = failed[0][0].toString();
            QVERIFY2(message.contains(result), qPrintable(message));
        } else {
            const auto books = found[0][0].value<QList<carddav::AddressBookInfo>>();
            QCOMPARE(books.size(), 1);
            QCOMPARE(books[0].name + u' ' + books[0].url.path(), result);
        }
        QCOMPARE(fake.requests().size(), requests);
        QVERIFY(!discovery.isRunning());
    }
};

QTEST_GUILESS_MAIN(DiscoveryTest)
#include "DiscoveryTest.moc"
