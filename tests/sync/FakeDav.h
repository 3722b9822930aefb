#pragma once

#include <QByteArray>
#include <QList>
#include <QTcpServer>
#include <QUrl>

#include <functional>

using namespace Qt::StringLiterals;

// A server on 127.0.0.1 that answers each whole request (headers and body)
// as a test says, one request per connection. An empty answer holds the
// connection open without a word.
class FakeDav {
public:
    struct Request {
        QByteArray method, path, body;
    };
    using Answer = std::function<QByteArray(const Request&)>;

    explicit FakeDav(Answer answer);
    QUrl url(const QString& path) const {
        return QUrl(u"http://127.0.0.1:%1%2"_s.arg(m_server.serverPort()).arg(path));
    }
    const QList<Request>& requests() const { return m_requests; }

    // A whole HTTP/1.1 answer; the connection closes after it.
    static QByteArray answer(const QByteArray& status, const QByteArray& headers = {},
                             const QByteArray& body = {});
    static QByteArray multistatus(const QByteArray& responses, const QByteArray& token = {});

private:
    QTcpServer m_server;
    Answer m_answer;
    QList<Request> m_requests;
};
