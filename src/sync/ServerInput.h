#pragma once

#include <QByteArrayView>
#include <QString>
#include <QUrl>

#include <optional>

namespace carddav {

// Checks on what a server names in its answers, which is never trusted.

// The path an href names (as a multistatus answer gives it, percent-decoded
// once) when it is the collection or lies below it: a path of the
// collection's own (`..` and `.` taken away, also when written %2e) or an
// absolute URL of the same scheme, host and port. nullopt for anything else,
// so that no request ever goes outside the collection.
std::optional<QString> hrefInside(const QUrl& collection, const QString& href);

// True for an entity tag of HTTP's grammar: [W/] "..." with no control
// character, space or quote inside. Only such a tag is ever sent back in
// If-Match; anything else could add header lines to the request.
bool isValidEtag(QByteArrayView etag);

} // namespace carddav
