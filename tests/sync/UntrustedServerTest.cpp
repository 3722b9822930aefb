// A server whose certificate nobody trusts: linking and syncing stop with a
// message that says so, and nothing is written here.
#include "Radicale.h"

#include "data/SyncStore.h"
#include "support/ContactFolder.h"
#include "sync/SyncEngine.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QSslConfiguration>

namespace {

carddav::SyncSummary syncOnce(const QString& connectionString, const QString& password) {
    carddav::SyncEngine engine(connectionString);
    engine.setPasswordSource([password](const SyncAccount&) { return password; });
    engine.setTimeout(20000);
    carddav::SyncSummary summary;
    QObject::connect(&engine, &carddav::SyncEngine::bookFinished, &engine,
                     [&](const carddav::SyncSummary& s) { summary = s; });
    QSignalSpy finished(&engine, &carddav::SyncEngine::finished);
    engine.start();
    if (!finished.wait(60000))
        summary.message = u"no end"_s;
    return summary;
}

const QString untrusted = u"The server's certificate is not trusted \\(.+\\), so nothing was sent "
                          "to 127\\.0\\.0\\.1\\."_s;

} // namespace

class UntrustedServerTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QVERIFY2(server.start(), qPrintable(server.error())); }

    void aRequestFailsOnTheCertificate() {
        const carddav::DavResponse r = server.request("PROPFIND", server.root());
        QCOMPARE(r.failure, carddav::DavResponse::Failure::Certificate);
        QCOMPARE(r.status, 0);
        QVERIFY2(QRegularExpression(untrusted).match(r.message).hasMatch(), qPrintable(r.message));
    }

    void linkingFromTheCommandLineIsRefused() {
        ContactFolder folder;
        const QString passwordFile = QDir(folder.path()).filePath(u"password"_s);
        QFile file(passwordFile);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(server.password().toUtf8());
        file.close();
        QProcess program;
        program.start(QStringLiteral(ORVANTA_PROGRAM),
                      {u"--link-book"_s, u"Work"_s, u"--url"_s,
                       server.root().resolved(QUrl(u"anna/book/"_s)).toString(), u"--user"_s,
                       server.user(), u"--password-file"_s, passwordFile, u"--data-folder"_s,
                       folder.path()});
        QVERIFY(program.waitForFinished(60000));
        QCOMPARE(program.exitStatus(), QProcess::NormalExit);
        QCOMPARE(program.exitCode(), 1);
        const QString err = QString::fromUtf8(program.readAllStandardError());
        QVERIFY2(QRegularExpression(u"\\A"_s + untrusted + u"\n\\z"_s).match(err).hasMatch(),
                 qPrintable(err));
        QCOMPARE(program.readAllStandardOutput(), QByteArray());
        QCOMPARE(folder.rows(u"select ContactBookName from tblContactBook"_s),
                 QStringList{u"Default"_s});
        QVERIFY(!SyncStore(folder.connectionString()).hasTables());
    }

    void aSyncStopsUntilTheCertificateIsTrusted() {
        ContactFolder folder;
        folder.addContact({.firstName = u"Ann"_s});
        const QUrl book = server.root().resolved(QUrl(u"anna/book/"_s));
        SyncStore(folder.connectionString()).link(u"Default"_s, book.toString(), server.user());
        const QStringList before = folder.rows(u"select * from tblContactDetails"_s);
        const QStringList account = folder.rows(u"select SyncToken from tblSyncAccount"_s);

        carddav::SyncSummary summary = syncOnce(folder.connectionString(), server.password());
        QVERIFY(!summary.ok);
        QVERIFY2(QRegularExpression(untrusted).match(summary.message).hasMatch(),
                 qPrintable(summary.message));
        QCOMPARE(folder.rows(u"select * from tblContactDetails"_s), before);
        QCOMPARE(folder.count(u"tblSyncItem"_s), 0);
        QCOMPARE(folder.rows(u"select SyncToken from tblSyncAccount"_s), account);

        // Trusted, the same server syncs both ways.
        QSslConfiguration trusting = QSslConfiguration::defaultConfiguration();
        QVERIFY(trusting.addCaCertificates(server.certificateFile()));
        QSslConfiguration::setDefaultConfiguration(trusting);
        QCOMPARE(server.makeAddressBook(u"book"_s), book);
        QVERIFY(server
                    .request("PUT", book.resolved(QUrl(u"bo.vcf"_s)),
                             "BEGIN:VCARD\r\nVERSION:3.0\r\nUID:bo\r\nN:Ray;Bo;;;\r\nFN:Bo "
                             "Ray\r\nEND:VCARD\r\n",
                             {{"Content-Type", "text/vcard; charset=utf-8"}})
                    .ok());
        summary = syncOnce(folder.connectionString(), server.password());
        QVERIFY2(summary.ok, qPrintable(summary.message));
        QCOMPARE(summary.received, 1);
        QCOMPARE(summary.sent, 1);
    }

private:
    Radicale server{true};
};
QTEST_MAIN(UntrustedServerTest)

#include "UntrustedServerTest.moc"
