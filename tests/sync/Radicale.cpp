#include "Radicale.h"

#include <QEventLoop>
#include <QFile>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>

#include <csignal>
#include <sys/prctl.h>

QUrl Radicale::root() const {
    return QUrl(u"%1://127.0.0.1:%2/"_s.arg(m_tls ? u"https"_s : u"http"_s).arg(m_port));
}

bool Radicale::start() {
    QTcpServer probe;
    if (m_port == 0 && probe.listen(QHostAddress::LocalHost, 0))
        m_port = probe.serverPort();
    probe.close();
    const QString key = m_dir.filePath(u"key.pem"_s), config = m_dir.filePath(u"config"_s);
    QString settings = u"[server]\nhosts = 127.0.0.1:%1\n[auth]\ntype = htpasswd\n"
                       "htpasswd_filename = %2\nhtpasswd_encryption = plain\ndelay = 0\n"
                       "[storage]\nfilesystem_folder = %3\n[rights]\ntype = owner_only\n"
                       "[web]\ntype = none\n[logging]\nlevel = warning\n"_s.arg(m_port)
                           .arg(m_dir.filePath(u"users"_s), storageFolder());
    if (m_tls) {
        QProcess openssl; // its output is only progress
        openssl.setStandardErrorFile(QProcess::nullDevice());
        openssl.start(u"openssl"_s, {u"req"_s, u"-x509"_s, u"-newkey"_s, u"rsa:2048"_s, u"-nodes"_s,
                                     u"-days"_s, u"2"_s, u"-subj"_s, u"/CN=127.0.0.1"_s,
                                     u"-addext"_s, u"subjectAltName=IP:127.0.0.1"_s, u"-keyout"_s,
                                     key, u"-out"_s, certificateFile()});
        if (!openssl.waitForFinished(60000) || openssl.exitCode() != 0)
            return m_error = u"openssl makes no certificate"_s, false;
        settings.replace(u"[auth]"_s, u"ssl = True\ncertificate = %1\nkey = %2\n[auth]"_s.arg(
                                          certificateFile(), key));
    }
    for (const auto& [path, text] :
         {std::pair{config, settings},
          {m_dir.filePath(u"users"_s), user() + u':' + password() + u'\n'}}) {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(text.toUtf8()) < 0)
            return m_error = u"cannot write "_s + path, false;
    }
    m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    // A test that crashes or is killed takes its server with it; an orphaned
    // server would keep the test's output open and hold CTest for ever.
    m_process.setChildProcessModifier([] { prctl(PR_SET_PDEATHSIG, SIGKILL); });
    m_process.start(u"radicale"_s, {u"--config"_s, config});
    for (int attempt = 0; attempt < 200 && m_process.waitForStarted(10000); ++attempt) {
        QTcpSocket socket;
        socket.connectToHost(QHostAddress::LocalHost, m_port);
        if (socket.waitForConnected(100))
            return true;
        QTest::qWait(50);
    }
    m_error = u"radicale does not listen on port %1: "_s.arg(m_port) + m_process.errorString();
    return false;
}

void Radicale::stop() {
    m_process.terminate();
    if (m_process.state() != QProcess::NotRunning && !m_process.waitForFinished(10000))
        m_process.kill();
    m_process.waitForFinished(5000);
}

carddav::DavResponse Radicale::request(const QByteArray& method, const QUrl& url,
                                       const QByteArray& body,
                                       const QList<QPair<QByteArray, QByteArray>>& headers) {
    carddav::DavClient client;
    client.setCredentials(user(), password());
    carddav::DavResponse response;
    QEventLoop loop;
    client.send(method, url, body, headers, [&](const carddav::DavResponse& r) {
        response = r;
        loop.quit();
    });
    loop.exec();
    return response;
}

QUrl Radicale::makeAddressBook(const QString& name) {
    const QUrl url = root().resolved(QUrl(user() + u'/' + name + u'/'));
    // Any request signs the user in, which makes their principal collection.
    request("PROPFIND", root(), {}, {{"Depth", "0"}});
    request("MKCOL", url,
            "<d:mkcol xmlns:d=\"DAV:\" xmlns:c=\"urn:ietf:params:xml:ns:carddav\"><d:set><d:prop>"
            "<d:resourcetype><d:collection/><c:addressbook/></d:resourcetype><d:displayname>" +
                name.toUtf8() + "</d:displayname></d:prop></d:set></d:mkcol>",
            {{"Content-Type", "application/xml; charset=utf-8"}});
    return url;
}
