// The database side of a sync, without a network: what a card received or
// gone there does to a synced contact, and what a failed step leaves.
#include "HeldFile.h"

#include "support/ContactFolder.h"
#include "sync/SyncExecutor.h"

#include <QTest>

#include <optional>

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
    // A contact synced as Ann Lee (and edited here, or not) meets the next step.
    void aStepFromTheServer_data() {
        QTest::addColumn<QString>("edit"); // of the contact here, an SQL assignment
        QTest::addColumn<QString>("step");
        QTest::addColumn<QStringList>("stored"); // first|last|start of the comments
        QTest::addColumn<int>("items");
        QTest::addColumn<QString>("counts"); // received/conflicts/removed here
        QTest::addColumn<QString>("failure");
        const QStringList ann{u"Ann|Lee|"_s};
        QTest::newRow("changed there") << QString() << u"card"_s << QStringList{u"Anna|Lee|"_s} << 1
                                       << u"1/0/0"_s << QString();
        QTest::newRow("changed on both sides")
            << u"City = 'Rome'"_s << u"card"_s
            << QStringList{u"Ann|Lee|Conflict copy"_s, u"Anna|Lee|"_s} << 1 << u"1/1/0"_s
            << QString();
        QTest::newRow("deleted there")
            << QString() << u"gone"_s << QStringList() << 0 << u"0/0/1"_s << QString();
        QTest::newRow("deleted there, changed here")
            << u"City = 'Rome'"_s << u"gone"_s << ann << 0 << u"0/0/0"_s << QString();
        QTest::newRow("an invalid ETag")
            << QString() << u"invalid etag"_s << ann << 1 << u"0/0/0"_s
            << u"The server gave /book/a.vcf a version tag (ETag) that is not valid"_s;
        QTest::newRow("not a card") << QString() << u"unreadable"_s << ann << 1 << u"0/0/0"_s
                                    << u"The server's card /book/a.vcf could not be read."_s;
        QTest::newRow("the file held by other work")
            << QString() << u"busy"_s << ann << 1 << u"0/0/0"_s
            << u"The contact file could not be written: "_s;
    }
    void aStepFromTheServer() {
        QFETCH(QString, edit);
        QFETCH(QString, step);
        QFETCH(QStringList, stored);
        QFETCH(int, items);
        QFETCH(QString, counts);
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
        if (step == u"invalid etag"_s)
            next.etag = "\"2\"\r\nX-Added: 1";
        if (step == u"unreadable"_s)
            next.text = "not a card";
        std::optional<HeldFile> held;
        if (step == u"busy"_s)
            QVERIFY(held.emplace(folder.databasePath()).isHeld());
        const bool done =
            step == u"gone"_s ? executor.storeCards({}, {next.href}) : executor.storeCards({next});
        held.reset();

        QCOMPARE(done, failure.isEmpty());
        QVERIFY2(executor.failure().startsWith(failure), qPrintable(executor.failure()));
        QCOMPARE(executor.fileBusy(), step == u"busy"_s);
        QCOMPARE(folder.rows(u"select FirstName, LastName, substr(Comments, 1, 13) from "
                             "tblContactDetails order by FirstName"_s),
                 stored);
        QCOMPARE(folder.count(u"tblSyncItem"_s), items);
        QCOMPARE(
            u"%1/%2/%3"_s.arg(summary.received).arg(summary.conflicts).arg(summary.removedHere),
            counts);
    }
};

QTEST_GUILESS_MAIN(ExecutorTest)
#include "ExecutorTest.moc"
