#pragma once

#include <QByteArray>
#include <QList>
#include <QTcpServer>
#include <QUrl>

#include <functional>

class QTcpSocket;

// A scripted server on 127.0.0.1 for answers no real server gives: each
// request is read whole, kept, and answered by the handler with the full
// bytes of an HTTP answer; the connection closes after it.
class FakeDav : public QObject {
    Q_OBJECT
public:
    struct Request {
        QByteArray method, path, head, body; // head: the request line and headers
    };
    using Handler = std::function<QByteArray(const Request&)>;
    explicit FakeDav(Handler handler);

    QUrl url(const QString& path) const;
    QList<Request> requests;
    // Answers go out one byte per this many milliseconds; 0: at once.
    int trickleMs = 0;

private:
    void serve(QTcpSocket* socket);
    QTcpServer m_server;
    Handler m_handler;
};

// An HTTP answer: status line, Content-Length, Connection: close.
QByteArray httpAnswer(const QByteArray& status, const QByteArray& headers = {},
                      const QByteArray& body = {});
