#pragma once

#include <QByteArray>
#include <QList>
#include <QTcpServer>
#include <QUrl>

#include <functional>

using namespace Qt::StringLiterals;

// A server on 127.0.0.1 that answers each whole request (headers and body)
// as a test says, one request per connection. An empty answer holds the
// connection open without a word; with a trickle the answer goes out a byte
// at a time.
class FakeDav {
public:
    struct Request {
        QByteArray method, path, body;
        QByteArray head; // the request line and the headers
    };
    using Answer = std::function<QByteArray(const Request&)>;

    explicit FakeDav(Answer answer);
    QUrl url(const QString& path) const {
        return QUrl(u"http://127.0.0.1:%1%2"_s.arg(m_server.serverPort()).arg(path));
    }
    const QList<Request>& requests() const { return m_requests; }
    // One byte of each answer per this many milliseconds; 0: all at once.
    void setTrickle(int milliseconds) { m_trickleMs = milliseconds; }

    // A whole HTTP/1.1 answer; the connection closes after it.
    static QByteArray answer(const QByteArray& status, const QByteArray& headers = {},
                             const QByteArray& body = {});
    static QByteArray multistatus(const QByteArray& responses, const QByteArray& token = {});

private:
    QTcpServer m_server;
    Answer m_answer;
    QList<Request> m_requests;
    int m_trickleMs = 0;
};
