#include "PdfYardstick.h"

#include <QFile>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>

namespace {

constexpr double fontPointSize = 10.0;
constexpr double marginMm = 12.7;

// The page layout and resolution of the program's PDF printer.
struct Page {
    QPageLayout layout;
    int resolution;
};

Page programPage() {
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setPageMargins(QMarginsF(marginMm, marginMm, marginMm, marginMm),
                           QPageLayout::Millimeter);
    return {printer.pageLayout(), printer.resolution()};
}

QFont programFont(bool bold) {
    QFont font = QGuiApplication::font();
    font.setPointSizeF(fontPointSize);
    font.setBold(bold);
    font.setStyleStrategy(QFont::PreferNoShaping);
    font.setKerning(false);
    return font;
}

// Breaks a line after a blank where it would run past `width`.
QStringList broken(const QString& line, const QFontMetricsF& metrics, double width) {
    QStringList pieces;
    qsizetype start = 0;
    qsizetype afterBlank = -1;
    double used = 0;
    for (qsizetype at = 0; at < line.size(); ++at) {
        used += metrics.horizontalAdvance(line[at]);
        if (used > width && at > start) {
            const qsizetype cut = afterBlank > start ? afterBlank : at;
            pieces << line.mid(start, cut - start);
            start = cut;
            afterBlank = -1;
            used = metrics.horizontalAdvance(line.mid(start, at + 1 - start));
        }
        if (line[at] == u' ')
            afterBlank = at + 1;
    }
    pieces << line.mid(start);
    return pieces;
}

} // namespace

PdfYardstick::PdfYardstick(const QList<PrintedLine>& lines) {
    const Page page = programPage();
    QPdfWriter measure(QStringLiteral("/dev/null"));
    measure.setResolution(page.resolution);
    measure.setPageLayout(page.layout);
    const QFontMetricsF regular(programFont(false), &measure);
    const QFontMetricsF bold(programFont(true), &measure);
    const double dotsPerTwip = page.resolution / 1440.0;
    const double width = page.layout.paintRectPixels(page.resolution).width();
    for (const PrintedLine& line : lines) {
        const double x = line.x * dotsPerTwip;
        for (const QString& piece : broken(line.text, line.bold ? bold : regular, width - x))
            m_lines.append({piece, x, line.bold});
    }
}

int PdfYardstick::write(const QString& path) const {
    const Page page = programPage();
    QPdfWriter writer(path);
    writer.setResolution(page.resolution);
    writer.setPageLayout(page.layout);
    QPainter painter(&writer);
    const QFont regular = programFont(false);
    const QFont bold = programFont(true);
    painter.setFont(regular);
    const QFontMetricsF regularMetrics(regular, &writer);
    const QFontMetricsF boldMetrics(bold, &writer);
    const double height = writer.height();
    int pages = 1;
    double y = 0;
    bool boldNow = false;
    bool pageDue = false;
    for (const Line& line : m_lines) {
        const QFontMetricsF& metrics = line.bold ? boldMetrics : regularMetrics;
        if (y > 0 && y + metrics.lineSpacing() > height) {
            pageDue = true;
            y = 0;
        }
        if (!line.text.isEmpty()) {
            if (pageDue) {
                writer.newPage();
                ++pages;
                pageDue = false;
            }
            if (line.bold != boldNow) {
                painter.setFont(line.bold ? bold : regular);
                boldNow = line.bold;
            }
            painter.drawText(QPointF(line.x, y + metrics.ascent()), line.text);
        }
        y += metrics.lineSpacing();
    }
    painter.end();
    return pages;
}

int pdfPageCount(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return 0;
    return int(file.readAll().count("/Type /Page\n"));
}
