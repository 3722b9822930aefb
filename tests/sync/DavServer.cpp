#include "DavServer.h"

#include <QEventLoop>
#include <QFile>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>

#include <csignal>
#include <sys/prctl.h>

QUrl DavServer::root() const {
    return QUrl(u"%1://127.0.0.1:%2/"_s.arg(scheme()).arg(m_port));
}

quint16 DavServer::port() {
    QTcpServer probe;
    if (m_port == 0 && probe.listen(QHostAddress::LocalHost, 0))
        m_port = probe.serverPort();
    return m_port;
}

bool DavServer::writeFile(const QString& path, const QByteArray& text) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(text) == text.size();
}

bool DavServer::launch(const QString& program, const QStringList& arguments,
                       const QString& logFile) {
    if (logFile.isEmpty()) {
        m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    } else {
        m_process.setProcessChannelMode(QProcess::MergedChannels);
        m_process.setStandardOutputFile(logFile, QIODevice::Append);
    }
    // A test that crashes or is killed takes its server with it; an orphaned
    // server would keep the test's output open and hold CTest for ever.
    m_process.setChildProcessModifier([] { prctl(PR_SET_PDEATHSIG, SIGKILL); });
    m_process.start(program, arguments);
    for (int attempt = 0;
         attempt < 200 && m_process.waitForStarted(10000) && m_process.state() == QProcess::Running;
         ++attempt) {
        QTcpSocket socket;
        socket.connectToHost(QHostAddress::LocalHost, m_port);
        if (socket.waitForConnected(100))
            return true;
        QTest::qWait(50);
    }
    QString log;
    if (QFile file(logFile); !logFile.isEmpty() && file.open(QIODevice::ReadOnly))
        log = u"\n"_s + QString::fromUtf8(file.readAll().right(2000));
    return fail(u"%1 does not listen on port %2: "_s.arg(program).arg(m_port) +
                m_process.errorString() + log);
}

void DavServer::stop() {
    m_process.terminate();
    if (m_process.state() != QProcess::NotRunning && !m_process.waitForFinished(10000))
        m_process.kill();
    m_process.waitForFinished(5000);
}

carddav::DavResponse DavServer::request(const QByteArray& method, const QUrl& url,
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

QUrl DavServer::makeAddressBook(const QString& name) {
    const QUrl url = addressBookUrl(name);
    // On Radicale any request signs the user in, which makes their principal
    // collection; Xandikos made it at start.
    request("PROPFIND", root(), {}, {{"Depth", "0"}});
    request("MKCOL", url,
            "<d:mkcol xmlns:d=\"DAV:\" xmlns:c=\"urn:ietf:params:xml:ns:carddav\"><d:set><d:prop>"
            "<d:resourcetype><d:collection/><c:addressbook/></d:resourcetype><d:displayname>" +
                name.toUtf8() + "</d:displayname></d:prop></d:set></d:mkcol>",
            {{"Content-Type", "application/xml; charset=utf-8"}});
    return url;
}
