#include "platform/XdgMail.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <unistd.h>

namespace platform {

namespace {

const QLatin1String folderPrefix("orvanta-mail-");

QString xdgEmail() {
    return QStandardPaths::findExecutable(QStringLiteral("xdg-email"));
}

// Where the copies for the mail program go: the user's runtime folder, which
// is private and emptied at logout, when there is one; else the temp folder.
QString attachmentsBase() {
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    return !runtime.isEmpty() && QFileInfo(runtime).isDir() ? runtime : QDir::tempPath();
}

} // namespace

// Only folders with this program's prefix and of this user go; a link of that
// name is left alone, and nothing is followed out of a folder. The temp
// folder is swept too: earlier versions left their copies there.
void XdgMail::removeEarlierAttachments() {
    QStringList bases{attachmentsBase()};
    if (!bases.contains(QDir::tempPath()))
        bases << QDir::tempPath();
    for (const QString& base : std::as_const(bases)) {
        const QFileInfoList folders =
            QDir(base).entryInfoList({folderPrefix + QLatin1Char('*')},
                                     QDir::Dirs | QDir::NoSymLinks | QDir::NoDotAndDotDot);
        for (const QFileInfo& folder : folders)
            if (!folder.isSymLink() && folder.ownerId() == ::geteuid())
                QDir(folder.filePath()).removeRecursively();
    }
}

long XdgMail::signOn(bool, bool) {
    if (xdgEmail().isEmpty())
        throw MailError("xdg-email is not installed");
    return 1;
}

void XdgMail::send(long, const MailMessage& message, bool) {
    const QString program = xdgEmail();
    if (program.isEmpty())
        throw MailError("xdg-email is not installed");
    QStringList arguments{QStringLiteral("--subject"), message.subject, QStringLiteral("--body"),
                          message.noteText};
    // The copy under its display name stays in a folder of its own, open to
    // this user alone; only a send that failed removes it at once.
    removeEarlierAttachments();
    QTemporaryDir folder(attachmentsBase() + QLatin1Char('/') + folderPrefix +
                         QStringLiteral("XXXXXX"));
    if (!message.attachmentPathName.isEmpty()) {
        if (!folder.isValid() ||
            !QFile::setPermissions(folder.path(),
                                   QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner))
            throw MailError("Cannot create a folder for the attachment");
        // The display name is a file name, never a path out of that folder.
        const QString name = QFileInfo(message.attachmentName.isEmpty() ? message.attachmentPathName
                                                                        : message.attachmentName)
                                 .fileName();
        const QString copy = folder.filePath(name);
        if (name.isEmpty() || !QFile::copy(message.attachmentPathName, copy))
            throw MailError("Cannot read the attachment");
        arguments << QStringLiteral("--attach") << copy;
    }
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForStarted() || !process.waitForFinished(-1) ||
        process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
        throw MailError("The mail program did not take the message");
    if (!message.attachmentPathName.isEmpty())
        folder.setAutoRemove(false);
}

void XdgMail::signOff(long) {}

} // namespace platform
