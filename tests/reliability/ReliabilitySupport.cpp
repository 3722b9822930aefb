#include "ReliabilitySupport.h"

#include "data/Connection.h"
#include "data/ConnectionString.h"
#include "data/DbError.h"

#include <QProcessEnvironment>
#include <QStandardPaths>

#include <unistd.h>

namespace {
constexpr int childWaitMs = 120000;
const QString childProgram = QStringLiteral(ORVANTA_RELIABILITY_CHILD);

QProcessEnvironment childEnvironment(const QString& mode, const QString& folder) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(u"ORVANTA_RELIABILITY_CHILD"_s, mode);
    environment.insert(u"ORVANTA_RELIABILITY_FOLDER"_s, folder);
    environment.insert(u"QT_QPA_PLATFORM"_s, u"offscreen"_s);
    return environment;
}
} // namespace

QStringList reliability::everything(const QString& folder) {
    QStringList all;
    for (const QString& sql : {u"select * from tblContactType order by 1"_s,
                               u"select * from tblContactBook order by 1"_s,
                               u"select * from tblContactDetails order by 1"_s,
                               u"select type, name, sql from sqlite_master order by name"_s})
        for (const QStringList& fields : queryRows(databasePathIn(folder), sql))
            all << fields.join(u'|');
    return all;
}

QString reliability::integrity(const QString& connectionString) {
    try {
        Connection connection(connectionString);
        return connection.query(u"PRAGMA integrity_check"_s).text(0);
    } catch (const DbError& error) {
        return QString::fromUtf8(error.what());
    }
}

void reliability::startChild(QProcess& process, const QString& mode, const QString& folder) {
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.setProcessEnvironment(childEnvironment(mode, folder));
    process.start(childProgram, {u"run"_s});
}

bool reliability::startLocked(QProcess& process, const QString& mode, const QString& folder) {
    startChild(process, mode, folder);
    QByteArray seen;
    while (!seen.contains("LOCKED\n")) {
        if (!process.waitForReadyRead(childWaitMs)) {
            qWarning("%s", seen.constData());
            return false;
        }
        seen += process.readAll();
    }
    return true;
}

bool reliability::release(QProcess& process) {
    process.write("release\n");
    return process.waitForFinished() && process.exitCode() == 0;
}

int reliability::runAsUser(const QString& mode, const QString& folder, QString* output) {
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    QProcessEnvironment environment = childEnvironment(mode, folder);
    QString program = childProgram;
    QStringList arguments{u"run"_s};
    // Kept until the child has ended: the home and the copy of the executable.
    QTemporaryDir space(QDir::tempPath() + u"/orvanta-user-XXXXXX"_s);
    if (geteuid() == 0) {
        const QString setpriv = QStandardPaths::findExecutable(u"setpriv"_s);
        if (setpriv.isEmpty() || !space.isValid())
            return -1;
        // The user must reach the executable and have a home of its own; the
        // build tree may sit under a folder only root enters.
        QFile::setPermissions(space.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                                QFile::ReadOther | QFile::ExeOther);
        const QString copy = space.filePath(u"reliability_child"_s);
        const QString home = space.filePath(u"home"_s);
        if (!QFile::copy(program, copy) || !QDir().mkpath(home) ||
            chown(QFile::encodeName(home).constData(), 65534, 65534) != 0)
            return -1;
        for (const QString& variable : {u"HOME"_s, u"XDG_RUNTIME_DIR"_s, u"TMPDIR"_s})
            environment.insert(variable, home);
        arguments = {
            u"--reuid=65534"_s, u"--regid=65534"_s, u"--clear-groups"_s, u"--"_s, copy, u"run"_s};
        program = setpriv;
        process.setWorkingDirectory(home);
    }
    process.setProcessEnvironment(environment);
    process.start(program, arguments);
    if (!process.waitForFinished(childWaitMs)) {
        process.kill();
        process.waitForFinished();
    }
    if (output)
        *output = QString::fromUtf8(process.readAll());
    return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : 99;
}
