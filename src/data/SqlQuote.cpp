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

QString sqlId(qint64 id) {
    return QString::number(id);
}

QString sqlId(const QString& id) {
    // Another program may have written any 64-bit key, negative ones too.
    const QStringView digits = id.startsWith(u'-') ? QStringView(id).mid(1) : QStringView(id);
    const bool digitsOnly =
        !digits.isEmpty() &&
        std::all_of(digits.begin(), digits.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
    bool inRange = false;
    const qint64 value = digitsOnly ? id.toLongLong(&inRange) : 0;
    if (!inRange)
        throw DbError(QStringLiteral("Not an id: ") + id);
    return sqlId(value);
}
