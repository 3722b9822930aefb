#include "sync/Discovery.h"

#include "sync/DavClient.h"

#include <algorithm>

namespace carddav {

namespace {

const QString addressbookType = QStringLiteral("addressbook");
const QString principalProp = QStringLiteral("current-user-principal");
const QString homeSetProp = QStringLiteral("addressbook-home-set");

const QByteArray probeBody = "<?xml version=\"1.0\" encoding=\"utf-8\"?>"
                             "<d:propfind xmlns:d=\"DAV:\" "
                             "xmlns:c=\"urn:ietf:params:xml:ns:carddav\"><d:prop>"
                             "<d:current-user-principal/><c:addressbook-home-set/>"
                             "<d:resourcetype/><d:displayname/></d:prop></d:propfind>";
const QByteArray principalBody = "<?xml version=\"1.0\" encoding=\"utf-8\"?>"
                                 "<d:propfind xmlns:d=\"DAV:\" "
                                 "xmlns:c=\"urn:ietf:params:xml:ns:carddav\"><d:prop>"
                                 "<c:addressbook-home-set/></d:prop></d:propfind>";
const QByteArray listBody = "<?xml version=\"1.0\" encoding=\"utf-8\"?>"
                            "<d:propfind xmlns:d=\"DAV:\"><d:prop>"
                            "<d:resourcetype/><d:displayname/></d:prop></d:propfind>";

// A response's own href (already decoded) on the server that answered.
QUrl urlOfResponse(const QUrl& answered, const QString& href) {
    if (!href.startsWith(u'/'))
        return answered.resolved(QUrl(href, QUrl::TolerantMode));
    QUrl url = answered;
    url.setPath(href, QUrl::DecodedMode);
    url.setQuery(QString());
    url.setFragment(QString());
    return url;
}

// An href inside a property, as the server wrote it.
QUrl urlOfProperty(const QUrl& answered, const QString& href) {
    return answered.resolved(QUrl::fromEncoded(href.toUtf8(), QUrl::TolerantMode));
}

AddressBookInfo infoOf(const QUrl& answered, const DavItem& item) {
    AddressBookInfo info;
    info.url = urlOfResponse(answered, item.href);
    info.url.setUserInfo(QString()); // the address stored never holds a password
    info.name = item.props.value(QStringLiteral("displayname")).trimmed();
    if (info.name.isEmpty()) {
        QString path = info.url.path();
        while (path.endsWith(u'/'))
            path.chop(1);
        info.name = path.section(u'/', -1);
    }
    return info;
}

} // namespace

AddressBookDiscovery::AddressBookDiscovery(QObject* parent)
    : QObject(parent), m_client(new DavClient(this)) {}

QUrl AddressBookDiscovery::serverUrl(const QString& typed) {
    const QString text = typed.trimmed();
    if (text.isEmpty())
        return {};
    QUrl url(text.contains(QLatin1String("://")) ? text : QStringLiteral("https://") + text,
             QUrl::TolerantMode);
    if (!url.isValid() || url.host().isEmpty() ||
        (url.scheme() != QLatin1String("http") && url.scheme() != QLatin1String("https")))
        return {};
    if (url.path().isEmpty())
        url.setPath(QStringLiteral("/"));
    return url;
}

void AddressBookDiscovery::setTimeout(int milliseconds) {
    m_client->setTimeout(milliseconds);
}

void AddressBookDiscovery::start(const QUrl& server, const QString& user, const QString& password) {
    cancel();
    m_running = true;
    m_server = server;
    m_client->setCredentials(user, password);
    QUrl wellKnown = server;
    wellKnown.setPath(QStringLiteral("/.well-known/carddav"));
    wellKnown.setQuery(QString());
    m_candidates = {wellKnown};
    if (server != wellKnown)
        m_candidates.append(server);
    probe(0);
}

void AddressBookDiscovery::cancel() {
    m_client->abortAll();
    m_running = false;
}

void AddressBookDiscovery::fail(const QString& message) {
    m_running = false;
    emit failed(message);
}

bool AddressBookDiscovery::stopsSearch(const DavResponse& r) {
    const bool stops = r.failure == DavResponse::Failure::Network ||
                       r.failure == DavResponse::Failure::Timeout ||
                       r.failure == DavResponse::Failure::Certificate ||
                       r.failure == DavResponse::Failure::RedirectLoop || r.status == 401 ||
                       r.status == 403 || r.status >= 500;
    if (stops)
        fail(r.message.isEmpty() ? statusMessage(r.status, r.url) : r.message);
    return stops;
}

void AddressBookDiscovery::probe(qsizetype candidate) {
    if (candidate >= m_candidates.size()) {
        fail(tr("No address book was found at %1. Check the address, or enter the address of "
                "the address book itself.")
                 .arg(m_server.toDisplayString()));
        return;
    }
    m_client->propfind(m_candidates[candidate], 0, probeBody,
                       [this, candidate](const DavResponse& r) {
                           if (stopsSearch(r))
                               return;
                           const Multistatus& ms = r.multistatus;
                           if (!ms.valid || ms.items.isEmpty()) {
                               probe(candidate + 1);
                               return;
                           }
                           const DavItem& item = ms.items.first();
                           if (item.resourceTypes.contains(addressbookType)) {
                               m_running = false;
                               emit found({infoOf(r.url, item)});
                           } else if (item.hrefs.contains(homeSetProp)) {
                               listHomeSet(urlOfProperty(r.url, item.hrefs.value(homeSetProp)));
                           } else if (item.hrefs.contains(principalProp)) {
                               askPrincipal(urlOfProperty(r.url, item.hrefs.value(principalProp)));
                           } else {
                               probe(candidate + 1);
                           }
                       });
}

void AddressBookDiscovery::askPrincipal(const QUrl& principal) {
    m_client->propfind(principal, 0, principalBody, [this](const DavResponse& r) {
        if (stopsSearch(r))
            return;
        const Multistatus& ms = r.multistatus;
        if (!ms.valid || ms.items.isEmpty() || !ms.items.first().hrefs.contains(homeSetProp)) {
            fail(tr("The server at %1 names no address book home for this account.")
                     .arg(r.url.host()));
            return;
        }
        listHomeSet(urlOfProperty(r.url, ms.items.first().hrefs.value(homeSetProp)));
    });
}

void AddressBookDiscovery::listHomeSet(const QUrl& home) {
    m_client->propfind(home, 1, listBody, [this](const DavResponse& r) {
        if (stopsSearch(r))
            return;
        const Multistatus& ms = r.multistatus;
        if (!ms.valid) {
            fail(r.status == 207 ? tr("The server's answer could not be read (malformed XML).")
                                 : statusMessage(r.status, r.url));
            return;
        }
        QList<AddressBookInfo> books;
        for (const DavItem& item : ms.items)
            if (item.resourceTypes.contains(addressbookType))
                books.append(infoOf(r.url, item));
        if (books.isEmpty()) {
            fail(tr("The account has no address book on %1.").arg(r.url.host()));
            return;
        }
        std::stable_sort(books.begin(), books.end(),
                         [](const AddressBookInfo& a, const AddressBookInfo& b) {
                             return QString::localeAwareCompare(a.name, b.name) < 0;
                         });
        m_running = false;
        emit found(books);
    });
}

} // namespace carddav
