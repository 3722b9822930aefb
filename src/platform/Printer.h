#pragma once

#include <QString>

#include <stdexcept>

namespace platform {

// A failure of the printer: no document could be started, a page could not
// be added, the document could not be finished.
class PrinterError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The printer door: one document at a time, written line by line. A
// document begins with the first text printed and ends with endDoc() or
// abortDoc(). Failures throw PrinterError.
class Printer {
public:
    virtual ~Printer() = default;

    // True when no printer is installed: documents then go to the PDF file
    // set with setPdfFile(), and none can begin without one.
    virtual bool printsToFile() = 0;
    virtual void setPdfFile(const QString& path) = 0;

    // The horizontal position of the next output, in twips (1/1440 inch)
    // from the left edge of the printable area. Ending a line returns it to 0.
    virtual void setCurrentX(float twips) = 0;
    virtual void setBold(bool bold) = 0;
    // Writes the text at the current position and ends the line; each CR LF
    // inside the text ends a line as well. A line that does not fit on the
    // page goes to the top of a new one.
    virtual void print(const QString& text) = 0;
    // Finishes the document and hands it over: to the printer, or as a PDF
    // to the desktop's viewer. A document with no text printed is dropped.
    virtual void endDoc() = 0;
    // Drops the document begun, so nothing of it is ever printed.
    virtual void abortDoc() = 0;
};

// The door in use: the real one unless a test installed another.
Printer& printer();
// Installs a door (nullptr restores the real one). The caller keeps ownership.
void setPrinter(Printer* door);

} // namespace platform
