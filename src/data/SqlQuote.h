#pragma once

#include <QString>

// The quoting helper: every text value goes into a statement through these,
// so a single quote inside a value is always doubled.

// The inside of a quoted text value: D'Arcy -> D''Arcy.
QString sqlTextBody(const QString& value);

// A whole quoted text value: D'Arcy -> 'D''Arcy'.
QString sqlText(const QString& value);

// An id for a statement: decimal digits, written bare. Anything else throws
// DbError, so an id can never carry statement text.
QString sqlId(const QString& id);
