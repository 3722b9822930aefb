#pragma once

#include <QString>
#include <QStringList>

namespace platform {

// What a file dialog is asked to show.
struct FileRequest {
    QString title;
    // Where the dialog opens: a folder, or for saving a suggested file name.
    QString path;
    // Name filters such as "vCard files (*.vcf)"; the first is selected.
    QStringList filters;
    // Saving: added to a name typed without a suffix ("vcf").
    QString defaultSuffix;
};

// The user's answer: the file, empty when the dialog was cancelled, and the
// index in the request's filters of the one selected at the end.
struct FileChoice {
    QString path;
    int filter = 0;
};

// The file dialog door: every file the user picks goes through it.
class FileDialogs {
public:
    virtual ~FileDialogs() = default;
    // An existing file to read.
    virtual FileChoice open(const FileRequest& request) = 0;
    // A file to write; the dialog asks before an existing file is replaced.
    virtual FileChoice save(const FileRequest& request) = 0;
};

// The door in use: the real one unless a test installed another.
FileDialogs& fileDialogs();
// Installs a door (nullptr restores the real one). The caller keeps ownership.
void setFileDialogs(FileDialogs* door);

} // namespace platform
