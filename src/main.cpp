#include "Version.h"
#include "app/Images.h"
#include "app/Startup.h"
#include "app/SyncCommandLine.h"
#include "app/WindowGeometry.h"
#include "app/frmContactMgmt.h"
#include "data/ConnectionString.h"
#include "data/ContactStore.h"
#include "data/Schema.h"
#include "exchange/CommandLine.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QIcon>
#include <QScreen>
#include <QTextStream>
#include <QTimer>

#include <cstdio>
#include <cstring>

namespace {

void nameTheProgram() {
    QCoreApplication::setOrganizationName(QStringLiteral("Orvanta"));
    QCoreApplication::setApplicationName(QStringLiteral("Orvanta Contacts"));
    QCoreApplication::setApplicationVersion(QStringLiteral("%1.%2.%3")
                                                .arg(ORVANTA_VERSION_MAJOR)
                                                .arg(ORVANTA_VERSION_MINOR)
                                                .arg(ORVANTA_VERSION_PATCH));
}

// The command line. Options run without a window, for scripts; files named
// without an option are imported in the window, after a question each.
struct CommandLine {
    QCommandLineParser parser;
    QCommandLineOption help = parser.addHelpOption();
    QCommandLineOption version = parser.addVersionOption();
    QCommandLineOption import{QStringLiteral("import"),
                              QCoreApplication::translate(
                                  "main", "Import the contacts of a vCard or CSV file, then quit."),
                              QStringLiteral("FILE")};
    QCommandLineOption exportVCard{
        QStringLiteral("export-vcard"),
        QCoreApplication::translate("main", "Export a contact book as vCards, then quit."),
        QStringLiteral("FILE")};
    QCommandLineOption book{QStringLiteral("book"),
                            QCoreApplication::translate("main",
                                                        "The contact book to import into or export "
                                                        "(default: Default)."),
                            QStringLiteral("NAME"), QStringLiteral("Default")};
    QCommandLineOption vcardVersion{
        QStringLiteral("vcard-version"),
        QCoreApplication::translate("main", "The vCard version to export: 3.0 (default) or 4.0."),
        QStringLiteral("VERSION"), QStringLiteral("3.0")};

    CommandLine() {
        parser.setApplicationDescription(
            QCoreApplication::translate("main", "Keep contacts in named contact books."));
        for (const QCommandLineOption* option : {&import, &exportVCard, &book, &vcardVersion})
            parser.addOption(*option);
        parser.addPositionalArgument(
            QStringLiteral("files"),
            QCoreApplication::translate("main", "vCard files to import into the current "
                                                "contact book, each after a question."),
            QStringLiteral("[FILE...]"));
    }
};

// Qt's own options of a program with a window (-platform, -style, ...), which
// QApplication takes out of the arguments itself: how many arguments one
// takes (1, or 2 with its value), 0 for any other argument.
int windowOptionLength(const char* argument) {
    static const char* const withValue[] = {
        "-platform",    "-platformpluginpath", "-platformtheme", "-plugin", "-qwindowgeometry",
        "-qwindowicon", "-qwindowtitle",       "-display",       "-style",  "-stylesheet",
        "-session",     "-geometry",           "-title",         "-name"};
    static const char* const alone[] = {"-reverse", "-widgetcount", "-nograb", "-dograb"};
    for (const char* option : alone)
        if (std::strcmp(argument, option) == 0)
            return 1;
    for (const char* option : withValue) {
        const size_t length = std::strlen(option);
        if (std::strncmp(argument, option, length) == 0)
            return argument[length] == '\0' ? 2 : argument[length] == '=' ? 1 : 0;
    }
    return 0;
}

// True when the arguments hold an option of this program (or an unknown
// one): the command line then runs without a window, even without a display.
bool runsWithoutWindow(int argc, char* argv[]) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--") == 0)
            return false;
        if (const int length = windowOptionLength(argv[i]))
            i += length - 1;
        else if (argv[i][0] == '-' && argv[i][1] != '\0')
            return true;
    }
    return false;
}

int usageError(const CommandLine& line, const QString& error) {
    QTextStream err(stderr);
    err << error << "\n\n" << line.parser.helpText();
    return 2;
}

int runWithoutWindow(int argc, char* argv[]) {
    QCoreApplication application(argc, argv);
    nameTheProgram();
    CommandLine line;
    if (!line.parser.parse(application.arguments()))
        return usageError(line, line.parser.errorText());
    QTextStream out(stdout);
    if (line.parser.isSet(line.help) || line.parser.isSet(QStringLiteral("help-all"))) {
        out << line.parser.helpText();
        return 0;
    }
    if (line.parser.isSet(line.version)) {
        out << QCoreApplication::applicationName() << ' ' << QCoreApplication::applicationVersion()
            << Qt::endl;
        return 0;
    }
    const bool importing = line.parser.isSet(line.import);
    const bool exporting = line.parser.isSet(line.exportVCard);
    const QString version = line.parser.value(line.vcardVersion);
    if (importing == exporting)
        return usageError(
            line, QCoreApplication::translate("main", "Give either --import or --export-vcard."));
    if (!line.parser.positionalArguments().isEmpty())
        return usageError(line, QCoreApplication::translate("main", "Unexpected argument: %1")
                                    .arg(line.parser.positionalArguments().first()));
    if (version != QLatin1String("3.0") && version != QLatin1String("4.0"))
        return usageError(line, QCoreApplication::translate(
                                    "main", "The vCard version is 3.0 or 4.0, not \"%1\".")
                                    .arg(version));
    if (importing && line.parser.isSet(line.vcardVersion))
        return usageError(line, QCoreApplication::translate(
                                    "main", "--vcard-version goes with --export-vcard only."));

    QTextStream err(stderr);
    const QString folder = chooseDataFolder();
    const QString problem = prepareDataFolderWithoutWindow(folder);
    if (!problem.isEmpty()) {
        err << QString(problem).replace(QLatin1String("\r\n"), QLatin1String("\n")) << Qt::endl;
        return 1;
    }
    ContactStore store(connectionStringFor(folder));
    store.setCurrentBook(line.parser.value(line.book));
    const int exitCode =
        importing ? exchange::importForCommandLine(store, line.parser.value(line.import), out, err)
                  : exchange::exportForCommandLine(store, line.parser.value(line.exportVCard),
                                                   version == QLatin1String("4.0")
                                                       ? vcard::VCardVersion::V4_0
                                                       : vcard::VCardVersion::V3_0,
                                                   out, err);
    recordCleanExit(databasePathIn(folder));
    return exitCode;
}

} // namespace

int main(int argc, char* argv[]) {
    // Sync from the command line runs without a window.
    if (const std::optional<int> synced = runSyncCommandLine(argc, argv))
        return *synced;

    if (runsWithoutWindow(argc, argv))
        return runWithoutWindow(argc, argv);
    if (!hasDisplay()) {
        std::fputs("Orvanta Contacts needs a display; on a machine without one, start it as: "
                   "xvfb-run -a orvanta-contacts\n",
                   stderr);
        return 2;
    }
    QApplication application(argc, argv);
    nameTheProgram();
    QApplication::setDesktopFileName(QStringLiteral(ORVANTA_APP_ID));
    registerProgramImages();
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/images/logo.svg")));
    CommandLine line;
    if (!line.parser.parse(application.arguments()))
        return usageError(line, line.parser.errorText());

    // A file that cannot be used has been explained to the user; the window
    // opens all the same, and every command tries the file anew.
    const QString folder = chooseDataFolder();
    const bool fileUsable = prepareDataFolder(folder);

    frmContactMgmt window(folder);
    window.load(fileUsable);
    if (!restoreWindowGeometry(window))
        window.move(window.screen()->availableGeometry().center() - window.rect().center());
    window.show();
    const QStringList files = line.parser.positionalArguments();
    if (!files.isEmpty())
        QTimer::singleShot(0, &window, [&window, files] { window.importFiles(files); });
    const int exitCode = application.exec();
    // The next start may then skip reading every page of an unchanged file.
    if (fileUsable)
        recordCleanExit(databasePathIn(folder));
    return exitCode;
}
