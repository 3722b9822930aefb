#include "data/SqlQuote.h"

#include "data/DbError.h"

#include <algorithm>

bool isStorableText(const QString& value) {
    return !value.contains(QChar(0)) && value.isValidUtf16();
}

QString sqlTextBody(const QString& value) {
    if (!isStorableText(value))
        throw DbError(QStringLiteral("A text value holds a NUL character or broken UTF-16"));
    QString body = value;
    body.replace(QLatin1Char('\''), QLatin1String("''"));
    return body;
}

QString sqlText(const QString& value) {
    return QLatin1Char('\'') + sqlTextBody(value) + QLatin1Char('\'');
}

QString sqlId(const QString& id) {
    const bool digitsOnly =
        !id.isEmpty() && id.size() <= 18 &&
        std::all_of(id.begin(), id.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
    if (!digitsOnly)
        throw DbError(QStringLiteral("Not an id: ") + id);
    return id;
}
