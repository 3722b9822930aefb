#include "app/Startup.h"

#include "data/ConnectionString.h"
#include "data/Schema.h"
#include "platform/MessageBoxes.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

bool hasDisplay() {
    return !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") ||
           !qEnvironmentVariableIsEmpty("DISPLAY") ||
           !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
}

namespace {

// True for a copy installed by `cmake --install` or the package: the program
// sits in <prefix>/bin and its launcher in <prefix>/share/applications. Such a
// folder belongs to the system even when the user starting the program (root,
// or the owner of a private prefix) could write into it.
bool isInstalledCopy(const QString& programFolder) {
    const QDir folder(programFolder);
    return folder.dirName() == QLatin1String("bin") &&
           QFileInfo::exists(
               folder.filePath(QStringLiteral("../share/applications/" ORVANTA_APP_ID ".desktop")));
}

} // namespace

QString chooseDataFolder() {
    const QString programFolder = QCoreApplication::applicationDirPath();
    if (QFileInfo(programFolder).isWritable() && !isInstalledCopy(programFolder))
        return programFolder;
    const QString userFolder = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    QDir().mkpath(userFolder);
    return userFolder;
}

bool prepareDataFolder(const QString& folder) {
    const QString path = databasePathIn(folder);
    switch (prepareDatabaseFile(path)) {
    case DatabaseFileState::Ready:
    case DatabaseFileState::Created:
        return true;
    case DatabaseFileState::NotContactDatabase:
        platform::showMessage(
            QStringLiteral("The file %1 is not a contact database, or it is damaged.\r\n"
                           "It has been left exactly as it is. Move it elsewhere to start "
                           "with a new, empty contact database.")
                .arg(QDir::toNativeSeparators(path)),
            platform::Icon::Critical);
        return false;
    case DatabaseFileState::CannotCreate:
        platform::showMessage(QStringLiteral("The contact database %1 could not be created.\r\n"
                                             "Check that the folder exists and can be written to.")
                                  .arg(QDir::toNativeSeparators(path)),
                              platform::Icon::Critical);
        return false;
    }
    return false;
}
