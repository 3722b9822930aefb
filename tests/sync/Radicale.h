#pragma once

#include "DavServer.h"

// Radicale with one htpasswd user. With tls, it serves https with a
// self-signed certificate made at start, which nobody trusts until told to.
class Radicale : public DavServer {
public:
    explicit Radicale(bool tls = false) : m_tls(tls) {}
    bool start() override;
    QString name() const override { return u"Radicale"_s; }
    QString certificateFile() const { return m_dir.filePath(u"cert.pem"_s); }
    bool placeCards(const QString& book,
                    const QList<std::pair<QString, QByteArray>>& cards) override;

private:
    QUrl addressBookUrl(const QString& name) const override;
    QString scheme() const override { return m_tls ? u"https"_s : u"http"_s; }
    // An address book's cards are the files of collection-root/<user>/<name>/ in it.
    QString storageFolder() const { return m_dir.filePath(u"collections"_s); }

    bool m_tls = false;
};
