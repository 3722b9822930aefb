#include "contacts/DisplayText.h"

QString shortenedForDisplay(const QString& value, qsizetype length) {
    if (value.size() <= length)
        return value;
    qsizetype cut = length;
    // The cut never splits a character or a line break.
    if (value.at(cut - 1).isHighSurrogate() || value.at(cut - 1) == QLatin1Char('\r'))
        --cut;
    return value.left(cut) + QChar(0x2026);
}
