#pragma once

#include "data/Contact.h"

#include <QByteArray>

// Changing a card that another program wrote without losing what this
// program does not show.
namespace vcard {

// The card `card` (vCard 3.0 or 4.0 text, e.g. a server's copy) with the
// properties that hold the contact's columns changed to the values of
// `contact`: N and FN, the first ADR's street, locality, region and postal
// code, the TEL lines of the three phones, the first EMAIL, the first
// X-ORVANTA-GUARDIAN, NOTE and the Personal/Business category. Only the
// properties of columns whose value differs from what the card itself reads
// as are touched; every other line goes back byte for byte (line ends as
// CR LF). A card that changed gets REV set to now; an FN left without a name
// takes the organization, else the e-mail address. An empty result: the card
// could not be read.
QByteArray updateCard(const QByteArray& card, const Contact& contact);

} // namespace vcard
