#include "SyncBench.h"

#include "Stopwatch.h"
#include "sync/DavServer.h"

#include "app/Startup.h"
#include "data/ConnectionString.h"
#include "data/ContactStore.h"
#include "data/SyncStore.h"
#include "sync/SyncEngine.h"

#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QHash>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTemporaryDir>

#include <cstdio>
#include <iterator>
#include <memory>

namespace {

const char* const firstNames[] = {"Anna",  "Björn", "Chloé", "David", "Élise", "Farid",
                                  "Greta", "Hiro",  "Ines",  "Jonas", "Kasia", "Luis",
                                  "Maja",  "Nils",  "Olga",  "Pavel", "Rosa",  "Sven"};
const char* const lastNames[] = {"Andersson", "Brandt",    "Çelik",  "Dubois",   "Eriksen",
                                 "Fischer",   "García",    "Hansen", "Ivanova",  "Jensen",
                                 "Kowalski",  "Lindqvist", "Müller", "Nakamura", "Olsen",
                                 "Petrov",    "Quist",     "Rossi",  "Schmidt",  "Østergaard"};

QString hrefName(int i) {
    return QStringLiteral("card-%1.vcf").arg(i, 5, 10, QLatin1Char('0'));
}

// A card like the ones address books hold: names, two numbers, a mail
// address, a postal address and a note; `revision` changes the note.
QByteArray card(int i, int revision = 0) {
    const QByteArray first = firstNames[i % std::size(firstNames)];
    const QByteArray last =
        QByteArray(lastNames[(i / 7) % std::size(lastNames)]) + QByteArray::number(i);
    QByteArray text = "BEGIN:VCARD\r\nVERSION:3.0\r\nUID:bench-" + QByteArray::number(i) +
                      "\r\nN:" + last + ";" + first + ";;;\r\nFN:" + first + " " + last +
                      "\r\nTEL;TYPE=HOME:+46 8 555 " + QByteArray::number(10000 + i) +
                      "\r\nTEL;TYPE=CELL:+46 70 555 " + QByteArray::number(20000 + i) +
                      "\r\nEMAIL;TYPE=INTERNET:" + first.toLower() + "." + QByteArray::number(i) +
                      "@example.org" + "\r\nADR;TYPE=HOME:;;Storgatan " +
                      QByteArray::number(i % 120 + 1) + "\\nLägenhet 3;Uppsala;;752 " +
                      QByteArray::number(10 + i % 89) +
                      ";Sverige\r\nNOTE:Met at the spring fair\\, talked about the garden "
                      "project and the shared car. Revision " +
                      QByteArray::number(revision) + "\r\nEND:VCARD\r\n";
    return text;
}

QByteArray multigetBody(const QStringList& hrefs) {
    QByteArray body = "<?xml version=\"1.0\" encoding=\"utf-8\"?>"
                      "<c:addressbook-multiget xmlns:d=\"DAV:\" "
                      "xmlns:c=\"urn:ietf:params:xml:ns:carddav\">"
                      "<d:prop><d:getetag/><c:address-data/></d:prop>";
    for (const QString& href : hrefs)
        body += "<d:href>" + href.toUtf8() + "</d:href>";
    return body + "</c:addressbook-multiget>";
}

const QByteArray tokenOnly = "<?xml version=\"1.0\" encoding=\"utf-8\"?><d:propfind "
                             "xmlns:d=\"DAV:\"><d:prop><d:sync-token/></d:prop></d:propfind>";

// One REPORT (or another method) over a plain network access manager, the
// whole answer read.
QByteArray davReport(QNetworkAccessManager& network, const QUrl& collection, const QByteArray& auth,
                     const QByteArray& body, const QByteArray& method = "REPORT",
                     const QByteArray& depth = "1") {
    QNetworkRequest request(collection);
    request.setRawHeader("Authorization", auth);
    request.setRawHeader("Depth", depth);
    request.setHeader(QNetworkRequest::ContentTypeHeader, "application/xml; charset=utf-8");
    QNetworkReply* reply = network.sendCustomRequest(request, method, body);
    QEventLoop loop;
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    loop.exec();
    const QByteArray answer = reply->readAll();
    reply->deleteLater();
    return answer;
}

// The yardstick: one addressbook-multiget; the number of cards in the answer.
int multiget(QNetworkAccessManager& network, const QUrl& collection, const QByteArray& auth,
             const QByteArray& body) {
    return int(davReport(network, collection, auth, body).count("END:VCARD"));
}

QByteArray syncCollectionBody(const QString& token, bool withData = false) {
    return "<?xml version=\"1.0\" encoding=\"utf-8\"?>"
           "<d:sync-collection xmlns:d=\"DAV:\" xmlns:c=\"urn:ietf:params:xml:ns:carddav\">"
           "<d:sync-token>" +
           token.toUtf8() + "</d:sync-token><d:sync-level>1</d:sync-level><d:prop><d:getetag/>" +
           (withData ? "<c:address-data/>" : "") + "</d:prop></d:sync-collection>";
}

struct Device {
    QTemporaryDir folder;
    QString connection;
    qint64 bookId = 0;
    bool synced = false;
};

// A new data folder whose Default book is linked to the address book.
std::unique_ptr<Device> linkedDevice(const QUrl& collection, const QString& user) {
    auto device = std::make_unique<Device>();
    prepareDataFolderWithoutWindow(device->folder.path());
    device->connection = connectionStringFor(device->folder.path());
    SyncStore store(device->connection);
    store.link(QStringLiteral("Default"), collection.toString(), user);
    device->bookId = store.account(QStringLiteral("Default"))->bookId;
    return device;
}

carddav::SyncSummary sync(Device& device, const QString& password) {
    device.synced = true;
    carddav::SyncEngine engine(device.connection);
    engine.setPasswordSource([&](const SyncAccount&) { return password; });
    carddav::SyncSummary last;
    QObject::connect(&engine, &carddav::SyncEngine::bookFinished,
                     [&](const carddav::SyncSummary& s) { last = s; });
    QEventLoop loop;
    QObject::connect(&engine, &carddav::SyncEngine::finished, &loop, &QEventLoop::quit);
    engine.start();
    loop.exec();
    if (!last.ok)
        std::fprintf(stderr, "  sync failed: %s\n", qPrintable(last.text()));
    return last;
}

} // namespace

bool benchSync(DavServer& server, int size, int pairs, const PairedRow& report, FILE* notes,
               const std::function<bool(const QString& operation)>& wanted) {
    auto noRows = [&] {
        std::fprintf(notes, "  no sync rows on %s: %s\n", qPrintable(server.name()),
                     qPrintable(server.error()));
        return false;
    };
    if (!server.start())
        return noRows();
    auto operation = [&](const char* what) {
        return QStringLiteral("sync on %1: %2").arg(server.name(), QLatin1String(what));
    };
    const QUrl collection = server.makeAddressBook(QStringLiteral("bench"));
    QList<std::pair<QString, QByteArray>> cards;
    QStringList hrefs;
    for (int i = 0; i < size; ++i) {
        cards.append({hrefName(i), card(i)});
        hrefs << collection.path() + hrefName(i);
    }
    if (!server.placeCards(QStringLiteral("bench"), cards))
        return noRows();

    QNetworkAccessManager network;
    const QByteArray auth =
        "Basic " + (server.user() + u':' + server.password()).toUtf8().toBase64();
    const QByteArray all = multigetBody(hrefs);
    const QByteArray query = "<?xml version=\"1.0\" encoding=\"utf-8\"?><c:addressbook-query "
                             "xmlns:d=\"DAV:\" xmlns:c=\"urn:ietf:params:xml:ns:carddav\"><d:prop>"
                             "<d:getetag/><c:address-data/></d:prop></c:addressbook-query>";
    // The first request parses every card and fills the server's cache. (A
    // query, not a multiget: Xandikos answers a multiget of N cards in time
    // growing with N squared, 15 s for 1,000 cards.)
    const int served = int(davReport(network, collection, auth, query).count("END:VCARD"));
    if (served != size)
        std::fprintf(notes, "  the server gave %d of %d cards\n", served, size);
    // The first question for a sync token may make the server record the
    // state of every card (Radicale writes a file per card, each synced to
    // disk), which otherwise falls on the first sync.
    davReport(network, collection, auth, tokenOnly, "PROPFIND", "0");

    // Each first sync gets a new linked book, made outside the time.
    std::unique_ptr<Device> device;
    auto newDeviceIfSynced = [&] {
        if (!device || device->synced)
            device = linkedDevice(collection, server.user());
    };
    if (wanted(operation("first, into an empty book")))
        report(operation("first, into an empty book"), size,
               pairedRuns(
                   pairs, [&] { sync(*device, server.password()); },
                   [&] { multiget(network, collection, auth, all); }, newDeviceIfSynced),
               "multiget");
    if (!device)
        device = linkedDevice(collection, server.user());
    if (!device->synced)
        sync(*device, server.password());
    const qsizetype received = SyncStore(device->connection).contacts(device->bookId).size();
    if (received != size)
        std::fprintf(notes, "  the first sync stored %lld of %d contacts\n", qlonglong(received),
                     size);

    // One card changed on the server with a PUT before each run.
    int revision = 0;
    const QUrl changed = collection.resolved(QUrl(hrefName(size / 2)));
    const QByteArray one = multigetBody({changed.path()});
    if (wanted(operation("one card changed on server")))
        report(operation("one card changed on server"), size,
               pairedRuns(
                   pairs, [&] { sync(*device, server.password()); },
                   [&] { multiget(network, collection, auth, one); },
                   [&] {
                       server.request("PUT", changed, card(size / 2, ++revision),
                                      {{"Content-Type", "text/vcard; charset=utf-8"}});
                   }),
               "multiget");

    // Nothing changed: the sync beside its own listing request, the
    // sync-collection REPORT with the token the sync holds.
    sync(*device, server.password());
    const QString token =
        SyncStore(device->connection).account(QStringLiteral("Default"))->syncToken;
    const QByteArray withToken = syncCollectionBody(token);
    if (wanted(operation("nothing changed")))
        report(operation("nothing changed"), size,
               pairedRuns(
                   pairs, [&] { sync(*device, server.password()); },
                   [&] { davReport(network, collection, auth, withToken); }),
               "sync-collection");

    // Where else the time goes: the comparison of every contact with its
    // item here, and the requests of a first sync.
    const SyncStore store(device->connection);
    const qint64 accountId = store.account(QStringLiteral("Default"))->id;
    std::fprintf(notes, "  of which reading %d items and contacts and their digests: %.2f ms\n",
                 size, medianMs(pairs, [&] {
                     QHash<qint64, QString> digests;
                     for (const SyncItem& item : store.items(accountId))
                         digests.insert(item.contactId, item.syncedDigest);
                     int differ = 0;
                     ContactStore book(device->connection);
                     book.setCurrentBook(QStringLiteral("Default"));
                     book.readContacts({}, [&](const ContactUtf8& contact) {
                         differ += digests.value(contact.id) != carddav::contactDigest(contact);
                         return true;
                     });
                     if (differ != 0)
                         std::fprintf(notes, "  %d contacts differ from their items\n", differ);
                 }));
    std::fprintf(
        notes,
        "  a first sync's requests: the sync-token PROPFIND %.2f ms, the "
        "addressbook-query of all %d cards %.2f ms; a sync-collection of every card with "
        "its text %.2f ms\n",
        medianMs(pairs, [&] { davReport(network, collection, auth, tokenOnly, "PROPFIND", "0"); }),
        size, medianMs(pairs, [&] { davReport(network, collection, auth, query); }),
        medianMs(pairs,
                 [&] { davReport(network, collection, auth, syncCollectionBody({}, true)); }));
    server.stop();
    return true;
}
