#include "exchange/CommandLine.h"

#include "data/ContactStore.h"
#include "data/DbError.h"
#include "exchange/ContactExport.h"
#include "exchange/ContactImport.h"

#include <QCoreApplication>
#include <QTextStream>

namespace exchange {

namespace {

// The context lupdate gives the calls outside a class in this file.
QString tr(const char* text) {
    return QCoreApplication::translate("exchange", text);
}

// False, with the reason on `err`, when the store's current book does not exist.
bool bookExists(const ContactStore& store, QTextStream& err) {
    try {
        if (store.hasBook(store.currentBook()))
            return true;
        err << tr("There is no contact book named \"%1\". The contact books are: %2.")
                   .arg(store.currentBook(), store.books().join(QStringLiteral(", ")))
            << Qt::endl;
    } catch (const DbError& error) {
        err << tr("The contact database cannot be used: %1").arg(QString::fromUtf8(error.what()))
            << Qt::endl;
    }
    return false;
}

} // namespace

int importForCommandLine(ContactStore& store, const QString& file, QTextStream& out,
                         QTextStream& err) {
    if (!bookExists(store, err))
        return 1;
    const ImportSummary summary = ContactImport(store).run(file);
    if (!summary.succeeded()) {
        err << summary.oneLine(file, store.currentBook()) << Qt::endl;
        return 1;
    }
    for (const QString& line : summary.problemLines())
        err << file << QStringLiteral(": ") << line << Qt::endl;
    out << summary.oneLine(file, store.currentBook()) << Qt::endl;
    return 0;
}

int exportForCommandLine(const ContactStore& store, const QString& file,
                         vcard::VCardVersion version, QTextStream& out, QTextStream& err) {
    if (!bookExists(store, err))
        return 1;
    const ExportSummary summary = ContactExport(store).run(file, {}, version);
    (summary.succeeded() ? out : err)
        << summary.oneLine(file, store.currentBook(), version) << Qt::endl;
    return summary.succeeded() ? 0 : 1;
}

} // namespace exchange
