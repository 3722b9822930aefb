#pragma once

#include <QString>

// "DRIVER=Driver do Microsoft Access (*.mdb);DBQ=<folder>/contacts.mdb;"
QString connectionStringFor(const QString& folder);

// The database file a connection string names. Only the driver name above is
// understood (it means SQLite on the file named by DBQ); anything else throws
// DbError.
QString databasePathOf(const QString& connectionString);

// The file name of the contact database inside a data folder.
QString databasePathIn(const QString& folder);
