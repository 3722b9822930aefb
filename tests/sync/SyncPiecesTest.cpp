// The parts of syncing that need no real server: the bookkeeping, the
// passwords, the card update, and the answers of a server gone wrong.
#include "data/ContactStore.h"
#include "data/SyncStore.h"
#include "support/ContactFolder.h"
#include "sync/SyncEngine.h"
#include "vcard/CardUpdate.h"
#include "vcard/ContactFileReader.h"

#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>

namespace {

// Answers every request on 127.0.0.1 with one fixed response (or never).
class FakeServer : public QTcpServer {
public:
    QByteArray response; // empty: accept and stay silent
    FakeServer() {
        listen(QHostAddress::LocalHost, 0);
        connect(this, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket* socket = nextPendingConnection()) {
                connect(socket, &QTcpSocket::readyRead, socket, [this, socket] {
                    socket->readAll();
                    if (!response.isEmpty()) {
                        socket->write(response);
                        socket->disconnectFromHost();
                    }
                });
            }
        });
    }
    QString url() const { return u"http://127.0.0.1:%1/anna/book/"_s.arg(serverPort()); }
};

QByteArray answer(const QByteArray& statusLine, const QByteArray& body,
                  const QByteArray& extraHeaders = {}) {
    return "HTTP/1.1 " + statusLine + "\r\nContent-Type: application/xml\r\nContent-Length: " +
           QByteArray::number(body.size()) + "\r\nConnection: close\r\n" + extraHeaders + "\r\n" +
           body;
}

const QByteArray sampleCard = "BEGIN:VCARD\r\nVERSION:3.0\r\nUID:u1\r\nFN:Ann Archer\r\n"
                              "N:Archer;Ann;;Dr.;\r\nX-OTHER-APP;X-P=1:kept as it is\r\n"
                              "TEL;TYPE=CELL:111\r\nTEL;TYPE=FAX:999\r\nNOTE:First note\r\n"
                              "TITLE:Boss\r\nCATEGORIES:Friends,Personal\r\nEND:VCARD\r\n";

} // namespace

class SyncPiecesTest : public QObject {
    Q_OBJECT
private slots:
    void deletingClearsSyncRowsAndLeavesTheOtherBooks() {
        ContactFolder folder;
        const qint64 ann = folder.addContact({.firstName = u"Ann"_s});
        const qint64 bob = folder.addContact({.firstName = u"Bob"_s});
        SyncStore sync(folder.connectionString());
        QVERIFY(!sync.hasTables());
        QVERIFY(sync.link(u"Default"_s, u"http://127.0.0.1:1/b/"_s, u"u"_s));
        QVERIFY(sync.hasTables());
        const qint64 account = sync.account(u"Default"_s)->id;
        sync.inBatch([&](SyncStore::Batch& batch) {
            batch.insertItem(account, {0, ann, u"/b/ann.vcf"_s, u"\"1\""_s, "card", u"d"_s});
            batch.insertItem(account, {0, bob, u"/b/bob.vcf"_s, u"\"2\""_s, "card", u"d"_s});
        });
        QVERIFY(!sync.link(u"No such book"_s, u"http://h/b/"_s, u"u"_s));
        ContactStore store(folder.connectionString());
        store.remove(ann);
        // The item stays without its contact, for the next sync to delete there.
        QCOMPARE(folder.rows(u"select Href, fkContactDetailsId is null from "
                             "tblSyncItem order by Href"_s),
                 (QStringList{u"/b/ann.vcf|1"_s, u"/b/bob.vcf|0"_s}));
        // Linked again elsewhere: the items of the old address book go.
        QVERIFY(sync.link(u"Default"_s, u"http://h/c/"_s, u"v"_s));
        QCOMPARE(sync.account(u"Default"_s)->url, u"http://h/c/"_s);
        QCOMPARE(sync.account(u"Default"_s)->user, u"v"_s);
        QCOMPARE(folder.count(u"tblSyncItem"_s), 0);
        store.removeBook(u"Default"_s);
        QCOMPARE(folder.count(u"tblSyncItem"_s), 0);
        QCOMPARE(folder.count(u"tblSyncAccount"_s), 0);
    }

    void anUpdateChangesOnlyTheChangedProperties_data() {
        QTest::addColumn<QString>("column");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QStringList>("present");
        QTest::addColumn<QStringList>("absent");
        QTest::newRow("phone") << "cellPhone"
                               << "222" << QStringList{"TEL;TYPE=CELL:222"} << QStringList{"111"};
        QTest::newRow("blank phone") << "cellPhone"
                                     << "" << QStringList{} << QStringList{"111"};
        QTest::newRow("name keeps the prefix")
            << "lastName"
            << "Baker" << QStringList{"N:Baker;Ann;;Dr.;", "FN:Ann Baker"} << QStringList{"Archer"};
        QTest::newRow("comments keep the other properties out of NOTE")
            << "comments"
            << "New note" << QStringList{"NOTE:New note\r\n", "TITLE:Boss"}
            << QStringList{"First note"};
        QTest::newRow("type keeps other categories")
            << "type"
            << "Business" << QStringList{"CATEGORIES:Friends,Business"} << QStringList{"Personal"};
        QTest::newRow("a new e-mail")
            << "email"
            << "a@b.example" << QStringList{"EMAIL;TYPE=INTERNET:a@b.example"} << QStringList{};
    }
    void anUpdateChangesOnlyTheChangedProperties() {
        QFETCH(QString, column);
        QFETCH(QString, value);
        QFETCH(QStringList, present);
        QFETCH(QStringList, absent);
        Contact c = vcard::readContacts(sampleCard).contacts.first().contact;
        if (column == QLatin1String("cellPhone"))
            c.cellPhone = value;
        else if (column == QLatin1String("lastName"))
            c.lastName = value;
        else if (column == QLatin1String("comments")) // the note line edited, the rest as read
            c.comments.replace(u"First note"_s, value);
        else if (column == QLatin1String("email"))
            c.email = value;
        else
            c.type = ContactType::Business;
        const QByteArray updated = vcard::updateCard(sampleCard, c);
        for (const QString& text : present)
            QVERIFY2(updated.contains(text.toUtf8()), qPrintable(QString::fromUtf8(updated)));
        for (const QString& text : absent)
            QVERIFY2(!updated.contains(text.toUtf8()), qPrintable(QString::fromUtf8(updated)));
        // Every line of the card that no column holds comes back byte for byte.
        for (const char* kept : {"UID:u1\r\n", "X-OTHER-APP;X-P=1:kept as it is\r\n",
                                 "TEL;TYPE=FAX:999\r\n", "TITLE:Boss\r\n"})
            QVERIFY(updated.contains(kept));
        QCOMPARE(vcard::readContacts(updated).contacts.first().contact, c);
        QCOMPARE(
            vcard::updateCard(sampleCard, vcard::readContacts(sampleCard).contacts.first().contact),
            sampleCard);
    }

    void aServerGoneWrongStopsWithItsMessage_data() {
        QTest::addColumn<QByteArray>("response");
        QTest::addColumn<QString>("message");
        QTest::newRow("malformed XML")
            << answer("207 Multi-Status", "<d:multistatus xmlns:d=\"DAV:\"><d:response>")
            << "malformed XML";
        QTest::newRow("redirect loop")
            << answer("301 Moved", {}, "Location: /anna/book/\r\n") << "keeps redirecting";
        QTest::newRow("forbidden") << answer("403 Forbidden", {}) << "does not allow";
        QTest::newRow("not found") << answer("404 Not Found", {}) << "There is no address book";
        QTest::newRow("server error") << answer("503 Unavailable", {}) << "has a problem";
        QTest::newRow("time-out") << QByteArray() << "did not answer in time";
    }
    void aServerGoneWrongStopsWithItsMessage() {
        QFETCH(QByteArray, response);
        QFETCH(QString, message);
        FakeServer server;
        server.response = response;
        ContactFolder folder;
        folder.addContact({.firstName = u"Ann"_s});
        const QStringList before = folder.rows(u"select * from tblContactDetails"_s);
        SyncStore(folder.connectionString()).link(u"Default"_s, server.url(), u"anna"_s);
        carddav::SyncEngine engine(folder.connectionString());
        engine.setPasswordSource([](const SyncAccount&) { return u"pw"_s; });
        engine.setTimeout(500);
        carddav::SyncSummary summary;
        connect(&engine, &carddav::SyncEngine::bookFinished, this,
                [&](const carddav::SyncSummary& s) { summary = s; });
        QSignalSpy finished(&engine, &carddav::SyncEngine::finished);
        engine.start();
        QVERIFY(finished.wait(20000));
        QVERIFY(!summary.ok);
        QVERIFY2(summary.message.contains(message), qPrintable(summary.message));
        QCOMPARE(folder.rows(u"select * from tblContactDetails"_s), before);
        QCOMPARE(folder.count(u"tblSyncItem"_s), 0);
    }
};
QTEST_MAIN(SyncPiecesTest)

#include "SyncPiecesTest.moc"
