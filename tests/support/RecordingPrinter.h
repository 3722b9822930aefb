#pragma once

#include "platform/Printer.h"

#include <QList>
#include <QString>
#include <QStringList>

// One line as it would come out of the printer.
struct PrintedLine {
    QString text;
    float x = 0; // twips
    bool bold = false;
    bool operator==(const PrintedLine&) const = default;
};

// The printer door's double, installed for its lifetime. It records each
// line of the open document with its position and bold flag; an ended
// document moves to `documents`, an aborted one is counted and dropped.
class RecordingPrinter : public platform::Printer {
public:
    RecordingPrinter();
    ~RecordingPrinter() override;

    bool printsToFile() override { return noPrinter; }
    void setPdfFile(const QString& path) override { pdfFile = path; }
    void setCurrentX(float twips) override { m_x = twips; }
    void setBold(bool bold) override { m_bold = bold; }
    void print(const QString& text) override;
    void endDoc() override;
    void abortDoc() override;

    // The print() call that writes line number `failAtLine` (0-based, counted
    // over every line ever printed) throws instead; -1 never fails.
    int failAtLine = -1;

    bool noPrinter = false; // as when none is installed
    QString pdfFile;
    QList<PrintedLine> openDocument;
    QList<QList<PrintedLine>> documents;
    int aborted = 0;

    // The texts of one document's lines.
    static QStringList texts(const QList<PrintedLine>& document);

private:
    float m_x = 0;
    bool m_bold = false;
    int m_linesPrinted = 0;
};
