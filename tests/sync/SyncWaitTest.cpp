// What a sync waits for: the keyring's answer, and a contact file held by
// other work.
#include "FakeDav.h"
#include "Radicale.h"

#include "app/frmContactMgmt.h"
#include "support/HeldFile.h"
#include "support/KeyringDouble.h"
#include "support/MainWindowFixture.h"
#include "sync/Passwords.h"
#include "sync/SyncEngine.h"

#include <QLabel>
#include <QSignalSpy>

using carddav::SyncEngine;

namespace {

constexpr int serverWait = 30000;

QString statusOf(frmContactMgmt& w) {
    auto* status = w.findChild<QLabel*>(u"lblSyncStatus"_s);
    return status ? status->text() : QString();
}

} // namespace

class SyncWaitTest : public QObject {
    Q_OBJECT
    Radicale server;

private slots:
    void initTestCase() { QVERIFY2(server.start(), qPrintable(server.error())); }

    // The keyring answers from the event loop; a sync stopped, or its book
    // removed, before the answer came goes no further with it.
    void aSyncStoppedWhileTheKeyringIsAskedGoesNoFurther_data() {
        QTest::addColumn<bool>("removeBook");
        QTest::addColumn<QString>("why");
        QTest::newRow("stopped") << false << u"The sync was stopped."_s;
        QTest::newRow("book removed") << true << u"The book was removed during the sync."_s;
    }
    void aSyncStoppedWhileTheKeyringIsAskedGoesNoFurther() {
        QFETCH(bool, removeBook);
        QFETCH(QString, why);
        FakeDav fake([](const FakeDav::Request&) { return FakeDav::answer("404 Not Found"); });
        ContactFolder folder;
        const QString url = fake.url(u"/book/"_s).toString();
        QVERIFY(SyncStore(folder.connectionString()).link(u"Default"_s, url, u"anna"_s));
        KeyringDouble keyring;
        keyring.holdReads = true;
        keyring.entries.insert(carddav::Passwords::keyOf(url, u"anna"_s), u"s3cret"_s);
        carddav::Passwords passwords;
        SyncEngine engine(folder.connectionString());
        engine.setPasswordRequest(
            [&](const SyncAccount& account, SyncEngine::PasswordAnswer answer) {
                passwords.request(account, &engine, std::move(answer));
            });
        QSignalSpy progress(&engine, &SyncEngine::progress),
            books(&engine, &SyncEngine::bookFinished), finished(&engine, &SyncEngine::finished);
        engine.start();
        QTRY_COMPARE(keyring.heldReads.size(), 1);
        if (removeBook)
            engine.stopBook(u"Default"_s);
        else
            engine.cancel();
        QTRY_COMPARE(finished.count(), 1);
        keyring.answerReads();
        QCoreApplication::processEvents();
        QCOMPARE(books.count(), 1);
        QCOMPARE(qvariant_cast<carddav::SyncSummary>(books.first().first()).message, why);
        QCOMPARE(progress.count(), 0);
        QVERIFY(fake.requests().isEmpty());
        QVERIFY(!engine.isRunning());
    }

    // The sync of the window meets the contact file held by other work (an
    // import, another program): it says so calmly, records no failure, and
    // its next turn brings and sends everything once.
    void aSyncMeetingABusyFileWaitsForItsTurn() {
        const QUrl book = server.makeAddressBook(u"busy"_s);
        const QByteArray card = "BEGIN:VCARD\r\nVERSION:3.0\r\nUID:finn\r\nFN:Finn Fox\r\n"
                                "N:Fox;Finn;;;\r\nEND:VCARD\r\n";
        QVERIFY(server
                    .request("PUT", book.resolved(QUrl(u"finn.vcf"_s)), card,
                             {{"Content-Type", "text/vcard"}})
                    .ok());
        KeyringDouble keyring;
        keyring.entries.insert(carddav::Passwords::keyOf(book.toString(), server.user()),
                               server.password());
        MainWindowFixture f;
        f.folder.addContact({.firstName = u"Ada"_s, .lastName = u"Alm"_s});
        QVERIFY(SyncStore(f.folder.connectionString())
                    .link(u"Default"_s, book.toString(), server.user()));
        const QString waiting =
            u"The contact file is busy with other work; the sync goes on at its next turn."_s;
        {
            HeldFile held(f.folder.databasePath());
            QVERIFY(held.isHeld());
            f.trigger(u"mnuSyncNow"_s);
            QTRY_VERIFY_WITH_TIMEOUT(statusOf(f.window()).endsWith(waiting), serverWait);
            QTRY_VERIFY_WITH_TIMEOUT(!f.window().findChild<SyncEngine*>()->isRunning(), serverWait);
        }
        QCOMPARE(f.folder.rows(u"select LastError, LastSync from tblSyncAccount"_s),
                 QStringList{u"|"_s});
        f.trigger(u"mnuSyncNow"_s);
        QTRY_VERIFY_WITH_TIMEOUT(statusOf(f.window()).startsWith(u"Last sync: "_s), serverWait);
        QCOMPARE(f.folder.rows(u"select FirstName, LastName from tblContactDetails order by "
                               "FirstName"_s),
                 (QStringList{u"Ada|Alm"_s, u"Finn|Fox"_s}));
        QCOMPARE(f.folder.count(u"tblSyncItem"_s), 2);
        const carddav::DavResponse listing = server.request(
            "PROPFIND", book,
            "<d:propfind xmlns:d=\"DAV:\"><d:prop><d:getetag/></d:prop></d:propfind>",
            {{"Depth", "1"}});
        QCOMPARE(listing.multistatus.items.size(), 3); // the book and its two cards
    }
};

QTEST_MAIN(SyncWaitTest)
#include "SyncWaitTest.moc"
