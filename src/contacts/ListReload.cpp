#include "contacts/ListReload.h"

#include "data/DbError.h"

ListReload readContactList(const ContactStore& store, TypeFilter type, const QString& pattern,
                           int sortColumn, Qt::SortOrder sortOrder, const std::atomic<bool>& stop) {
    ListReload reload;
    ContactNames partial;
    try {
        reload.names =
            std::make_shared<const ContactNames>(store.list(type, pattern, &partial, &stop));
    } catch (const DbError&) {
        // A failure while reading keeps the entries read so far; a failed
        // statement keeps the old ones.
        reload.failed = true;
        if (partial.size() > 0)
            reload.names = std::make_shared<const ContactNames>(std::move(partial));
    }
    if (!reload.names)
        return reload;
    reload.order = ContactListModel::rowOrder(*reload.names, sortColumn, sortOrder, &stop);
    const int count = reload.names->size();
    if (reload.failed || count == 0 || stop.load())
        return reload;
    const int last = reload.order.empty() ? count - 1 : reload.order.back();
    try {
        const qint64 id = reload.names->id(last);
        reload.shown = store.contact(id);
        if (reload.shown)
            reload.shownCard = CardStore(store.connectionString()).card(id);
    } catch (const DbError&) {
        reload.shownFailed = true;
    }
    return reload;
}
