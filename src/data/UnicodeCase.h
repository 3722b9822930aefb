#pragma once

#include <QString>

struct sqlite3;

// SQLite ignores case for ASCII letters only. These replace its NOCASE
// collation and its like() function on one connection, so that every = on a
// text column and every LIKE ignore case for all of Unicode. ASCII text takes
// a fast path that never leaves the UTF-8 bytes.
void registerUnicodeCase(sqlite3* db);

// The comparison and the pattern match themselves, on UTF-8 text.
int compareIgnoringCase(const char* a, int aLength, const char* b, int bLength);
bool likeIgnoringCase(const char* pattern, int patternLength, const char* text, int textLength,
                      char32_t escape = 0);
