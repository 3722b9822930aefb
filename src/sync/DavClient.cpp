#include "sync/DavClient.h"

#include <QCoreApplication>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QSslError>
#include <QXmlStreamReader>

namespace carddav {

namespace {

// The context lupdate gives the calls outside a class in this file.
QString tr(const char* text) {
    return QCoreApplication::translate("carddav", text);
}

constexpr int maxRedirects = 5;

} // namespace

Multistatus parseMultistatus(const QByteArray& body) {
    Multistatus result;
    QXmlStreamReader xml(body);
    const QString dav = QStringLiteral("DAV:");
    bool sawMultistatus = false;
    DavItem item;
    int depth = 0; // element depth inside <response>
    QString prop;  // the property being read, at depth of <prop> + 1
    int propDepth = 0;
    int propstatStatus = 0;
    QHash<QString, QString> propstatProps;
    QStringList propstatTypes;
    QHash<QString, QString> propstatHrefs;
    bool inResponse = false, inPropstat = false, inProp = false;
    while (!xml.atEnd()) {
        const auto token = xml.readNext();
        if (token == QXmlStreamReader::StartElement) {
            const QString name = xml.name().toString();
            const bool isDav = xml.namespaceUri() == dav;
            if (!inResponse) {
                if (isDav && name == QLatin1String("multistatus"))
                    sawMultistatus = true;
                else if (isDav && name == QLatin1String("response") && sawMultistatus) {
                    inResponse = true;
                    item = DavItem();
                } else if (isDav && name == QLatin1String("sync-token") && sawMultistatus)
                    result.syncToken = xml.readElementText().trimmed();
                continue;
            }
            ++depth;
            if (inProp) {
                if (prop.isEmpty()) {
                    prop = name;
                    propDepth = depth;
                } else if (prop == QLatin1String("resourcetype")) {
                    propstatTypes.append(name);
                } else if (isDav && name == QLatin1String("href")) {
                    propstatHrefs.insert(prop, xml.readElementText().trimmed());
                    --depth;
                }
                continue;
            }
            if (isDav && name == QLatin1String("href") && depth == 1) {
                item.href = QUrl::fromPercentEncoding(xml.readElementText().trimmed().toUtf8());
                --depth;
            } else if (isDav && name == QLatin1String("status") && depth == 1) {
                item.status = xml.readElementText().section(u' ', 1, 1).toInt();
                --depth;
            } else if (isDav && name == QLatin1String("propstat")) {
                inPropstat = true;
                propstatStatus = 0;
                propstatProps.clear();
                propstatTypes.clear();
                propstatHrefs.clear();
            } else if (inPropstat && isDav && name == QLatin1String("prop")) {
                inProp = true;
            } else if (inPropstat && isDav && name == QLatin1String("status")) {
                propstatStatus = xml.readElementText().section(u' ', 1, 1).toInt();
                --depth;
            }
        } else if (token == QXmlStreamReader::Characters) {
            if (inProp && !prop.isEmpty() && depth == propDepth)
                propstatProps[prop] += xml.text().toString();
        } else if (token == QXmlStreamReader::EndElement) {
            if (!inResponse)
                continue;
            const QString name = xml.name().toString();
            if (depth == 0) {
                inResponse = false;
                result.items.append(item);
                continue;
            }
            if (inProp && !prop.isEmpty() && depth == propDepth) {
                prop.clear();
            } else if (inProp && prop.isEmpty() && name == QLatin1String("prop")) {
                inProp = false;
            } else if (inPropstat && name == QLatin1String("propstat")) {
                inPropstat = false;
                if (propstatStatus == 0 || (propstatStatus >= 200 && propstatStatus < 300)) {
                    for (auto it = propstatProps.begin(); it != propstatProps.end(); ++it)
                        item.props.insert(it.key(), it.value());
                    item.resourceTypes += propstatTypes;
                    for (auto it = propstatHrefs.begin(); it != propstatHrefs.end(); ++it) {
                        item.hrefs.insert(it.key(), it.value());
                        item.hrefProps.append(it.key());
                    }
                }
            }
            --depth;
        }
    }
    result.valid = sawMultistatus && !xml.hasError();
    return result;
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
    start({method, url, url, body, headers, std::move(done), 0});
}

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
    const quint64 generation = m_generation;
    connect(reply, &QNetworkReply::finished, this,
            [this, reply, request = std::move(request), sslTexts, generation]() mutable {
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
                finished(reply, std::move(request));
            });
}

void DavClient::finished(QNetworkReply* reply, Request request) {
    DavResponse r;
    r.url = request.url;
    r.status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (reply->isOpen())
        r.body = reply->readAll();
    r.etag = reply->rawHeader("ETag");
    const QNetworkReply::NetworkError error = reply->error();
    if (r.status >= 300 && r.status < 400 && r.status != 304) {
        const QUrl target = request.url.resolved(QUrl::fromEncoded(reply->rawHeader("Location")));
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

void DavClient::put(const QUrl& url, const QByteArray& card, const QByteArray& ifMatch, Done done) {
    QList<QPair<QByteArray, QByteArray>> headers{{"Content-Type", "text/vcard; charset=utf-8"}};
    if (ifMatch.isEmpty())
        headers.append(qMakePair(QByteArray("If-None-Match"), QByteArray("*")));
    else
        headers.append(qMakePair(QByteArray("If-Match"), ifMatch));
    send("PUT", url, card, headers, std::move(done));
}

void DavClient::remove(const QUrl& url, const QByteArray& ifMatch, Done done) {
    QList<QPair<QByteArray, QByteArray>> headers;
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
