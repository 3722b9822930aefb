#include "sync/SyncPlan.h"

#include <QHash>
#include <QSet>

namespace carddav {

namespace {

// An item whose upload the server never confirmed has no ETag: it was never
// in sync with any card there.
bool confirmed(const SyncItem& item) {
    return !item.etag.isEmpty();
}

} // namespace

FetchPlan planFetches(const QList<SyncItem>& items, const QList<ListedCard>& changed,
                      const QStringList& removed, bool complete) {
    QHash<QString, const SyncItem*> byHref;
    for (const SyncItem& item : items)
        byHref.insert(item.href, &item);
    FetchPlan plan;
    QSet<QString> listed;
    for (const ListedCard& card : changed) {
        listed.insert(card.href);
        const SyncItem* item = byHref.value(card.href);
        if (!item || card.etag.isEmpty() || item->etag.toUtf8() != card.etag)
            plan.fetch.append(card);
    }
    plan.gone = removed;
    const QSet<QString> listedRemoved(removed.cbegin(), removed.cend());
    for (const SyncItem& item : items) {
        if (listed.contains(item.href)) {
            if (item.sentSinceToken)
                plan.confirmedSent.append(item.id);
        } else if (confirmed(item) && !listedRemoved.contains(item.href) &&
                   (complete || item.sentSinceToken)) {
            plan.gone.append(item.href);
        }
    }
    return plan;
}

ServerCardAction onServerCard(const std::optional<SyncItem>& item,
                              const std::optional<QString>& local, const QString& server) {
    if (!item || !local)
        return ServerCardAction::Add;
    const bool changedHere = !confirmed(*item) || *local != item->syncedDigest;
    return changedHere && *local != server ? ServerCardAction::ReplaceKeepingCopy
                                           : ServerCardAction::Replace;
}

ServerGoneAction onServerGone(const SyncItem& item, const std::optional<QString>& local) {
    return local && confirmed(item) && *local == item.syncedDigest ? ServerGoneAction::DeleteHere
                                                                   : ServerGoneAction::KeepHere;
}

LocalChange localChange(const std::optional<SyncItem>& item, const std::optional<QString>& local) {
    if (!item)
        return local ? LocalChange::Create : LocalChange::None;
    if (!local)
        return LocalChange::Delete;
    return !confirmed(*item) || *local != item->syncedDigest ? LocalChange::Update
                                                             : LocalChange::None;
}

} // namespace carddav
