#include "exchange/CommandLine.h"

#include "data/ContactStore.h"
#include "data/DbError.h"
#include "exchange/ContactExport.h"
#include "exchange/ContactImport.h"

#include <QCoreApplication>
#include <QFile>
#include <QTextStream>

#include <cerrno>
#include <cstdio>
#include <fcntl.h>

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

// The file named on the command line. Its name as the system gave it reaches
// a file whose name is not valid UTF-8 (say, Latin-1), which `file`, decoded,
// would miss.
ImportSummary importNamed(ContactStore& store, const QString& file, const QByteArray& localName) {
    if (localName.isEmpty() || QFile::encodeName(file) == localName)
        return ContactImport(store).run(file);
    const int descriptor = ::open(localName.constData(), O_RDONLY | O_CLOEXEC);
    if (descriptor < 0) {
        ImportSummary summary;
        summary.outcome = ImportSummary::Outcome::Unreadable;
        summary.detail = qt_error_string(errno);
        return summary;
    }
    QFile input;
    input.open(descriptor, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle);
    return ContactImport(store).run(&input, input.isSequential() ? 0 : input.size());
}

} // namespace

int importForCommandLine(ContactStore& store, const QString& file, const QByteArray& localName,
                         QTextStream& out, QTextStream& err) {
    if (!bookExists(store, err))
        return 1;
    const ImportSummary summary = importNamed(store, file, localName);
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
                         const QByteArray& localName, vcard::VCardVersion version, QTextStream& out,
                         QTextStream& err) {
    if (!bookExists(store, err))
        return 1;
    // Written under the decoded name, the file would be another one.
    if (!localName.isEmpty() && QFile::encodeName(file) != localName) {
        err << tr("The name of the file \"%1\" is not valid UTF-8; nothing was written. Name "
                  "a file whose name is.")
                   .arg(file)
            << Qt::endl;
        return 1;
    }
    if (file == QLatin1String("-")) {
        // The cards alone go to standard output; only a failure is told.
        QFile standardOutput;
        standardOutput.open(stdout, QIODevice::WriteOnly);
        const ExportSummary summary = ContactExport(store).run(&standardOutput, {}, version);
        if (!summary.succeeded())
            err << summary.oneLine(tr("standard output"), store.currentBook(), version) << Qt::endl;
        return summary.succeeded() ? 0 : 1;
    }
    const ExportSummary summary = ContactExport(store).run(file, {}, version);
    (summary.succeeded() ? out : err)
        << summary.oneLine(file, store.currentBook(), version) << Qt::endl;
    return summary.succeeded() ? 0 : 1;
}

} // namespace exchange
