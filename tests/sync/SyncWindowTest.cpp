// Linking and syncing from the main window, against a real server.
#include "Radicale.h"

#include "data/SyncStore.h"
#include "support/KeyringDouble.h"
#include "support/MainWindowFixture.h"
#include "sync/Discovery.h"
#include "sync/Passwords.h"
#include "sync/SyncEngine.h"
#include "sync/SyncSettingsDialog.h"

#include <QInputDialog>
#include <QMenu>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTimer>

using carddav::SyncSettingsDialog;

namespace {

constexpr int serverWait = 30000;

QByteArray card(const QByteArray& uid, const QByteArray& first, const QByteArray& last) {
    return "BEGIN:VCARD\r\nVERSION:3.0\r\nUID:" + uid + "\r\nFN:" + first + ' ' + last +
           "\r\nN:" + last + ';' + first + ";;;\r\nEND:VCARD\r\n";
}

} // namespace

class SyncWindowTest : public QObject {
    Q_OBJECT
    Radicale server;

    void putCard(const QUrl& addressBook, const QByteArray& uid, const QByteArray& first,
                 const QByteArray& last) {
        const QUrl url = addressBook.resolved(QUrl(QString::fromLatin1(uid + ".vcf")));
        QVERIFY(server
                    .request("PUT", url, card(uid, first, last),
                             {{"Content-Type", "text/vcard"}, {"If-None-Match", "*"}})
                    .ok());
    }

    static SyncSettingsDialog* openDialog(MainWindowFixture& f) {
        f.trigger("mnuSyncSettings");
        return f.window().findChild<SyncSettingsDialog*>();
    }

    static void fill(SyncSettingsDialog* dialog, const QString& url, const QString& user,
                     const QString& password) {
        const QList<QPair<QString, QString>> fields{
            {u"txtSyncUrl"_s, url}, {u"txtSyncUser"_s, user}, {u"txtSyncPassword"_s, password}};
        for (const auto& [name, text] : fields) {
            auto* field = dialog->findChild<QLineEdit*>(name);
            field->clear();
            QTest::keyClicks(field, text);
        }
    }

    static QString text(QObject* parent, const char* label) {
        return parent->findChild<QLabel*>(QLatin1String(label))->text();
    }

private slots:
    void initTestCase() { QVERIFY2(server.start(), qPrintable(server.error())); }

    void linkSyncAndUnlinkFromTheWindow() {
        const QUrl addressBook = server.makeAddressBook(u"Family"_s);
        server.makeAddressBook(u"Work"_s);
        putCard(addressBook, "carl-1", "Carl", "Cardwell");
        KeyringDouble keyring;
        MainWindowFixture f;
        frmContactMgmt& w = f.window();
        f.click("cmdPersonal");

        SyncSettingsDialog* dialog = openDialog(f);
        QVERIFY(dialog);
        QVERIFY(dialog->isVisible());
        QVERIFY(!dialog->findChild<QPushButton*>("cmdSyncUnlink")->isEnabled());
        fill(dialog, server.root().toString(), server.user(), server.password());
        QTest::mouseClick(dialog->findChild<QPushButton*>("cmdSyncFind"), Qt::LeftButton);
        auto* books = dialog->findChild<QListWidget*>("lstAddressBooks");
        QTRY_COMPARE_WITH_TIMEOUT(books->count(), 2, serverWait);
        QCOMPARE(books->item(0)->text(), u"Family"_s);
        QCOMPARE(books->item(1)->text(), u"Work"_s);
        books->setCurrentRow(0);
        QTest::mouseClick(dialog->findChild<QPushButton*>("cmdSyncLink"), Qt::LeftButton);
        QCOMPARE(text(dialog, "lblSyncMessage"), u"The book “Default” is linked to “Family”."_s);
        const std::optional<SyncAccount> account =
            SyncStore(w.ConnectionString()).account(u"Default"_s);
        QVERIFY(account);
        QCOMPARE(account->url, addressBook.toString());
        QCOMPARE(account->user, server.user());
        QCOMPARE(keyring.entries.value(carddav::Passwords::keyOf(account->url, server.user())),
                 server.password());
        QTest::mouseClick(dialog->findChild<QPushButton*>("cmdSyncClose"), Qt::LeftButton);
        QTRY_VERIFY(!w.findChild<SyncSettingsDialog*>());

        // Linking syncs at once.
        QTRY_VERIFY_WITH_TIMEOUT(f.listed().contains(u"Carl|Cardwell"_s), serverWait);
        auto* engine = w.findChild<carddav::SyncEngine*>();
        QVERIFY(engine);
        QTRY_VERIFY_WITH_TIMEOUT(!engine->isRunning(), serverWait);
        QVERIFY2(text(&w, "lblSyncStatus").startsWith(u"Last sync: "_s),
                 qPrintable(text(&w, "lblSyncStatus")));

        // Sync Now brings a card added on the server.
        putCard(addressBook, "dora-1", "Dora", "Dunn");
        QSignalSpy finished(engine, &carddav::SyncEngine::finished);
        f.trigger("mnuSyncNow");
        QTRY_COMPARE_WITH_TIMEOUT(finished.count(), 1, serverWait);
        QVERIFY(text(&w, "lblSyncStatus").startsWith(u"Last sync: "_s));
        QCOMPARE(f.listed(), (QStringList{u"Carl|Cardwell"_s, u"Dora|Dunn"_s}));

        // A sync while the editor is open (as the timer's may be) leaves the
        // list alone until the editor goes.
        putCard(addressBook, "emil-1", "Emil", "Ek");
        f.click("cmdAddRecord");
        f.trigger("mnuSyncNow");
        QTRY_COMPARE_WITH_TIMEOUT(finished.count(), 2, serverWait);
        QCOMPARE(f.listed().size(), 2);
        f.click("cmdCancel");
        QTRY_COMPARE(f.listed().size(), 3);

        // Unlinking keeps the contacts and forgets the password.
        dialog = openDialog(f);
        QVERIFY(dialog);
        QVERIFY(text(dialog, "lblSyncLink")
                    .startsWith(u"The book “Default” is linked to %1 as anna."_s.arg(
                        addressBook.toString())));
        f.doors.boxes.answerYes();
        QTest::mouseClick(dialog->findChild<QPushButton*>("cmdSyncUnlink"), Qt::LeftButton);
        QCOMPARE(f.doors.boxes.unusedAnswers(), 0);
        QCOMPARE(text(dialog, "lblSyncMessage"),
                 u"The book “Default” is no longer linked; its contacts stay in it."_s);
        QVERIFY(!SyncStore(w.ConnectionString()).account(u"Default"_s));
        QVERIFY(keyring.entries.isEmpty());
        dialog->close();
        f.trigger("mnuSyncNow");
        QVERIFY(!engine->isRunning());
        QCOMPARE(f.listed().size(), 3);
        QCOMPARE(SyncStore(w.ConnectionString()).contacts(1).size(), 3);
    }

    void aFailedSearchSaysWhyInTheDialog_data() {
        QTest::addColumn<bool>("closedPort");
        QTest::addColumn<QString>("password");
        QTest::addColumn<QString>("message");
        QTest::newRow("wrong password")
            << false << u"not it"_s
            << u"The server at 127.0.0.1 refused the user name or password."_s;
        QTest::newRow("nothing listening")
            << true << server.password() << u"The server at 127.0.0.1 cannot be reached"_s;
    }

    void aFailedSearchSaysWhyInTheDialog() {
        QFETCH(bool, closedPort);
        QFETCH(QString, password);
        QFETCH(QString, message);
        QUrl url = server.root();
        if (closedPort) {
            QTcpServer probe;
            QVERIFY(probe.listen(QHostAddress::LocalHost, 0));
            url.setPort(probe.serverPort());
        }
        KeyringDouble keyring;
        MainWindowFixture f;
        SyncSettingsDialog* dialog = openDialog(f);
        fill(dialog, url.toString(), server.user(), password);
        QTest::mouseClick(dialog->findChild<QPushButton*>("cmdSyncFind"), Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(text(dialog, "lblSyncMessage").startsWith(message), serverWait);
        QCOMPARE(dialog->findChild<QListWidget*>("lstAddressBooks")->count(), 0);
        QVERIFY(!dialog->findChild<QPushButton*>("cmdSyncLink")->isEnabled());
        QVERIFY(dialog->findChild<QPushButton*>("cmdSyncFind")->isEnabled());
        QVERIFY(!SyncStore(f.window().ConnectionString()).hasTables());
        QVERIFY(keyring.entries.isEmpty());
    }

    void startUpSyncsTheLinkedBooks_data() {
        QTest::addColumn<QString>("password");
        QTest::addColumn<QString>("status");
        QTest::addColumn<QStringList>("listed");
        QTest::newRow("good") << server.password() << u"Last sync: "_s
                              << QStringList{u"Finn|Fox"_s};
        QTest::newRow("refused") << u"old password"_s
                                 << u"Default: sync failed: The server at 127.0.0.1 "
                                    "refused the user name or password."_s
                                 << QStringList();
    }

    void startUpSyncsTheLinkedBooks() {
        QFETCH(QString, password);
        QFETCH(QString, status);
        QFETCH(QStringList, listed);
        const QUrl addressBook =
            server.makeAddressBook(u"start-"_s + QLatin1String(QTest::currentDataTag()));
        putCard(addressBook, "finn-1", "Finn", "Fox");
        KeyringDouble keyring;
        MainWindowFixture f;
        const QString url = addressBook.toString();
        QVERIFY(SyncStore(f.folder.connectionString()).link(u"Default"_s, url, server.user()));
        keyring.entries.insert(carddav::Passwords::keyOf(url, server.user()), password);
        frmContactMgmt& w = f.window();
        QTRY_VERIFY_WITH_TIMEOUT(w.findChild<QLabel*>("lblSyncStatus") &&
                                     text(&w, "lblSyncStatus").startsWith(status),
                                 serverWait);
        QCOMPARE(f.listed(), listed);
        QVERIFY(f.doors.boxes.texts().isEmpty());
    }

    void withoutAKeyringThePasswordIsAskedOncePerRun() {
        const QUrl addressBook = server.makeAddressBook(u"no-keyring"_s);
        putCard(addressBook, "gus-1", "Gus", "Gale");
        KeyringDouble keyring;
        keyring.available = false;
        MainWindowFixture f;
        QVERIFY(SyncStore(f.folder.connectionString())
                    .link(u"Default"_s, addressBook.toString(), server.user()));
        // The question is modal: it is answered from inside its own loop.
        QStringList questions;
        QTimer answerer;
        answerer.setInterval(10);
        connect(&answerer, &QTimer::timeout, this, [&] {
            if (auto* box = qobject_cast<QInputDialog*>(QApplication::activeModalWidget())) {
                questions << box->labelText();
                box->setTextValue(server.password());
                box->accept();
            }
        });
        answerer.start();
        frmContactMgmt& w = f.window();
        QTRY_COMPARE_WITH_TIMEOUT(f.listed(), QStringList{u"Gus|Gale"_s}, serverWait);
        auto* engine = w.findChild<carddav::SyncEngine*>();
        QTRY_VERIFY_WITH_TIMEOUT(!engine->isRunning(), serverWait);
        QSignalSpy finished(engine, &carddav::SyncEngine::finished);
        f.trigger("mnuSyncNow");
        QTRY_COMPARE_WITH_TIMEOUT(finished.count(), 1, serverWait);
        QCOMPARE(finished.first().first().toBool(), true);
        QCOMPARE(questions, QStringList{u"No keyring is available to remember the password.\n"
                                        "Password of anna at 127.0.0.1 for the book “Default”:"_s});
        QVERIFY(keyring.entries.isEmpty());
    }

    void aTypedAddressBecomesAServerUrl_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("url");
        QTest::newRow("host only") << "contacts.example.org"
                                   << "https://contacts.example.org/";
        QTest::newRow("http kept") << " http://127.0.0.1:5232 "
                                   << "http://127.0.0.1:5232/";
        QTest::newRow("path kept") << "https://h.example/dav/anna/"
                                   << "https://h.example/dav/anna/";
        QTest::newRow("other scheme") << "ftp://h.example/"
                                      << "";
        QTest::newRow("empty") << "  "
                               << "";
    }

    void aTypedAddressBecomesAServerUrl() {
        QFETCH(QString, typed);
        QFETCH(QString, url);
        const QUrl made = carddav::AddressBookDiscovery::serverUrl(typed);
        QCOMPARE(made.isValid() ? made.toString() : QString(), url);
    }
};

QTEST_MAIN(SyncWindowTest)
#include "SyncWindowTest.moc"
