#pragma once

#include "DavServer.h"

// Xandikos, which keeps each address book as a git repository and signs
// nobody in: it takes any user and password, and the user's principal,
// /anna/, and its address book home, /anna/contacts/, are made at start.
class Xandikos : public DavServer {
public:
    bool start() override;
    QString name() const override { return u"Xandikos"_s; }
    bool placeCards(const QString& book,
                    const QList<std::pair<QString, QByteArray>>& cards) override;

private:
    QUrl addressBookUrl(const QString& name) const override;
    QString storageFolder() const { return m_dir.filePath(u"data"_s); }
};
