// Two data folders linked to one address book of a real server.
#include "Radicale.h"

#include "data/ContactStore.h"
#include "data/SyncStore.h"
#include "support/ContactFolder.h"
#include "sync/SyncEngine.h"

#include <QSignalSpy>
#include <QTest>

#include <memory>

using carddav::SyncEngine;
using carddav::SyncSummary;

namespace {

// One device: a data folder whose Default book is linked to the address book.
struct Device {
    ContactFolder folder;
    ContactStore store{folder.connectionString()};
    SyncEngine engine{folder.connectionString()};

    Device(const QUrl& addressBook, const QString& user, const QString& password) {
        store.setCurrentBook(QStringLiteral("Default"));
        SyncStore(folder.connectionString())
            .link(QStringLiteral("Default"), addressBook.toString(), user);
        engine.setPasswordSource([password](const SyncAccount&) { return password; });
        engine.setTimeout(20000);
    }

    SyncSummary sync() {
        SyncSummary last;
        QObject::connect(&engine, &SyncEngine::bookFinished, &engine,
                         [&last](const SyncSummary& s) { last = s; });
        QSignalSpy done(&engine, &SyncEngine::finished);
        engine.start();
        if (!done.wait(120000))
            last.message = QStringLiteral("no end");
        QObject::disconnect(&engine, &SyncEngine::bookFinished, &engine, nullptr);
        return last;
    }

    QList<Contact> contacts() {
        QList<Contact> all = SyncStore(folder.connectionString()).contacts(1);
        for (Contact& c : all)
            c.id = 0;
        std::sort(all.begin(), all.end(), [](const Contact& a, const Contact& b) {
            return a.lastName + a.comments < b.lastName + b.comments;
        });
        return all;
    }
    qint64 idOf(const QString& lastName) {
        for (const Contact& c : SyncStore(folder.connectionString()).contacts(1))
            if (c.lastName == lastName)
                return c.id;
        return 0;
    }
    void edit(const QString& lastName, const std::function<void(Contact&)>& change) {
        const Contact before = *store.contact(idOf(lastName));
        Contact after = before;
        change(after);
        QCOMPARE(store.update(after, before), ContactStore::UpdateResult::Saved);
    }
};

Contact person(const QString& first, const QString& last) {
    Contact c;
    c.firstName = first;
    c.lastName = last;
    return c;
}

#define SYNCED(device)                                                                             \
    do {                                                                                           \
        const SyncSummary s = (device).sync();                                                     \
        QVERIFY2(s.ok, qPrintable(s.text()));                                                      \
    } while (false)

} // namespace

class TwoDevicesTest : public QObject {
    Q_OBJECT
    Radicale server;
    int books = 0;

    QUrl newAddressBook() { return server.makeAddressBook(QStringLiteral("book%1").arg(++books)); }
    std::unique_ptr<Device> device(const QUrl& url) {
        return std::make_unique<Device>(url, server.user(), server.password());
    }

private slots:
    void initTestCase() { QVERIFY2(server.start(), qPrintable(server.error())); }

    void addEditAndDeleteTravelBetweenDevices() {
        const QUrl url = newAddressBook();
        auto a = device(url);
        auto b = device(url);
        QVERIFY(a->store.insert(person(QStringLiteral("Ann"), QStringLiteral("Archer"))));
        SYNCED(*a);
        SYNCED(*b);
        QCOMPARE(b->contacts(), a->contacts());
        QCOMPARE(b->contacts().size(), 1);

        b->edit(QStringLiteral("Archer"),
                [](Contact& c) { c.cellPhone = QStringLiteral("555 12"); });
        SYNCED(*b);
        SYNCED(*a);
        QCOMPARE(a->contacts().first().cellPhone, QStringLiteral("555 12"));

        a->store.remove(a->idOf(QStringLiteral("Archer")));
        SYNCED(*a);
        SYNCED(*b);
        QVERIFY(b->contacts().isEmpty());
        // Nothing more to do on either side.
        const SyncSummary again = a->sync();
        QVERIFY(again.ok);
        QCOMPARE(again.received + again.sent + again.removedHere + again.removedThere, 0);
    }

    void aNonAsciiMultiLineContactArrivesUnchanged() {
        const QUrl url = newAddressBook();
        auto a = device(url);
        auto b = device(url);
        Contact c = person(QStringLiteral("Zoë"), QStringLiteral("Ærøskøbing-Łódź 李"));
        c.middleName = QStringLiteral("Ñ");
        c.address = QStringLiteral("Straße 1; Hof\r\nHinterhaus, 2. Stock");
        c.city = QStringLiteral("Kraków");
        c.email = QStringLiteral("zoë@example.org");
        c.comments = QStringLiteral("Line one\r\nback\\slash, comma; semicolon\r\n\r\n🙂 end");
        c.guardian = QStringLiteral("Γιάννης");
        c.type = ContactType::Business;
        QVERIFY(a->store.insert(c));
        SYNCED(*a);
        SYNCED(*b);
        QCOMPARE(b->contacts(), a->contacts());
    }

    void unshownPropertiesSurviveAnEdit() {
        const QUrl url = newAddressBook();
        const QByteArray card =
            "BEGIN:VCARD\r\nVERSION:3.0\r\nUID:photo-card-1\r\nFN:Bea Brown\r\n"
            "N:Brown;Bea;;;\r\nPHOTO;ENCODING=b;TYPE=PNG:iVBORw0KGgoAAAANSUhEUgAAAAEAAAABCAYAAA"
            "AfFcSJAAAADUlEQVR4nGNgYGBgAAAABQABpfZFQAAAAABJRU5ErkJggg==\r\n"
            "BDAY:1980-04-01\r\nEMAIL;TYPE=INTERNET,HOME:bea@home.example\r\n"
            "EMAIL;TYPE=INTERNET,WORK:bea@work.example\r\nORG:Brown & Sons;Sales\r\n"
            "TEL;TYPE=CELL:111\r\nEND:VCARD\r\n";
        const QUrl cardUrl = url.resolved(QUrl(QStringLiteral("photo-card-1.vcf")));
        QVERIFY(server.request("PUT", cardUrl, card, {{"Content-Type", "text/vcard"}}).ok());
        auto a = device(url);
        SYNCED(*a);
        a->edit(QStringLiteral("Brown"), [](Contact& c) {
            c.cellPhone = QStringLiteral("222");
            c.lastName = QStringLiteral("Black");
        });
        SYNCED(*a);
        const QByteArray stored = server.request("GET", cardUrl).body;
        for (const char* kept : {"PHOTO", "iVBORw0KGgo", "BDAY:1980-04-01", "bea@home.example",
                                 "bea@work.example", "ORG:Brown & Sons;Sales", "UID:photo-card-1"})
            QVERIFY2(stored.contains(kept), kept);
        QVERIFY(stored.contains("N:Black;Bea;;;"));
        QVERIFY(stored.contains("FN:Bea Black"));
        QVERIFY(stored.contains(":222"));
        QVERIFY(!stored.contains(":111"));
    }

    void bothSidesChangedGivesTheServersVersionAndACopy() {
        const QUrl url = newAddressBook();
        auto a = device(url);
        auto b = device(url);
        QVERIFY(a->store.insert(person(QStringLiteral("Cy"), QStringLiteral("Clark"))));
        SYNCED(*a);
        SYNCED(*b);
        a->edit(QStringLiteral("Clark"),
                [](Contact& c) { c.homePhone = QStringLiteral("from A"); });
        b->edit(QStringLiteral("Clark"),
                [](Contact& c) { c.homePhone = QStringLiteral("from B"); });
        SYNCED(*b);
        const SyncSummary s = a->sync();
        QVERIFY2(s.ok, qPrintable(s.text()));
        QCOMPARE(s.conflicts, 1);
        const QList<Contact> contacts = a->contacts();
        QCOMPARE(contacts.size(), 2);
        QCOMPARE(contacts[0].homePhone, QStringLiteral("from B"));
        QCOMPARE(contacts[1].homePhone, QStringLiteral("from A"));
        QVERIFY(contacts[1].comments.startsWith(QStringLiteral("Conflict copy, ")));
        // The copy goes to the server as a contact of its own.
        SYNCED(*b);
        QCOMPARE(b->contacts(), contacts);
    }

    void deletedOnOneSideChangedOnTheOtherComesBack() {
        const QUrl url = newAddressBook();
        auto a = device(url);
        auto b = device(url);
        QVERIFY(a->store.insert(person(QStringLiteral("Di"), QStringLiteral("Dale"))));
        QVERIFY(a->store.insert(person(QStringLiteral("Ed"), QStringLiteral("Eel"))));
        SYNCED(*a);
        SYNCED(*b);
        // Deleted in A, changed in B.
        a->store.remove(a->idOf(QStringLiteral("Dale")));
        b->edit(QStringLiteral("Dale"), [](Contact& c) { c.city = QStringLiteral("Dover"); });
        // Changed in A, deleted in B.
        a->edit(QStringLiteral("Eel"), [](Contact& c) { c.city = QStringLiteral("Ely"); });
        b->store.remove(b->idOf(QStringLiteral("Eel")));
        SYNCED(*b);
        SYNCED(*a);
        SYNCED(*b);
        const QList<Contact> contacts = a->contacts();
        QCOMPARE(contacts.size(), 2);
        QCOMPARE(contacts[0].city, QStringLiteral("Dover"));
        QCOMPARE(contacts[1].city, QStringLiteral("Ely"));
        QCOMPARE(b->contacts(), contacts);
    }

    void aWrongPasswordSaysSoAndChangesNothing() {
        const QUrl url = newAddressBook();
        Device a(url, server.user(), QStringLiteral("wrong"));
        QVERIFY(a.store.insert(person(QStringLiteral("Flo"), QStringLiteral("Fox"))));
        const QList<Contact> before = a.contacts();
        const SyncSummary s = a.sync();
        QVERIFY(!s.ok);
        QVERIFY2(s.message.contains(QStringLiteral("refused the user name or password")),
                 qPrintable(s.message));
        QCOMPARE(a.contacts(), before);
        QCOMPARE(
            SyncStore(a.folder.connectionString()).account(QStringLiteral("Default"))->lastError,
            s.message);
    }

    // Last: it stops and restarts the server.
    void theServerGoingAwayMidSyncLosesNothing() {
        const QUrl url = newAddressBook();
        auto b = device(url);
        for (int i = 0; i < 40; ++i)
            QVERIFY(
                b->store.insert(person(QStringLiteral("N%1").arg(i),
                                       QStringLiteral("Many%1").arg(i, 2, 10, QLatin1Char('0')))));
        SYNCED(*b);
        auto a = device(url);
        QVERIFY(a->store.insert(person(QStringLiteral("Own"), QStringLiteral("Only in A"))));
        const QList<Contact> before = a->contacts();
        a->engine.setBatchSize(5);
        bool stopped = false;
        QObject::connect(&a->engine, &SyncEngine::progress, &a->engine,
                         [&](const QString& message) {
                             if (!stopped && message.contains(QStringLiteral("cards 11 to"))) {
                                 stopped = true;
                                 server.stop();
                             }
                         });
        const SyncSummary failed = a->sync();
        QVERIFY(stopped);
        QVERIFY(!failed.ok);
        QVERIFY2(failed.message.contains(QStringLiteral("cannot be reached")),
                 qPrintable(failed.message));
        // What was there is there, unchanged; what came is whole.
        const QList<Contact> partial = a->contacts();
        for (const Contact& c : before)
            QVERIFY(partial.contains(c));
        QCOMPARE(partial.size(), before.size() + 10);

        QVERIFY2(server.start(), qPrintable(server.error()));
        SYNCED(*a);
        QCOMPARE(a->contacts().size(), 41);
        SYNCED(*b);
        QCOMPARE(b->contacts(), a->contacts());
    }
};
QTEST_MAIN(TwoDevicesTest)

#include "TwoDevicesTest.moc"
