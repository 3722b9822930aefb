#include "sync/ServerInput.h"

#include <QStringList>

namespace carddav {

namespace {

bool hasControlCharacter(const QString& text) {
    for (QChar c : text)
        if (c.unicode() < 0x20 || c.unicode() == 0x7f)
            return true;
    return false;
}

// The segments of an absolute path, "." and ".." resolved (also in their
// percent-encoded forms, which some servers decode once more); nullopt when
// ".." climbs above the root. A trailing empty segment stands for a final '/'.
std::optional<QStringList> resolvedSegments(const QString& path) {
    QStringList segments;
    const QStringList parts = path.split(u'/');
    for (qsizetype i = 1; i < parts.size(); ++i) {
        const QString decoded = QUrl::fromPercentEncoding(parts[i].toUtf8());
        const bool last = i == parts.size() - 1;
        if (decoded == QLatin1String(".") || decoded == QLatin1String("..")) {
            if (decoded == QLatin1String("..")) {
                if (segments.isEmpty())
                    return std::nullopt;
                segments.removeLast();
            }
            if (last)
                segments.append(QString());
            continue;
        }
        if (!parts[i].isEmpty() || last)
            segments.append(parts[i]);
    }
    return segments;
}

bool sameOrigin(const QUrl& a, const QUrl& b) {
    const int defaultPort = a.scheme() == QLatin1String("https") ? 443 : 80;
    return a.scheme() == b.scheme() && a.host() == b.host() &&
           a.port(defaultPort) == b.port(defaultPort);
}

} // namespace

std::optional<QString> hrefInside(const QUrl& collection, const QString& href) {
    if (href.isEmpty() || hasControlCharacter(href))
        return std::nullopt;
    QString path;
    const QUrl ref(href, QUrl::TolerantMode);
    if (!ref.scheme().isEmpty() || href.startsWith(QLatin1String("//"))) {
        const QUrl absolute = collection.resolved(ref);
        if (!absolute.isValid() || !sameOrigin(absolute, collection))
            return std::nullopt;
        path = absolute.path(QUrl::FullyDecoded);
    } else if (href.startsWith(u'/')) {
        path = href;
    } else {
        const QString base = collection.path(QUrl::FullyDecoded);
        path = base.left(base.lastIndexOf(u'/') + 1) + href;
    }
    const std::optional<QStringList> target = resolvedSegments(path);
    std::optional<QStringList> own = resolvedSegments(collection.path(QUrl::FullyDecoded));
    if (!target || !own)
        return std::nullopt;
    if (!own->isEmpty() && own->last().isEmpty())
        own->removeLast();
    if (target->size() < own->size() || target->mid(0, own->size()) != *own)
        return std::nullopt;
    return u'/' + target->join(u'/');
}

bool isValidEtag(QByteArrayView etag) {
    if (etag.startsWith("W/"))
        etag = etag.sliced(2);
    if (etag.size() < 2 || !etag.startsWith('"') || !etag.endsWith('"'))
        return false;
    for (char c : etag.sliced(1, etag.size() - 2)) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte != 0x21 && (byte < 0x23 || byte == 0x7f))
            return false;
    }
    return true;
}

} // namespace carddav
