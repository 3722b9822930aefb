#include "support/DesktopDoubles.h"

RecordingTelephony::RecordingTelephony() {
    platform::setTelephony(this);
}

RecordingTelephony::~RecordingTelephony() {
    platform::setTelephony(nullptr);
}

bool RecordingTelephony::requestMakeCall(const QString& destination, const QString& appName,
                                         const QString& calledParty, const QString& comment) {
    requests << Request{destination, appName, calledParty, comment};
    return true;
}

FakeShell::FakeShell() {
    platform::setShell(this);
}

FakeShell::~FakeShell() {
    platform::setShell(nullptr);
}

void FakeShell::setRegistryString(const QString& keyName, const QString& valueName,
                                  const QString& value) {
    m_registry.insert(keyName + u'|' + valueName, value);
}

std::optional<QString> FakeShell::readRegistryString(quint32 root, const QString& keyName,
                                                     const QString& valueName,
                                                     platform::RegistryAccess access) {
    const QString entry = keyName + u'|' + valueName;
    if (root != platform::HKEY_LOCAL_MACHINE || access != platform::RegistryAccess::Read ||
        !m_registry.contains(entry))
        return std::nullopt;
    return m_registry.value(entry);
}

bool FakeShell::openUrl(const QString& url) {
    openedUrls << url;
    return true;
}

bool FakeShell::fileExists(const QString& path) {
    return existingFiles.contains(path);
}

bool FakeShell::startProgram(const QString& path) {
    startedPrograms << path;
    return true;
}
