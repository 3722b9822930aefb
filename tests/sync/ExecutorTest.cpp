// The database side of a sync, without a network: what a card received or
// gone there does to a synced contact, and what a failed step leaves.
#include "support/ContactFolder.h"
#include "sync/SyncExecutor.h"

#include <QTest>

using namespace carddav;

namespace {

QByteArray card(const QByteArray& first, const QByteArray& last) {
    return "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:" + first + ' ' + last + "\r\nN:" + last + ';' +
           first + ";;;\r\nEND:VCARD\r\n";
}

} // namespace

class ExecutorTest : public QObject {
    Q_OBJECT

private slots:
    // A contact synced as Ann Lee meets a step the whole sync journeys do not
    // reach: a deletion there of a contact changed here, a card that cannot
    // be read. (The file held by other work: SyncWaitTest.)
    void aStepFromTheServer_data() {
        QTest::addColumn<QString>("edit"); // of the contact here, an SQL assignment
        QTest::addColumn<QString>("step");
        QTest::addColumn<int>("items");
        QTest::addColumn<QString>("failure");
        QTest::newRow("deleted there, changed here")
            << u"City = 'Rome'"_s << u"gone"_s << 0 << QString();
        QTest::newRow("not a card") << QString() << u"unreadable"_s << 1
                                    << u"The server's card /book/a.vcf could not be read."_s;
    }
    void aStepFromTheServer() {
        QFETCH(QString, edit);
        QFETCH(QString, step);
        QFETCH(int, items);
        QFETCH(QString, failure);
        ContactFolder folder;
        SyncStore store(folder.connectionString());
        QVERIFY(store.link(u"Default"_s, u"http://127.0.0.1/book/"_s, u"anna"_s));
        SyncSummary summary;
        SyncExecutor executor(folder.connectionString());
        executor.begin(*store.account(u"Default"_s), summary);
        QVERIFY(executor.readItems(false));
        QVERIFY(executor.storeCards({{u"/book/a.vcf"_s, "\"1\"", card("Ann", "Lee")}}));
        summary = SyncSummary();
        if (!edit.isEmpty())
            folder.execute(u"update tblContactDetails set "_s + edit);
        QVERIFY(executor.readItems(false));

        ServerCard next{u"/book/a.vcf"_s, "\"2\"", card("Anna", "Lee")};
        if (step == u"unreadable"_s)
            next.text = "not a card";
        const bool done =
            step == u"gone"_s ? executor.storeCards({}, {next.href}) : executor.storeCards({next});

        QCOMPARE(done, failure.isEmpty());
        QVERIFY2(executor.failure().startsWith(failure), qPrintable(executor.failure()));
        QCOMPARE(folder.rows(u"select FirstName, LastName from tblContactDetails"_s),
                 QStringList{u"Ann|Lee"_s});
        QCOMPARE(folder.count(u"tblSyncItem"_s), items);
        QCOMPARE(summary.received + summary.conflicts + summary.removedHere, 0);
    }
};

QTEST_GUILESS_MAIN(ExecutorTest)
#include "ExecutorTest.moc"
