#pragma once

#include <QString>

namespace platform {

// The keyring door: the desktop's store of secrets. Sync passwords live
// there, never in the database or a plain file. Each call waits for the
// keyring's answer.
class Keyring {
public:
    enum class Result {
        Ok,
        NotFound,    // no password stored under that key
        Unavailable, // no keyring service, or it refused
    };
    virtual ~Keyring() = default;
    virtual Result read(const QString& key, QString& password) = 0;
    virtual Result write(const QString& key, const QString& password) = 0;
    virtual Result remove(const QString& key) = 0;
};

// The door in use: the real one unless a test installed another.
Keyring& keyring();
// Installs a door (nullptr restores the real one). The caller keeps ownership.
void setKeyring(Keyring* door);

} // namespace platform
