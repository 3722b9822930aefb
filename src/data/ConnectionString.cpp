#include "data/ConnectionString.h"

#include "data/DbError.h"

#include <QDir>

namespace {
const QString driverPart = QStringLiteral("DRIVER=Driver do Microsoft Access (*.mdb);");
const QString pathKey = QStringLiteral("DBQ=");
const QString fileName = QStringLiteral("contacts.mdb");
} // namespace

QString databasePathIn(const QString& folder) {
    return folder + QDir::separator() + fileName;
}

QString connectionStringFor(const QString& folder) {
    return driverPart + pathKey + databasePathIn(folder) + QLatin1Char(';');
}

QString databasePathOf(const QString& connectionString) {
    if (!connectionString.startsWith(driverPart, Qt::CaseInsensitive))
        throw DbError(QStringLiteral("Unknown driver in connection string"));
    QString rest = connectionString.mid(driverPart.size());
    if (!rest.startsWith(pathKey, Qt::CaseInsensitive))
        throw DbError(QStringLiteral("No database file in connection string"));
    rest = rest.mid(pathKey.size());
    if (rest.endsWith(QLatin1Char(';')))
        rest.chop(1);
    if (rest.isEmpty())
        throw DbError(QStringLiteral("Empty database file name in connection string"));
    return rest;
}
