#pragma once

#include "data/CardExtras.h"
#include "data/Contact.h"

#include <QByteArray>

namespace vcard {

// What `card` (a kept card) holds beyond the columns of `contact`: the
// organization and title, birthday, nicknames, web pages, the phone numbers
// and e-mail addresses not in a column, the addresses after the first, and
// the photo when the card carries it inline.
CardExtras extrasOf(const QByteArray& card, const Contact& contact);

// A label as people read it: another program's "_$!<AssistantPhone>!$_"
// becomes "Assistant phone"; the common ones are translated.
QString plainLabel(const QString& label);

} // namespace vcard
