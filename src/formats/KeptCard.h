#pragma once

#include "formats/Parsers.h"

#include <QByteArray>
#include <QString>

namespace vcard {

// The card with every line break as CR LF.
QByteArray withCrLf(const QByteArray& card);

// The card with a UID line after its VERSION line, unless it has one;
// `replace`: in place of any it has.
QByteArray withUid(const QByteArray& card, const QString& uid, bool replace = false);

// A new random UID (a version 4 UUID without braces).
QString randomUid();

namespace detail {

// The text kept for a card read from `properties`: a 3.0 or 4.0 card keeps
// each line as written (unfolded, then folded again at 75 octets); a 2.1 card
// becomes a 3.0 card of the same properties, its values in UTF-8.
QByteArray keptCard(const QList<Property>& properties);

// Folded at 75 octets, never inside a UTF-8 character, ended with CR LF.
QByteArray foldedLine(QByteArrayView line);

} // namespace detail

} // namespace vcard
