#include "platform/Keyring.h"

#include "platform/Door.h"

#include <QEventLoop>
#include <qt6keychain/keychain.h>

namespace platform {

namespace {

const QString service = QStringLiteral("Orvanta Contacts sync");

Keyring::Result resultOf(QKeychain::Error error) {
    switch (error) {
    case QKeychain::NoError:
        return Keyring::Result::Ok;
    case QKeychain::EntryNotFound:
        return Keyring::Result::NotFound;
    default:
        break;
    }
    return Keyring::Result::Unavailable;
}

// Runs a job to its end; the window's events keep being handled meanwhile.
Keyring::Result run(QKeychain::Job& job) {
    job.setAutoDelete(false);
    QEventLoop loop;
    QObject::connect(&job, &QKeychain::Job::finished, &loop, &QEventLoop::quit);
    job.start();
    loop.exec();
    return resultOf(job.error());
}

// The desktop's keyring through QtKeychain (the Secret Service on Linux).
// Without a keyring service every call answers Unavailable.
class DesktopKeyring : public Keyring {
public:
    Result read(const QString& key, QString& password) override {
        QKeychain::ReadPasswordJob job(service);
        job.setKey(key);
        const Result result = run(job);
        if (result == Result::Ok)
            password = job.textData();
        return result;
    }
    Result write(const QString& key, const QString& password) override {
        QKeychain::WritePasswordJob job(service);
        job.setKey(key);
        job.setTextData(password);
        return run(job);
    }
    Result remove(const QString& key) override {
        QKeychain::DeletePasswordJob job(service);
        job.setKey(key);
        const Result result = run(job);
        return result == Result::NotFound ? Result::Ok : result;
    }
};

Door<Keyring, DesktopKeyring> door;

} // namespace

Keyring& keyring() {
    return door.get();
}

void setKeyring(Keyring* replacement) {
    door.install(replacement);
}

} // namespace platform
