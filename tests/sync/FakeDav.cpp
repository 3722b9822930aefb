#include "FakeDav.h"

#include <QTcpSocket>
#include <QTimer>

QByteArray httpAnswer(const QByteArray& status, const QByteArray& headers, const QByteArray& body) {
    return "HTTP/1.1 " + status + "\r\nContent-Length: " + QByteArray::number(body.size()) +
           "\r\nConnection: close\r\n" + headers + "\r\n" + body;
}

FakeDav::FakeDav(Handler handler) : m_handler(std::move(handler)) {
    m_server.listen(QHostAddress::LocalHost, 0);
    connect(&m_server, &QTcpServer::newConnection, this, [this] {
        while (QTcpSocket* socket = m_server.nextPendingConnection())
            serve(socket);
    });
}

QUrl FakeDav::url(const QString& path) const {
    return QUrl(QStringLiteral("http://127.0.0.1:%1%2").arg(m_server.serverPort()).arg(path));
}

void FakeDav::serve(QTcpSocket* socket) {
    connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
    auto buffer = std::make_shared<QByteArray>();
    connect(socket, &QTcpSocket::readyRead, socket, [this, socket, buffer] {
        *buffer += socket->readAll();
        const qsizetype headEnd = buffer->indexOf("\r\n\r\n");
        if (headEnd < 0)
            return;
        Request request;
        request.head = buffer->left(headEnd);
        qsizetype length = 0;
        for (const QByteArray& line : request.head.split('\n'))
            if (line.toLower().startsWith("content-length:"))
                length = line.mid(15).trimmed().toLongLong();
        if (buffer->size() < headEnd + 4 + length)
            return;
        const QList<QByteArray> first = request.head.left(request.head.indexOf('\r')).split(' ');
        request.method = first.value(0);
        request.path = first.value(1);
        request.body = buffer->mid(headEnd + 4, length);
        buffer->clear();
        requests.append(request);
        const QByteArray answer = m_handler(request);
        if (trickleMs <= 0) {
            socket->write(answer);
            socket->disconnectFromHost();
            return;
        }
        auto* drip = new QTimer(socket);
        connect(drip, &QTimer::timeout, socket, [socket, answer, sent = qsizetype(0)]() mutable {
            if (sent < answer.size())
                socket->write(answer.mid(sent++, 1));
            else
                socket->disconnectFromHost();
        });
        drip->start(trickleMs);
    });
}
