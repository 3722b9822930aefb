#pragma once

#include <QString>

#include <optional>

namespace platform {

// Registry roots and rights as the program names them.
constexpr quint32 HKEY_LOCAL_MACHINE = 0x80000002;
enum class RegistryAccess { Read, ReadWrite };

// The shell door: the few desktop services the About box relies on.
class Shell {
public:
    virtual ~Shell() = default;
    // The string value `valueName` under `keyName` of the registry root `root`,
    // opened with the given rights; nothing when the key or the value is
    // missing or the rights are refused.
    virtual std::optional<QString> readRegistryString(quint32 root, const QString& keyName,
                                                      const QString& valueName,
                                                      RegistryAccess access) = 0;
    // Hands a link ("mailto:...", "http://...") to the desktop; true when taken.
    virtual bool openUrl(const QString& url) = 0;
    virtual bool fileExists(const QString& path) = 0;
    // Starts the program at `path` in its own window; true when it started.
    virtual bool startProgram(const QString& path) = 0;
};

// The "mailto:" link that writes to the address, every character of it but
// "@" and the unreserved ones percent-encoded.
QString mailtoUrl(const QString& address);

// The door in use: the real one unless a test installed another.
Shell& shell();
// Installs a door (nullptr restores the real one). The caller keeps ownership.
void setShell(Shell* door);

// The system-information key and value, the one value the stand-in registry
// of this platform answers.
QString systemInfoKey();
QString systemInfoValue();

} // namespace platform
