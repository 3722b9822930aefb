#include "ReliabilitySupport.h"

#include "data/Connection.h"
#include "data/ConnectionString.h"
#include "data/DbError.h"

#include <QDir>
#include <QFile>
#include <QProcessEnvironment>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <sqlite3.h>
#include <unistd.h>

namespace {
const char modeVariable[] = "ORVANTA_RELIABILITY_CHILD";
const char folderVariable[] = "ORVANTA_RELIABILITY_FOLDER";
constexpr int childWaitMs = 120000;
} // namespace

QStringList reliability::everything(const QString& folder) {
    sqlite3* db = nullptr;
    QStringList all;
    if (sqlite3_open_v2(QFile::encodeName(databasePathIn(folder)).constData(), &db,
                        SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
        for (const char* sql :
             {"select * from tblContactType order by 1", "select * from tblContactBook order by 1",
              "select * from tblContactDetails order by 1",
              "select type, name, sql from sqlite_master order by name"}) {
            sqlite3_stmt* statement = nullptr;
            if (sqlite3_prepare_v2(db, sql, -1, &statement, nullptr) != SQLITE_OK) {
                all << QStringLiteral("<cannot read>");
                continue;
            }
            while (sqlite3_step(statement) == SQLITE_ROW) {
                QStringList fields;
                for (int i = 0; i < sqlite3_column_count(statement); ++i)
                    fields << QString::fromUtf8(
                        reinterpret_cast<const char*>(sqlite3_column_text(statement, i)),
                        sqlite3_column_bytes(statement, i));
                all << fields.join(u'|');
            }
            sqlite3_finalize(statement);
        }
    }
    sqlite3_close_v2(db);
    return all;
}

QString reliability::integrity(const QString& connectionString) {
    try {
        Connection connection(connectionString);
        return connection.query(QStringLiteral("PRAGMA integrity_check")).text(0);
    } catch (const DbError& error) {
        return QString::fromUtf8(error.what());
    }
}

QString reliability::childMode() {
    return qEnvironmentVariable(modeVariable);
}

QString reliability::childFolder() {
    return qEnvironmentVariable(folderVariable);
}

namespace {

QProcessEnvironment childEnvironment(const QString& mode, const QString& folder) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QLatin1String(modeVariable), mode);
    environment.insert(QLatin1String(folderVariable), folder);
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    return environment;
}

// The children are a small executable of their own, built beside the tests.
const QString childProgram = QStringLiteral(ORVANTA_RELIABILITY_CHILD);
const QStringList childArguments{QStringLiteral("run")};

} // namespace

void reliability::startChild(QProcess& process, const QString& mode, const QString& folder) {
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.setProcessEnvironment(childEnvironment(mode, folder));
    process.start(childProgram, childArguments);
}

bool reliability::waitForLine(QProcess& process, const QString& marker, QByteArray* seen) {
    const QByteArray wanted = marker.toUtf8();
    for (;;) {
        while (process.canReadLine()) {
            const QByteArray line = process.readLine().trimmed();
            if (seen)
                *seen += line + '\n';
            if (line == wanted)
                return true;
        }
        if (process.state() == QProcess::NotRunning)
            return false;
        if (!process.waitForReadyRead(childWaitMs) && process.state() == QProcess::NotRunning &&
            !process.canReadLine())
            return false;
    }
}

int reliability::runAsUser(const QString& mode, const QString& folder, QString* output) {
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    QProcessEnvironment environment = childEnvironment(mode, folder);
    QString program = childProgram;
    QStringList arguments = childArguments;
    // Kept until the child has ended: the home and the copy of the executable.
    QTemporaryDir space(QDir::tempPath() + QStringLiteral("/orvanta-user-XXXXXX"));
    if (geteuid() == 0) {
        const QString setpriv = QStandardPaths::findExecutable(QStringLiteral("setpriv"));
        if (setpriv.isEmpty() || !space.isValid())
            return -1;
        // The user must reach the executable and have a home of its own; the
        // build tree may sit under a folder only root enters.
        QFile::setPermissions(space.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                                QFile::ReadOther | QFile::ExeOther);
        const QString copy = space.filePath(QStringLiteral("reliability_child"));
        const QString home = space.filePath(QStringLiteral("home"));
        if (!QFile::copy(program, copy) || !QDir().mkpath(home) ||
            chown(QFile::encodeName(home).constData(), 65534, 65534) != 0)
            return -1;
        environment.insert(QStringLiteral("HOME"), home);
        environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), home);
        environment.insert(QStringLiteral("TMPDIR"), home);
        arguments.prepend(copy);
        arguments.prepend(QStringLiteral("--"));
        arguments = QStringList{QStringLiteral("--reuid=65534"), QStringLiteral("--regid=65534"),
                                QStringLiteral("--clear-groups")} +
                    arguments;
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
