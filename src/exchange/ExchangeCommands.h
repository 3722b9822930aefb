#pragma once

#include <QList>
#include <QString>

class ContactStore;
class QWidget;

// The window's import and export commands: the questions, the file dialogs,
// progress and the closing message around ContactImport and ContactExport.
namespace exchange {

// File → Import Contacts…: a file dialog for vCard and CSV files, then the
// import into the store's current book. True when contacts were added.
bool importChosenFile(ContactStore& store, QWidget* window);

// A file dropped on the window or named on its command line: a Yes/No
// question naming the file and the book comes first. True when contacts
// were added.
bool importAfterQuestion(ContactStore& store, const QString& path, QWidget* window);

// File → Export Contact Book as vCard…: the whole current book, or the
// selected contacts (the user is asked when there are any), to a file chosen
// in a file dialog, vCard 3.0 unless the dialog's 4.0 filter is chosen.
void exportToChosenFile(const ContactStore& store, const QList<qint64>& selected, QWidget* window);

// True for the names of vCard files (.vcf, .vcard), which a drop may bring.
bool isVCardFileName(const QString& path);

// The file name an export suggests for a book: its name made safe for a file
// name, with ".vcf".
QString suggestedFileName(const QString& book);

} // namespace exchange
