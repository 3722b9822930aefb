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
// Only for writing and removing, which the user asked for and waits on.
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
    void read(const QString& key, QObject* context, ReadDone done) override {
        auto* job = new QKeychain::ReadPasswordJob(service); // deletes itself when finished
        job->setKey(key);
        // Queued: a job that fails at once finishes inside start().
        QObject::connect(job, &QKeychain::Job::finished, context, [job, context, done] {
            const Result result = resultOf(job->error());
            const QString password = result == Result::Ok ? job->textData() : QString();
            QMetaObject::invokeMethod(
                context, [done, result, password] { done(result, password); },
                Qt::QueuedConnection);
        });
        job->start();
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
