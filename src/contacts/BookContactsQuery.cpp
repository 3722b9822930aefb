#include "contacts/BookContactsQuery.h"

#include "data/SqlQuote.h"

QString bookContactsQueryUpToName(const QString& bookName) {
    return QStringLiteral(
               "Select "
               "FirstName,MiddleName,LastName,Address,City,State,ZipCode,WorkPhoneNumber, ") +
           QStringLiteral(
               "HomePhoneNumber,CellPhoneNumber,EmailAddress,ParentOrGuardianName,Comments,") +
           QStringLiteral("(select ContactTypeDesc from tblContactType where "
                          "pkContactTypeId=fkContactType) as ContactType ") +
           QStringLiteral("from tblContactDetails ") +
           QStringLiteral("Where fkContactBookId = (select pkContactBookId from tblContactBook "
                          "where ContactBookName = '") +
           sqlTextBody(bookName);
}
