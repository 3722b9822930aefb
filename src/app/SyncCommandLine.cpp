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
#include <QFileInfo>
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

void warnOfPlainHttp(const QUrl& url) {
    if (url.scheme() == QLatin1String("http"))
        say(stderr, Text::tr("Warning: %1 is a plain http:// address: the password goes to the "
                             "server unencrypted.")
                        .arg(url.toDisplayString()));
}

// The first line of a password file; nullopt after saying why not. A file
// others may read is taken, with a warning.
std::optional<QString> readPasswordFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        say(stderr, Text::tr("The password file %1 cannot be read.").arg(path));
        return std::nullopt;
    }
    const QFileInfo info(path);
    if (info.isFile() &&
        (info.permissions() & (QFile::ReadGroup | QFile::ReadOther | QFile::WriteOther)))
        say(stderr, Text::tr("Warning: other users can read the password file %1; make it "
                             "yours alone (chmod 600).")
                        .arg(path));
    return QString::fromUtf8(file.readLine()).remove(u'\n').remove(u'\r');
}

// `password`: the one of --password-file, for every book synced.
int syncBooks(const QString& connectionString, const QString& book,
              const std::optional<QString>& password) {
    carddav::Passwords passwords(askOnTerminal);
    carddav::SyncEngine engine(connectionString);
    engine.setPasswordRequest(
        [&](const SyncAccount& account, carddav::SyncEngine::PasswordAnswer answer) {
            if (password)
                answer(password);
            else
                passwords.request(account, &engine, std::move(answer));
        });
    try {
        for (const SyncAccount& account : SyncStore(connectionString).accounts())
            if (book.isEmpty() || account.book == book)
                warnOfPlainHttp(QUrl(account.url));
    } catch (const DbError&) {
        // The sync itself says what is wrong with the file.
    }
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

int link(const QString& connectionString, const QString& book, const QString& givenUrl,
         const QString& user, const QString& password) {
    QUrl collection(givenUrl);
    if (!collection.password().isEmpty()) {
        say(stderr, Text::tr("The address holds a password; leave it out and give the password "
                             "with --password-file."));
        return 1;
    }
    collection.setUserInfo(QString()); // the user is --user's
    const QString url = collection.toString();
    if (!collection.isValid() || (collection.scheme() != QLatin1String("http") &&
                                  collection.scheme() != QLatin1String("https"))) {
        say(stderr, Text::tr("%1 is not an http or https address.").arg(url));
        return 1;
    }
    warnOfPlainHttp(collection);
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
    const carddav::Multistatus& ms = answer.multistatus;
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

SyncCommandLine::SyncCommandLine()
    : sync(QStringLiteral("sync"),
           Text::tr("Sync the linked books (or the one of --book), then quit. The password "
                    "comes from --password-file, else the keyring, else standard input.")),
      linkBook(QStringLiteral("link-book"), Text::tr("Link this book to an address book."),
               Text::tr("NAME")),
      url(QStringLiteral("url"), Text::tr("The address book's address."), Text::tr("URL")),
      user(QStringLiteral("user"), Text::tr("The user name."), Text::tr("USER")),
      passwordFile(QStringLiteral("password-file"),
                   Text::tr("A file whose first line is the password: the one to link with, and "
                            "with --sync the one used instead of the keyring."),
                   Text::tr("FILE")),
      dataFolder(QStringLiteral("data-folder"), Text::tr("The folder of contacts.mdb."),
                 Text::tr("FOLDER")) {}

void SyncCommandLine::addTo(QCommandLineParser& parser) const {
    parser.addOptions({sync, linkBook, url, user, passwordFile, dataFolder});
}

bool SyncCommandLine::isWanted(const QCommandLineParser& parser) const {
    return parser.isSet(sync) || parser.isSet(linkBook);
}

QString SyncCommandLine::misuse(const QCommandLineParser& parser) const {
    const bool accountGiven = parser.isSet(url) || parser.isSet(user) || parser.isSet(passwordFile);
    if (parser.isSet(linkBook) &&
        (!parser.isSet(url) || !parser.isSet(user) || !parser.isSet(passwordFile)))
        return Text::tr("--link-book needs --url, --user and --password-file.");
    if ((parser.isSet(url) || parser.isSet(user)) && !parser.isSet(linkBook))
        return Text::tr("--url and --user go with --link-book only.");
    if (accountGiven && !parser.isSet(linkBook) && !parser.isSet(sync))
        return Text::tr("--password-file goes with --link-book or --sync.");
    return {};
}

int SyncCommandLine::run(const QCommandLineParser& parser, const QString& book) const {
    const QString folder = parser.isSet(dataFolder) ? parser.value(dataFolder) : chooseDataFolder();
    const QString connectionString = connectionStringOf(folder);
    if (connectionString.isEmpty())
        return 1;
    std::optional<QString> password;
    if (parser.isSet(passwordFile)) {
        password = readPasswordFile(parser.value(passwordFile));
        if (!password)
            return 1;
    }
    if (parser.isSet(linkBook)) {
        const int linked = link(connectionString, parser.value(linkBook), parser.value(url),
                                parser.value(user), *password);
        if (linked != 0 || !parser.isSet(sync))
            return linked;
    }
    return syncBooks(connectionString, book, password);
}
