#pragma once

#include <QByteArray>
#include <QDeadlineTimer>
#include <QHash>
#include <QList>
#include <QObject>
#include <QString>
#include <QUrl>
#include <QXmlStreamReader>

#include <limits>

#include <functional>

class QNetworkAccessManager;
class QNetworkReply;

namespace carddav {

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

// Reads a multistatus document as it arrives, in pieces of any size. A
// value (a card's text, most of all) longer than the limit stops it.
class MultistatusReader {
public:
    explicit MultistatusReader(qsizetype maxValueChars = std::numeric_limits<qsizetype>::max());
    // False once a value passed the limit; what follows is not read.
    bool feed(const QByteArray& data);
    bool valueTooLong() const { return m_tooLong; }
    // The document read; not valid unless it was complete and well formed.
    Multistatus finish();

private:
    void readTokens();
    void startElement();
    void endElement();
    // The text of the element being read, when it is kept.
    void collect(int level) { m_textLevel = level, m_text.clear(); }

    QXmlStreamReader m_xml;
    qsizetype m_maxValue;
    bool m_tooLong = false;
    Multistatus m_result;
    struct Element {
        QString name;
        bool dav = false;
    };
    QList<Element> m_open;
    int m_textLevel = 0; // the depth whose direct text is kept; 0: none
    QString m_text;
    DavItem m_item;
    int m_propstatStatus = 0;
    DavItem m_propstat; // the properties of the <propstat> being read
};
Multistatus parseMultistatus(const QByteArray& body);

// The answer to one request: the final status, or why there is none. Every
// failure carries a message a user can read.
struct DavResponse {
    enum class Failure { None, Network, Timeout, Certificate, RedirectLoop, Status, TooLarge };
    Failure failure = Failure::None;
    int status = 0;
    QUrl url;                // after redirects
    QByteArray body;         // empty for a multistatus answer, which is read as it arrives
    Multistatus multistatus; // of a PROPFIND or REPORT answered with 207
    QByteArray etag;
    QString message;

    bool ok() const { return failure == Failure::None && status >= 200 && status < 300; }
};

// The WebDAV requests CardDAV needs, asynchronous, over one network access
// manager. Credentials go with every request as HTTP Basic. Redirects are
// followed by hand (the same method and body again, credentials to the same
// host only), at most five; https uses the system's certificates and an
// untrusted one fails the request. A request that sees no data for the
// time-out fails, and so does one not answered in full by its deadline. A
// multistatus answer is read as it arrives; an answer or a card larger than
// the limits stops the request.
class DavClient : public QObject {
    Q_OBJECT
public:
    explicit DavClient(QObject* parent = nullptr);

    void setCredentials(const QString& user, const QString& password);
    void setTimeout(int milliseconds) { m_timeoutMs = milliseconds; }
    // For the whole of each request, redirects included; 0: none.
    void setDeadline(int milliseconds) { m_deadlineMs = milliseconds; }
    struct Limits {
        qint64 card = 8 << 20;     // one card's text, or a body that is not a multistatus
        qint64 answer = 256 << 20; // the bytes of one answer
    };
    void setLimits(Limits limits) { m_limits = limits; }

    using Done = std::function<void(const DavResponse&)>;
    void send(const QByteArray& method, const QUrl& url, const QByteArray& body,
              const QList<QPair<QByteArray, QByteArray>>& headers, Done done);

    void propfind(const QUrl& url, int depth, const QByteArray& body, Done done);
    void report(const QUrl& url, int depth, const QByteArray& body, Done done);
    void get(const QUrl& url, Done done);
    // ifMatch empty: If-None-Match: * (a new card). An ifMatch that is no
    // valid ETag fails the request without sending it.
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
        QDeadlineTimer deadline{QDeadlineTimer::Forever}; // of the request as a whole
    };
    struct Reading; // what has arrived of an answer
    void start(Request request);
    void finished(QNetworkReply* reply, Request request, Reading& reading);
    void readSome(QNetworkReply* reply, Reading& reading);
    bool refuseEtag(const QUrl& url, const QByteArray& etag, const Done& done);

    QNetworkAccessManager* m_network;
    QByteArray m_authorization;
    int m_timeoutMs = 60000;
    int m_deadlineMs = 10 * 60 * 1000;
    Limits m_limits;
    quint64 m_generation = 0;
};

// A user-readable message for an HTTP status that ends a sync.
QString statusMessage(int status, const QUrl& url);

} // namespace carddav
