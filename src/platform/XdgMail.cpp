#include "platform/XdgMail.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QPointer>
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

// The running hand-overs, each with the folder of its copy (empty without
// an attachment). The processes have no parent: closing the window neither
// kills xdg-email nor the mail program it started.
QHash<QProcess*, QString> running;

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
            if (!folder.isSymLink() && folder.ownerId() == ::geteuid() &&
                !running.values().contains(folder.filePath()))
                QDir(folder.filePath()).removeRecursively();
    }
}

long XdgMail::signOn(bool, bool) {
    if (xdgEmail().isEmpty())
        throw MailError(MailError::Kind::NoMailProgram, "xdg-email is not installed");
    return 1;
}

void XdgMail::send(long, const MailMessage& message, bool, QObject* context, HandoverEnded ended) {
    const QString program = xdgEmail();
    if (program.isEmpty())
        throw MailError(MailError::Kind::NoMailProgram, "xdg-email is not installed");
    QStringList arguments{QStringLiteral("--subject"), message.subject, QStringLiteral("--body"),
                          message.noteText};
    // The copy under its display name stays in a folder of its own, open to
    // this user alone; only a hand-over that failed removes it at once.
    removeEarlierAttachments();
    QString copyFolder;
    if (!message.attachmentPathName.isEmpty()) {
        QTemporaryDir folder(attachmentsBase() + QLatin1Char('/') + folderPrefix +
                             QStringLiteral("XXXXXX"));
        if (!folder.isValid() ||
            !QFile::setPermissions(folder.path(),
                                   QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner))
            throw MailError(MailError::Kind::NotHandedOver,
                            "Cannot create a folder for the attachment");
        // The display name is a file name, never a path out of that folder.
        const QString name = QFileInfo(message.attachmentName.isEmpty() ? message.attachmentPathName
                                                                        : message.attachmentName)
                                 .fileName();
        const QString copy = folder.filePath(name);
        if (name.isEmpty() || !QFile::copy(message.attachmentPathName, copy))
            throw MailError(MailError::Kind::NotHandedOver, "Cannot read the attachment");
        arguments << QStringLiteral("--attach") << copy;
        folder.setAutoRemove(false);
        copyFolder = folder.path();
    }
    auto* process = new QProcess;
    process->setProgram(program);
    process->setArguments(arguments);
    // The mail program xdg-email starts inherits these; it must never write
    // into a pipe nobody reads any more.
    process->setStandardInputFile(QProcess::nullDevice());
    process->setStandardOutputFile(QProcess::nullDevice());
    process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    running.insert(process, copyFolder);
    const auto finish = [process, ended = std::move(ended),
                         receiver = QPointer<QObject>(context)](bool taken) {
        if (!running.contains(process))
            return; // told already
        const QString folder = running.take(process);
        process->deleteLater();
        if (!taken && !folder.isEmpty())
            QDir(folder).removeRecursively();
        if (receiver)
            ended(taken ? Handover::Taken : Handover::Refused);
    };
    QObject::connect(process, &QProcess::finished, process,
                     [finish](int code, QProcess::ExitStatus status) {
                         finish(status == QProcess::NormalExit && code == 0);
                     });
    QObject::connect(process, &QProcess::errorOccurred, process,
                     [finish](QProcess::ProcessError error) {
                         if (error == QProcess::FailedToStart)
                             finish(false);
                     });
    process->start();
}

int XdgMail::handoversRunning() {
    return int(running.size());
}

void XdgMail::signOff(long) {}

} // namespace platform
