#pragma once

#include <QList>
#include <QString>

class ContactStore;

namespace platform {
class Progress;
}

// Writes contacts of the store's current book as comma-separated text to
// `path`: the whole book, or the contacts with the given ids (none given is a
// failure). On failure the user is told "There was an error retrieving data",
// the result is false, and an earlier file at `path` stays as it was. Told
// after each contact, `progress` may cancel: the result is false, with no
// message, and an earlier file stays as it was.
bool exportBookCsv(const ContactStore& store, const QString& path,
                   platform::Progress* progress = nullptr);
bool exportSelectionCsv(const ContactStore& store, const QList<qint64>& ids, const QString& path,
                        platform::Progress* progress = nullptr);

enum class CsvOutcome { Written, Cancelled, Failed };
// The same without telling the user, for a worker thread (`ids` empty: the
// whole book); the window's thread then tells a failure with
// reportCsvFailure().
CsvOutcome writeContactsCsv(const ContactStore& store, const QList<qint64>& ids,
                            const QString& path, platform::Progress* progress);
void reportCsvFailure();
