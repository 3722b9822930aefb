#include "support/RecordingPrinter.h"

using namespace Qt::StringLiterals;

RecordingPrinter::RecordingPrinter() {
    platform::setPrinter(this);
}

RecordingPrinter::~RecordingPrinter() {
    platform::setPrinter(nullptr);
}

void RecordingPrinter::print(const QString& text) {
    const QStringList lines = text.split(u"\r\n"_s);
    if (failAtLine >= m_linesPrinted && failAtLine < m_linesPrinted + lines.size())
        throw platform::PrinterError("printer failure");
    for (const QString& line : lines) {
        openDocument << PrintedLine{line, m_x, m_bold};
        m_x = 0;
        ++m_linesPrinted;
    }
}

void RecordingPrinter::endDoc() {
    documents << openDocument;
    openDocument.clear();
}

void RecordingPrinter::abortDoc() {
    openDocument.clear();
    ++aborted;
}

QStringList RecordingPrinter::texts(const QList<PrintedLine>& document) {
    QStringList all;
    for (const PrintedLine& line : document)
        all << line.text;
    return all;
}
