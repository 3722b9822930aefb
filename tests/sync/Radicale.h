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

private:
    QString bookPath(const QString& name) const override { return user() + u'/' + name + u'/'; }
    QString scheme() const override { return m_tls ? u"https"_s : u"http"_s; }
    // Radicale reads an address book's files at the next request.
    QString storageFolder() const override {
        return m_dir.filePath(u"collections/collection-root"_s);
    }

    bool m_tls = false;
};
