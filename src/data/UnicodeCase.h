#pragma once

#include <QString>

struct sqlite3;

// SQLite's LIKE ignores case for ASCII letters only. This replaces its like()
// function on one connection, so that every LIKE (the letter filter, the
// search) ignores case for all of Unicode, and accents as well: "É" and "e",
// "ø" and "o", "ł" and "l" match each other, in the pattern and in the text
// alike. ASCII text takes a fast path that never leaves the UTF-8 bytes.
//
// The NOCASE collation and the = comparison are left as SQLite has them: an
// index ordered by a collation of the program's own would look damaged to
// every other SQLite program, and would be disordered by their writes.
void registerUnicodeCase(sqlite3* db);

// The comparison (case only) and the pattern match (case and accents), on
// UTF-8 text.
int compareIgnoringCase(const char* a, int aLength, const char* b, int bLength);
bool sameIgnoringCase(const QString& a, const QString& b);
bool likeIgnoringCaseAndAccents(const char* pattern, int patternLength, const char* text,
                                int textLength, char32_t escape = 0);
