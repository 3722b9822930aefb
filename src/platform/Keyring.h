#pragma once

#include <QString>

#include <functional>

class QObject;

namespace platform {

// The keyring door: the desktop's store of secrets. Sync passwords live
// there, never in the database or a plain file. A read does not wait: its
// answer comes from the event loop, so nothing runs again on the caller's
// stack meanwhile. Writing and removing wait for the keyring's answer.
class Keyring {
public:
    enum class Result {
        Ok,
        NotFound,    // no password stored under that key
        Unavailable, // no keyring service, or it refused
    };
    virtual ~Keyring() = default;
    // `done` gets the result and, when Ok, the password; never before read()
    // returned, and not at all once `context` is gone.
    using ReadDone = std::function<void(Result result, const QString& password)>;
    virtual void read(const QString& key, QObject* context, ReadDone done) = 0;
    virtual Result write(const QString& key, const QString& password) = 0;
    virtual Result remove(const QString& key) = 0;
};

// The door in use: the real one unless a test installed another.
Keyring& keyring();
// Installs a door (nullptr restores the real one). The caller keeps ownership.
void setKeyring(Keyring* door);

} // namespace platform
