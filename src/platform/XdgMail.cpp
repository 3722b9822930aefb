#include "platform/XdgMail.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

namespace platform {

namespace {
QString xdgEmail() {
    return QStandardPaths::findExecutable(QStringLiteral("xdg-email"));
}
} // namespace

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
    // The mail program reads the attachment after xdg-email returns, so the
    // copy under its display name stays in a folder of its own; only a send
    // that failed removes it again.
    QTemporaryDir folder(QDir::tempPath() + QStringLiteral("/orvanta-mail-XXXXXX"));
    if (!message.attachmentPathName.isEmpty()) {
        if (!folder.isValid())
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
