#pragma once

#include "platform/Shell.h"
#include "platform/Telephony.h"

#include <QList>
#include <QMap>
#include <QSet>
#include <QStringList>

// The telephony door's double, installed for its lifetime: records every call request.
class RecordingTelephony : public platform::Telephony {
public:
    RecordingTelephony() { platform::setTelephony(this); }
    ~RecordingTelephony() override { platform::setTelephony(nullptr); }

    struct Request {
        QString destination, appName, calledParty, comment;
    };
    bool requestMakeCall(const QString& destination, const QString& appName,
                         const QString& calledParty, const QString& comment) override {
        requests << Request{destination, appName, calledParty, comment};
        return true;
    }
    QList<Request> requests;
};

// The shell door's double, installed for its lifetime. Its registry, like the
// machine-wide keys of an ordinary user, refuses write rights.
class FakeShell : public platform::Shell {
public:
    FakeShell() { platform::setShell(this); }
    ~FakeShell() override { platform::setShell(nullptr); }

    // "key|value name" -> data, under HKEY_LOCAL_MACHINE
    QMap<QString, QString> registry;
    QSet<QString> existingFiles;
    QStringList openedUrls;
    QStringList startedPrograms;

    std::optional<QString> readRegistryString(quint32 root, const QString& keyName,
                                              const QString& valueName,
                                              platform::RegistryAccess access) override {
        const QString entry = keyName + u'|' + valueName;
        if (root != platform::HKEY_LOCAL_MACHINE || access != platform::RegistryAccess::Read ||
            !registry.contains(entry))
            return std::nullopt;
        return registry.value(entry);
    }
    bool openUrl(const QString& url) override {
        openedUrls << url;
        return true;
    }
    bool fileExists(const QString& path) override { return existingFiles.contains(path); }
    bool startProgram(const QString& path) override {
        startedPrograms << path;
        return true;
    }
};
