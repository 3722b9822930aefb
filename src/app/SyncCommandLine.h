#pragma once

#include <optional>

// The sync options of the command line, run without a window:
//   --sync [--book NAME]      one sync of the linked books (or of one), a
//                             summary line per book; exit code 1 on failure
//   --link-book NAME --url URL --user USER --password-file FILE
//                             links a book (made when missing) to an address book
//   --data-folder DIR         the folder of contacts.mdb instead of the usual one
// nullopt: the arguments hold neither --sync nor --link-book, and the program
// starts as usual.
std::optional<int> runSyncCommandLine(int argc, char* argv[]);
