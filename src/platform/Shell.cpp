#include "platform/Shell.h"

#include "platform/Door.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

namespace platform {

namespace {

// System information viewers looked for on PATH, in order of preference.
const char* const systemInfoViewers[] = {"hardinfo", "kinfocenter", "gnome-system-monitor"};

// The desktop behind the door. There is no registry on this platform: a
// stand-in answers the one key the program reads to find the system
// information viewer, with the first viewer found on PATH. The key is
// machine-wide and read-only to the program, so asking for write rights is
// refused, as it would be for an ordinary user.
class DesktopShell : public Shell {
public:
    std::optional<QString> readRegistryString(quint32 root, const QString& keyName,
                                              const QString& valueName,
                                              RegistryAccess access) override {
        if (access != RegistryAccess::Read || root != HKEY_LOCAL_MACHINE)
            return std::nullopt;
        // Registry names ignore letter case.
        if (keyName.compare(systemInfoKey(), Qt::CaseInsensitive) != 0 ||
            valueName.compare(systemInfoValue(), Qt::CaseInsensitive) != 0)
            return std::nullopt;
        for (const char* viewer : systemInfoViewers) {
            const QString path = QStandardPaths::findExecutable(QLatin1String(viewer));
            if (!path.isEmpty())
                return path;
        }
        return std::nullopt;
    }

    bool openUrl(const QString& url) override { return QDesktopServices::openUrl(QUrl(url)); }

    bool fileExists(const QString& path) override { return QFileInfo(path).isFile(); }

    bool startProgram(const QString& path) override {
        return !path.isEmpty() && QProcess::startDetached(path, {});
    }
};

Door<Shell, DesktopShell> door;

} // namespace

Shell& shell() {
    return door.get();
}

void setShell(Shell* replacement) {
    door.install(replacement);
}

QString systemInfoKey() {
    return QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools\\MSINFO");
}

QString systemInfoValue() {
    return QStringLiteral("PATH");
}

QString mailtoUrl(const QString& address) {
    return QStringLiteral("mailto:") + QString::fromLatin1(QUrl::toPercentEncoding(address, "@"));
}

} // namespace platform
