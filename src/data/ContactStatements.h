#pragma once

#include "data/Contact.h"

#include <QString>

// The statements that write one contact, shared by ContactStore and the sync
// bookkeeping so that both write a contact with the same text.
QString insertContactStatement(const Contact& contact, qint64 bookId);
QString updateContactStatement(const Contact& contact);
