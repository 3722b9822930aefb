#include "app/SyncCommandLine.h"

#include "app/Startup.h"
#include "app/Translations.h"
#include "data/ConnectionString.h"
#include "data/ContactStore.h"
#include "data/DbError.h"
#include "data/Schema.h"
#include "data/SyncStore.h"
#include "sync/DavClient.h"
#include "sync/Passwords.h"
#include "sync/SyncEngine.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QEventLoop>
#include <QFile>
#include <QLocale>
#include <QTextStream>

#include <cstdio>
#include <termios.h>
#include <unistd.h>

namespace {

// The context of the texts below, for code outside any class.
struct Text {
    Q_DECLARE_TR_FUNCTIONS(SyncCommandLine)
};

void say(FILE* stream, const QString& line) {
    std::fputs((line + u'\n').toLocal8Bit().constData(), stream);
    std::fflush(stream);
}

// Asks on the terminal, without echo when it is one.
std::optional<QString> askOnTerminal(const SyncAccount& account, const QString& why) {
    say(stderr, why);
    std::fputs(Text::tr("Password for %1 at %2: ")
                   .arg(account.user, QUrl(account.url).host())
                   .toLocal8Bit()
                   .constData(),
               stderr);
    std::fflush(stderr);
    termios saved{};
    const bool terminal = isatty(STDIN_FILENO) && tcgetattr(STDIN_FILENO, &saved) == 0;
    if (terminal) {
        termios quiet = saved;
        quiet.c_lflag &= ~tcflag_t(ECHO);
        tcsetattr(STDIN_FILENO, TCSANOW, &quiet);
    }
    QTextStream in(stdin);
    QString line;
    const bool read = in.readLineInto(&line);
    if (terminal) {
        tcsetattr(STDIN_FILENO, TCSANOW, &saved);
        std::fputs("\n", stderr);
    }
    if (!read)
        return std::nullopt;
    return line;
}

// The contact file of the folder, ready to use; empty after saying why not.
QString connectionStringOf(const QString& folder) {
    const QString path = databasePathIn(folder);
    const DatabaseFileState state = prepareDatabaseFile(path);
    if (state != DatabaseFileState::Ready && state != DatabaseFileState::Created) {
        say(stderr, Text::tr("The contact file %1 cannot be used.").arg(path));
        return {};
    }
    return connectionStringFor(folder);
}

int sync(const QString& connectionString, const QString& book) {
    carddav::Passwords passwords(askOnTerminal);
    carddav::SyncEngine engine(connectionString);
    engine.setPasswordSource(
        [&passwords](const SyncAccount& account) { return passwords.passwordFor(account); });
    int failures = 0;
    int books = 0;
    QObject::connect(&engine, &carddav::SyncEngine::bookFinished,
                     [&](const carddav::SyncSummary& summary) {
                         ++books;
                         failures += summary.ok ? 0 : 1;
                         say(summary.ok ? stdout : stderr, summary.text());
                     });
    QEventLoop loop;
    QObject::connect(&engine, &carddav::SyncEngine::finished, &loop, &QEventLoop::quit);
    engine.start(book.isEmpty() ? QStringList() : QStringList{book});
    loop.exec();
    if (books == 0)
        say(stdout, Text::tr("No book is linked to a server."));
    return failures == 0 ? 0 : 1;
}

int link(const QString& connectionString, const QString& book, const QString& url,
         const QString& user, const QString& passwordFile) {
    QFile file(passwordFile);
    if (!file.open(QIODevice::ReadOnly)) {
        say(stderr, Text::tr("The password file %1 cannot be read.").arg(passwordFile));
        return 1;
    }
    const QString password = QString::fromUtf8(file.readLine()).remove(u'\n').remove(u'\r');
    const QUrl collection(url);
    if (!collection.isValid() || (collection.scheme() != QLatin1String("http") &&
                                  collection.scheme() != QLatin1String("https"))) {
        say(stderr, Text::tr("%1 is not an http or https address.").arg(url));
        return 1;
    }
    // The address must name an address book the account may use.
    carddav::DavClient client;
    client.setCredentials(user, password);
    carddav::DavResponse answer;
    QEventLoop loop;
    client.propfind(collection, 0,
                    "<?xml version=\"1.0\" encoding=\"utf-8\"?><d:propfind xmlns:d=\"DAV:\">"
                    "<d:prop><d:resourcetype/></d:prop></d:propfind>",
                    [&](const carddav::DavResponse& r) {
                        answer = r;
                        loop.quit();
                    });
    loop.exec();
    if (answer.status != 207) {
        say(stderr, answer.message.isEmpty() ? carddav::statusMessage(answer.status, collection)
                                             : answer.message);
        return 1;
    }
    const carddav::Multistatus ms = carddav::parseMultistatus(answer.body);
    if (ms.items.isEmpty() ||
        !ms.items.first().resourceTypes.contains(QStringLiteral("addressbook"))) {
        say(stderr, Text::tr("%1 is not an address book.").arg(url));
        return 1;
    }
    try {
        ContactStore store(connectionString);
        store.addBook(book);
        if (!SyncStore(connectionString).link(book, url, user)) {
            say(stderr, Text::tr("The book %1 cannot be linked.").arg(book));
            return 1;
        }
    } catch (const DbError& e) {
        say(stderr,
            Text::tr("The contact file could not be written: %1").arg(QString::fromUtf8(e.what())));
        return 1;
    }
    carddav::Passwords passwords;
    if (!passwords.store(url, user, password))
        say(stderr,
            Text::tr("No keyring is available: the password will be asked for at each sync."));
    say(stdout, Text::tr("%1 is linked to %2.").arg(book, url));
    return 0;
}

} // namespace

std::optional<int> runSyncCommandLine(int argc, char* argv[]) {
    bool wanted = false;
    for (int i = 1; i < argc; ++i)
        wanted = wanted || qstrcmp(argv[i], "--sync") == 0 || qstrcmp(argv[i], "--link-book") == 0;
    if (!wanted)
        return std::nullopt;

    QCoreApplication application(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("Orvanta"));
    QCoreApplication::setApplicationName(QStringLiteral("Orvanta Contacts"));
    installTranslations(QLocale::system());
    QCommandLineParser parser;
    const QCommandLineOption syncOption(QStringLiteral("sync"), Text::tr("Sync the linked books."));
    const QCommandLineOption bookOption(QStringLiteral("book"), Text::tr("Sync only this book."),
                                        Text::tr("name"));
    const QCommandLineOption linkOption(QStringLiteral("link-book"),
                                        Text::tr("Link this book to an address book."),
                                        Text::tr("name"));
    const QCommandLineOption urlOption(QStringLiteral("url"),
                                       Text::tr("The address book's address."), Text::tr("url"));
    const QCommandLineOption userOption(QStringLiteral("user"), Text::tr("The user name."),
                                        Text::tr("user"));
    const QCommandLineOption passwordOption(QStringLiteral("password-file"),
                                            Text::tr("A file whose first line is the password."),
                                            Text::tr("file"));
    const QCommandLineOption folderOption(
        QStringLiteral("data-folder"), Text::tr("The folder of contacts.mdb."), Text::tr("folder"));
    parser.addOptions(
        {syncOption, bookOption, linkOption, urlOption, userOption, passwordOption, folderOption});
    if (!parser.parse(QCoreApplication::arguments())) {
        say(stderr, parser.errorText());
        return 2;
    }
    if (parser.isSet(linkOption) &&
        (!parser.isSet(urlOption) || !parser.isSet(userOption) || !parser.isSet(passwordOption))) {
        say(stderr, Text::tr("--link-book needs --url, --user and --password-file."));
        return 2;
    }
    const QString folder =
        parser.isSet(folderOption) ? parser.value(folderOption) : chooseDataFolder();
    const QString connectionString = connectionStringOf(folder);
    if (connectionString.isEmpty())
        return 1;
    if (parser.isSet(linkOption)) {
        const int linked = link(connectionString, parser.value(linkOption), parser.value(urlOption),
                                parser.value(userOption), parser.value(passwordOption));
        if (linked != 0 || !parser.isSet(syncOption))
            return linked;
    }
    return sync(connectionString, parser.value(bookOption));
}
