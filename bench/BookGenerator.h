#pragma once

#include <QString>

// Fills a new contact database with `count` contacts of realistic, varied
// data: names across the alphabet (some outside ASCII), both types in about
// equal numbers, multi-line addresses, long comments. Same seed, same book.
void generateBook(const QString& databasePath, int count, unsigned seed = 20261206);
