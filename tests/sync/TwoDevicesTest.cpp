// Two data folders linked to one address book of a real server.
#include "Radicale.h"

#include "data/ContactStore.h"
#include "data/SyncStore.h"
#include "support/ContactFolder.h"
#include "sync/SyncEngine.h"

#include <QSignalSpy>

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
        store.setCurrentBook(u"Default"_s);
        SyncStore(folder.connectionString()).link(u"Default"_s, addressBook.toString(), user);
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
            last.message = u"no end"_s;
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

    QUrl newAddressBook() { return server.makeAddressBook(u"book%1"_s.arg(++books)); }
    std::unique_ptr<Device> device(const QUrl& url) {
        return std::make_unique<Device>(url, server.user(), server.password());
    }

private slots:
    void initTestCase() { QVERIFY2(server.start(), qPrintable(server.error())); }

    // A contact of letters beyond ASCII and several lines goes over unchanged.
    void addEditAndDeleteTravelBetweenDevices() {
        const QUrl url = newAddressBook();
        auto a = device(url);
        auto b = device(url);
        QVERIFY(a->store.insert(
            {.firstName = u"Zoë"_s,
             .middleName = u"Ñ"_s,
             .lastName = u"Ærøskøbing-Łódź 李"_s,
             .address = u"Straße 1; Hof\r\nHinterhaus, 2. Stock"_s,
             .city = u"Kraków"_s,
             .email = u"zoë@example.org"_s,
             .guardian = u"Γιάννης"_s,
             .comments = u"Line one\r\nback\\slash, comma; semicolon\r\n\r\n🙂 end"_s,
             .type = ContactType::Business}));
        SYNCED(*a);
        SYNCED(*b);
        QCOMPARE(b->contacts(), a->contacts());
        QCOMPARE(b->contacts().size(), 1);

        b->edit(u"Ærøskøbing-Łódź 李"_s, [](Contact& c) { c.cellPhone = u"555 12"_s; });
        SYNCED(*b);
        SYNCED(*a);
        QCOMPARE(a->contacts().first().cellPhone, u"555 12"_s);

        a->store.remove(a->idOf(u"Ærøskøbing-Łódź 李"_s));
        SYNCED(*a);
        SYNCED(*b);
        QVERIFY(b->contacts().isEmpty());
        // Nothing more to do on either side.
        const SyncSummary again = a->sync();
        QVERIFY(again.ok);
        QCOMPARE(again.received + again.sent + again.removedHere + again.removedThere, 0);
        // The server's sync token is kept for the next, incremental sync.
        QVERIFY(
            !SyncStore(a->folder.connectionString()).account(u"Default"_s)->syncToken.isEmpty());
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
        const QUrl cardUrl = url.resolved(QUrl(u"photo-card-1.vcf"_s));
        QVERIFY(server.request("PUT", cardUrl, card, {{"Content-Type", "text/vcard"}}).ok());
        auto a = device(url);
        SYNCED(*a);
        a->edit(u"Brown"_s, [](Contact& c) {
            c.cellPhone = u"222"_s;
            c.lastName = u"Black"_s;
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
        QVERIFY(a->store.insert(Contact{.firstName = u"Cy"_s, .lastName = u"Clark"_s}));
        SYNCED(*a);
        SYNCED(*b);
        a->edit(u"Clark"_s, [](Contact& c) { c.homePhone = u"from A"_s; });
        b->edit(u"Clark"_s, [](Contact& c) { c.homePhone = u"from B"_s; });
        SYNCED(*b);
        const SyncSummary s = a->sync();
        QVERIFY2(s.ok, qPrintable(s.text()));
        QCOMPARE(s.conflicts, 1);
        const QList<Contact> contacts = a->contacts();
        QCOMPARE(contacts.size(), 2);
        QCOMPARE(contacts[0].homePhone, u"from B"_s);
        QCOMPARE(contacts[1].homePhone, u"from A"_s);
        QVERIFY(contacts[1].comments.startsWith(u"Conflict copy, "_s));
        // The copy goes to the server as a contact of its own.
        SYNCED(*b);
        QCOMPARE(b->contacts(), contacts);
    }

    void deletedOnOneSideChangedOnTheOtherComesBack() {
        const QUrl url = newAddressBook();
        auto a = device(url);
        auto b = device(url);
        QVERIFY(a->store.insert(Contact{.firstName = u"Di"_s, .lastName = u"Dale"_s}));
        QVERIFY(a->store.insert(Contact{.firstName = u"Ed"_s, .lastName = u"Eel"_s}));
        SYNCED(*a);
        SYNCED(*b);
        // Deleted in A, changed in B.
        a->store.remove(a->idOf(u"Dale"_s));
        b->edit(u"Dale"_s, [](Contact& c) { c.city = u"Dover"_s; });
        // Changed in A, deleted in B.
        a->edit(u"Eel"_s, [](Contact& c) { c.city = u"Ely"_s; });
        b->store.remove(b->idOf(u"Eel"_s));
        SYNCED(*b);
        SYNCED(*a);
        SYNCED(*b);
        const QList<Contact> contacts = a->contacts();
        QCOMPARE(contacts.size(), 2);
        QCOMPARE(contacts[0].city, u"Dover"_s);
        QCOMPARE(contacts[1].city, u"Ely"_s);
        QCOMPARE(b->contacts(), contacts);
    }

    void aWrongPasswordSaysSoAndChangesNothing() {
        const QUrl url = newAddressBook();
        Device a(url, server.user(), u"wrong"_s);
        QVERIFY(a.store.insert(Contact{.firstName = u"Flo"_s, .lastName = u"Fox"_s}));
        const QList<Contact> before = a.contacts();
        const SyncSummary s = a.sync();
        QVERIFY(!s.ok);
        QVERIFY2(s.message.contains(u"refused the user name or password"_s), qPrintable(s.message));
        QCOMPARE(a.contacts(), before);
        QCOMPARE(SyncStore(a.folder.connectionString()).account(u"Default"_s)->lastError,
                 s.message);
    }

    // Last: it stops and restarts the server.
    void theServerGoingAwayMidSyncLosesNothing() {
        const QUrl url = newAddressBook();
        auto b = device(url);
        for (int i = 0; i < 40; ++i)
            QVERIFY(
                b->store.insert(Contact{.firstName = u"N%1"_s.arg(i),
                                        .lastName = u"Many%1"_s.arg(i, 2, 10, QLatin1Char('0'))}));
        SYNCED(*b);
        auto a = device(url);
        QVERIFY(a->store.insert(Contact{.firstName = u"Own"_s, .lastName = u"Only in A"_s}));
        const QList<Contact> before = a->contacts();
        a->engine.setBatchSize(5);
        bool stopped = false;
        QObject::connect(&a->engine, &SyncEngine::progress, &a->engine,
                         [&](const QString& message) {
                             if (!stopped && message.contains(u"cards 11 to"_s)) {
                                 stopped = true;
                                 server.stop();
                             }
                         });
        const SyncSummary failed = a->sync();
        QVERIFY(stopped);
        QVERIFY(!failed.ok);
        QVERIFY2(failed.message.contains(u"cannot be reached"_s), qPrintable(failed.message));
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
