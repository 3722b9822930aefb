#include "Version.h"
#include "app/Images.h"
#include "app/Startup.h"
#include "app/SyncCommandLine.h"
#include "app/frmContactMgmt.h"
#include "data/ConnectionString.h"
#include "data/Schema.h"

#include <QApplication>
#include <QIcon>
#include <QScreen>

#include <cstdio>

int main(int argc, char* argv[]) {
    // Sync from the command line runs without a window.
    if (const std::optional<int> synced = runSyncCommandLine(argc, argv))
        return *synced;

    if (!hasDisplay()) {
        std::fputs("Orvanta Contacts needs a display; on a machine without one, start it as: "
                   "xvfb-run -a orvanta-contacts\n",
                   stderr);
        return 2;
    }
    QApplication application(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Orvanta"));
    QApplication::setApplicationName(QStringLiteral("Orvanta Contacts"));
    QApplication::setApplicationVersion(QStringLiteral("%1.%2.%3")
                                            .arg(ORVANTA_VERSION_MAJOR)
                                            .arg(ORVANTA_VERSION_MINOR)
                                            .arg(ORVANTA_VERSION_PATCH));
    QApplication::setDesktopFileName(QStringLiteral(ORVANTA_APP_ID));
    registerProgramImages();
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/images/logo.svg")));

    // A file that cannot be used has been explained to the user; the window
    // opens all the same, and every command tries the file anew.
    const QString folder = chooseDataFolder();
    const bool fileUsable = prepareDataFolder(folder);

    frmContactMgmt window(folder);
    window.load(fileUsable);
    window.move(window.screen()->availableGeometry().center() - window.rect().center());
    window.show();
    const int exitCode = application.exec();
    // The next start may then skip reading every page of an unchanged file.
    if (fileUsable)
        recordCleanExit(databasePathIn(folder));
    return exitCode;
}
