#include "exchange/ContactExport.h"

#include "data/ConnectionString.h"
#include "data/ContactStore.h"
#include "data/DbError.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QSaveFile>

namespace exchange {

namespace {

QString tr(const char* text, const char* disambiguation = nullptr, int n = -1) {
    return QCoreApplication::translate("exchange::ExportSummary", text, disambiguation, n);
}

constexpr qsizetype chunk = 1 << 20;

// True when writing `path` would replace the contact database (or its
// journal) with the export.
bool isDatabaseFile(const QString& path, const QString& connectionString) {
    QString database;
    try {
        database = databasePathOf(connectionString);
    } catch (const DbError&) {
        return false;
    }
    const QFileInfo target(path);
    const QString canonical = target.exists()
                                  ? target.canonicalFilePath()
                                  : QFileInfo(target.absolutePath()).canonicalFilePath() +
                                        QLatin1Char('/') + target.fileName();
    const QString databaseCanonical = QFileInfo(database).canonicalFilePath();
    return !databaseCanonical.isEmpty() &&
           (canonical == databaseCanonical ||
            canonical.startsWith(databaseCanonical + QLatin1Char('-')));
}

} // namespace

QString ExportSummary::report(const QString& file, const QString& book) const {
    switch (outcome) {
    case Outcome::Written:
        break;
    case Outcome::Cancelled:
        return tr("The export was cancelled. No file was written; an earlier \"%1\" is left as "
                  "it was.")
            .arg(file);
    case Outcome::CannotWrite:
        return tr("The file \"%1\" could not be written (%2).").arg(file, detail);
    case Outcome::IsTheDatabase:
        return tr("\"%1\" is the contact database itself. Choose another file to export to.")
            .arg(file);
    case Outcome::DatabaseFailed:
        return tr("The contacts could not be read from the contact database. No file was "
                  "written.");
    }
    return tr("%n contact(s) of the contact book \"%1\" written to \"%2\".", nullptr, written)
        .arg(book, file);
}

QString ExportSummary::oneLine(const QString& file, const QString& book,
                               vcard::VCardVersion version) const {
    if (outcome == Outcome::Written)
        return tr("%1: %2 written from \"%3\" as vCard %4")
            .arg(file)
            .arg(written)
            .arg(book)
            .arg(version == vcard::VCardVersion::V4_0 ? QStringLiteral("4.0")
                                                      : QStringLiteral("3.0"));
    if (outcome == Outcome::DatabaseFailed)
        return report(file, book) + QLatin1Char(' ') + detail;
    return report(file, book);
}

ContactExport::ContactExport(const ContactStore& store, platform::Progress* progress)
    : m_store(store), m_progress(progress ? progress : &m_noProgress) {}

QString ContactExport::uidSeed(const QString& book) {
    return QStringLiteral("contact book ") + book;
}

ExportSummary ContactExport::run(const QString& path, const QList<qint64>& ids,
                                 vcard::VCardVersion version) {
    using Outcome = ExportSummary::Outcome;
    ExportSummary summary;
    auto fail = [&](Outcome outcome, const QString& detail = {}) {
        summary.outcome = outcome;
        summary.detail = detail;
        summary.written = 0;
        return summary;
    };
    if (isDatabaseFile(path, m_store.connectionString()))
        return fail(Outcome::IsTheDatabase);

    // Nothing replaces the file named until commit(): a failure or a cancel
    // leaves an earlier file as it was.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return fail(Outcome::CannotWrite, file.errorString());
    vcard::StableUids uids(uidSeed(m_store.currentBook()));
    vcard::VCardWriter writer(version);
    bool cancelled = false;
    bool writeFailed = false;
    auto writeOut = [&] {
        if (file.write(writer.data()) != writer.data().size())
            writeFailed = true;
        writer.clear();
        return !writeFailed;
    };
    try {
        const qint64 total = ids.isEmpty() ? m_store.count() : ids.size();
        m_store.readContacts(ids, [&](const ContactUtf8& contact) {
            writer.write(contact, uids(contact.id));
            ++summary.written;
            if (writer.data().size() >= chunk && !writeOut())
                return false;
            if (!m_progress->advance(summary.written, total)) {
                cancelled = true;
                return false;
            }
            return true;
        });
    } catch (const DbError& error) {
        return fail(Outcome::DatabaseFailed, QString::fromStdString(error.what()));
    }
    if (cancelled)
        return fail(Outcome::Cancelled);
    // The explicit flush catches a failed write that a commit alone would miss.
    if (!writeOut() || !file.flush() || !file.commit())
        return fail(Outcome::CannotWrite, file.errorString());
    return summary;
}

} // namespace exchange
