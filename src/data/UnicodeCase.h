#pragma once

#include <QString>

#include <QString>

struct sqlite3;

// SQLite's LIKE ignores case for ASCII letters only. This replaces its like()
// function on one connection, so that every LIKE (the letter filter, the
// search) ignores case for all of Unicode. ASCII text takes a fast path that
// never leaves the UTF-8 bytes.
//
// The NOCASE collation is left as SQLite has it: an index ordered by a
// collation of the program's own would look damaged to every other SQLite
// program, and would be disordered by their writes.
void registerUnicodeCase(sqlite3* db);

// The comparison and the pattern match themselves, on UTF-8 text.
int compareIgnoringCase(const char* a, int aLength, const char* b, int bLength);
bool sameIgnoringCase(const QString& a, const QString& b);
bool likeIgnoringCase(const char* pattern, int patternLength, const char* text, int textLength,
                      char32_t escape = 0);
