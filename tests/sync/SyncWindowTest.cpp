// Linking and syncing from the main window, against a real server.
#include "Radicale.h"

#include "app/frmContactMgmt.h"
#include "data/SyncStore.h"
#include "support/KeyringDouble.h"
#include "support/MainWindowFixture.h"
#include "sync/Discovery.h"
#include "sync/Passwords.h"
#include "sync/SyncEngine.h"
#include "sync/SyncSettingsDialog.h"

#include <QAction>
#include <QApplication>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTest>
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
        f.trigger(QStringLiteral("mnuSyncSettings"));
        return f.window().findChild<SyncSettingsDialog*>();
    }

    static void fill(SyncSettingsDialog* dialog, const QString& url, const QString& user,
                     const QString& password) {
        const QList<QPair<QString, QString>> fields{{QStringLiteral("txtSyncUrl"), url},
                                                    {QStringLiteral("txtSyncUser"), user},
                                                    {QStringLiteral("txtSyncPassword"), password}};
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
        const QUrl addressBook = server.makeAddressBook(QStringLiteral("Family"));
        server.makeAddressBook(QStringLiteral("Work"));
        putCard(addressBook, "carl-1", "Carl", "Cardwell");
        KeyringDouble keyring;
        MainWindowFixture f;
        frmContactMgmt& w = f.window();
        f.click(QStringLiteral("cmdPersonal"));

        SyncSettingsDialog* dialog = openDialog(f);
        QVERIFY(dialog);
        QVERIFY(dialog->isVisible());
        QVERIFY(!dialog->findChild<QPushButton*>(QStringLiteral("cmdSyncUnlink"))->isEnabled());
        fill(dialog, server.root().toString(), server.user(), server.password());
        QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("cmdSyncFind")),
                          Qt::LeftButton);
        auto* books = dialog->findChild<QListWidget*>(QStringLiteral("lstAddressBooks"));
        QTRY_COMPARE_WITH_TIMEOUT(books->count(), 2, serverWait);
        QCOMPARE(books->item(0)->text(), QStringLiteral("Family"));
        QCOMPARE(books->item(1)->text(), QStringLiteral("Work"));
        books->setCurrentRow(0);
        QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("cmdSyncLink")),
                          Qt::LeftButton);
        QCOMPARE(text(dialog, "lblSyncMessage"),
                 QStringLiteral("The book “Default” is linked to “Family”."));
        const std::optional<SyncAccount> account =
            SyncStore(w.ConnectionString()).account(QStringLiteral("Default"));
        QVERIFY(account);
        QCOMPARE(account->url, addressBook.toString());
        QCOMPARE(account->user, server.user());
        QCOMPARE(keyring.entries.value(carddav::Passwords::keyOf(account->url, server.user())),
                 server.password());
        QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("cmdSyncClose")),
                          Qt::LeftButton);
        QTRY_VERIFY(!w.findChild<SyncSettingsDialog*>());

        // Linking syncs at once.
        QTRY_VERIFY_WITH_TIMEOUT(f.listed().contains(QStringLiteral("Carl|Cardwell")), serverWait);
        auto* engine = w.findChild<carddav::SyncEngine*>();
        QVERIFY(engine);
        QTRY_VERIFY_WITH_TIMEOUT(!engine->isRunning(), serverWait);
        QVERIFY2(text(&w, "lblSyncStatus").startsWith(QStringLiteral("Last sync: ")),
                 qPrintable(text(&w, "lblSyncStatus")));

        // Sync Now brings a card added on the server.
        putCard(addressBook, "dora-1", "Dora", "Dunn");
        QSignalSpy finished(engine, &carddav::SyncEngine::finished);
        f.trigger(QStringLiteral("mnuSyncNow"));
        QTRY_COMPARE_WITH_TIMEOUT(finished.count(), 1, serverWait);
        QVERIFY(text(&w, "lblSyncStatus").startsWith(QStringLiteral("Last sync: ")));
        QCOMPARE(f.listed(),
                 (QStringList{QStringLiteral("Carl|Cardwell"), QStringLiteral("Dora|Dunn")}));

        // A sync while the editor is open (as the timer's may be) leaves the
        // list alone until the editor goes.
        putCard(addressBook, "emil-1", "Emil", "Ek");
        f.click(QStringLiteral("cmdAddRecord"));
        f.trigger(QStringLiteral("mnuSyncNow"));
        QTRY_COMPARE_WITH_TIMEOUT(finished.count(), 2, serverWait);
        QCOMPARE(f.listed().size(), 2);
        f.click(QStringLiteral("cmdCancel"));
        QTRY_COMPARE(f.listed().size(), 3);

        // Unlinking keeps the contacts and forgets the password.
        dialog = openDialog(f);
        QVERIFY(dialog);
        QVERIFY(text(dialog, "lblSyncLink")
                    .startsWith(QStringLiteral("The book “Default” is linked to %1 as anna.")
                                    .arg(addressBook.toString())));
        f.doors.boxes.answerYes();
        QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("cmdSyncUnlink")),
                          Qt::LeftButton);
        QCOMPARE(f.doors.boxes.unusedAnswers(), 0);
        QCOMPARE(
            text(dialog, "lblSyncMessage"),
            QStringLiteral("The book “Default” is no longer linked; its contacts stay in it."));
        QVERIFY(!SyncStore(w.ConnectionString()).account(QStringLiteral("Default")));
        QVERIFY(keyring.entries.isEmpty());
        dialog->close();
        f.trigger(QStringLiteral("mnuSyncNow"));
        QVERIFY(!engine->isRunning());
        QCOMPARE(f.listed().size(), 3);
        QCOMPARE(SyncStore(w.ConnectionString()).contacts(1).size(), 3);
    }

    void aFailedSearchSaysWhyInTheDialog_data() {
        QTest::addColumn<bool>("closedPort");
        QTest::addColumn<QString>("password");
        QTest::addColumn<QString>("message");
        QTest::newRow("wrong password")
            << false << QStringLiteral("not it")
            << QStringLiteral("The server at 127.0.0.1 refused the user name or password.");
        QTest::newRow("nothing listening")
            << true << server.password()
            << QStringLiteral("The server at 127.0.0.1 cannot be reached");
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
        QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("cmdSyncFind")),
                          Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(text(dialog, "lblSyncMessage").startsWith(message), serverWait);
        QCOMPARE(dialog->findChild<QListWidget*>(QStringLiteral("lstAddressBooks"))->count(), 0);
        QVERIFY(!dialog->findChild<QPushButton*>(QStringLiteral("cmdSyncLink"))->isEnabled());
        QVERIFY(dialog->findChild<QPushButton*>(QStringLiteral("cmdSyncFind"))->isEnabled());
        QVERIFY(!SyncStore(f.window().ConnectionString()).hasTables());
        QVERIFY(keyring.entries.isEmpty());
    }

    void startUpSyncsTheLinkedBooks_data() {
        QTest::addColumn<QString>("password");
        QTest::addColumn<QString>("status");
        QTest::addColumn<QStringList>("listed");
        QTest::newRow("good") << server.password() << QStringLiteral("Last sync: ")
                              << QStringList{QStringLiteral("Finn|Fox")};
        QTest::newRow("refused") << QStringLiteral("old password")
                                 << QStringLiteral("Default: sync failed: The server at 127.0.0.1 "
                                                   "refused the user name or password.")
                                 << QStringList();
    }

    void startUpSyncsTheLinkedBooks() {
        QFETCH(QString, password);
        QFETCH(QString, status);
        QFETCH(QStringList, listed);
        const QUrl addressBook = server.makeAddressBook(QStringLiteral("start-") +
                                                        QLatin1String(QTest::currentDataTag()));
        putCard(addressBook, "finn-1", "Finn", "Fox");
        KeyringDouble keyring;
        MainWindowFixture f;
        const QString url = addressBook.toString();
        QVERIFY(SyncStore(f.folder.connectionString())
                    .link(QStringLiteral("Default"), url, server.user()));
        keyring.entries.insert(carddav::Passwords::keyOf(url, server.user()), password);
        frmContactMgmt& w = f.window();
        QTRY_VERIFY_WITH_TIMEOUT(w.findChild<QLabel*>(QStringLiteral("lblSyncStatus")) &&
                                     text(&w, "lblSyncStatus").startsWith(status),
                                 serverWait);
        QCOMPARE(f.listed(), listed);
        QVERIFY(f.doors.boxes.texts().isEmpty());
    }

    void withoutAKeyringThePasswordIsAskedOncePerRun() {
        const QUrl addressBook = server.makeAddressBook(QStringLiteral("no-keyring"));
        putCard(addressBook, "gus-1", "Gus", "Gale");
        KeyringDouble keyring;
        keyring.available = false;
        MainWindowFixture f;
        QVERIFY(SyncStore(f.folder.connectionString())
                    .link(QStringLiteral("Default"), addressBook.toString(), server.user()));
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
        QTRY_COMPARE_WITH_TIMEOUT(f.listed(), QStringList{QStringLiteral("Gus|Gale")}, serverWait);
        auto* engine = w.findChild<carddav::SyncEngine*>();
        QTRY_VERIFY_WITH_TIMEOUT(!engine->isRunning(), serverWait);
        QSignalSpy finished(engine, &carddav::SyncEngine::finished);
        f.trigger(QStringLiteral("mnuSyncNow"));
        QTRY_COMPARE_WITH_TIMEOUT(finished.count(), 1, serverWait);
        QCOMPARE(finished.first().first().toBool(), true);
        QCOMPARE(questions, QStringList{QStringLiteral(
                                "No keyring is available to remember the password.\n"
                                "Password of anna at 127.0.0.1 for the book “Default”:")});
        QVERIFY(keyring.entries.isEmpty());
    }

    void theSyncItemsAreAGroupBeforeExit() {
        MainWindowFixture f;
        frmContactMgmt& w = f.window();
        const QList<QAction*> items = w.mnuRootFile->actions();
        const qsizetype at = items.indexOf(w.mnuSyncSettings);
        QVERIFY(at > 0);
        QVERIFY(items[at - 1]->isSeparator());
        QCOMPARE(items.mid(at + 1), (QList<QAction*>{w.mnuSyncNow, w.sep2, w.mnuExit}));
        QCOMPARE(w.mnuSyncSettings->text(), QStringLiteral("&Sync with Server…"));
        QCOMPARE(w.mnuSyncNow->text(), QStringLiteral("Sync &Now"));
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
