#pragma once

#include "platform/Printer.h"

#include <QFont>
#include <QFontMetricsF>

#include <array>

#include <memory>

class QPainter;
class QPrinter;

namespace platform {

// The real printer: the system's default printer, or, with none installed,
// the PDF file set, opened with the desktop's viewer once the document is
// ended. Text goes in a 10 pt font; lines advance by the font's line spacing.
// A document may be drawn on a worker thread, one at a time; the viewer is
// then started from the application's thread.
class SystemPrinter : public Printer {
public:
    SystemPrinter();
    // Writes to PDF files only, starting with this one, whatever printer is
    // installed.
    explicit SystemPrinter(const QString& pdfPath);
    ~SystemPrinter() override;

    bool printsToFile() override;
    void setPdfFile(const QString& path) override;
    void setCurrentX(float twips) override;
    void setBold(bool bold) override;
    void print(const QString& text) override;
    void endDoc() override;
    void abortDoc() override;

private:
    void beginDoc();
    void printLine(const QString& line);
    void printPiece(const QString& piece, double x);
    QStringList fitToWidth(const QString& line, double width) const;
    void closeDoc();

    bool m_onlyPdf = false;
    QString m_pdfFile;
    float m_x = 0;
    bool m_bold = false;

    // The open document; empty between documents.
    std::unique_ptr<QPrinter> m_printer;
    std::unique_ptr<QPainter> m_painter;
    QString m_pdf; // the file being written, empty on a printer
    struct LineMetrics {
        double spacing = 0; // from the top of one line to the next
        double ascent = 0;  // from the top of a line to its baseline
        double widestCharacter = 0;
        std::array<double, 128> asciiAdvance{};
    };
    static LineMetrics metricsOf(const QFontMetricsF& font);
    QFont m_regular, m_boldFont;
    LineMetrics m_regularMetrics, m_boldMetrics;
    bool m_painterBold = false;
    double m_dotsPerTwip = 0;
    double m_pageHeight = 0;
    double m_pageWidth = 0;
    double m_y = 0;              // top of the next line, in device units
    bool m_pageBreakDue = false; // the next text starts a new page
};

} // namespace platform
