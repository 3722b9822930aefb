#pragma once

#include "data/SyncStore.h"

#include <QHash>
#include <QObject>
#include <QString>

#include <functional>
#include <optional>

namespace carddav {

// Where a sync gets an account's password: the keyring first; without a
// keyring service (or without an entry) the user is asked, once per run,
// and the answer is kept for the rest of the run only.
class Passwords {
public:
    // Asks the user; nullopt when they decline. `why` says why they are asked.
    using Ask =
        std::function<std::optional<QString>(const SyncAccount& account, const QString& why)>;
    explicit Passwords(Ask ask = {}) : m_ask(std::move(ask)) {}

    // Answers from the event loop once the keyring answered (and the user,
    // when asked), unless `context` is gone by then.
    using Answer = std::function<void(std::optional<QString>)>;
    void request(const SyncAccount& account, QObject* context, Answer answer);
    // Stores a password for the account; false when there is no keyring, in
    // which case it is kept for this run.
    bool store(const QString& url, const QString& user, const QString& password);
    void forget(const QString& url, const QString& user);

    // The keyring's key of an account.
    static QString keyOf(const QString& url, const QString& user);

private:
    // The keyring had no password for the account: the user is asked, once.
    std::optional<QString> askFor(const SyncAccount& account, bool keyringAvailable);

    Ask m_ask;
    QHash<QString, QString> m_thisRun;
    QHash<QString, bool> m_asked;
};

} // namespace carddav
