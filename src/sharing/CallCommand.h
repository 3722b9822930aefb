#pragma once

#include "data/ContactStore.h"

#include <QString>

// Hands one number of the contact to the telephony service, with the called
// party's name. When the contact cannot be read, is gone, or has no number
// there, no call is requested and the user is told why.
void callContact(const ContactStore& store, qint64 id, Phone phone, const QString& calledParty);
