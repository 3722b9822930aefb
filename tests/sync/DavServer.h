#pragma once

#include "sync/DavClient.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QUrl>

#include <utility>

using namespace Qt::StringLiterals;

// A real CardDAV server of the tests' own on 127.0.0.1 and a free port, with
// a temporary storage folder, stopped when the object goes and killed with
// the process that started it. start() after stop() serves the same folder
// on the same port again.
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
    virtual bool placeCards(const QString& book,
                            const QList<std::pair<QString, QByteArray>>& cards) = 0;
    carddav::DavResponse request(const QByteArray& method, const QUrl& url,
                                 const QByteArray& body = {},
                                 const QList<QPair<QByteArray, QByteArray>>& headers = {});
    QString error() const { return m_error; }

protected:
    virtual QUrl addressBookUrl(const QString& name) const = 0;
    virtual QString scheme() const { return u"http"_s; }
    // Starts the server and waits until it listens on port(). Its output
    // goes to the test's, or to logFile when it talks of every request.
    bool launch(const QString& program, const QStringList& arguments, const QString& logFile = {});
    quint16 port();
    bool fail(const QString& error) { return m_error = error, false; }
    static bool writeFile(const QString& path, const QByteArray& text);

    QTemporaryDir m_dir;

private:
    QProcess m_process;
    quint16 m_port = 0;
    QString m_error;
};
