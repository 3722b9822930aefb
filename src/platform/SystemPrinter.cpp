#include "platform/SystemPrinter.h"

#include "platform/MessageBoxes.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QFile>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QThread>
#include <QUrl>

namespace platform {

namespace {
constexpr double twipsPerInch = 1440.0;
constexpr double fontPointSize = 10.0;
constexpr double pdfMarginMm = 12.7;
const QLatin1String lineEnd("\r\n");
} // namespace

SystemPrinter::LineMetrics SystemPrinter::metricsOf(const QFontMetricsF& font) {
    LineMetrics metrics{font.lineSpacing(), font.ascent(), font.maxWidth(), {}};
    for (char16_t c = 0; c < 128; ++c)
        metrics.asciiAdvance[c] = font.horizontalAdvance(QChar(c));
    return metrics;
}

SystemPrinter::SystemPrinter() = default;

SystemPrinter::SystemPrinter(const QString& pdfPath) : m_onlyPdf(true), m_pdfFile(pdfPath) {}

SystemPrinter::~SystemPrinter() {
    abortDoc();
}

bool SystemPrinter::printsToFile() {
    return m_onlyPdf || QPrinterInfo::defaultPrinter().isNull();
}

void SystemPrinter::setPdfFile(const QString& path) {
    m_pdfFile = path;
}

void SystemPrinter::setCurrentX(float twips) {
    m_x = twips;
}

void SystemPrinter::setBold(bool bold) {
    m_bold = bold;
}

void SystemPrinter::print(const QString& text) {
    if (!m_painter)
        beginDoc();
    qsizetype start = 0;
    for (qsizetype end; (end = text.indexOf(lineEnd, start)) >= 0; start = end + lineEnd.size())
        printLine(text.mid(start, end - start));
    printLine(text.mid(start));
}

void SystemPrinter::endDoc() {
    if (!m_painter)
        return;
    const QString pdf = m_pdf;
    const bool written = m_painter->end();
    closeDoc();
    if (!written)
        throw PrinterError("The document could not be finished");
    if (pdf.isEmpty())
        return;
    // The viewer is started from the application's thread, also when the
    // pages were drawn on a worker.
    QMetaObject::invokeMethod(
        QCoreApplication::instance(),
        [url = QUrl::fromLocalFile(pdf)] { QDesktopServices::openUrl(url); },
        QThread::currentThread() == QCoreApplication::instance()->thread() ? Qt::DirectConnection
                                                                           : Qt::QueuedConnection);
}

void SystemPrinter::abortDoc() {
    if (!m_painter)
        return;
    if (m_pdf.isEmpty())
        m_printer->abort();
    m_painter->end();
    if (!m_pdf.isEmpty())
        QFile::remove(m_pdf);
    closeDoc();
}

void SystemPrinter::beginDoc() {
    const QPrinterInfo installed = m_onlyPdf ? QPrinterInfo() : QPrinterInfo::defaultPrinter();
    QString pdf;
    if (installed.isNull()) {
        pdf = m_pdfFile;
        if (pdf.isEmpty())
            throw PrinterError("No printer and no PDF file to write");
        m_printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
        m_printer->setOutputFormat(QPrinter::PdfFormat);
        m_printer->setOutputFileName(pdf);
        m_printer->setPageMargins(QMarginsF(pdfMarginMm, pdfMarginMm, pdfMarginMm, pdfMarginMm),
                                  QPageLayout::Millimeter);
    } else {
        m_printer = std::make_unique<QPrinter>(installed, QPrinter::HighResolution);
    }
    m_printer->setDocName(applicationTitle());
    m_painter = std::make_unique<QPainter>();
    if (!m_painter->begin(m_printer.get())) {
        closeDoc();
        throw PrinterError("The printer did not start a document");
    }
    m_pdf = pdf;

    m_regular = QGuiApplication::font();
    m_regular.setPointSizeF(fontPointSize);
    m_regular.setBold(false);
    // Plain lines of contact data need no typographic shaping or kerning
    // where the script does not require them; skipping them makes long
    // printouts fast.
    m_regular.setStyleStrategy(QFont::PreferNoShaping);
    m_regular.setKerning(false);
    m_boldFont = m_regular;
    m_boldFont.setBold(true);
    m_painter->setFont(m_regular);
    m_painterBold = false;
    const QFontMetricsF regular(m_regular, m_printer.get());
    const QFontMetricsF bold(m_boldFont, m_printer.get());
    m_regularMetrics = metricsOf(regular);
    m_boldMetrics = metricsOf(bold);
    m_dotsPerTwip = m_printer->resolution() / twipsPerInch;
    m_pageHeight = m_printer->height();
    m_pageWidth = m_printer->width();
    m_y = 0;
    m_pageBreakDue = false;
}

void SystemPrinter::printLine(const QString& line) {
    const double x = m_x * m_dotsPerTwip;
    const LineMetrics& metrics = m_bold ? m_boldMetrics : m_regularMetrics;
    // Most lines are short enough to fit whatever their letters.
    if (double(line.size()) * metrics.widestCharacter <= m_pageWidth - x)
        printPiece(line, x);
    else
        for (const QString& piece : fitToWidth(line, m_pageWidth - x))
            printPiece(piece, x);
    m_x = 0;
}

// A line wider than the page continues on the next lines at the same left
// position, broken after a blank where it can be, so no text runs off the
// paper. Widths are the sum of the characters' advances, which needs no text
// layout; most lines are short enough to need no measuring at all.
QStringList SystemPrinter::fitToWidth(const QString& line, double width) const {
    const LineMetrics& metrics = m_bold ? m_boldMetrics : m_regularMetrics;
    if (double(line.size()) * metrics.widestCharacter <= width)
        return {line};
    const QFontMetricsF measure(m_bold ? m_boldFont : m_regular, m_printer.get());
    auto advance = [&](qsizetype at) {
        const QChar c = line[at];
        if (c.unicode() < 128)
            return metrics.asciiAdvance[c.unicode()];
        if (c.isHighSurrogate() && at + 1 < line.size())
            return measure.horizontalAdvance(line.mid(at, 2));
        return c.isLowSurrogate() ? 0.0 : measure.horizontalAdvance(c);
    };
    QStringList pieces;
    qsizetype start = 0;
    qsizetype afterBlank = -1; // where the piece may end: just after a blank
    double used = 0;
    for (qsizetype at = 0; at < line.size(); ++at) {
        used += advance(at);
        if (used > width && at > start) {
            qsizetype cut = afterBlank > start ? afterBlank : at;
            if (line[cut].isLowSurrogate())
                --cut;
            if (cut <= start)
                cut = at;
            pieces << line.mid(start, cut - start);
            start = cut;
            afterBlank = -1;
            used = 0;
            for (qsizetype i = start; i <= at; ++i)
                used += advance(i);
        }
        if (line[at] == u' ')
            afterBlank = at + 1;
    }
    pieces << line.mid(start);
    return pieces;
}

void SystemPrinter::printPiece(const QString& line, double x) {
    const LineMetrics& metrics = m_bold ? m_boldMetrics : m_regularMetrics;
    // A line that would run past the page bottom starts the next page; the
    // page itself is added only when text is drawn, so trailing empty lines
    // never leave a blank page behind.
    if (m_y > 0 && m_y + metrics.spacing > m_pageHeight) {
        m_pageBreakDue = true;
        m_y = 0;
    }
    if (!line.isEmpty()) {
        if (m_pageBreakDue) {
            if (!m_printer->newPage())
                throw PrinterError("The printer did not start a new page");
            m_pageBreakDue = false;
        }
        if (m_painterBold != m_bold) {
            m_painter->setFont(m_bold ? m_boldFont : m_regular);
            m_painterBold = m_bold;
        }
        m_painter->drawText(QPointF(x, m_y + metrics.ascent), line);
    }
    m_y += metrics.spacing;
}

void SystemPrinter::closeDoc() {
    m_painter.reset();
    m_printer.reset();
    m_pdf.clear();
    m_x = 0;
}

} // namespace platform
