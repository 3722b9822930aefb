#include "sync/Passwords.h"

#include "platform/Keyring.h"

#include <QCoreApplication>

namespace carddav {

QString Passwords::keyOf(const QString& url, const QString& user) {
    return user + u'@' + url;
}

void Passwords::request(const SyncAccount& account, QObject* context, Answer answer) {
    const QString key = keyOf(account.url, account.user);
    if (const auto it = m_thisRun.constFind(key); it != m_thisRun.constEnd()) {
        QMetaObject::invokeMethod(
            context, [answer, password = *it] { answer(password); }, Qt::QueuedConnection);
        return;
    }
    platform::keyring().read(
        key, context,
        [this, account, answer](platform::Keyring::Result result, const QString& password) {
            if (result == platform::Keyring::Result::Ok)
                answer(password);
            else
                answer(askFor(account, result != platform::Keyring::Result::Unavailable));
        });
}

std::optional<QString> Passwords::askFor(const SyncAccount& account, bool keyringAvailable) {
    const QString key = keyOf(account.url, account.user);
    if (!m_ask || m_asked.value(key))
        return std::nullopt;
    m_asked.insert(key, true);
    const QString why =
        !keyringAvailable
            ? QCoreApplication::translate("carddav::Passwords",
                                          "No keyring is available to remember the password.")
            : QCoreApplication::translate("carddav::Passwords",
                                          "The keyring holds no password for this account.");
    const std::optional<QString> answer = m_ask(account, why);
    if (answer)
        m_thisRun.insert(key, *answer);
    return answer;
}

bool Passwords::store(const QString& url, const QString& user, const QString& password) {
    const QString key = keyOf(url, user);
    if (platform::keyring().write(key, password) == platform::Keyring::Result::Ok) {
        m_thisRun.remove(key);
        return true;
    }
    m_thisRun.insert(key, password);
    return false;
}

void Passwords::forget(const QString& url, const QString& user) {
    const QString key = keyOf(url, user);
    m_thisRun.remove(key);
    platform::keyring().remove(key);
}

} // namespace carddav
