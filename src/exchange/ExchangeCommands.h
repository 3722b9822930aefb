#pragma once

#include <QList>
#include <QString>

#include <functional>

class ContactStore;

namespace platform {
class Background;
}

// The window's import and export commands: the questions and the file
// dialogs on the window's thread, then ContactImport or ContactExport on a
// worker of `background` (with progress and Cancel), then the closing
// message once the result is back.
namespace exchange {

// Runs after an import's closing message: whether contacts were added.
using ImportDone = std::function<void(bool added)>;

// File → Import Contacts…: a file dialog for vCard and CSV files, then the
// import into the store's current book. True when an import was started.
bool importChosenFile(const ContactStore& store, platform::Background& background,
                      ImportDone finished);

// A file dropped on the window or named on its command line: a Yes/No
// question naming the file and the book comes first. True when an import
// was started.
bool importAfterQuestion(const ContactStore& store, const QString& path,
                         platform::Background& background, ImportDone finished);

// File → Export Contact Book as vCard…: the whole current book, or the
// selected contacts (the user is asked when there are any), to a file chosen
// in a file dialog, vCard 3.0 unless the dialog's 4.0 filter is chosen.
void exportToChosenFile(const ContactStore& store, const QList<qint64>& selected,
                        platform::Background& background);

// True for the names of vCard files (.vcf, .vcard), which a drop may bring.
bool isVCardFileName(const QString& path);

// The file name an export suggests for a book: its name made safe for a file
// name, with ".vcf".
QString suggestedFileName(const QString& book);

} // namespace exchange
