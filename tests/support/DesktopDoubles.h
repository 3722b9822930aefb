#pragma once

#include "platform/Shell.h"
#include "platform/Telephony.h"

#include <QList>
#include <QMap>
#include <QSet>
#include <QStringList>

// The telephony door's double: records every call request. It installs
// itself for its lifetime and restores the real door after.
class RecordingTelephony : public platform::Telephony {
public:
    RecordingTelephony();
    ~RecordingTelephony() override;

    struct Request {
        QString destination, appName, calledParty, comment;
    };
    bool requestMakeCall(const QString& destination, const QString& appName,
                         const QString& calledParty, const QString& comment) override;
    QList<Request> requests;
};

// The shell door's double: a registry of string values that, like the
// machine-wide keys of an ordinary user, refuses write rights; a set of
// existing files; and records of every link opened and program started.
// Installs itself for its lifetime.
class FakeShell : public platform::Shell {
public:
    FakeShell();
    ~FakeShell() override;

    void setRegistryString(const QString& keyName, const QString& valueName, const QString& value);
    QSet<QString> existingFiles;

    std::optional<QString> readRegistryString(quint32 root, const QString& keyName,
                                              const QString& valueName,
                                              platform::RegistryAccess access) override;
    bool openUrl(const QString& url) override;
    bool fileExists(const QString& path) override;
    bool startProgram(const QString& path) override;

    QStringList openedUrls;
    QStringList startedPrograms;

private:
    QMap<QString, QString> m_registry; // "key|value name" -> data, under HKEY_LOCAL_MACHINE
};
