#include "data/SqlQuote.h"

#include "data/DbError.h"

#include <QCoreApplication>

bool isStorableText(const QString& value) {
    return !value.contains(QChar(0)) && value.isValidUtf16();
}

void requireStorable(const QString& value) {
    if (!isStorableText(value))
        throw DbError(QCoreApplication::translate(
            "DbError", "A text value holds a NUL character or broken UTF-16"));
}

QByteArray storableUtf8(const QString& value) {
    requireStorable(value);
    return value.toUtf8();
}

QString sqlTextBody(const QString& value) {
    requireStorable(value);
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
