#include "FakeDav.h"

#include <QTcpSocket>
#include <QTimer>

namespace {

void trickle(QTcpSocket* socket, const QByteArray& reply, int milliseconds) {
    auto* drip = new QTimer(socket);
    QObject::connect(drip, &QTimer::timeout, socket,
                     [socket, reply, sent = qsizetype(0)]() mutable {
                         if (sent < reply.size())
                             socket->write(reply.mid(sent++, 1));
                         else
                             socket->disconnectFromHost();
                     });
    drip->start(milliseconds);
}

} // namespace

FakeDav::FakeDav(Answer answer) : m_answer(std::move(answer)) {
    m_server.listen(QHostAddress::LocalHost, 0);
    QObject::connect(&m_server, &QTcpServer::newConnection, &m_server, [this] {
        QTcpSocket* socket = m_server.nextPendingConnection();
        auto* received = new QByteArray;
        QObject::connect(socket, &QObject::destroyed, [received] { delete received; });
        QObject::connect(socket, &QTcpSocket::readyRead, socket, [this, socket, received] {
            *received += socket->readAll();
            const qsizetype headEnd = received->indexOf("\r\n\r\n");
            if (headEnd < 0)
                return;
            const QByteArray head = received->left(headEnd).toLower();
            const qsizetype length = head.indexOf("content-length:");
            const qsizetype bodySize =
                length < 0 ? 0
                           : head.mid(length + 15, head.indexOf('\r', length) - length - 15)
                                 .trimmed()
                                 .toLongLong();
            if (received->size() < headEnd + 4 + bodySize)
                return;
            const QList<QByteArray> line = received->left(received->indexOf('\r')).split(' ');
            const Request request{line.value(0), line.value(1), received->mid(headEnd + 4),
                                  received->left(headEnd)};
            received->clear();
            m_requests.append(request);
            const QByteArray reply = m_answer(request);
            if (reply.isEmpty())
                return;
            if (m_trickleMs > 0)
                return trickle(socket, reply, m_trickleMs);
            socket->write(reply);
            socket->disconnectFromHost();
        });
        QObject::connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
    });
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
