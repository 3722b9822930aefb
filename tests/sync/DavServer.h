#pragma once

#include "sync/DavClient.h"

#include <QProcess>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QUrl>

#include <functional>
#include <optional>
#include <utility>

using namespace Qt::StringLiterals;

// A real CardDAV server on 127.0.0.1 and a free port, with a temporary storage
// folder, stopped when the object goes; start() after stop() serves it again.
class DavServer {
public:
    virtual ~DavServer() { stop(); }
    virtual bool start() = 0;
    void stop();

    virtual QString name() const = 0;
    // Every server knows this user; one without sign-in takes any.
    QString user() const { return u"anna"_s; }
    QString password() const { return u"s3cret pass"_s; }
    QUrl root() const;
    QUrl makeAddressBook(const QString& name); // of the user's; its URL
    // Puts cards (file name, text) straight into an address book's storage,
    // as fast as the disk takes them: a request each would take minutes.
    bool placeCards(const QString& book, const QList<std::pair<QString, QByteArray>>& cards);
    carddav::DavResponse request(const QByteArray& method, const QUrl& url,
                                 const QByteArray& body = {},
                                 const QList<QPair<QByteArray, QByteArray>>& headers = {});
    QString error() const { return m_error; }

protected:
    // An address book's path under root() and under storageFolder().
    virtual QString bookPath(const QString& name) const = 0;
    virtual QString storageFolder() const = 0;
    virtual bool takeFiles(const QString&) { return true; }
    virtual QString scheme() const { return u"http"_s; }
    // Starts the server and waits until it listens on port(); its output
    // goes to server.log in the storage folder.
    bool launch(const QString& program, const QStringList& arguments);
    quint16 port();
    bool fail(const QString& error) { return m_error = error, false; }
    static bool writeFile(const QString& path, const QByteArray& text);

    QTemporaryDir m_dir;

private:
    QProcess m_process;
    quint16 m_port = 0;
    QString m_error;
};

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
    std::optional<Request> take(QByteArray& received);
    void reply(QTcpSocket* socket, const QByteArray& text) const;

    QTcpServer m_server;
    Answer m_answer;
    QList<Request> m_requests;
    int m_trickleMs = 0;
};
