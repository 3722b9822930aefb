#pragma once

#include <QList>
#include <QObject>
#include <QString>
#include <QUrl>

namespace carddav {

class DavClient;
struct DavResponse;

// An address book found on a server: the collection's address and the name
// the server gives it.
struct AddressBookInfo {
    QUrl url;
    QString name;
};

// Finds the address books of an account: /.well-known/carddav (and then the
// address as given), the current user principal, its address book home set,
// and the collections in the home set whose resource type is addressbook.
// An address that names an address book itself is that one book. Every step
// is asynchronous; exactly one of found() or failed() ends a search.
class AddressBookDiscovery : public QObject {
    Q_OBJECT
public:
    explicit AddressBookDiscovery(QObject* parent = nullptr);

    // The address a user typed, with https:// when no scheme is given;
    // invalid when it is not an http or https address.
    static QUrl serverUrl(const QString& typed);

    void setTimeout(int milliseconds);
    void start(const QUrl& server, const QString& user, const QString& password);
    // Stops a search under way; neither signal follows.
    void cancel();
    bool isRunning() const { return m_running; }

signals:
    void found(const QList<carddav::AddressBookInfo>& books);
    void failed(const QString& message);

private:
    void probe(qsizetype candidate);
    void askPrincipal(const QUrl& principal);
    void listHomeSet(const QUrl& home);
    void fail(const QString& message);
    // True when the answer ends the search: it was sent on to failed().
    bool stopsSearch(const DavResponse& response);

    DavClient* m_client;
    QList<QUrl> m_candidates;
    QUrl m_server;
    bool m_running = false;
};

} // namespace carddav
