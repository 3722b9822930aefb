#include "exchange/ContactExport.h"

#include "data/CardStore.h"
#include "data/ConnectionString.h"
#include "data/ContactStore.h"
#include "data/DbError.h"
#include "formats/CardUpdate.h"
#include "formats/KeptCard.h"
#include "formats/WriteBack.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QScopeGuard>

#include <sys/stat.h>

#include <condition_variable>
#include <cstring>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

namespace exchange {

namespace {

QString tr(const char* text, const char* disambiguation = nullptr, int n = -1) {
    return QCoreApplication::translate("exchange::ExportSummary", text, disambiguation, n);
}

constexpr qsizetype chunk = 1 << 20;

ExportSummary failed(ExportSummary::Outcome outcome, const QString& detail = {}) {
    ExportSummary summary;
    summary.outcome = outcome;
    summary.detail = detail;
    return summary;
}

bool isPipe(const QString& path) {
    struct stat status {};
    return ::stat(QFile::encodeName(path).constData(), &status) == 0 && S_ISFIFO(status.st_mode);
}

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

// Rows copied out of the query, for the thread that turns them into cards:
// each row's texts packed into one buffer, as offsets and lengths.
struct RowBlock {
    static constexpr int capacity = 512;
    static constexpr int texts = 16; // the thirteen columns and the kept card's three
    struct Row {
        qint64 id;
        ContactType type;
        qsizetype at[texts + 1]; // the start of each text in `bytes`, and the end
    };
    QByteArray bytes;
    std::vector<Row> rows;

    void add(const ContactUtf8& c, const KeptCardUtf8& card) {
        const QByteArrayView texts[] = {c.firstName, c.middleName, c.lastName, c.address,
                                        c.city,      c.state,      c.zipCode,  c.workPhone,
                                        c.homePhone, c.cellPhone,  c.email,    c.guardian,
                                        c.comments,  card.uid,     card.text,  card.digest};
        qsizetype size = 0;
        for (QByteArrayView text : texts)
            size += text.size();
        Row row{c.id, c.type, {}};
        qsizetype at = bytes.size();
        bytes.resize(at + size);
        char* out = bytes.data();
        for (int i = 0; i < RowBlock::texts; ++i) {
            row.at[i] = at;
            if (!texts[i].isEmpty())
                std::memcpy(out + at, texts[i].data(), size_t(texts[i].size()));
            at += texts[i].size();
        }
        row.at[RowBlock::texts] = at;
        rows.push_back(row);
    }
    QByteArrayView text(const Row& row, int i) const {
        return QByteArrayView(bytes.constData() + row.at[i], row.at[i + 1] - row.at[i]);
    }
    ContactUtf8 contact(const Row& row) const {
        auto t = [&](int i) { return text(row, i); };
        return {row.id, t(0), t(1), t(2),  t(3),  t(4),  t(5),    t(6),
                t(7),   t(8), t(9), t(10), t(11), t(12), row.type};
    }
    KeptCardUtf8 card(const Row& row) const {
        return {text(row, 13), text(row, 14), text(row, 15)};
    }
    void clear() {
        bytes.resize(0);
        rows.clear();
    }
};

// Hands full blocks from the reading thread to the writing one, at most a
// few at a time, and the emptied blocks back for reuse.
class BlockQueue {
public:
    // Blocks until a block is free; nullptr once the writer has stopped.
    RowBlock* empty() {
        std::unique_lock lock(m_mutex);
        m_changed.wait(lock, [&] { return m_stopped || !m_free.empty() || m_made < maxBlocks; });
        if (m_stopped)
            return nullptr;
        if (m_free.empty()) {
            ++m_made;
            m_all.emplace_back(std::make_unique<RowBlock>());
            return m_all.back().get();
        }
        RowBlock* block = m_free.back();
        m_free.pop_back();
        return block;
    }
    void full(RowBlock* block) {
        std::lock_guard lock(m_mutex);
        m_full.push_back(block);
        m_changed.notify_all();
    }
    // No more blocks will come.
    void close() {
        std::lock_guard lock(m_mutex);
        m_closed = true;
        m_changed.notify_all();
    }
    // The next full block; nullptr when closed and drained.
    RowBlock* next() {
        std::unique_lock lock(m_mutex);
        m_changed.wait(lock, [&] { return m_closed || !m_full.empty(); });
        if (m_full.empty())
            return nullptr;
        RowBlock* block = m_full.front();
        m_full.erase(m_full.begin());
        return block;
    }
    void done(RowBlock* block) {
        block->clear();
        std::lock_guard lock(m_mutex);
        m_free.push_back(block);
        m_changed.notify_all();
    }
    // The writer gives up (a failed write): the reader's next empty() says so.
    void stop() {
        std::lock_guard lock(m_mutex);
        m_stopped = true;
        m_changed.notify_all();
    }

private:
    static constexpr int maxBlocks = 8;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::vector<std::unique_ptr<RowBlock>> m_all;
    std::vector<RowBlock*> m_free, m_full;
    int m_made = 0;
    bool m_closed = false;
    bool m_stopped = false;
};

// One contact's card: the kept card as it is while the columns are as they
// were when it was kept, else the kept card with the properties of the
// changed columns rewritten, else (no card kept yet) a new card with a random
// UID. A card that is new or changed is added to `toKeep`.
void writeCard(vcard::VCardWriter& writer, const ContactUtf8& contact, const KeptCardUtf8& kept,
               QList<QPair<qint64, KeptCard>>& toKeep) {
    const QByteArray digest = columnsDigest(contact);
    if (!kept.text.isEmpty() && kept.digest == QByteArrayView(digest)) {
        writer.append(kept.text);
        return;
    }
    QByteArray card;
    if (!kept.text.isEmpty())
        card = vcard::updateCard(kept.text.toByteArray(), contactOf(contact));
    QString uid = QString::fromUtf8(kept.uid);
    if (card.isEmpty()) {
        if (uid.isEmpty())
            uid = vcard::randomUid();
        const qsizetype start = writer.data().size();
        writer.write(contact, uid.toUtf8());
        card = writer.data().mid(start);
    } else {
        writer.append(card);
    }
    toKeep.append({contact.id, KeptCard{uid, card, digest}});
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
    case Outcome::NotAFile:
        return tr("\"%1\" is not a file that an export can write into, but a folder, a device "
                  "or the like. Choose a file to export to.")
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

bool ContactExport::isNeitherFileNorPipe(const QString& path) {
    const QFileInfo target(path);
    return target.exists() && !target.isFile() && !isPipe(path);
}

ExportSummary ContactExport::run(const QString& path, const QList<qint64>& ids,
                                 vcard::VCardVersion version) {
    using Outcome = ExportSummary::Outcome;
    if (isDatabaseFile(path, m_store.connectionString()))
        return failed(Outcome::IsTheDatabase);
    if (isNeitherFileNorPipe(path))
        return failed(Outcome::NotAFile);
    if (isPipe(path)) {
        QFile pipe(path);
        if (!pipe.open(QIODevice::WriteOnly))
            return failed(Outcome::CannotWrite, pipe.errorString());
        return run(&pipe, ids, version);
    }
    // Nothing replaces the file named until commit(): a failure or a cancel
    // leaves an earlier file as it was.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return failed(Outcome::CannotWrite, file.errorString());
    const ExportSummary summary = write(file, ids, version);
    // The explicit flush catches a failed write that a commit alone would miss.
    if (summary.succeeded() && (!file.flush() || !file.commit()))
        return failed(Outcome::CannotWrite, file.errorString());
    return summary;
}

ExportSummary ContactExport::run(QIODevice* device, const QList<qint64>& ids,
                                 vcard::VCardVersion version) {
    const ExportSummary summary = write(*device, ids, version);
    auto* file = qobject_cast<QFileDevice*>(device);
    if (summary.succeeded() && file && !file->flush())
        return failed(ExportSummary::Outcome::CannotWrite, file->errorString());
    return summary;
}

ExportSummary ContactExport::write(QIODevice& file, const QList<qint64>& ids,
                                   vcard::VCardVersion version) {
    using Outcome = ExportSummary::Outcome;
    ExportSummary summary;
    // Reading the rows and making the cards overlap: this thread steps the
    // query and copies the rows into blocks, a second one encodes the blocks
    // and writes the file.
    BlockQueue queue;
    bool writeFailed = false;
    QList<QPair<qint64, KeptCard>> toKeep;
    std::thread writing([&] {
        vcard::VCardWriter writer(version);
        // A file (not a pipe) is sent on to the disk as it grows, as the
        // CSV export does: the sync before it replaces the old file then
        // has little left to wait for.
        auto* onDisk = qobject_cast<QFileDevice*>(&file);
        if (onDisk && isPipe(onDisk->fileName()))
            onDisk = nullptr;
        qint64 sent = 0;
        auto writeOut = [&] {
            writeFailed = file.write(writer.data()) != writer.data().size();
            writer.clear();
            if (!writeFailed && onDisk)
                startWriteBack(*onDisk, sent);
            return !writeFailed;
        };
        while (RowBlock* block = queue.next()) {
            if (!writeFailed)
                for (const RowBlock::Row& row : block->rows) {
                    writeCard(writer, block->contact(row), block->card(row), toKeep);
                    if (writer.data().size() >= chunk && !writeOut())
                        break;
                }
            queue.done(block);
            if (writeFailed)
                queue.stop();
        }
        if (!writeFailed)
            writeOut();
    });
    // However this function is left, the second thread ends first.
    auto finishWriting = [&] {
        if (writing.joinable()) {
            queue.close();
            writing.join();
        }
    };
    const auto atExit = qScopeGuard(finishWriting);
    bool cancelled = false;
    RowBlock* block = nullptr;
    std::optional<QString> databaseError;
    try {
        const qint64 total = ids.isEmpty() ? m_store.count() : ids.size();
        m_store.readContactsWithCards(ids,
                                      [&](const ContactUtf8& contact, const KeptCardUtf8& card) {
                                          if (!block && !(block = queue.empty()))
                                              return false; // the writer stopped
                                          block->add(contact, card);
                                          if (int(block->rows.size()) == RowBlock::capacity) {
                                              queue.full(block);
                                              block = nullptr;
                                          }
                                          ++summary.written;
                                          if (!m_progress->advance(summary.written, total)) {
                                              cancelled = true;
                                              return false;
                                          }
                                          return true;
                                      });
    } catch (const DbError& error) {
        databaseError = QString::fromStdString(error.what());
    }
    if (block)
        queue.full(block);
    finishWriting();
    if (databaseError)
        return failed(Outcome::DatabaseFailed, *databaseError);
    if (cancelled)
        return failed(Outcome::Cancelled);
    if (writeFailed)
        return failed(Outcome::CannotWrite, file.errorString());
    // The cards written are kept before a file is put in place: a file whose
    // UIDs the book does not remember is not written.
    try {
        CardStore(m_store.connectionString()).keep(toKeep);
    } catch (const DbError& error) {
        return failed(Outcome::DatabaseFailed, QString::fromStdString(error.what()));
    }
    return summary;
}

} // namespace exchange
