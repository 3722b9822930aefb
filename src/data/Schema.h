#pragma once

#include <QString>

// The contact database file: its three tables, the delivered content, and the
// check that a file is one.
enum class DatabaseFileState {
    Ready,              // a contact database, usable
    Created,            // was missing and has been created with the delivered content
    NotContactDatabase, // exists but is not a contact database; left untouched
    CannotCreate,       // was missing and could not be created
};

// Start-up only: creates the file with the schema and the delivered content
// when it is missing; never touches an existing file beyond reading it.
DatabaseFileState prepareDatabaseFile(const QString& path);

// True when the file exists and holds the three tables of a contact database.
bool isContactDatabase(const QString& path);

// Writes the schema and the delivered content into a new, empty file.
void createContactDatabase(const QString& path);
