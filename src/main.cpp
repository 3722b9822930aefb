#include "Version.h"
#include "app/Images.h"
#include "app/Startup.h"
#include "app/SyncCommandLine.h"
#include "app/Translations.h"
#include "app/WindowGeometry.h"
#include "app/frmContactMgmt.h"
#include "data/ConnectionString.h"
#include "data/ContactStore.h"
#include "data/Schema.h"
#include "exchange/CommandLine.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QEvent>
#include <QFile>
#include <QFileInfo>
#include <QIcon>
#include <QLocale>
#include <QScreen>
#include <QTextStream>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <unistd.h>

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
                              QCoreApplication::translate("main", "FILE")};
    QCommandLineOption exportVCard{
        QStringLiteral("export-vcard"),
        QCoreApplication::translate(
            "main", "Export a contact book as vCards (FILE -: to standard output), then quit."),
        QCoreApplication::translate("main", "FILE")};
    QCommandLineOption book{
        QStringLiteral("book"),
        QCoreApplication::translate("main", "The contact book to import into, export or sync "
                                            "(default: Default; for a sync, every linked book)."),
        QCoreApplication::translate("main", "NAME"), QStringLiteral("Default")};
    QCommandLineOption vcardVersion{
        QStringLiteral("vcard-version"),
        QCoreApplication::translate("main", "The vCard version to export: 3.0 (default) or 4.0."),
        QCoreApplication::translate("main", "VERSION"), QStringLiteral("3.0")};
    SyncCommandLine sync;

    CommandLine() {
        parser.setApplicationDescription(
            QCoreApplication::translate("main", "Keep contacts in named contact books."));
        for (const QCommandLineOption* option : {&import, &exportVCard, &book, &vcardVersion})
            parser.addOption(*option);
        sync.addTo(parser);
        parser.addPositionalArgument(
            QCoreApplication::translate("main", "files"),
            QCoreApplication::translate("main", "vCard files to import into the current "
                                                "contact book, each after a question."),
            QCoreApplication::translate("main", "[FILE...]"));
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
// One --data-folder with a folder named goes with the window; an empty or a
// second one is refused by the command line.
bool runsWithoutWindow(int argc, char* argv[]) {
    static const char dataFolder[] = "--data-folder";
    const size_t dataFolderLength = std::strlen(dataFolder);
    int dataFolders = 0;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--") == 0)
            break;
        if (const int length = windowOptionLength(argv[i])) {
            i += length - 1;
        } else if (std::strcmp(argv[i], dataFolder) == 0 && i + 1 < argc && argv[i + 1][0]) {
            ++dataFolders;
            ++i;
        } else if (std::strncmp(argv[i], dataFolder, dataFolderLength) == 0 &&
                   argv[i][dataFolderLength] == '=' && argv[i][dataFolderLength + 1]) {
            ++dataFolders;
        } else if (argv[i][0] == '-' && argv[i][1] != '\0') {
            return true;
        }
    }
    return dataFolders > 1;
}

// The value of --`name` as the system gave it, undecoded; empty when not given.
QByteArray localValueOf(int argc, char* argv[], const QByteArray& name) {
    const QByteArray option = "--" + name;
    for (int i = 1; i < argc; ++i) {
        const QByteArrayView argument(argv[i]);
        if (argument == "--")
            break;
        if (argument == option && i + 1 < argc)
            return argv[i + 1];
        if (argument.startsWith(option + '='))
            return argument.sliced(option.size() + 1).toByteArray();
    }
    return {};
}

// An option given twice, or one whose value is empty; an empty text when none.
QString misusedOption(const QCommandLineParser& parser) {
    QStringList seen;
    for (const QString& name : parser.optionNames()) {
        if (seen.contains(name))
            return QCoreApplication::translate("main", "--%1 is given more than once.").arg(name);
        seen << name;
        if (parser.values(name).contains(QString()))
            return QCoreApplication::translate("main", "The value of --%1 is empty.").arg(name);
    }
    return {};
}

// A command that failed leaves behind no contact file that it made itself.
void removeDatabaseMadeIn(const QString& folder) {
    const QString path = databasePathIn(folder);
    for (const char* suffix : {"", "-journal", "-wal", "-shm", ".clean-exit"})
        QFile::remove(path + QLatin1String(suffix));
}

// For the benchmark's start-up timing: with ORVANTA_EXIT_WHEN_SHOWN set, the
// program prints when the main window has been painted for the first time
// (the monotonic clock in ns, the ms since the process started by the
// kernel's coarse count, and the processor time used) and quits as after a
// normal close.
class ExitWhenShown : public QObject {
public:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && !m_done) {
            m_done = true;
            // Once the frame being painted has been flushed.
            QTimer::singleShot(0, this, [] {
                std::printf("shown monotonic_ns=%lld since_start_ms=%.0f cpu_ms=%.1f\n",
                            monotonicNs(), msSinceProcessStart(), cpuMs());
                std::fflush(stdout);
                QCoreApplication::exit(0);
            });
        }
        return QObject::eventFilter(watched, event);
    }

private:
    static long long monotonicNs() {
        timespec now{};
        clock_gettime(CLOCK_MONOTONIC, &now);
        return now.tv_sec * 1000000000LL + now.tv_nsec;
    }
    // The processor time the process has used, all threads.
    static double cpuMs() {
        timespec used{};
        clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &used);
        return double(used.tv_sec) * 1000.0 + double(used.tv_nsec) / 1e6;
    }
    // Field 22 of /proc/self/stat: the start in clock ticks after boot.
    static double msSinceProcessStart() {
        QFile stat(QStringLiteral("/proc/self/stat"));
        if (!stat.open(QIODevice::ReadOnly))
            return -1;
        const QByteArray text = stat.readAll();
        const QList<QByteArray> fields = text.mid(text.lastIndexOf(')') + 2).split(' ');
        if (fields.size() < 20)
            return -1;
        timespec now{};
        clock_gettime(CLOCK_BOOTTIME, &now);
        const double startMs = fields[19].toDouble() * 1000.0 / double(sysconf(_SC_CLK_TCK));
        return double(now.tv_sec) * 1000.0 + double(now.tv_nsec) / 1e6 - startMs;
    }
    bool m_done = false;
};

int usageError(const CommandLine& line, const QString& error) {
    QTextStream err(stderr);
    err << error << "\n\n" << line.parser.helpText();
    return 2;
}

int runWithoutWindow(int argc, char* argv[]) {
    QCoreApplication application(argc, argv);
    nameTheProgram();
    installTranslations(QLocale::system());
    CommandLine line;
    // Qt's window options mean nothing without a window: they are left out.
    QStringList arguments = application.arguments();
    for (qsizetype i = 1; i < arguments.size() && arguments.at(i) != QLatin1String("--");) {
        const int length = windowOptionLength(arguments.at(i).toLocal8Bit().constData());
        if (length == 0)
            ++i;
        else
            arguments.remove(i, std::min<qsizetype>(length, arguments.size() - i));
    }
    if (!line.parser.parse(arguments))
        return usageError(line, line.parser.errorText());
    if (const QString misuse = misusedOption(line.parser); !misuse.isEmpty())
        return usageError(line, misuse);
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
    if (const QString misuse = line.sync.misuse(line.parser); !misuse.isEmpty())
        return usageError(line, misuse);
    auto dataFolder = [&line] {
        return line.parser.isSet(line.sync.dataFolder) ? line.parser.value(line.sync.dataFolder)
                                                       : chooseDataFolder();
    };
    if (line.sync.isWanted(line.parser)) {
        if (importing || exporting || line.parser.isSet(line.vcardVersion))
            return usageError(line, QCoreApplication::translate(
                                        "main", "--sync and --link-book go without --import, "
                                                "--export-vcard and --vcard-version."));
        const QString folder = dataFolder();
        const bool hadDatabase = QFileInfo::exists(databasePathIn(folder));
        const int exitCode = line.sync.run(
            line.parser, line.parser.isSet(line.book) ? line.parser.value(line.book) : QString());
        // A link made before a sync that failed is kept.
        const bool linkedAndSynced =
            line.parser.isSet(line.sync.linkBook) && line.parser.isSet(line.sync.sync);
        if (exitCode != 0 && !hadDatabase && !linkedAndSynced)
            removeDatabaseMadeIn(folder);
        return exitCode;
    }
    if (!importing && !exporting)
        return usageError(line,
                          QCoreApplication::translate(
                              "main", "Give --import, --export-vcard, --sync or --link-book."));
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
    const QString folder = dataFolder();
    const bool hadDatabase = QFileInfo::exists(databasePathIn(folder));
    const QString problem = prepareDataFolderWithoutWindow(folder);
    if (!problem.isEmpty()) {
        err << QString(problem).replace(QLatin1String("\r\n"), QLatin1String("\n")) << Qt::endl;
        return 1;
    }
    int exitCode = 0;
    {
        ContactStore store(connectionStringFor(folder));
        store.setCurrentBook(line.parser.value(line.book));
        exitCode =
            importing ? exchange::importForCommandLine(store, line.parser.value(line.import),
                                                       localValueOf(argc, argv, "import"), out, err)
                      : exchange::exportForCommandLine(store, line.parser.value(line.exportVCard),
                                                       localValueOf(argc, argv, "export-vcard"),
                                                       version == QLatin1String("4.0")
                                                           ? vcard::VCardVersion::V4_0
                                                           : vcard::VCardVersion::V3_0,
                                                       out, err);
    }
    if (exitCode != 0 && !hadDatabase)
        removeDatabaseMadeIn(folder);
    else
        recordCleanExit(databasePathIn(folder));
    return exitCode;
}

} // namespace

int main(int argc, char* argv[]) {
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
    installTranslations(QLocale::system());
    QApplication::setDesktopFileName(QStringLiteral(ORVANTA_APP_ID));
    registerProgramImages();
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/images/logo.svg")));
    CommandLine line;
    if (!line.parser.parse(application.arguments()))
        return usageError(line, line.parser.errorText());
    if (const QString misuse = misusedOption(line.parser); !misuse.isEmpty())
        return usageError(line, misuse);

    // A file that cannot be used has been explained to the user; the window
    // opens all the same, and every command tries the file anew.
    const QString folder =
        line.parser.isSet(line.sync.dataFolder)
            ? QFileInfo(line.parser.value(line.sync.dataFolder)).absoluteFilePath()
            : chooseDataFolder();
    const bool fileUsable = prepareDataFolder(folder);

    frmContactMgmt window(folder);
    window.load(fileUsable);
    if (!restoreWindowGeometry(window))
        window.move(window.screen()->availableGeometry().center() - window.rect().center());
    ExitWhenShown exitWhenShown;
    if (qEnvironmentVariableIsSet("ORVANTA_EXIT_WHEN_SHOWN"))
        window.installEventFilter(&exitWhenShown);
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
