#pragma once

#include <iterator>

// The columns of the program's CSV export, in the order it writes them: the
// thirteen text columns and the type's description. The import reads the
// same names back.
inline constexpr const char* csvColumnNames[] = {"FirstName",
                                                 "MiddleName",
                                                 "LastName",
                                                 "Address",
                                                 "City",
                                                 "State",
                                                 "ZipCode",
                                                 "WorkPhoneNumber",
                                                 "HomePhoneNumber",
                                                 "CellPhoneNumber",
                                                 "EmailAddress",
                                                 "ParentOrGuardianName",
                                                 "Comments",
                                                 "ContactType"};
inline constexpr int csvColumnCount = int(std::size(csvColumnNames));
inline constexpr int csvAddressColumn = 3;
inline constexpr int csvCommentsColumn = 12;
inline constexpr int csvTypeColumn = 13;
