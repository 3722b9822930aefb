#pragma once

#include "data/SyncStore.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// The decisions of a sync, apart from the network and the database: what is
// stored here and what the server listed go in, the actions come out.
namespace carddav {

// A card as a listing names it.
struct ListedCard {
    QString href;
    QByteArray etag;
    bool operator==(const ListedCard&) const = default;
};

struct FetchPlan {
    QList<ListedCard> fetch; // new there, or changed since last synced
    QStringList gone;        // deleted there
    // Items sent since the token that the listing shows there: once its new
    // token is stored, a later listing names their deletion.
    QList<qint64> confirmedSent;
};
// `changed` and `removed` as listed; `complete`: the listing names every
// card, so an item it leaves out was deleted there. Otherwise it lists the
// changes since the stored token, which may leave out a card made and
// deleted since: an item sent since the token that it leaves out is gone.
FetchPlan planFetches(const QList<SyncItem>& items, const QList<ListedCard>& changed,
                      const QStringList& removed, bool complete);

// What a card received from the server does here. `local`: the digest of
// the item's contact, nullopt when there is none (no item, or the contact
// was deleted here).
enum class ServerCardAction {
    Add,                // a new contact (new there, or deleted here and changed there)
    Replace,            // the server's version replaces the contact
    ReplaceKeepingCopy, // ... and the contact, changed here too, stays as a conflict copy
};
ServerCardAction onServerCard(const std::optional<SyncItem>& item,
                              const std::optional<QString>& local, const QString& server);

// What a card deleted on the server does to its contact here.
enum class ServerGoneAction {
    DeleteHere, // unchanged here: it goes
    KeepHere,   // changed here, or never confirmed there: it stays and goes up again as new
};
ServerGoneAction onServerGone(const SyncItem& item, const std::optional<QString>& local);

// What the state here sends to the server.
enum class LocalChange {
    None,
    Create, // a contact without an item
    Update, // changed since last synced, or its upload never confirmed
    Delete, // an item whose contact was deleted here
};
LocalChange localChange(const std::optional<SyncItem>& item, const std::optional<QString>& local);

} // namespace carddav
