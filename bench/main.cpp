// orvanta-bench: times the program's everyday operations on books of 1,000,
// 10,000 and 100,000 contacts (1,000,000 with --large), driving the real
// widgets headless. Each operation runs in pairs with its yardstick: raw
// SQLite running the same statement on the same file, opened the same way,
// reading the same columns; the plain PDF writer for the printout. The
// start-up rows time the program binary itself.
// orvanta-bench --sync: only the sync rows, against a Radicale and a Xandikos
// of its own on 127.0.0.1, each holding 10,000 cards, every sync paired with a
// bare request of the same server (several minutes).
#include "BookGenerator.h"
#include "PdfYardstick.h"
#include "RawSqlite.h"
#include "StallBench.h"
#include "Stopwatch.h"
#include "SyncBench.h"
#include "sync/Radicale.h"
#include "sync/Xandikos.h"

#include "app/Startup.h"
#include "app/frmContactMgmt.h"
#include "contacts/ContactListModel.h"
#include "contacts/ContactListView.h"
#include "data/Connection.h"
#include "data/ConnectionString.h"
#include "exchange/ContactExport.h"
#include "exchange/ContactImport.h"
#include "formats/ContactFileReader.h"
#include "formats/CsvColumns.h"
#include "formats/CsvExport.h"
#include "platform/Background.h"
#include "platform/Mail.h"
#include "platform/MessageBoxes.h"
#include "platform/Printer.h"
#include "platform/SystemPrinter.h"
#include "printing/ContactPrinter.h"
#include "support/RecordingPrinter.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDesktopServices>
#include <QFile>
#include <QLineEdit>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <memory>

namespace {

// Runs per row: paired rows run this many pairs; the others this many times.
int pairs = 7;
// Pairs of the PDF row, whose printouts of 100,000 contacts take seconds
// each: --pdf-pairs may set fewer.
int pdfPairs = 7;
bool json = false;
// With --rows, only the rows whose operation holds these words run.
QString rowsWanted;

bool wanted(const QString& operation) {
    return rowsWanted.isEmpty() || operation.contains(rowsWanted, Qt::CaseInsensitive);
}

// Any message box during a run would be a fault of the run; count them.
class CountingMessages : public platform::MessageBoxes {
public:
    platform::Answer show(const platform::Message& m) override {
        ++count;
        std::fprintf(stderr, "unexpected message: %s\n", qPrintable(m.text));
        return platform::Answer::No;
    }
    int count = 0;
};

class QuietMail : public platform::MailService {
public:
    long signOn(bool, bool) override { return 1; }
    void send(long, const platform::MailMessage&, bool, QObject*,
              platform::HandoverEnded) override {}
    void signOff(long) override {}
};

// Notes beside the rows go to standard error in JSON mode, so that standard
// output holds nothing but the rows.
FILE* notes() {
    return json ? stderr : stdout;
}

QString jsonNumber(double value) {
    return QString::number(value, 'f', 3);
}

QString jsonSpread(const Spread& s) {
    return QStringLiteral("{\"min\": %1, \"q1\": %2, \"q3\": %3, \"max\": %4}")
        .arg(jsonNumber(s.min), jsonNumber(s.q1), jsonNumber(s.q3), jsonNumber(s.max));
}

QString jsonText(const QString& text) {
    QString quoted = text;
    quoted.replace(u'\\', QStringLiteral("\\\\")).replace(u'"', QStringLiteral("\\\""));
    return u'"' + quoted + u'"';
}

// A row without a yardstick: the median of the runs and their spread.
void reportAlone(const QString& operation, int size, const std::vector<double>& times) {
    const Spread s = spreadOf(times);
    if (json) {
        std::printf("{\"op\": %s, \"size\": %d, \"program_ms\": %s, \"raw_ms\": null, "
                    "\"ratio\": null, \"spread\": %s, \"spread_of\": \"program_ms\"}\n",
                    qPrintable(jsonText(operation)), size, qPrintable(jsonNumber(s.median)),
                    qPrintable(jsonSpread(s)));
    } else {
        std::printf("  %-36s %9d  %10.2f ms  (%.2f–%.2f)\n", qPrintable(operation), size, s.median,
                    s.min, s.max);
    }
    std::fflush(stdout);
}

// A paired row: the medians of both sides, the median of the per-pair
// ratios and their spread.
void reportPaired(const QString& operation, int size, const PairedResult& r,
                  const char* yardstick = "raw") {
    if (json) {
        std::printf("{\"op\": %s, \"size\": %d, \"program_ms\": %s, \"raw_ms\": %s, "
                    "\"ratio\": %s, \"spread\": %s, \"spread_of\": \"ratio\", \"yardstick\": "
                    "\"%s\"}\n",
                    qPrintable(jsonText(operation)), size, qPrintable(jsonNumber(r.program.median)),
                    qPrintable(jsonNumber(r.yardstick.median)),
                    qPrintable(jsonNumber(r.ratio.median)), qPrintable(jsonSpread(r.ratio)),
                    yardstick);
    } else {
        std::printf("  %-36s %9d  %10.2f ms  %-5s %10.2f ms  ratio %5.2f  (IQR %.2f–%.2f, "
                    "range %.2f–%.2f)\n",
                    qPrintable(operation), size, r.program.median, yardstick, r.yardstick.median,
                    r.ratio.median, r.ratio.q1, r.ratio.q3, r.ratio.min, r.ratio.max);
    }
    std::fflush(stdout);
}

// A stall row: the longest stall of all runs, and the spread of each run's
// longest.
void reportStalls(const QString& operation, int size, const std::vector<double>& longest) {
    const Spread s = spreadOf(longest);
    if (json) {
        std::printf("{\"op\": %s, \"size\": %d, \"program_ms\": %s, \"raw_ms\": null, "
                    "\"ratio\": null, \"spread\": %s, \"spread_of\": \"program_ms\"}\n",
                    qPrintable(jsonText(operation)), size, qPrintable(jsonNumber(s.max)),
                    qPrintable(jsonSpread(s)));
    } else {
        std::printf("  %-36s %9d  %10.2f ms  (runs %.2f–%.2f)\n", qPrintable(operation), size,
                    s.max, s.min, s.max);
    }
    std::fflush(stdout);
}

// Swallows the "open the PDF" request of the real printer.
class NoViewer : public QObject {
    Q_OBJECT
public slots:
    void open(const QUrl&) {}
};

void click(frmContactMgmt& window, const char* name) {
    window.findChild<QAbstractButton*>(QLatin1String(name))->click();
}

// Until the window has shown the result of the work a click started off its
// thread.
void waitUntilIdle(frmContactMgmt& window) {
    while (window.background().pending())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

// The peak resident memory of this process image. VmHWM starts anew with
// exec, unlike getrusage's figure, which a child inherits from its parent.
double peakResidentMb() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').first().toDouble() / 1024.0;
    return 0;
}

long long monotonicNs() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return now.tv_sec * 1000000000LL + now.tv_nsec;
}

// Start-up of the real program binary, from just before the process is
// started to the main window painted, as the program reports it with
// ORVANTA_EXIT_WHEN_SHOWN. The binary is copied beside the book, as the
// program uses its own folder when it may write there. One untimed start
// first, which ends cleanly as a user's session does, so the timed starts
// make the quick check of the file; its clean-exit record is checked before
// each start.
void benchStartup(int size) {
    if (!wanted(QStringLiteral("start-up of the program")))
        return;
    QTemporaryDir folder;
    const QString program = folder.filePath(QStringLiteral("orvanta-contacts"));
    QFile::copy(QStringLiteral(ORVANTA_PROGRAM), program);
    if (size > 0)
        generateBook(databasePathIn(folder.path()), size);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    environment.insert(QStringLiteral("ORVANTA_EXIT_WHEN_SHOWN"), QStringLiteral("1"));
    const QString cleanExit = databasePathIn(folder.path()) + QStringLiteral(".clean-exit");
    std::vector<double> cpuTimes;
    auto start = [&]() -> double {
        QProcess child;
        child.setProcessEnvironment(environment);
        child.setWorkingDirectory(folder.path());
        const long long before = monotonicNs();
        child.start(program, {});
        child.waitForFinished(-1);
        const QByteArray out = child.readAllStandardOutput();
        const qsizetype at = out.indexOf("monotonic_ns=");
        if (child.exitCode() != 0 || at < 0) {
            std::fprintf(stderr, "the program did not report its window: %s\n",
                         child.readAllStandardError().constData());
            return -1;
        }
        const long long shown = out.mid(at + 13).split(' ').first().toLongLong();
        const qsizetype cpuAt = out.indexOf("cpu_ms=");
        if (cpuAt >= 0)
            cpuTimes.push_back(out.mid(cpuAt + 7).trimmed().toDouble());
        return double(shown - before) / 1e6;
    };
    start();
    cpuTimes.clear();
    std::vector<double> times;
    for (int i = 0; i < pairs; ++i) {
        if (!QFile::exists(cleanExit))
            std::fprintf(stderr, "no clean exit recorded before a start\n");
        times.push_back(start());
    }
    reportAlone(size == 0 ? QStringLiteral("start-up of the program, empty book")
                          : QStringLiteral("start-up of the program"),
                size, times);
    // On a busy machine the wall-clock time is mostly waiting for a core; the
    // processor time the program used up to its window is not.
    if (cpuTimes.size() == times.size())
        reportAlone(QStringLiteral("start-up, processor time used"), size, cpuTimes);
}

// The rows an import of the file writes, read before any timing.
std::vector<RawSqlite::ContactRow> rowsOf(const QString& vcf) {
    QFile file(vcf);
    file.open(QIODevice::ReadOnly);
    std::vector<RawSqlite::ContactRow> rows;
    for (const vcard::ReadContact& read : vcard::readContacts(&file).contacts) {
        const Contact& c = read.contact;
        RawSqlite::ContactRow row;
        for (const QString* text :
             {&c.firstName, &c.middleName, &c.lastName, &c.address, &c.city, &c.state, &c.zipCode,
              &c.workPhone, &c.homePhone, &c.cellPhone, &c.email, &c.guardian, &c.comments})
            row.texts.push_back(text->toUtf8());
        row.type = int(c.type);
        row.uid = read.uid.toUtf8();
        row.card = read.card;
        rows.push_back(std::move(row));
    }
    return rows;
}

// vCards on the book: the export beside the CSV export of the same book; the
// import of that file into an empty book beside raw SQLite inserting the same
// rows through prepared statements with bound values, in one transaction;
// and the import into the book the cards came from, where every card is
// already there.
void benchExchange(frmContactMgmt& window, RawSqlite& raw, const QString& folder, int size) {
    if (!wanted(QStringLiteral("vCard 3.0 export of the whole book")) &&
        !wanted(QStringLiteral("vCard import into an empty book")))
        return;
    const QString csv = folder + QStringLiteral("/attachment.csv");
    const QString vcf = folder + QStringLiteral("/book.vcf");
    const ContactStore& book = window.store();
    reportPaired(QStringLiteral("vCard 3.0 export of the whole book"), size,
                 pairedRuns(
                     pairs, [&] { exchange::ContactExport(book).run(vcf, {}); },
                     [&] { exportBookCsv(book, csv); }),
                 "CSV");
    std::fprintf(notes(), "  vCard file of %lld bytes, CSV of %lld bytes\n", QFile(vcf).size(),
                 QFile(csv).size());

    book.addBook(QStringLiteral("Imported"));
    ContactStore imported(book.connectionString());
    imported.setCurrentBook(QStringLiteral("Imported"));
    const QString clear =
        QStringLiteral("delete from tblContactDetails where fkContactBookId = (select "
                       "pkContactBookId from tblContactBook where ContactBookName = 'Imported')");
    const int importedOnce = exchange::ContactImport(imported).run(vcf).imported;
    if (importedOnce != size)
        std::fprintf(notes(), "  the import added %d contacts\n", importedOnce);
    raw.execute(clear);
    // The yardstick writes the same rows: each contact and the card kept
    // beside it, through one prepared statement per table with bound values.
    const std::vector<RawSqlite::ContactRow> rows = rowsOf(vcf);
    const long long importedBook = raw.integer(QStringLiteral(
        "select pkContactBookId from tblContactBook where ContactBookName = 'Imported'"));
    reportPaired(QStringLiteral("vCard import into an empty book"), size,
                 pairedRuns(
                     pairs, [&] { exchange::ContactImport(imported).run(vcf); },
                     [&] { raw.insertPrepared(rows, importedBook); }, [&] { raw.execute(clear); }));
    raw.execute(clear);
    ContactStore original(book.connectionString());
    original.setCurrentBook(book.currentBook());
    reportAlone(QStringLiteral("vCard import, all already there"), size,
                timesMs(3, [&] { exchange::ContactImport(original).run(vcf); }));
}

// The whole book printed to a PDF file by the program, beside the yardstick
// drawing the same lines on a QPdfWriter.
void benchPdf(frmContactMgmt& window, const QString& folder, int size) {
    if (!wanted(QStringLiteral("print the whole book to PDF")))
        return;
    QList<PrintedLine> lines;
    {
        RecordingPrinter recorder;
        printContacts(window.store(), {}, false, platform::printer());
        lines = recorder.documents.value(0);
    }
    const PdfYardstick yardstick(lines);
    const QString pdf = folder + QStringLiteral("/printout.pdf");
    const QString plain = folder + QStringLiteral("/yardstick.pdf");
    platform::SystemPrinter pdfPrinter(pdf);
    platform::setPrinter(&pdfPrinter);
    reportPaired(QStringLiteral("print the whole book to PDF"), size,
                 pairedRuns(
                     pdfPairs,
                     [&] { printContacts(window.store(), {}, false, platform::printer()); },
                     [&] { yardstick.write(plain); }),
                 "plain");
    platform::setPrinter(nullptr);
    std::fprintf(notes(), "  program's PDF: %lld bytes, %d pages; plain: %lld bytes, %d pages\n",
                 QFile(pdf).size(), pdfPageCount(pdf), QFile(plain).size(), pdfPageCount(plain));
}

// How the program reads each row of a listing: the key as a 64-bit integer,
// first and last name as UTF-8.
const std::vector<RawSqlite::Column> listColumns{
    {"pkContactDetailsId", true}, {"FirstName"}, {"LastName"}};
const std::vector<RawSqlite::Column> contactColumns{{"pkContactDetailsId", true},
                                                    {"FirstName"},
                                                    {"MiddleName"},
                                                    {"LastName"},
                                                    {"Address"},
                                                    {"city"},
                                                    {"State"},
                                                    {"ZipCode"},
                                                    {"WorkPhoneNumber"},
                                                    {"HomePhoneNumber"},
                                                    {"CellPhoneNumber"},
                                                    {"EmailAddress"},
                                                    {"ParentOrGuardianName"},
                                                    {"Comments"},
                                                    {"fkContactType", true}};
std::vector<RawSqlite::Column> textColumnsOf(bool withType) {
    std::vector<RawSqlite::Column> columns;
    for (int i = 0; i < csvColumnCount; ++i)
        if (withType || i < csvColumnCount - 1)
            columns.push_back({csvColumnNames[i]});
    return columns;
}

void benchBook(int size, const QString& folder) {
    const QString path = databasePathIn(folder);
    generateBook(path, size);
    RawSqlite raw(path);

    prepareDataFolder(folder);
    frmContactMgmt window(folder);
    window.load();
    window.show();
    waitUntilIdle(window);
    auto* list = window.findChild<ContactListView*>(QStringLiteral("lvContacts"));
    auto* search = window.findChild<QLineEdit*>(QStringLiteral("txtSearchText"));

    // The statement the operation runs first, captured from the program's
    // statement log in an untimed run; both sides then run in pairs. `setup`
    // brings the window into the state the row needs, outside the time, so
    // that a row run alone measures what it measures in a full run.
    using Yardstick = std::function<void(const QString& statement)>;
    auto againstRaw = [&](const QString& operation, const std::function<void()>& setup,
                          const std::function<void()>& work,
                          const std::vector<RawSqlite::Column>& columns,
                          const Yardstick& yardstick = {}) {
        if (!wanted(operation))
            return;
        setup();
        waitUntilIdle(window);
        QString captured;
        Connection::setStatementObserver([&](const QString& s) {
            if (captured.isEmpty())
                captured = s;
        });
        work();
        waitUntilIdle(window);
        Connection::setStatementObserver(nullptr);
        reportPaired(operation, size,
                     pairedRuns(
                         pairs,
                         [&] {
                             work();
                             waitUntilIdle(window);
                         },
                         [&] {
                             if (yardstick)
                                 yardstick(captured);
                             else
                                 raw.readAll(captured, columns);
                         }));
    };

    againstRaw(
        QStringLiteral("type button (full reload)"), [&] { click(window, "cmdAll"); },
        [&] { click(window, "cmdPersonal"); }, listColumns);
    againstRaw(
        QStringLiteral("letter filter"), [&] { click(window, "cmdPersonal"); },
        [&] { click(window, "cmdA_12"); }, listColumns);
    againstRaw(
        QStringLiteral("search"), [&] { search->setText(QStringLiteral("son")); },
        [&] { click(window, "cmdFind"); }, listColumns);
    qint64 someId = 1;
    againstRaw(
        QStringLiteral("showing one contact"),
        [&] {
            click(window, "cmdPersonal");
            waitUntilIdle(window);
            if (list->contacts()->rowCount() > 0)
                someId = list->contacts()->id(0);
        },
        [&] { window.showContactDetails(someId); }, contactColumns);

    // The yardstick writes the bytes of the program's own file, read beside
    // the rows, the way the program writes them: to a temporary file, synced,
    // renamed over the earlier one.
    const QString csv = folder + QStringLiteral("/attachment.csv");
    const QString rawCsv = folder + QStringLiteral("/yardstick.csv");
    QByteArray csvBytes;
    auto exportCsv = [&] {
        // As the e-mail command's worker runs it: telling its progress.
        platform::Background::WorkProgress progress;
        exportBookCsv(window.store(), csv, &progress);
    };
    againstRaw(
        QStringLiteral("CSV export of the whole book"),
        [&] {
            exportCsv();
            QFile written(csv);
            if (written.open(QIODevice::ReadOnly))
                csvBytes = written.readAll();
        },
        exportCsv, textColumnsOf(true),
        [&](const QString& statement) {
            raw.readAllIntoFile(statement, textColumnsOf(true), csvBytes, rawCsv);
        });
    {
        RecordingPrinter recorder;
        againstRaw(
            QStringLiteral("print rows (recording printer)"), [] {},
            [&] {
                recorder.documents.clear();
                printContacts(window.store(), {}, false, platform::printer());
            },
            textColumnsOf(false));
    }

    // Saving an edit: the editor is open on the first listed contact, one box
    // is changed, and Save writes it and reloads the list.
    click(window, "cmdPersonal");
    waitUntilIdle(window);
    if (wanted(QStringLiteral("save one edited contact + reload")))
        reportAlone(QStringLiteral("save one edited contact + reload"), size,
                    timesMs(
                        pairs,
                        [&] {
                            click(window, "cmdSave");
                            waitUntilIdle(window);
                        },
                        [&] {
                            list->setCurrentIndex(list->model()->index(0, 0));
                            click(window, "cmdEditRecord");
                            auto* first =
                                window.findChild<QLineEdit*>(QStringLiteral("txtFirstName"));
                            first->setText(first->text() + QStringLiteral("x"));
                        }));

    if (size == 100000) {
        benchPdf(window, folder, size);
        benchExchange(window, raw, folder, size);
    }
}

// Child mode: lists every contact of a 100,000-contact book in a fresh
// process, so the peak memory is that of the listing alone.
int peakMemoryOfListing(int size) {
    QTemporaryDir folder;
    generateBook(databasePathIn(folder.path()), size);
    frmContactMgmt window(folder.path());
    window.load();
    window.show();
    auto* list = window.findChild<ContactListView*>(QStringLiteral("lvContacts"));
    window.findChild<QLineEdit*>(QStringLiteral("txtSearchText"))->clear();
    click(window, "cmdFind");
    waitUntilIdle(window);
    std::printf("%d %.1f\n", list->entryCount(), peakResidentMb());
    return 0;
}

void reportPeakMemory(const QString& program, int size) {
    QProcess child;
    child.start(program, {QStringLiteral("--peak-memory"), QString::number(size)});
    child.waitForFinished(-1);
    const QStringList figures = QString::fromLatin1(child.readAllStandardOutput()).split(u' ');
    std::fprintf(notes(), "  peak resident memory with %s contacts listed: %s MB\n",
                 qPrintable(figures.value(0)), qPrintable(figures.value(1).trimmed()));
}

// Profiling mode: one operation, many times, on a book made by --generate.
int profile(const QString& operation, const QString& folder, int times) {
    frmContactMgmt window(folder);
    window.load();
    window.show();
    click(window, "cmdPersonal");
    platform::SystemPrinter pdfPrinter(folder + QStringLiteral("/printout.pdf"));
    RecordingPrinter recorder;
    platform::setPrinter(operation == QLatin1String("pdf")
                             ? static_cast<platform::Printer*>(&pdfPrinter)
                             : &recorder);
    for (int i = 0; i < times; ++i) {
        if (operation == QLatin1String("export"))
            exportBookCsv(window.store(), folder + QStringLiteral("/attachment.csv"));
        else if (operation == QLatin1String("vcard-export"))
            exchange::ContactExport(window.store()).run(folder + QStringLiteral("/book.vcf"), {});
        else if (operation == QLatin1String("vcard-import"))
            exchange::ContactImport(window.store()).run(folder + QStringLiteral("/book.vcf"));
        else if (operation == QLatin1String("letter"))
            click(window, "cmdA_12");
        else if (operation == QLatin1String("type"))
            click(window, "cmdPersonal");
        else if (operation == QLatin1String("pdf") || operation == QLatin1String("print"))
            printContacts(window.store(), {}, false, platform::printer());
        recorder.documents.clear();
        waitUntilIdle(window);
        QApplication::processEvents();
    }
    platform::setPrinter(nullptr);
    return 0;
}

} // namespace

const char usage[] =
    "usage: orvanta-bench [--json] [--large] [--pairs N] [--pdf-pairs N]\n"
    "                                      everyday operations on books of 1,000, 10,000 and\n"
    "                                      100,000 contacts, each run in pairs beside raw\n"
    "                                      SQLite or another yardstick, and the start-up of\n"
    "                                      the program binary (ten minutes or more)\n"
    "         --json                      one JSON object per row on standard output:\n"
    "                                      op, size, program_ms, raw_ms, ratio, spread\n"
    "         --large                     also a book of 1,000,000 contacts\n"
    "         --pairs N                   pairs (or runs) per row, at least 7 (default 7)\n"
    "         --pdf-pairs N               pairs of the PDF row, at least 1 (default: --pairs)\n"
    "         --rows WORDS                only the rows whose operation holds WORDS (any case)\n"
    "       orvanta-bench --startup [--json] [--large]\n"
    "                                      only the start-up rows\n"
    "       orvanta-bench --stalls [--json] [--large]\n"
    "                                      the longest stall of the window's event loop per\n"
    "                                      operation, at 100,000 contacts (and 1,000,000)\n"
    "       orvanta-bench --sync [--json] [--pairs N] [--cards N] [--server NAME]\n"
    "                                      the sync rows, against a Radicale and a Xandikos\n"
    "                                      of its own holding N cards (default 10,000);\n"
    "                                      --server radicale or xandikos: only that one\n"
    "       orvanta-bench --generate COUNT FILE\n"
    "                                      writes one book for profiling by hand\n"
    "       orvanta-bench --profile OPERATION FOLDER TIMES\n"
    "                                      repeats one operation (export, vcard-export,\n"
    "                                      vcard-import, letter, type, print, pdf)\n"
    "       orvanta-bench --help           this text\n";

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    QStringList arguments = application.arguments();
    if (arguments.contains(QLatin1String("--help")) || arguments.contains(QLatin1String("-h"))) {
        std::fputs(usage, stdout);
        return 0;
    }
    if (arguments.size() == 4 && arguments[1] == QLatin1String("--generate")) {
        // orvanta-bench --generate COUNT FILE: one book for profiling by hand.
        generateBook(arguments[3], arguments[2].toInt());
        return 0;
    }
    if (arguments.size() == 3 && arguments[1] == QLatin1String("--peak-memory"))
        return peakMemoryOfListing(arguments[2].toInt());
    if (arguments.size() == 5 && arguments[1] == QLatin1String("--profile")) {
        // orvanta-bench --profile export|vcard-export|vcard-import|letter|type|print|pdf
        // FOLDER TIMES
        NoViewer noViewer;
        QDesktopServices::setUrlHandler(QStringLiteral("file"), &noViewer, "open");
        return profile(arguments[2], arguments[3], arguments[4].toInt());
    }
    json = arguments.removeAll(QStringLiteral("--json")) > 0;
    const bool large = arguments.removeAll(QStringLiteral("--large")) > 0;
    const bool startupOnly = arguments.removeAll(QStringLiteral("--startup")) > 0;
    const bool stallsOnly = arguments.removeAll(QStringLiteral("--stalls")) > 0;
    if (const qsizetype at = arguments.indexOf(QStringLiteral("--rows")); at > 0) {
        rowsWanted = arguments.value(at + 1);
        arguments.remove(at, std::min<qsizetype>(2, arguments.size() - at));
    }
    if (const qsizetype at = arguments.indexOf(QStringLiteral("--pairs")); at > 0) {
        pairs = std::max(7, arguments.value(at + 1).toInt());
        arguments.remove(at, std::min<qsizetype>(2, arguments.size() - at));
    }
    pdfPairs = pairs;
    if (const qsizetype at = arguments.indexOf(QStringLiteral("--pdf-pairs")); at > 0) {
        pdfPairs = std::max(1, arguments.value(at + 1).toInt());
        arguments.remove(at, std::min<qsizetype>(2, arguments.size() - at));
    }
    QString serverWanted;
    if (const qsizetype at = arguments.indexOf(QStringLiteral("--server")); at > 0) {
        serverWanted = arguments.value(at + 1);
        arguments.remove(at, std::min<qsizetype>(2, arguments.size() - at));
    }
    int cards = 10000;
    if (const qsizetype at = arguments.indexOf(QStringLiteral("--cards")); at > 0) {
        cards = std::max(1, arguments.value(at + 1).toInt());
        arguments.remove(at, std::min<qsizetype>(2, arguments.size() - at));
    }
    if (arguments.size() == 2 && arguments[1] == QLatin1String("--sync")) {
        std::fprintf(notes(),
                     "orvanta-bench --sync: %d pairs per row; medians, ratios pair by "
                     "pair\n",
                     pairs);
        Radicale radicale;
        Xandikos xandikos;
        bool ok = true;
        for (DavServer* server : std::initializer_list<DavServer*>{&radicale, &xandikos}) {
            if (serverWanted.isEmpty() ||
                server->name().compare(serverWanted, Qt::CaseInsensitive) == 0)
                ok = benchSync(*server, cards, pairs, reportPaired, notes(), wanted) && ok;
        }
        return ok ? 0 : 1;
    }
    if (arguments.size() != 1) {
        std::fputs(usage, stderr);
        return 2;
    }
    if (stallsOnly) {
        constexpr int stallRuns = 3;
        std::fprintf(notes(), "orvanta-bench --stalls: the longest of %d runs each\n", stallRuns);
        benchStalls(100000, stallRuns, reportStalls);
        if (large)
            benchStalls(1000000, stallRuns, reportStalls);
        return 0;
    }
    std::fprintf(notes(),
                 "orvanta-bench: %d pairs (or runs) per row; medians, ratios pair by pair\n",
                 pairs);
    for (int size : {0, 1000, 10000, 100000})
        benchStartup(size);
    if (large)
        benchStartup(1000000);
    if (startupOnly)
        return 0;

    CountingMessages messages;
    QuietMail mail;
    platform::setMessageBoxes(&messages);
    platform::setMailService(&mail);
    NoViewer noViewer;
    QDesktopServices::setUrlHandler(QStringLiteral("file"), &noViewer, "open");
    std::vector<int> sizes{1000, 10000, 100000};
    if (large)
        sizes.push_back(1000000);
    for (int size : sizes) {
        QTemporaryDir folder;
        benchBook(size, folder.path());
    }
    if (rowsWanted.isEmpty())
        reportPeakMemory(application.applicationFilePath(), 100000);
    platform::setMessageBoxes(nullptr);
    platform::setMailService(nullptr);
    QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
    return messages.count == 0 ? 0 : 1;
}

#include "main.moc"
