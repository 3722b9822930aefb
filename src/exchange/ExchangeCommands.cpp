#include "exchange/ExchangeCommands.h"

#include "data/ContactStore.h"
#include "exchange/ContactExport.h"
#include "exchange/ContactImport.h"
#include "platform/Background.h"
#include "platform/FileDialogs.h"
#include "platform/MessageBoxes.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace exchange {

namespace {

// The context lupdate gives the calls outside a class in this file.
QString tr(const char* text) {
    return QCoreApplication::translate("exchange", text);
}

// The folder the last file dialog of this run ended in, where the next one opens.
QString& lastFolder() {
    static QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return folder;
}

void remember(const QString& path) {
    lastFolder() = QFileInfo(path).absolutePath();
}

// A named pipe, a device or a folder would keep the window waiting for a
// writer, or reading forever: the window imports files only.
bool refusedAsNoFile(const QString& path) {
    const QFileInfo file(path);
    if (!file.exists() || file.isFile())
        return false;
    platform::showMessage(tr("\"%1\" is not a file but a folder, a named pipe or a device, and "
                             "cannot be imported. Nothing was imported.")
                              .arg(file.fileName()),
                          platform::Icon::Exclamation, tr("Import Contacts"));
    return true;
}

// The import runs on a worker, on its own connection, into the book current
// now; the window hears of it when it has ended.
void importFile(const ContactStore& store, const QString& path, platform::Background& background,
                ImportDone finished) {
    const QString name = QFileInfo(path).fileName();
    background.reporting<ImportSummary>(
        tr("Importing contacts from \"%1\"…").arg(name), platform::Background::Label::Fixed,
        [store, path](platform::Background::WorkProgress& progress) {
            ContactStore own = store;
            return ContactImport(own, &progress).run(path);
        },
        [name, book = store.currentBook(), finished = std::move(finished)](ImportSummary& summary) {
            const bool clean =
                summary.succeeded() && summary.problems.isEmpty() && summary.unstorable.isEmpty();
            platform::showMessage(summary.report(name, book),
                                  clean ? platform::Icon::Information : platform::Icon::Exclamation,
                                  tr("Import Contacts"));
            if (finished)
                finished(summary.succeeded() && summary.imported > 0);
        });
}

} // namespace

bool isVCardFileName(const QString& path) {
    const QString suffix = QFileInfo(path).suffix();
    return suffix.compare(QLatin1String("vcf"), Qt::CaseInsensitive) == 0 ||
           suffix.compare(QLatin1String("vcard"), Qt::CaseInsensitive) == 0;
}

QString suggestedFileName(const QString& book) {
    QString name;
    for (const QChar c : book)
        name += c.category() == QChar::Other_Control || QStringView(u"/\\:*?\"<>|").contains(c)
                    ? QChar(u'_')
                    : c;
    name = name.trimmed();
    if (name.isEmpty() || name.startsWith(u'.'))
        name.prepend(QStringLiteral("contacts"));
    return name + QStringLiteral(".vcf");
}

bool importChosenFile(const ContactStore& store, platform::Background& background,
                      ImportDone finished) {
    const platform::FileChoice choice = platform::fileDialogs().open(
        {tr("Import Contacts"),
         lastFolder(),
         {tr("Contact files (*.vcf *.vcard *.csv)"), tr("vCard files (*.vcf *.vcard)"),
          tr("CSV files (*.csv)"), tr("All files (*)")},
         {}});
    if (choice.path.isEmpty())
        return false;
    remember(choice.path);
    if (refusedAsNoFile(choice.path))
        return false;
    importFile(store, choice.path, background, std::move(finished));
    return true;
}

bool importAfterQuestion(const ContactStore& store, const QString& path,
                         platform::Background& background, ImportDone finished) {
    if (refusedAsNoFile(path))
        return false;
    if (!platform::askYesNo(tr("Import the contacts in \"%1\" into the contact book \"%2\"?")
                                .arg(QFileInfo(path).fileName(), store.currentBook()),
                            tr("Import Contacts")))
        return false;
    importFile(store, path, background, std::move(finished));
    return true;
}

void exportToChosenFile(const ContactStore& store, const QList<qint64>& selected,
                        platform::Background& background) {
    bool wholeBook = true;
    if (!selected.isEmpty()) {
        const platform::Answer answer = platform::messageBoxes().show(
            {tr("Click Yes to export the current contact book\r\n"
                "or No to export the selected contacts only"),
             platform::Buttons::YesNoCancel, platform::Icon::Question, tr("Export as vCard")});
        if (answer == platform::Answer::Cancel)
            return;
        wholeBook = answer == platform::Answer::Yes;
    }
    const platform::FileChoice choice = platform::fileDialogs().save(
        {tr("Export Contact Book as vCard"),
         QDir(lastFolder()).filePath(suggestedFileName(store.currentBook())),
         {tr("vCard 3.0 (*.vcf)"), tr("vCard 4.0 (*.vcf)")},
         QStringLiteral("vcf")});
    if (choice.path.isEmpty())
        return;
    remember(choice.path);
    const QString name = QFileInfo(choice.path).fileName();
    // Writing into a named pipe would wait for a reader, with the window stopped.
    if (QFileInfo(choice.path).exists() && !QFileInfo(choice.path).isFile()) {
        ExportSummary refused;
        refused.outcome = ExportSummary::Outcome::NotAFile;
        platform::showMessage(refused.report(name, store.currentBook()),
                              platform::Icon::Exclamation, tr("Export as vCard"));
        return;
    }
    const QList<qint64> ids = wholeBook ? QList<qint64>() : selected;
    const vcard::VCardVersion version =
        choice.filter == 1 ? vcard::VCardVersion::V4_0 : vcard::VCardVersion::V3_0;
    background.reporting<ExportSummary>(
        tr("Exporting contacts to \"%1\"…").arg(name), platform::Background::Label::Fixed,
        [store, path = choice.path, ids, version](platform::Background::WorkProgress& progress) {
            return ContactExport(store, &progress).run(path, ids, version);
        },
        [name, book = store.currentBook()](ExportSummary& summary) {
            platform::showMessage(summary.report(name, book),
                                  summary.succeeded() ? platform::Icon::Information
                                                      : platform::Icon::Exclamation,
                                  tr("Export as vCard"));
        });
}

} // namespace exchange
