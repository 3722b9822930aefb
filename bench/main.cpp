// orvanta-bench: times the program's everyday operations on books of 1,000,
// 10,000 and 100,000 contacts, driving the real widgets headless, and sets
// each beside raw SQLite running the same statement in the same run.
// orvanta-bench --sync: only the sync rows, against a Radicale of its own on
// 127.0.0.1 holding 10,000 cards (a few minutes).
#include "BookGenerator.h"
#include "RawSqlite.h"
#include "Stopwatch.h"
#include "SyncBench.h"

#include "app/Startup.h"
#include "app/frmContactMgmt.h"
#include "contacts/ContactListModel.h"
#include "contacts/ContactListView.h"
#include "data/Connection.h"
#include "data/ConnectionString.h"
#include "exchange/ContactExport.h"
#include "exchange/ContactImport.h"
#include "platform/Mail.h"
#include "platform/MessageBoxes.h"
#include "platform/Printer.h"
#include "platform/SystemPrinter.h"
#include "printing/ContactPrinter.h"
#include "sharing/CsvExport.h"
#include "support/RecordingPrinter.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDesktopServices>
#include <QFile>
#include <QLineEdit>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <cstdio>
#include <memory>

namespace {

constexpr int runs = 5;

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
    void send(long, const platform::MailMessage&, bool) override {}
    void signOff(long) override {}
};

struct Row {
    QString operation;
    int size;
    double ms;
    double rawMs; // 0: no raw counterpart
};

std::vector<Row> results;

// `rawMs`: the yardstick's time, raw SQLite unless `yardstick` names another.
void report(const QString& operation, int size, double ms, double rawMs = 0,
            const char* yardstick = "raw") {
    results.push_back({operation, size, ms, rawMs});
    std::printf("  %-34s %7d  %9.2f ms", qPrintable(operation), size, ms);
    if (rawMs > 0)
        std::printf("  %s %8.2f ms  ratio %5.2f", yardstick, rawMs, ms / rawMs);
    std::printf("\n");
    std::fflush(stdout);
}

// Swallows the "open the PDF" request of the real printer.
class NoViewer : public QObject {
    Q_OBJECT
public slots:
    void open(const QUrl&) {}
};

// The last statement the program ran, to hand the same text to raw SQLite.
QString lastStatement;

void click(frmContactMgmt& window, const char* name) {
    window.findChild<QAbstractButton*>(QLatin1String(name))->click();
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

// vCards on the book: the export beside the CSV export of the same book; the
// import of that file into an empty book beside raw SQLite running the same
// inserts in one transaction; and the import into the book the cards came
// from, where every card is already there.
void benchExchange(frmContactMgmt& window, RawSqlite& raw, const QString& folder, int size) {
    const QString csv = folder + QStringLiteral("/attachment.csv");
    const QString vcf = folder + QStringLiteral("/book.vcf");
    const ContactStore& book = window.store();
    const double csvMs = medianMs(runs, [&] { exportBookCsv(book, csv); });
    report(QStringLiteral("vCard 3.0 export of the whole book"), size,
           medianMs(runs, [&] { exchange::ContactExport(book).run(vcf, {}); }), csvMs, "CSV");
    std::printf("  vCard file of %lld bytes, CSV of %lld bytes\n", QFile(vcf).size(),
                QFile(csv).size());

    book.addBook(QStringLiteral("Imported"));
    ContactStore imported(book.connectionString());
    imported.setCurrentBook(QStringLiteral("Imported"));
    const QString clear =
        QStringLiteral("delete from tblContactDetails where fkContactBookId = (select "
                       "pkContactBookId from tblContactBook where ContactBookName = 'Imported')");
    QStringList inserts;
    Connection::setStatementObserver([&](const QString& s) {
        if (s.startsWith(QLatin1String("insert into tblContactDetails")))
            inserts << s;
    });
    const int importedOnce = exchange::ContactImport(imported).run(vcf).imported;
    Connection::setStatementObserver(nullptr);
    if (importedOnce != size || inserts.size() != size)
        std::printf("  the import added %d contacts\n", importedOnce);
    const double importMs = medianMs(
        runs, [&] { exchange::ContactImport(imported).run(vcf); }, [&] { raw.execute(clear); });
    const double rawMs = medianMs(
        runs, [&] { raw.runInOneTransaction(inserts); }, [&] { raw.execute(clear); });
    report(QStringLiteral("vCard import into an empty book"), size, importMs, rawMs);
    raw.execute(clear);
    ContactStore original(book.connectionString());
    original.setCurrentBook(book.currentBook());
    report(QStringLiteral("vCard import, all already there"), size,
           medianMs(runs, [&] { exchange::ContactImport(original).run(vcf); }));
}

void benchBook(int size, const QString& folder) {
    const QString path = databasePathIn(folder);
    generateBook(path, size);
    RawSqlite raw(path);

    report(QStringLiteral("start-up to main window shown"), size, medianMs(runs, [&] {
               prepareDataFolder(folder);
               frmContactMgmt window(folder);
               window.load();
               window.show();
               QApplication::processEvents();
           }));

    frmContactMgmt window(folder);
    window.load();
    window.show();
    QApplication::processEvents();

    auto timeAgainstRaw = [&](const QString& operation, const std::function<void()>& work,
                              int columns) {
        const double ms = medianMs(runs, [&] {
            work();
            QApplication::processEvents();
        });
        // The list statement is the first the operation ran.
        const QString statement = lastStatement;
        const double rawMs = medianMs(runs, [&] { raw.readAll(statement, columns); });
        report(operation, size, ms, rawMs);
    };

    Connection::setStatementObserver([](const QString& s) {
        if (s.startsWith(QLatin1String("Select"), Qt::CaseInsensitive) && lastStatement.isEmpty())
            lastStatement = s;
    });
    auto firstStatementOf = [&](const std::function<void()>& work) {
        return [&, work] {
            lastStatement.clear();
            work();
        };
    };

    click(window, "cmdAll");
    timeAgainstRaw(QStringLiteral("type button (full reload)"),
                   firstStatementOf([&] { click(window, "cmdPersonal"); }), 3);
    timeAgainstRaw(QStringLiteral("letter filter"),
                   firstStatementOf([&] { click(window, "cmdA_12"); }), 3);
    window.txtSearchText->setText(QStringLiteral("son"));
    timeAgainstRaw(QStringLiteral("search"), firstStatementOf([&] { click(window, "cmdFind"); }),
                   3);
    const qint64 someId =
        window.lvContacts->contacts()->rowCount() > 0 ? window.lvContacts->contacts()->id(0) : 1;
    timeAgainstRaw(QStringLiteral("showing one contact"),
                   firstStatementOf([&] { window.showContactDetails(someId); }), 16);

    const QString csv = folder + QStringLiteral("/attachment.csv");
    timeAgainstRaw(QStringLiteral("CSV export of the whole book"),
                   firstStatementOf([&] { exportBookCsv(window.store(), csv); }), 14);
    {
        RecordingPrinter recorder;
        timeAgainstRaw(QStringLiteral("print whole book (recording)"), firstStatementOf([&] {
                           recorder.documents.clear();
                           printContacts(window.store(), {}, false, platform::printer());
                       }),
                       14);
    }
    Connection::setStatementObserver(nullptr);

    // Saving an edit: the editor is open on the first listed contact, one box
    // is changed, and Save writes it and reloads the list.
    click(window, "cmdPersonal");
    report(QStringLiteral("save one edited contact + reload"), size,
           medianMs(
               runs,
               [&] {
                   click(window, "cmdSave");
                   QApplication::processEvents();
               },
               [&] {
                   window.lvContacts->setCurrentIndex(window.lvContacts->model()->index(0, 0));
                   click(window, "cmdEditRecord");
                   auto* first = window.findChild<QLineEdit*>(QStringLiteral("txtFirstName"));
                   first->setText(first->text() + QStringLiteral("x"));
               }));

    if (size == 100000)
        benchExchange(window, raw, folder, size);

    if (size == 10000) {
        const QString pdf = folder + QStringLiteral("/printout.pdf");
        platform::SystemPrinter pdfPrinter(pdf);
        platform::setPrinter(&pdfPrinter);
        report(QStringLiteral("print 10,000 contacts to PDF"), size, medianMs(runs, [&] {
                   printContacts(window.store(), {}, false, platform::printer());
               }));
        platform::setPrinter(nullptr);
        std::printf("  PDF of %lld bytes\n", QFile(pdf).size());
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
    window.txtSearchText->clear();
    click(window, "cmdFind");
    QApplication::processEvents();
    std::printf("%d %.1f\n", window.lvContacts->entryCount(), peakResidentMb());
    return 0;
}

void reportPeakMemory(const QString& program, int size) {
    QProcess child;
    child.start(program, {QStringLiteral("--peak-memory"), QString::number(size)});
    child.waitForFinished(-1);
    const QStringList figures = QString::fromLatin1(child.readAllStandardOutput()).split(u' ');
    std::printf("  peak resident memory with %s contacts listed: %s MB\n",
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
        QApplication::processEvents();
    }
    platform::setPrinter(nullptr);
    return 0;
}

} // namespace

const char usage[] =
    "usage: orvanta-bench                  everyday operations on books of 1,000 to 100,000\n"
    "                                      contacts beside raw SQLite (a few minutes)\n"
    "       orvanta-bench --sync           the sync rows, against a Radicale of its own\n"
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
    const QStringList arguments = application.arguments();
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
    if (arguments.size() == 2 && arguments[1] == QLatin1String("--sync")) {
        constexpr int syncRuns = 3;
        std::printf("orvanta-bench --sync: median of %d runs each\n", syncRuns);
        return benchSync(10000, syncRuns, report) ? 0 : 1;
    }
    CountingMessages messages;
    QuietMail mail;
    platform::setMessageBoxes(&messages);
    platform::setMailService(&mail);

    NoViewer noViewer;
    QDesktopServices::setUrlHandler(QStringLiteral("file"), &noViewer, "open");
    std::printf("orvanta-bench: median of %d runs each\n", runs);
    for (int size : {1000, 10000, 100000}) {
        QTemporaryDir folder;
        benchBook(size, folder.path());
    }
    reportPeakMemory(application.applicationFilePath(), 100000);
    platform::setMessageBoxes(nullptr);
    platform::setMailService(nullptr);
    QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
    return messages.count == 0 ? 0 : 1;
}

#include "main.moc"
