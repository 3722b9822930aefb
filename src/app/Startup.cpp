#include "app/Startup.h"
#include "Version.h"

#include "data/ConnectionString.h"
#include "data/Schema.h"
#include "platform/Background.h"
#include "platform/MessageBoxes.h"

#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QStandardPaths>

#include <optional>

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

namespace {

QString startupMessage(DatabaseFileState state, const QString& path) {
    const QString file = QDir::toNativeSeparators(path);
    const QString folder = QDir::toNativeSeparators(QFileInfo(path).absolutePath());
    // Moving the file away is advice only while no journal lies beside it:
    // the journal belongs to the file, and a file moved without it is lost.
    const QString moveAdvice =
        hasJournalBeside(path)
            ? QCoreApplication::translate("Startup",
                                          "Keep it together with the journal beside it: do not "
                                          "move or copy one without the other.")
            : QCoreApplication::translate("Startup", "Move it elsewhere to start with a new, "
                                                     "empty contact database.");
    switch (state) {
    case DatabaseFileState::Ready:
    case DatabaseFileState::Created:
        break;
    case DatabaseFileState::InUse:
        return QCoreApplication::translate(
                   "Startup", "The contact database %1 is in use by another program.\r\n"
                              "Close that program and try again; every command tries the file "
                              "anew.")
            .arg(file);
    case DatabaseFileState::NeedsRecovery:
        return QCoreApplication::translate(
                   "Startup",
                   "The contact database %1 needs recovery: a program stopped while saving left "
                   "its changes in the journal beside it. Recovery needs write access to the "
                   "folder %2.\r\nStart the program as a user who may write there, or ask for "
                   "that access. Do not move or copy the file without its journal.")
            .arg(file, folder);
    case DatabaseFileState::Unreadable:
        return QCoreApplication::translate("Startup",
                                           "The contact database %1 cannot be read: you have no "
                                           "permission to read it.\r\nAsk for read and write "
                                           "access to it.")
            .arg(file);
    case DatabaseFileState::NotContactDatabase:
        return QCoreApplication::translate("Startup",
                                           "The file %1 is not a contact database.\r\nIt has "
                                           "been left exactly as it is. %2")
            .arg(file, moveAdvice);
    case DatabaseFileState::Damaged:
        return QCoreApplication::translate("Startup", "The contact database %1 is damaged.\r\nIt "
                                                      "has been left exactly as it is. %2")
            .arg(file, moveAdvice);
    case DatabaseFileState::CannotCreate:
        return QCoreApplication::translate("Startup",
                                           "The contact database %1 could not be created.\r\n"
                                           "Check that the folder exists and can be written to.")
            .arg(file);
    }
    return {};
}

} // namespace

// The check runs on a worker while a dialog (after half a second) shows
// that it goes on; it cannot be stopped half-way, so the dialog has no
// Cancel. The event loop runs only to paint that dialog: no window exists yet.
bool prepareDataFolder(const QString& folder) {
    const QString path = databasePathIn(folder);
    std::optional<DatabaseFileState> state; // none when the check failed outright
    {
        platform::Background check(nullptr, 500, 1);
        check.setCancellable(false);
        QEventLoop waiting;
        QObject::connect(&check, &platform::Background::settled, &waiting, &QEventLoop::quit);
        check.run<DatabaseFileState>(
            QCoreApplication::translate("Startup", "Checking the contact database…"),
            [path](const platform::Background::StopFlag&) { return prepareDatabaseFile(path); },
            [&state](DatabaseFileState& checked) { state = checked; });
        waiting.exec();
    }
    if (state == DatabaseFileState::Ready || state == DatabaseFileState::Created)
        return true;
    if (state)
        platform::showMessage(startupMessage(*state, path), platform::Icon::Critical);
    return false;
}

QString prepareDataFolderWithoutWindow(const QString& folder) {
    const QString path = databasePathIn(folder);
    const DatabaseFileState state = prepareDatabaseFile(path);
    if (state == DatabaseFileState::Ready || state == DatabaseFileState::Created)
        return {};
    return startupMessage(state, path);
}
