#pragma once

#include "support/RecordingPrinter.h"

#include <QList>
#include <QString>

// The yardstick of the PDF printout: the lines the program prints, drawn
// with QPainter on a QPdfWriter in the plainest way, one drawText per line,
// with the font, page size, margins and resolution of the program's PDF
// printer. Lines wider than the page are broken beforehand, outside the
// time, where the program breaks them, so both files hold the same lines.
class PdfYardstick {
public:
    explicit PdfYardstick(const QList<PrintedLine>& lines);
    // Writes the PDF file; returns the number of pages.
    int write(const QString& path) const;

private:
    struct Line {
        QString text;
        double x; // device units
        bool bold;
    };
    QList<Line> m_lines;
};

// The number of pages of a PDF file written by Qt.
int pdfPageCount(const QString& path);
