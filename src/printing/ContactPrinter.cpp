#include "printing/ContactPrinter.h"

#include "data/Connection.h"
#include "data/ContactStore.h"
#include "platform/FileDialogs.h"
#include "platform/MessageBoxes.h"
#include "platform/Printer.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include <exception>

namespace {

constexpr int leftMargin = 300; // twips from the left edge of the printable area

const QLatin1String lineEnd("\r\n");

void printLine(platform::Printer& printer, const QString& text) {
    printer.setCurrentX(float(leftMargin));
    printer.print(text);
}

// A stored multi-line value: one line per piece between line breaks. Empty
// pieces are left out, so a trailing or doubled break leaves no empty line;
// a value without any break prints as one line, even when empty.
void printMultiLine(platform::Printer& printer, const QString& value) {
    if (!value.contains(lineEnd)) {
        printLine(printer, value);
        return;
    }
    qsizetype start = 0;
    for (qsizetype end; (end = value.indexOf(lineEnd, start)) >= 0; start = end + lineEnd.size())
        if (end > start)
            printLine(printer, value.mid(start, end - start));
    if (start < value.size())
        printLine(printer, value.mid(start));
}

void dropDocument(platform::Printer& printer) {
    printer.setBold(false);
    try {
        printer.abortDoc();
    } catch (const std::exception&) {
    }
}

} // namespace

PrintOutcome printContacts(const ContactStore& store, const QList<qint64>& ids,
                           bool emptyLineAfterName, platform::Printer& printer,
                           const PrintProgress& progress) {
    struct Stopped {};
    int printed = 0;
    try {
        store.readRows(ContactStore::Purpose::Print, ids, [&](RowSet& rows) {
            const int first = rows.column(QStringLiteral("FirstName"));
            const int middle = rows.column(QStringLiteral("MiddleName"));
            const int last = rows.column(QStringLiteral("LastName"));
            const int address = rows.column(QStringLiteral("Address"));
            const int city = rows.column(QStringLiteral("City"));
            const int state = rows.column(QStringLiteral("State"));
            const int zipCode = rows.column(QStringLiteral("ZipCode"));
            const int work = rows.column(QStringLiteral("WorkPhoneNumber"));
            const int home = rows.column(QStringLiteral("HomePhoneNumber"));
            const int cell = rows.column(QStringLiteral("CellPhoneNumber"));
            const int email = rows.column(QStringLiteral("EmailAddress"));
            const int guardian = rows.column(QStringLiteral("ParentOrGuardianName"));
            const int comments = rows.column(QStringLiteral("Comments"));
            const QLatin1Char space(' ');
            // The labels are looked up once for the whole printout.
            const QString workLabel = QCoreApplication::translate("ContactPrinter", "Work phone: ");
            const QString homeLabel = QCoreApplication::translate("ContactPrinter", "Home phone: ");
            const QString cellLabel = QCoreApplication::translate("ContactPrinter", "Cell Phone: ");
            const QString emailLabel = QCoreApplication::translate("ContactPrinter", "Email : ");
            const QString guardianLabel =
                QCoreApplication::translate("ContactPrinter", "Parent/Guardian Name: ");
            for (; !rows.atEnd(); rows.moveNext()) {
                QString name =
                    rows.text(first) + space + rows.text(middle) + space + rows.text(last);
                if (emptyLineAfterName)
                    name += lineEnd;
                printer.setBold(true);
                printLine(printer, name);
                printer.setBold(false);
                printMultiLine(printer, rows.text(address));
                printLine(printer, rows.text(city));
                printLine(printer, rows.text(state));
                printLine(printer, rows.text(zipCode));
                printLine(printer, workLabel + rows.text(work));
                printLine(printer, homeLabel + rows.text(home));
                printLine(printer, cellLabel + rows.text(cell));
                printLine(printer, emailLabel + rows.text(email));
                printLine(printer, guardianLabel + rows.text(guardian));
                printMultiLine(printer, rows.text(comments));
                printer.print(QStringLiteral("\r\n\r\n\r\n"));
                if (progress && !progress(++printed))
                    throw Stopped{};
            }
        });
        printer.endDoc();
        return PrintOutcome::Printed;
    } catch (const std::exception&) {
        dropDocument(printer);
        return PrintOutcome::Failed;
    } catch (const Stopped&) {
        dropDocument(printer);
        return PrintOutcome::Cancelled;
    }
}

std::optional<QString> choosePrintDestination(platform::Printer& printer) {
    if (!printer.printsToFile())
        return QString();
    QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (!QFileInfo(folder).isDir())
        folder = QDir::homePath();
    const platform::FileChoice choice = platform::fileDialogs().save(
        {QCoreApplication::translate("ContactPrinter", "Save the printout as PDF"),
         QDir(folder).filePath(QStringLiteral("Contacts.pdf")),
         {QCoreApplication::translate("ContactPrinter", "PDF files (*.pdf)")},
         QStringLiteral("pdf")});
    if (choice.path.isEmpty())
        return std::nullopt;
    printer.setPdfFile(choice.path);
    return choice.path;
}

void tellPrintedToFile(const QString& pdfFile) {
    platform::showMessage(
        QCoreApplication::translate("ContactPrinter", "The printout was saved as %1.")
            .arg(QDir::toNativeSeparators(pdfFile)),
        platform::Icon::Information);
}
