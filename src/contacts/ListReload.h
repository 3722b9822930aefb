#pragma once

#include "contacts/ContactListModel.h"
#include "data/CardStore.h"
#include "data/Contact.h"
#include "data/ContactStore.h"

#include <atomic>
#include <optional>
#include <vector>

// What a list reload brings back from its worker: the names (none when the
// statement failed), their order for the list's sort column, and the contact
// the details show, the last one listed.
struct ListReload {
    ContactListModel::Names names;
    std::vector<int> order;
    bool failed = false; // the names are those read before a failure, if any
    std::optional<Contact> shown;
    std::optional<KeptCard> shownCard; // the card kept beside it, if any
    bool shownFailed = false;
};

// Lists the store's current book as ContactStore::list() does, orders the
// names and reads the contact to show with its kept card, each on its own
// connection; meant for
// a worker thread. Once `stop` is set it ends early with a partial result.
ListReload readContactList(const ContactStore& store, TypeFilter type, const QString& pattern,
                           int sortColumn, Qt::SortOrder sortOrder, const std::atomic<bool>& stop);
