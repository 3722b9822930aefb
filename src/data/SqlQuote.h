#pragma once

#include <QByteArray>
#include <QString>

// The quoting helper: every text value goes into a statement through these,
// so a single quote inside a value is always doubled.

// True when the value can go into statement text and come back unchanged:
// no NUL character (statement text ends at one) and no broken UTF-16 (a lone
// surrogate would be stored as U+FFFD).
bool isStorableText(const QString& value);
// Throws DbError for text that cannot be stored, as sqlText() does.
void requireStorable(const QString& value);
// The text as UTF-8 for binding; throws as requireStorable() does.
QByteArray storableUtf8(const QString& value);

// The inside of a quoted text value: D'Arcy -> D''Arcy. A value that is not
// storable throws DbError, so it is refused rather than stored changed.
QString sqlTextBody(const QString& value);

// A whole quoted text value: D'Arcy -> 'D''Arcy'.
QString sqlText(const QString& value);

// An id for a statement: a 64-bit integer in decimal, written bare, so an id
// can never carry statement text.
QString sqlId(qint64 id);
