#pragma once

#include <QString>

// The start of the query that the export and the printout share: the
// thirteen text columns of the contacts of one book and the description of
// their type as ContactType, up to the book's name. The caller closes the
// quoted name and may narrow or order the rows.
QString bookContactsQueryUpToName(const QString& bookName);
