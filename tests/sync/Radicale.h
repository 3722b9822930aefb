#pragma once

#include "sync/DavClient.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QUrl>

using namespace Qt::StringLiterals;

// A CardDAV server of its own: Radicale on 127.0.0.1 and a free port, with a
// temporary storage folder and one htpasswd user, stopped when the object
// goes. With tls, it serves https with a self-signed certificate made at
// start, which nobody trusts until told to.
class Radicale {
public:
    explicit Radicale(bool tls = false) : m_tls(tls) {}
    ~Radicale() { stop(); }
    bool start();
    void stop();

    QString user() const { return u"anna"_s; }
    QString password() const { return u"s3cret pass"_s; }
    QUrl root() const;
    QString certificateFile() const { return m_dir.filePath(u"cert.pem"_s); }
    // An address book's cards are the files of collection-root/<user>/<name>/ in it.
    QString storageFolder() const { return m_dir.filePath(u"collections"_s); }
    QUrl makeAddressBook(const QString& name); // of the user's; its URL
    carddav::DavResponse request(const QByteArray& method, const QUrl& url,
                                 const QByteArray& body = {},
                                 const QList<QPair<QByteArray, QByteArray>>& headers = {});
    QString error() const { return m_error; }

private:
    QTemporaryDir m_dir;
    QProcess m_process;
    quint16 m_port = 0;
    bool m_tls = false;
    QString m_error;
};
