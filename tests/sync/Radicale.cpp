#include "Radicale.h"

#include <QEventLoop>
#include <QFile>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>

using namespace Qt::StringLiterals;

Radicale::Radicale() = default;

Radicale::~Radicale() {
    stop();
}

QUrl Radicale::root() const {
    return QUrl(u"http://127.0.0.1:%1/"_s.arg(m_port));
}

bool Radicale::start() {
    if (m_port == 0) {
        QTcpServer probe;
        if (!probe.listen(QHostAddress::LocalHost, 0)) {
            m_error = u"no free port"_s;
            return false;
        }
        m_port = probe.serverPort();
    }
    QFile users(m_dir.filePath(u"users"_s));
    users.open(QIODevice::WriteOnly);
    users.write((user() + u':' + password() + u'\n').toUtf8());
    users.close();
    QFile config(m_dir.filePath(u"config"_s));
    config.open(QIODevice::WriteOnly);
    config.write(u"[server]\nhosts = 127.0.0.1:%1\n"
                 "[auth]\ntype = htpasswd\nhtpasswd_filename = %2\n"
                 "htpasswd_encryption = plain\ndelay = 0\n"
                 "[storage]\nfilesystem_folder = %3\n"
                 "[rights]\ntype = owner_only\n"
                 "[web]\ntype = none\n"
                 "[logging]\nlevel = warning\n"_s.arg(m_port)
                     .arg(users.fileName(), m_dir.filePath(u"collections"_s))
                     .toUtf8());
    config.close();
    m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_process.start(u"radicale"_s, {u"--config"_s, config.fileName()});
    if (!m_process.waitForStarted(10000)) {
        m_error = u"radicale does not start: "_s + m_process.errorString();
        return false;
    }
    for (int attempt = 0; attempt < 200; ++attempt) {
        QTcpSocket socket;
        socket.connectToHost(QHostAddress::LocalHost, m_port);
        if (socket.waitForConnected(100))
            return true;
        if (m_process.state() != QProcess::Running)
            break;
        QTest::qWait(50);
    }
    m_error = u"radicale does not listen on port %1"_s.arg(m_port);
    return false;
}

void Radicale::stop() {
    if (m_process.state() == QProcess::NotRunning)
        return;
    m_process.terminate();
    if (!m_process.waitForFinished(10000)) {
        m_process.kill();
        m_process.waitForFinished(5000);
    }
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
            "<?xml version=\"1.0\" encoding=\"utf-8\"?>"
            "<d:mkcol xmlns:d=\"DAV:\" xmlns:c=\"urn:ietf:params:xml:ns:carddav\"><d:set><d:prop>"
            "<d:resourcetype><d:collection/><c:addressbook/></d:resourcetype>"
            "<d:displayname>" +
                name.toUtf8() + "</d:displayname></d:prop></d:set></d:mkcol>",
            {{"Content-Type", "application/xml; charset=utf-8"}});
    return url;
}
