#pragma once

#include <QCommandLineOption>

class QCommandLineParser;

// The sync options of the command line, run without a window:
//   --sync [--book NAME] [--password-file FILE]
//                             one sync of the linked books (or of one), a
//                             summary line per book; exit code 1 on failure
//   --link-book NAME --url URL --user USER --password-file FILE
//                             links a book (made when missing) to an address book
//   --data-folder DIR         the folder of contacts.mdb instead of the usual one
// They sit in the program's one parser beside its other options; --book is
// that parser's.
struct SyncCommandLine {
    SyncCommandLine();
    void addTo(QCommandLineParser& parser) const;
    // True when the arguments hold --sync or --link-book.
    bool isWanted(const QCommandLineParser& parser) const;
    // What is wrong with the sync options given, or an empty text.
    QString misuse(const QCommandLineParser& parser) const;
    // Links and then syncs as asked, `book` or (when empty) every linked book;
    // returns the exit code.
    int run(const QCommandLineParser& parser, const QString& book) const;

    QCommandLineOption sync, linkBook, url, user, passwordFile, dataFolder;
};
