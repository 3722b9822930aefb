#pragma once

#include "platform/Printer.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <utility>

// One line as it would come out of the printer.
struct PrintedLine {
    QString text;
    float x = 0; // twips
    bool bold = false;
    bool operator==(const PrintedLine&) const = default;
};

// The printer door's double, installed for its lifetime: an ended document
// moves to `documents`, an aborted one is counted and dropped.
class RecordingPrinter : public platform::Printer {
public:
    RecordingPrinter() { platform::setPrinter(this); }
    ~RecordingPrinter() override { platform::setPrinter(nullptr); }

    bool printsToFile() override { return noPrinter; }
    void setPdfFile(const QString& path) override { pdfFile = path; }
    void setCurrentX(float twips) override { m_x = twips; }
    void setBold(bool bold) override { m_bold = bold; }
    void print(const QString& text) override {
        const QStringList lines = text.split(QStringLiteral("\r\n"));
        if (failAtLine >= m_linesPrinted && failAtLine < m_linesPrinted + lines.size())
            throw platform::PrinterError("printer failure");
        for (const QString& line : lines)
            openDocument << PrintedLine{line, std::exchange(m_x, 0), m_bold};
        m_linesPrinted += int(lines.size());
    }
    void endDoc() override { documents << std::exchange(openDocument, {}); }
    void abortDoc() override {
        openDocument.clear();
        ++aborted;
    }

    // The print() call that writes line number `failAtLine` (0-based, counted
    // over every line ever printed) throws instead; -1 never fails.
    int failAtLine = -1;

    bool noPrinter = false; // as when none is installed
    QString pdfFile;
    QList<PrintedLine> openDocument;
    QList<QList<PrintedLine>> documents;
    int aborted = 0;

    static QStringList texts(const QList<PrintedLine>& document) {
        QStringList all;
        for (const PrintedLine& line : document)
            all << line.text;
        return all;
    }

private:
    float m_x = 0;
    bool m_bold = false;
    int m_linesPrinted = 0;
};
