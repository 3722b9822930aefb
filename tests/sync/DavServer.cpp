#include "DavServer.h"

#include <QEventLoop>
#include <QFile>
#include <QRegularExpression>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <QTimer>

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

bool DavServer::launch(const QString& program, const QStringList& arguments) {
    QFile log(m_dir.filePath(u"server.log"_s));
    m_process.setProcessChannelMode(QProcess::MergedChannels);
    m_process.setStandardOutputFile(log.fileName(), QIODevice::Append);
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
    return fail(u"%1 does not listen on port %2: %3\n"_s.arg(program).arg(m_port).arg(
                    m_process.errorString()) +
                QString::fromUtf8(log.open(QIODevice::ReadOnly) ? log.readAll().right(2000) : ""));
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
    const QUrl url = root().resolved(QUrl(bookPath(name)));
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

bool DavServer::placeCards(const QString& book,
                           const QList<std::pair<QString, QByteArray>>& cards) {
    const QString folder = storageFolder() + u'/' + bookPath(book);
    for (const auto& [file, text] : cards)
        if (!writeFile(folder + file, text))
            return fail(u"cannot write "_s + folder + file);
    return takeFiles(folder);
}

FakeDav::FakeDav(Answer answer) : m_answer(std::move(answer)) {
    m_server.listen(QHostAddress::LocalHost, 0);
    QObject::connect(&m_server, &QTcpServer::newConnection, &m_server, [this] {
        QTcpSocket* socket = m_server.nextPendingConnection();
        QObject::connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        QObject::connect(socket, &QTcpSocket::readyRead, socket,
                         [this, socket, received = QByteArray()]() mutable {
                             received += socket->readAll();
                             if (const std::optional<Request> request = take(received))
                                 reply(socket, m_answer(*request));
                         });
    });
}

std::optional<FakeDav::Request> FakeDav::take(QByteArray& received) {
    static const QRegularExpression length(u"content-length: *(\\d+)"_s,
                                           QRegularExpression::CaseInsensitiveOption);
    const qsizetype headEnd = received.indexOf("\r\n\r\n");
    const QByteArray head = received.left(headEnd);
    if (headEnd < 0 ||
        received.size() <
            headEnd + 4 + length.match(QString::fromLatin1(head)).captured(1).toLongLong())
        return std::nullopt;
    const QList<QByteArray> line = head.left(head.indexOf('\r')).split(' ');
    m_requests.append({line.value(0), line.value(1), received.mid(headEnd + 4), head});
    received.clear();
    return m_requests.last();
}

void FakeDav::reply(QTcpSocket* socket, const QByteArray& text) const {
    if (text.isEmpty())
        return;
    auto* drip = new QTimer(socket);
    const qsizetype step = m_trickleMs > 0 ? 1 : text.size();
    QObject::connect(drip, &QTimer::timeout, socket,
                     [socket, drip, text, step, sent = qsizetype(0)]() mutable {
                         socket->write(text.mid(sent, step));
                         if ((sent += step) >= text.size()) {
                             drip->stop();
                             socket->disconnectFromHost();
                         }
                     });
    drip->start(m_trickleMs);
}

QByteArray FakeDav::answer(const QByteArray& status, const QByteArray& headers,
                           const QByteArray& body) {
    return "HTTP/1.1 " + status + "\r\nContent-Length: " + QByteArray::number(body.size()) +
           "\r\nConnection: close\r\n" + headers + "\r\n" + body;
}

QByteArray FakeDav::multistatus(const QByteArray& responses, const QByteArray& token) {
    return answer(
        "207 Multi-Status", "Content-Type: application/xml\r\n",
        "<?xml version=\"1.0\"?><d:multistatus xmlns:d=\"DAV:\" "
        "xmlns:c=\"urn:ietf:params:xml:ns:carddav\">" +
            responses +
            (token.isEmpty() ? QByteArray() : "<d:sync-token>" + token + "</d:sync-token>") +
            "</d:multistatus>");
}
