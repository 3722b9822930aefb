#pragma once

#include "DavServer.h"

// Xandikos, which keeps each address book as a git repository and signs
// nobody in: it takes any user and password, and the user's principal,
// /anna/, and its address book home, /anna/contacts/, are made at start.
class Xandikos : public DavServer {
public:
    bool start() override;
    QString name() const override { return u"Xandikos"_s; }

private:
    QString bookPath(const QString& name) const override {
        return user() + u"/contacts/"_s + name + u'/';
    }
    QString storageFolder() const override { return m_dir.filePath(u"data"_s); }
    // Xandikos lists what the repository's index holds.
    bool takeFiles(const QString& folder) override;
};
