// Exporting through ContactExport: what other programs read from the file,
// what comes back in, stable UIDs, and that a stopped export writes nothing.
#include "ExchangeTesting.h"
#include "exchange/ContactExport.h"
#include "exchange/ContactImport.h"
#include "platform/ProgressDialog.h"
#include "vcard/ContactFileReader.h"

#include <QApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QProgressDialog>

using exchange::ContactExport;
using exchange::ContactImport;
using Outcome = exchange::ExportSummary::Outcome;
using vcard::VCardVersion;

namespace {

void addAll(ContactStore& store, const QList<Contact>& contacts) {
    for (const Contact& c : contacts)
        QVERIFY(store.insert(c));
}

// The book's contacts, described() with the UID each export gives them.
QStringList withUids(const StoreFolder& f) {
    QStringList lines;
    f.store.readContacts({}, [&](const Contact& c) {
        lines << described(c) + u'|' +
                     vcard::stableUid(c.id, ContactExport::uidSeed(f.store.currentBook()));
        return true;
    });
    return lines;
}

QStringList uidsIn(const QString& path) {
    QStringList uids;
    for (const vcard::ReadContact& read : vcard::readContacts(readBytes(path)).contacts)
        uids << read.uid;
    return uids;
}

void addVersions() {
    QTest::addColumn<VCardVersion>("version");
    QTest::newRow("3.0") << VCardVersion::V3_0;
    QTest::newRow("4.0") << VCardVersion::V4_0;
}

} // namespace

class ExportTest : public QObject {
    Q_OBJECT

private slots:
    // Python's vobject reads, card by card, what was stored.
    void vobjectReadsTheExportedBook_data() { addVersions(); }
    void vobjectReadsTheExportedBook() {
        QFETCH(VCardVersion, version);
        StoreFolder f;
        addAll(f.store, awkwardContacts());
        const auto summary = ContactExport(f.store).run(f.file("book.vcf"), {}, version);
        QVERIFY(summary.succeeded());
        QCOMPARE(summary.written, 3);
        const QJsonDocument read =
            QJsonDocument::fromJson(runVobject({"read", f.file("book.vcf")}));
        QCOMPARE(read.array().toVariantList(), QVariant(withUids(f)).toList());
    }

    // What vobject writes comes into the book with the same values.
    void vobjectFilesComeIntoTheBook_data() { addVersions(); }
    void vobjectFilesComeIntoTheBook() {
        QFETCH(VCardVersion, version);
        StoreFolder source;
        addAll(source.store, awkwardContacts());
        const QStringList contacts = withUids(source);
        writeFile(source.file("contacts.json"),
                  QJsonDocument(QJsonArray::fromStringList(contacts)).toJson());
        runVobject({"write", version == VCardVersion::V3_0 ? "3.0" : "4.0",
                    source.file("contacts.json"), source.file("vobject.vcf")});

        StoreFolder f;
        const auto summary = ContactImport(f.store).run(source.file("vobject.vcf"));
        QCOMPARE(summary.outcome, exchange::ImportSummary::Outcome::Imported);
        QCOMPARE(summary.problems, QList<vcard::ImportProblem>{});
        QCOMPARE(f.contacts(), source.contacts());
    }

    // The same contact keeps its UID from one export to the next, whole
    // book or selection; the selection holds the selected contacts only.
    void uidsStayAndTheSelectionIsExportedAlone() {
        StoreFolder f;
        addAll(f.store, awkwardContacts());
        QVERIFY(ContactExport(f.store).run(f.file("1.vcf"), {}).succeeded());
        const QStringList first = uidsIn(f.file("1.vcf"));
        QCOMPARE(first.size(), 3);
        QCOMPARE(QSet<QString>(first.begin(), first.end()).size(), 3);
        f.folder.addContact({.firstName = "New"});
        QVERIFY(ContactExport(f.store).run(f.file("2.vcf"), {}).succeeded());
        // Personal first, then Business: contacts 2, 3, the new 4, then 1.
        const QStringList second = uidsIn(f.file("2.vcf"));
        QCOMPARE(second.size(), 4);
        QCOMPARE((QStringList{second[0], second[1], second[3]}), first);
        const auto selection = ContactExport(f.store).run(f.file("3.vcf"), {3, 1});
        QCOMPARE(selection.written, 2);
        QCOMPARE(uidsIn(f.file("3.vcf")), (QStringList{first[1], first[2]}));
    }

    // Cancel, a folder that cannot be written and the database file itself:
    // the earlier file (or the database) stays exactly as it was, and no
    // temporary file is left behind.
    void aStoppedExportLeavesTheEarlierFile_data() {
        QTest::addColumn<QString>("target");
        QTest::addColumn<int>("cancelAfter");
        QTest::addColumn<Outcome>("outcome");
        QTest::newRow("cancel") << "book.vcf" << 2 << Outcome::Cancelled;
        QTest::newRow("no such folder") << "missing/book.vcf" << 100 << Outcome::CannotWrite;
        QTest::newRow("the database") << "contacts.mdb" << 100 << Outcome::IsTheDatabase;
        QTest::newRow("its journal") << "contacts.mdb-journal" << 100 << Outcome::IsTheDatabase;
    }
    void aStoppedExportLeavesTheEarlierFile() {
        QFETCH(QString, target);
        QFETCH(int, cancelAfter);
        QFETCH(Outcome, outcome);
        StoreFolder f;
        addAll(f.store, awkwardContacts());
        writeFile(f.file("book.vcf"), "earlier");
        const QByteArray database = readBytes(f.folder.databasePath());
        const QStringList files = QDir(f.folder.path()).entryList(QDir::Files);
        CancelAfter cancel(cancelAfter);
        const auto summary = ContactExport(f.store, &cancel).run(f.file(target), {});
        QCOMPARE(summary.outcome, outcome);
        QCOMPARE(summary.written, 0);
        QCOMPARE(readBytes(f.file("book.vcf")), QByteArray("earlier"));
        QCOMPARE(readBytes(f.folder.databasePath()), database);
        QCOMPARE(QDir(f.folder.path()).entryList(QDir::Files), files);
    }

    // The dialog appears once the work has run past its delay (here none),
    // and its Cancel stops the work at the next step.
    void theProgressDialogCancels() {
        QWidget window;
        window.show();
        platform::DialogProgress progress(&window, u"Working"_s, 0);
        QVERIFY(progress.advance(1, 10));
        QVERIFY(progress.shown());
        auto* dialog = window.findChild<QProgressDialog*>();
        QVERIFY(dialog && dialog->isVisible());
        QCOMPARE(dialog->labelText(), u"Working"_s);
        QCOMPARE(dialog->value(), 100);
        QVERIFY(dialog->isModal() || dialog->windowModality() == Qt::WindowModal);
        dialog->cancel();
        QVERIFY(!progress.advance(2, 10));
    }
};

QTEST_MAIN(ExportTest)
#include "ExportTest.moc"
