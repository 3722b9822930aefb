#include "sync/DavClient.h"

#include "sync/ServerInput.h"

#include <QCoreApplication>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QSslError>
#include <QTimer>
#include <QXmlStreamReader>

namespace carddav {

namespace {

// The context lupdate gives the calls outside a class in this file.
QString tr(const char* text) {
    return QCoreApplication::translate("carddav", text);
}

constexpr int maxRedirects = 5;

} // namespace

// Depths of the elements read, counted from <multistatus> as 1.
enum Level { InMultistatus = 2, InResponse, InPropstat, Property, InProperty };

MultistatusReader::MultistatusReader(qsizetype maxValueChars) : m_maxValue(maxValueChars) {}

bool MultistatusReader::feed(const QByteArray& data) {
    if (m_tooLong)
        return false;
    m_xml.addData(data);
    readTokens();
    return !m_tooLong;
}

Multistatus MultistatusReader::finish() {
    readTokens();
    m_result.valid = m_result.valid && !m_tooLong && !m_xml.hasError() && m_open.isEmpty();
    return std::move(m_result);
}

void MultistatusReader::readTokens() {
    while (!m_tooLong && !m_xml.atEnd()) {
        switch (m_xml.readNext()) {
        case QXmlStreamReader::StartElement:
            startElement();
            break;
        case QXmlStreamReader::EndElement:
            endElement();
            break;
        case QXmlStreamReader::Characters:
            if (m_textLevel != 0 && m_open.size() == m_textLevel) {
                m_text += m_xml.text();
                m_tooLong = m_text.size() > m_maxValue;
            }
            break;
        default:
            break;
        }
    }
}

void MultistatusReader::startElement() {
    const Element parent = m_open.value(m_open.size() - 1);
    m_open.append({m_xml.name().toString(), m_xml.namespaceUri() == QLatin1String("DAV:")});
    const Element& e = m_open.last();
    const int level = int(m_open.size());
    auto is = [&e](const char* name) { return e.dav && e.name == QLatin1String(name); };
    if (level == 1) {
        m_result.valid = is("multistatus");
    } else if (level == InMultistatus) {
        if (is("response"))
            m_item = DavItem();
        else if (is("sync-token"))
            collect(level);
    } else if (level == InResponse && parent.name == QLatin1String("response")) {
        if (is("href") || is("status"))
            collect(level);
        else if (is("propstat"))
            m_propstat = DavItem(), m_propstatStatus = 0;
    } else if (level == InPropstat && parent.name == QLatin1String("propstat")) {
        if (is("status"))
            collect(level);
    } else if (level == Property && parent.name == QLatin1String("prop")) {
        collect(level);
    } else if (level == InProperty) {
        if (parent.name == QLatin1String("resourcetype"))
            m_propstat.resourceTypes.append(e.name);
        else if (is("href"))
            collect(level);
    }
}

void MultistatusReader::endElement() {
    const int level = int(m_open.size());
    const Element e = m_open.takeLast();
    const Element parent = m_open.value(m_open.size() - 1);
    if (level == m_textLevel) {
        const QString text = std::exchange(m_text, QString());
        m_textLevel = 0;
        const int status = text.section(u' ', 1, 1).toInt();
        if (level == InMultistatus)
            m_result.syncToken = text.trimmed();
        else if (level == InResponse && e.name == QLatin1String("href"))
            m_item.href = QUrl::fromPercentEncoding(text.trimmed().toUtf8());
        else if (level == InResponse)
            m_item.status = status;
        else if (level == InPropstat)
            m_propstatStatus = status;
        else if (level == Property)
            m_propstat.props.insert(e.name, text);
        else if (!m_propstat.hrefs.contains(parent.name)) {
            m_propstat.hrefs.insert(parent.name, text.trimmed());
            m_propstat.hrefProps.append(parent.name);
        }
        return;
    }
    if (level == InMultistatus && e.dav && e.name == QLatin1String("response")) {
        m_result.items.append(std::move(m_item));
        m_item = DavItem();
    } else if (level == InResponse && e.dav && e.name == QLatin1String("propstat") &&
               (m_propstatStatus == 0 || (m_propstatStatus >= 200 && m_propstatStatus < 300))) {
        for (auto it = m_propstat.props.begin(); it != m_propstat.props.end(); ++it)
            m_item.props.insert(it.key(), it.value());
        m_item.resourceTypes += m_propstat.resourceTypes;
        for (auto it = m_propstat.hrefs.begin(); it != m_propstat.hrefs.end(); ++it)
            m_item.hrefs.insert(it.key(), it.value());
        m_item.hrefProps += m_propstat.hrefProps;
    }
}

Multistatus parseMultistatus(const QByteArray& body) {
    MultistatusReader reader;
    reader.feed(body);
    return reader.finish();
}

DavClient::DavClient(QObject* parent)
    : QObject(parent), m_network(new QNetworkAccessManager(this)) {
    // Redirects are followed here, so that a PROPFIND stays a PROPFIND.
    m_network->setRedirectPolicy(QNetworkRequest::ManualRedirectPolicy);
}

void DavClient::setCredentials(const QString& user, const QString& password) {
    m_authorization = "Basic " + (user.toUtf8() + ':' + password.toUtf8()).toBase64();
}

void DavClient::send(const QByteArray& method, const QUrl& url, const QByteArray& body,
                     const QList<QPair<QByteArray, QByteArray>>& headers, Done done) {
    Request request{method, url, url, body, headers, std::move(done)};
    if (m_deadlineMs > 0)
        request.deadline.setRemainingTime(m_deadlineMs);
    start(std::move(request));
}

struct DavClient::Reading {
    Reading(const Request& request, qsizetype maxCard)
        : host(request.url.host()),
          isMultistatus(request.method == "PROPFIND" || request.method == "REPORT"),
          multistatus(maxCard) {}
    QString host;
    bool isMultistatus;
    MultistatusReader multistatus;
    QByteArray body;
    qint64 received = 0;
    // Why the request was stopped here (too large, too slow); empty if not.
    QString stopped;
    DavResponse::Failure failure = DavResponse::Failure::None;
};

void DavClient::start(Request request) {
    QNetworkRequest http(request.url);
    http.setTransferTimeout(m_timeoutMs);
    http.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
    if (!m_authorization.isEmpty() && request.url.scheme() == request.origin.scheme() &&
        request.url.host() == request.origin.host() && request.url.port() == request.origin.port())
        http.setRawHeader("Authorization", m_authorization);
    for (const auto& [name, value] : request.headers)
        http.setRawHeader(name, value);
    QNetworkReply* reply = m_network->sendCustomRequest(http, request.method, request.body);
    auto sslTexts = std::make_shared<QStringList>();
    connect(reply, &QNetworkReply::sslErrors, reply, [sslTexts](const QList<QSslError>& errors) {
        for (const QSslError& e : errors)
            sslTexts->append(e.errorString());
    });
    auto reading = std::make_shared<Reading>(request, qsizetype(m_limits.card));
    if (!request.deadline.isForever()) {
        auto* deadline = new QTimer(reply);
        deadline->setSingleShot(true);
        connect(deadline, &QTimer::timeout, reply, [reply, reading] {
            reading->failure = DavResponse::Failure::Timeout;
            reading->stopped =
                tr("The server at %1 did not finish its answer in time.").arg(reading->host);
            reply->abort();
        });
        deadline->start(std::chrono::milliseconds(request.deadline.remainingTime()));
    }
    connect(reply, &QNetworkReply::readyRead, this,
            [this, reply, reading] { readSome(reply, *reading); });
    const quint64 generation = m_generation;
    connect(reply, &QNetworkReply::finished, this,
            [this, reply, request = std::move(request), sslTexts, reading, generation]() mutable {
                reply->deleteLater();
                if (generation != m_generation)
                    return;
                if (!sslTexts->isEmpty()) {
                    DavResponse r;
                    r.failure = DavResponse::Failure::Certificate;
                    r.url = request.url;
                    r.message = tr("The server's certificate is not trusted (%1), so nothing was "
                                   "sent to %2.")
                                    .arg(sslTexts->join(QStringLiteral("; ")), request.url.host());
                    request.done(r);
                    return;
                }
                finished(reply, std::move(request), *reading);
            });
}

// Takes in what has arrived: a multistatus answer goes through the reader
// at once, any other body is kept. Past a limit the request is stopped.
void DavClient::readSome(QNetworkReply* reply, Reading& reading) {
    if (!reading.stopped.isEmpty() || !reply->isOpen())
        return;
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    const QByteArray data = reply->readAll();
    if (status >= 300 && status < 400)
        return; // the body of a redirect is not wanted
    reading.received += data.size();
    const QString& host = reading.host;
    const QString tooLargeCard =
        tr("The server at %1 sent a card larger than %2 MiB; it was not read.");
    if (reading.received > m_limits.answer) {
        reading.stopped =
            tr("The answer of the server at %1 is larger than %2 MiB; it was not read.")
                .arg(host)
                .arg(m_limits.answer >> 20);
    } else if (status == 207 && reading.isMultistatus) {
        if (!reading.multistatus.feed(data))
            reading.stopped = tooLargeCard.arg(host).arg(m_limits.card >> 20);
    } else if (reading.body.size() + data.size() <= m_limits.card) {
        reading.body += data;
    } else if (status >= 200 && status < 300) {
        reading.stopped = tooLargeCard.arg(host).arg(m_limits.card >> 20);
    } // the rest of a failure's text is not needed
    if (!reading.stopped.isEmpty()) {
        reading.failure = DavResponse::Failure::TooLarge;
        reply->abort();
    }
}

void DavClient::finished(QNetworkReply* reply, Request request, Reading& reading) {
    readSome(reply, reading);
    DavResponse r;
    r.url = request.url;
    if (!reading.stopped.isEmpty()) {
        r.failure = reading.failure;
        r.message = reading.stopped;
        request.done(r);
        return;
    }
    r.status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    r.body = std::move(reading.body);
    if (r.status == 207 && reading.isMultistatus)
        r.multistatus = reading.multistatus.finish();
    r.etag = reply->rawHeader("ETag");
    const QNetworkReply::NetworkError error = reply->error();
    if (r.status >= 300 && r.status < 400 && r.status != 304) {
        QUrl target = request.url.resolved(QUrl::fromEncoded(reply->rawHeader("Location")));
        target.setUserInfo(QString()); // a name or password in it is not passed on
        if (++request.redirects > maxRedirects || !target.isValid() || target == request.url) {
            r.failure = DavResponse::Failure::RedirectLoop;
            r.message = tr("The server at %1 keeps redirecting; check the address.")
                            .arg(request.origin.host());
            request.done(r);
            return;
        }
        request.url = target;
        start(std::move(request));
        return;
    }
    if (r.status == 0) {
        if (error == QNetworkReply::OperationCanceledError ||
            error == QNetworkReply::TimeoutError) {
            r.failure = DavResponse::Failure::Timeout;
            r.message = tr("The server at %1 did not answer in time.").arg(request.url.host());
        } else if (error == QNetworkReply::SslHandshakeFailedError) {
            r.failure = DavResponse::Failure::Certificate;
            r.message = tr("A secure connection to %1 could not be made: %2")
                            .arg(request.url.host(), reply->errorString());
        } else {
            r.failure = DavResponse::Failure::Network;
            r.message = tr("The server at %1 cannot be reached: %2")
                            .arg(request.url.host(), reply->errorString());
        }
    } else if (r.status >= 400) {
        r.failure = DavResponse::Failure::Status;
        r.message = statusMessage(r.status, request.url);
    }
    request.done(r);
}

void DavClient::propfind(const QUrl& url, int depth, const QByteArray& body, Done done) {
    send("PROPFIND", url, body,
         {{"Depth", QByteArray::number(depth)}, {"Content-Type", "application/xml; charset=utf-8"}},
         std::move(done));
}

void DavClient::report(const QUrl& url, int depth, const QByteArray& body, Done done) {
    send("REPORT", url, body,
         {{"Depth", QByteArray::number(depth)}, {"Content-Type", "application/xml; charset=utf-8"}},
         std::move(done));
}

void DavClient::get(const QUrl& url, Done done) {
    send("GET", url, {}, {}, std::move(done));
}

// An ETag not of HTTP's grammar is never sent: the request fails at once.
bool DavClient::refuseEtag(const QUrl& url, const QByteArray& etag, const Done& done) {
    if (isValidEtag(etag))
        return false;
    DavResponse r;
    r.url = url;
    r.failure = DavResponse::Failure::Status;
    r.message =
        tr("The server at %1 gave %2 a version tag (ETag) that is not valid; nothing was sent.")
            .arg(url.host(), url.path());
    QTimer::singleShot(0, this, [done, r] { done(r); });
    return true;
}

void DavClient::put(const QUrl& url, const QByteArray& card, const QByteArray& ifMatch, Done done) {
    QList<QPair<QByteArray, QByteArray>> headers{{"Content-Type", "text/vcard; charset=utf-8"}};
    if (ifMatch.isEmpty())
        headers.append(qMakePair(QByteArray("If-None-Match"), QByteArray("*")));
    else if (!refuseEtag(url, ifMatch, done))
        headers.append(qMakePair(QByteArray("If-Match"), ifMatch));
    else
        return;
    send("PUT", url, card, headers, std::move(done));
}

void DavClient::remove(const QUrl& url, const QByteArray& ifMatch, Done done) {
    QList<QPair<QByteArray, QByteArray>> headers;
    if (!ifMatch.isEmpty() && refuseEtag(url, ifMatch, done))
        return;
    if (!ifMatch.isEmpty())
        headers.append(qMakePair(QByteArray("If-Match"), ifMatch));
    send("DELETE", url, {}, headers, std::move(done));
}

void DavClient::abortAll() {
    ++m_generation;
    for (QNetworkReply* reply : m_network->findChildren<QNetworkReply*>())
        reply->abort();
}

QString statusMessage(int status, const QUrl& url) {
    switch (status) {
    case 401:
        return tr("The server at %1 refused the user name or password.").arg(url.host());
    case 403:
        return tr("The server at %1 does not allow this account to use %2.")
            .arg(url.host(), url.path());
    case 404:
        return tr("There is no address book at %1.").arg(url.toDisplayString());
    default:
        break;
    }
    if (status >= 500)
        return tr("The server at %1 has a problem (HTTP %2); try again later.")
            .arg(url.host())
            .arg(status);
    return tr("The server at %1 answered HTTP %2.").arg(url.host()).arg(status);
}

} // namespace carddav
