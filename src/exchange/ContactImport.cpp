#include "exchange/ContactImport.h"

#include "data/CardStore.h"
#include "data/ContactStore.h"
#include "data/DbError.h"
#include "data/SqlQuote.h"
#include "exchange/ReadAhead.h"
#include "formats/KeptCard.h"

#include <QCoreApplication>
#include <QFile>
#include <QHash>

#include <algorithm>
#include <limits>
#include <optional>

namespace exchange {

namespace {

using Kind = vcard::ImportProblem::Kind;

QString tr(const char* text, const char* disambiguation = nullptr, int n = -1) {
    return QCoreApplication::translate("exchange::ImportSummary", text, disambiguation, n);
}

// Problems after which the contact or row was not imported; the others only
// note something left out of a contact that was.
bool skipsContact(Kind kind) {
    switch (kind) {
    case Kind::UnterminatedCard:
    case Kind::EmptyCard:
    case Kind::TooLarge:
    case Kind::MalformedRow:
    case Kind::UnclosedQuote:
        return true;
    default:
        return false;
    }
}

bool sameColumns(const Contact& a, const Contact& b) {
    Contact withId = b;
    withId.id = a.id;
    return a == withId;
}

bool storable(const Contact& c) {
    for (const QString* value :
         {&c.firstName, &c.middleName, &c.lastName, &c.address, &c.city, &c.state, &c.zipCode,
          &c.workPhone, &c.homePhone, &c.cellPhone, &c.email, &c.guardian, &c.comments})
        if (!isStorableText(*value))
            return false;
    return true;
}

// The contacts of the book, and those added so far, by the hash of their
// columns that their cards' digests hold; a hash that matches is checked
// against the stored contact, so only a truly identical contact counts.
class KnownContacts {
public:
    explicit KnownContacts(ContactStore::Batch& batch) : m_batch(batch) {}
    void add(quint64 hash, qint64 id) { m_ids.insert(hash, id); }
    bool contains(quint64 hash, const Contact& c) const {
        for (auto it = m_ids.constFind(hash); it != m_ids.cend() && it.key() == hash; ++it) {
            const std::optional<Contact> stored = m_batch.contact(it.value());
            if (stored && sameColumns(*stored, c))
                return true;
        }
        return false;
    }

private:
    ContactStore::Batch& m_batch;
    QMultiHash<quint64, qint64> m_ids;
};

// The card kept beside a new contact. A card without a UID, or with one that
// another contact's card has (the same card imported again after a change),
// is given a random one: two contacts never share a UID, which a server
// would refuse.
KeptCard keptCardOf(vcard::ReadContact& read, ContactStore::Batch& batch, QByteArray digest) {
    if (!read.uid.isEmpty() && !batch.uidTaken(read.uid))
        return {read.uid, std::move(read.card), std::move(digest)};
    const QString uid = vcard::randomUid();
    return {uid, vcard::withUid(read.card, uid, true), std::move(digest)};
}

bool idsExhausted(const ContactStore& store) {
    try {
        return store.contactIdsExhausted();
    } catch (const DbError&) {
        return false;
    }
}

} // namespace

int ImportSummary::skipped() const {
    int count = int(unstorable.size());
    for (const vcard::ImportProblem& problem : problems)
        if (skipsContact(problem.kind))
            ++count;
    return count;
}

QStringList ImportSummary::problemLines(int limit) const {
    // The reader's problems and the unstorable cards, in the order of their lines.
    QList<QPair<qint64, QString>> lines;
    for (const vcard::ImportProblem& problem : problems)
        lines.append({problem.line > 0 ? problem.line : std::numeric_limits<qint64>::max(),
                      problem.message()});
    for (qint64 line : unstorable)
        lines.append({line, tr("Line %1: a contact with a value that cannot be stored (a NUL "
                               "character) was skipped.")
                                .arg(line)});
    std::stable_sort(lines.begin(), lines.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    QStringList texts;
    for (const auto& [line, text] : lines) {
        if (limit >= 0 && texts.size() == limit) {
            texts << tr("… and %n more.", nullptr, int(lines.size()) - limit);
            break;
        }
        texts << text;
    }
    return texts;
}

QString ImportSummary::report(const QString& file, const QString& book) const {
    switch (outcome) {
    case Outcome::Imported:
        break;
    case Outcome::Cancelled:
        return tr("The import was cancelled. Nothing was imported.");
    case Outcome::NotContactFile:
        return tr("\"%1\" cannot be imported: it is neither a vCard file nor a CSV file with the "
                  "columns of this program's export. Nothing was imported.")
            .arg(file);
    case Outcome::Unreadable:
        return tr("The file \"%1\" could not be read (%2). Nothing was imported.")
            .arg(file, detail);
    case Outcome::NoSuchBook:
        return tr("There is no contact book named \"%1\". Nothing was imported.").arg(book);
    case Outcome::DatabaseFailed:
        return tr("The contacts could not be stored in the contact database. Nothing was "
                  "imported.");
    case Outcome::NoIdsLeft:
        return tr("The contact database has given out its highest contact id (%1), so no "
                  "contact can be added to it any more. Nothing was imported.")
            .arg(std::numeric_limits<qint64>::max());
    }
    QStringList lines{
        tr("%n contact(s) imported from \"%1\" into the contact book \"%2\".", nullptr, imported)
            .arg(file, book)};
    if (alreadyThere > 0)
        lines << tr("%n contact(s) already in the book, so not imported again.", nullptr,
                    alreadyThere);
    if (skipped() > 0)
        lines << tr("%n contact(s) skipped.", nullptr, skipped());
    const QStringList details = problemLines(20);
    if (!details.isEmpty())
        lines << QString() << details;
    return lines.join(QStringLiteral("\r\n"));
}

QString ImportSummary::oneLine(const QString& file, const QString& book) const {
    switch (outcome) {
    case Outcome::Imported:
        return tr("%1: %2 imported into \"%3\", %4 already there, %5 skipped")
            .arg(file)
            .arg(imported)
            .arg(book)
            .arg(alreadyThere)
            .arg(skipped());
    case Outcome::DatabaseFailed:
        return report(file, book) + QLatin1Char(' ') + detail;
    default:
        return report(file, book);
    }
}

ContactImport::ContactImport(ContactStore& store, platform::Progress* progress)
    : m_store(store), m_progress(progress ? progress : &m_noProgress) {}

ImportSummary ContactImport::run(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        ImportSummary summary;
        summary.outcome = ImportSummary::Outcome::Unreadable;
        summary.detail = file.errorString();
        return summary;
    }
    return run(&file, file.isSequential() ? 0 : file.size());
}

ImportSummary ContactImport::run(QIODevice* device, qint64 size) {
    using Outcome = ImportSummary::Outcome;
    ImportSummary summary;
    vcard::ContactFileReader reader(device);
    std::optional<ReadAhead> ahead; // once the format is known
    auto readError = [&] {
        for (const vcard::ImportProblem& problem : reader.problems())
            if (problem.kind == Kind::ReadError)
                return true;
        return false;
    };
    auto finish = [&](Outcome outcome) {
        if (ahead)
            ahead->stop();
        summary.outcome = outcome;
        summary.format = reader.format();
        summary.problems = reader.problems();
        if (outcome != Outcome::Imported)
            summary.imported = summary.alreadyThere = 0;
        if (outcome == Outcome::Unreadable && summary.detail.isEmpty())
            summary.detail = device->errorString();
        return summary;
    };

    // The format is known from the start of the file, before the book is touched.
    vcard::ReadContact next;
    bool have = reader.readNext(next);
    if (reader.format() == vcard::FileFormat::Unknown)
        return finish(readError() ? Outcome::Unreadable : Outcome::NotContactFile);

    const qint64 firstBytesRead = reader.bytesRead();
    ahead.emplace(reader);
    bool cancelled = false;
    try {
        const auto result = m_store.inOneTransaction([&](ContactStore::Batch& batch) {
            KnownContacts known(batch);
            // A Cancel meanwhile is seen at the first card.
            batch.readBook([&](const ContactUtf8& c) {
                known.add(columnsHash(c), c.id);
                m_progress->advance(0, size);
            });
            for (qint64 bytesRead = firstBytesRead; have;
                 have = ahead->next(next), bytesRead = ahead->bytesRead()) {
                if (!m_progress->advance(bytesRead, size)) {
                    cancelled = true;
                    return false;
                }
                const Contact& contact = next.contact;
                if (!storable(contact)) {
                    summary.unstorable << next.line;
                    continue;
                }
                const ContactBytes bytes(contact);
                const quint64 hash = columnsHash(bytes.view());
                if (known.contains(hash, contact)) {
                    ++summary.alreadyThere;
                } else {
                    const qint64 id = batch.insert(bytes.view());
                    if (!next.card.isEmpty())
                        batch.keepCard(id, keptCardOf(next, batch, columnsDigest(hash)));
                    known.add(hash, id);
                    ++summary.imported;
                }
            }
            // Half a file is not imported.
            ahead->stop();
            return !readError();
        });
        if (result == ContactStore::BatchResult::NoSuchBook)
            return finish(Outcome::NoSuchBook);
        if (result == ContactStore::BatchResult::RolledBack)
            return finish(cancelled ? Outcome::Cancelled : Outcome::Unreadable);
    } catch (const DbError& error) {
        summary.detail = QString::fromStdString(error.what());
        if (idsExhausted(m_store))
            return finish(Outcome::NoIdsLeft);
        return finish(Outcome::DatabaseFailed);
    }
    return finish(Outcome::Imported);
}

} // namespace exchange
