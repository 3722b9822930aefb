#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QObject>
#include <QString>
#include <QUrl>

#include <functional>

class QNetworkAccessManager;
class QNetworkReply;

namespace carddav {

// The answer to one request: the final status, or why there is none. Every
// failure carries a message a user can read.
struct DavResponse {
    enum class Failure { None, Network, Timeout, Certificate, RedirectLoop, Status };
    Failure failure = Failure::None;
    int status = 0;
    QUrl url; // after redirects
    QByteArray body;
    QByteArray etag;
    QString message;

    bool ok() const { return failure == Failure::None && status >= 200 && status < 300; }
};

// One <response> of a multistatus answer: its href (decoded path) and the
// properties found, by local name, with the status of each.
struct DavItem {
    QString href;
    int status = 0; // of the response itself (sync-collection: 404 = removed)
    QHash<QString, QString> props;
    QStringList resourceTypes; // local names inside <resourcetype>
    QStringList hrefProps;     // local names of properties holding an <href>
    QHash<QString, QString> hrefs;
};

struct Multistatus {
    bool valid = false; // false: the body is not a multistatus document
    QList<DavItem> items;
    QString syncToken;
};
Multistatus parseMultistatus(const QByteArray& body);

// The WebDAV requests CardDAV needs, asynchronous, over one network access
// manager. Credentials go with every request as HTTP Basic. Redirects are
// followed by hand (the same method and body again, credentials to the same
// host only), at most five; https uses the system's certificates and an
// untrusted one fails the request. A request that sees no data for the
// time-out fails too.
class DavClient : public QObject {
    Q_OBJECT
public:
    explicit DavClient(QObject* parent = nullptr);

    void setCredentials(const QString& user, const QString& password);
    void setTimeout(int milliseconds) { m_timeoutMs = milliseconds; }

    using Done = std::function<void(const DavResponse&)>;
    void send(const QByteArray& method, const QUrl& url, const QByteArray& body,
              const QList<QPair<QByteArray, QByteArray>>& headers, Done done);

    void propfind(const QUrl& url, int depth, const QByteArray& body, Done done);
    void report(const QUrl& url, int depth, const QByteArray& body, Done done);
    void get(const QUrl& url, Done done);
    // ifMatch empty: If-None-Match: * (a new card).
    void put(const QUrl& url, const QByteArray& card, const QByteArray& ifMatch, Done done);
    void remove(const QUrl& url, const QByteArray& ifMatch, Done done);

    // Aborts every request under way; their callbacks are not called.
    void abortAll();

private:
    struct Request {
        QByteArray method;
        QUrl url;
        QUrl origin;
        QByteArray body;
        QList<QPair<QByteArray, QByteArray>> headers;
        Done done;
        int redirects = 0;
    };
    void start(Request request);
    void finished(QNetworkReply* reply, Request request);

    QNetworkAccessManager* m_network;
    QByteArray m_authorization;
    int m_timeoutMs = 60000;
    quint64 m_generation = 0;
};

// A user-readable message for an HTTP status that ends a sync.
QString statusMessage(int status, const QUrl& url);

} // namespace carddav
