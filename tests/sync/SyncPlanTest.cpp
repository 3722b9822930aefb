// The decisions of a sync, without a network or a database.
#include "sync/SyncPlan.h"

#include <QRandomGenerator>
#include <QSet>
#include <QTest>

#include <functional>

using namespace Qt::StringLiterals;
using namespace carddav;

namespace {

// Devices and a server in memory, synced by the plan's decisions: a card's
// text is its contact and its digest. Syncs break off at any request, and the
// server may have done a request whose answer was lost.
class Model {
public:
    explicit Model(quint32 seed, int devices) : m_random(seed), m_devices(devices) {}

    void step() {
        Device& d = m_devices[m_random.bounded(int(m_devices.size()))];
        const int what = m_random.bounded(10);
        if (what < 2 || d.contacts.isEmpty()) {
            d.contacts.insert(d.nextId++, made(u"t%1"_s.arg(++m_texts)));
        } else if (what >= 6) {
            sync(d, m_random.bounded(12)); // often broken off
        } else {
            const qint64 id = d.contacts.keys().at(m_random.bounded(int(d.contacts.size())));
            m_replacedHere.insert(d.contacts.take(id));
            if (what < 5)
                d.contacts.insert(id, made(u"t%1"_s.arg(++m_texts)));
            else // deleted: as the file's trigger does, the item stays without its contact
                for (SyncItem& item : d.items)
                    item.contactId = item.contactId == id ? 0 : item.contactId;
        }
    }
    // Every device syncs to the end, round after round. Empty then when every
    // device holds what the server holds, no text is there twice, and every
    // text made here reached the server (itself or as a conflict copy) unless
    // its own device replaced or deleted it.
    QString settledFault() {
        for (int round = 0; round < 4; ++round)
            for (Device& d : m_devices)
                sync(d, 1 << 30);
        QStringList server;
        for (const Card& card : m_server)
            server.append(card.second);
        server.sort();
        if (server.removeDuplicates() > 0)
            return u"a text twice on the server"_s;
        for (int d = 0; d < m_devices.size(); ++d) {
            QStringList texts = m_devices[d].contacts.values();
            texts.sort();
            if (texts != server)
                return u"device %1 differs"_s.arg(d);
        }
        for (const QString& text : m_made)
            if (!survived(text))
                return u"lost "_s + text;
        return {};
    }

private:
    using Card = std::pair<QByteArray, QString>; // its ETag, its text
    struct Device {
        QMap<qint64, QString> contacts;
        QMap<QString, SyncItem> items; // by href
        qint64 nextId = 1;
    };

    bool survived(const QString& text) const {
        if (m_replacedHere.contains(text) || m_everOnServer.contains(text))
            return true;
        const QString copy = u"copy of "_s + text;
        return m_made.contains(copy) && survived(copy);
    }
    QString made(const QString& text) {
        m_made.insert(text);
        return text;
    }
    std::optional<QString> localOf(const Device& d, const std::optional<SyncItem>& item) const {
        if (!item || !item->contactId || !d.contacts.contains(item->contactId))
            return std::nullopt;
        return d.contacts.value(item->contactId);
    }
    void store(const QString& href, const QString& text) {
        m_server.insert(href, {QByteArray::number(++m_etags), text});
        m_everOnServer.insert(text);
    }

    void takeCard(Device& d, const QString& href, const Card& card) {
        std::optional<SyncItem> item =
            d.items.contains(href) ? std::optional(d.items.value(href)) : std::nullopt;
        const std::optional<QString> local = localOf(d, item);
        SyncItem next = item.value_or(SyncItem{.href = href});
        const ServerCardAction action = onServerCard(item, local, card.second);
        if (action == ServerCardAction::Add)
            next.contactId = d.nextId++;
        else if (action == ServerCardAction::ReplaceKeepingCopy)
            d.contacts.insert(d.nextId++, made(u"copy of "_s + *local));
        d.contacts.insert(next.contactId, card.second);
        next.etag = QString::fromLatin1(card.first);
        next.syncedDigest = card.second;
        d.items.insert(href, next);
    }

    // One sync; `budget` requests, then it breaks off.
    void sync(Device& d, int budget) {
        auto request = [&] { return budget-- > 0; };
        QList<ListedCard> listing;
        for (auto it = m_server.cbegin(); it != m_server.cend(); ++it)
            listing.append({it.key(), it->first});
        if (!request())
            return;
        const FetchPlan plan = planFetches(d.items.values(), listing, {}, true);
        for (const ListedCard& listed : plan.fetch) {
            if (!request())
                return;
            if (m_server.contains(listed.href))
                takeCard(d, listed.href, m_server.value(listed.href));
        }
        for (const QString& href : plan.gone) {
            const SyncItem item = d.items.take(href);
            if (onServerGone(item, localOf(d, item)) == ServerGoneAction::DeleteHere)
                d.contacts.remove(item.contactId);
        }
        for (const SyncItem& item : d.items.values())
            if (localChange(item, localOf(d, item)) == LocalChange::Delete &&
                !send(d, item, std::nullopt, request))
                return;
        for (const qint64 id : d.contacts.keys()) {
            if (!d.contacts.contains(id))
                continue; // replaced by a resolution meanwhile
            std::optional<SyncItem> item;
            for (const SyncItem& each : d.items)
                if (each.contactId == id)
                    item = each;
            const QString text = d.contacts.value(id);
            const LocalChange change = localChange(item, text);
            if (change == LocalChange::None)
                continue;
            if (change == LocalChange::Create) {
                // The item first, so a lost answer makes no second card.
                item = SyncItem{
                    .contactId = id, .href = u"/c%1.vcf"_s.arg(++m_hrefs), .syncedDigest = text};
                d.items.insert(item->href, *item);
            }
            if (!send(d, *item, text, request))
                return;
        }
    }

    // An upload, or without a text a deletion, done only if the server still
    // has the version the item names. The server may act although the answer
    // never comes; false when the sync breaks off.
    bool send(Device& d, const SyncItem& item, const std::optional<QString>& text,
              const std::function<bool()>& request) {
        const bool sent = request();
        const auto card = m_server.constFind(item.href);
        const bool there = card != m_server.cend();
        const bool matches =
            there ? card->first == item.etag.toLatin1() || (!text && item.etag.isEmpty())
                  : !text || item.etag.isEmpty();
        if ((sent || m_random.bounded(2) == 0) && matches)
            text ? store(item.href, *text) : void(m_server.remove(item.href));
        if (!sent || !matches) { // changed there: it comes back; deleted: the next listing tells
            if (sent && there)
                takeCard(d, item.href, *card);
            return sent && there;
        }
        SyncItem done = item;
        done.etag = QString::fromLatin1(m_server.value(item.href).first);
        done.syncedDigest = text.value_or(QString());
        if (text)
            d.items.insert(item.href, done);
        else
            d.items.remove(item.href);
        return true;
    }

    QRandomGenerator m_random;
    QList<Device> m_devices;
    QMap<QString, Card> m_server;
    QSet<QString> m_made, m_replacedHere, m_everOnServer;
    int m_texts = 0, m_etags = 0, m_hrefs = 0;
};

} // namespace

class SyncPlanTest : public QObject {
    Q_OBJECT
private slots:
    void whatIsFetchedAndWhatIsGone_data() {
        QTest::addColumn<QString>("items"); // "href=etag" pairs, '*': sent since the token
        // The same and "-href" for one removed there; "all" first: every card is listed.
        QTest::addColumn<QString>("listing");
        QTest::addColumn<QString>("plan");
        auto row = [](const char* name, const char* items, const char* listing, const char* plan) {
            QTest::newRow(name) << QString(items) << QString(listing) << QString(plan);
        };
        row("new there", "", "a=e1", "fetch a");
        row("unchanged", "a=e1", "all a=e1", "");
        row("changed there", "a=e1", "a=e2", "fetch a");
        row("listed without an ETag", "a=e1", "a=", "fetch a");
        row("removed there", "a=e1", "-a", "gone a");
        row("left out of a complete listing", "a=e1 b=e2", "all a=e1", "gone b");
        row("left out of a list of changes", "a=e1 b=e2", "a=e1", "");
        row("an upload never confirmed, not listed", "a=", "all", "");
        // A card sent since the stored token, then deleted on another device,
        // may be in no list of changes since that token.
        row("sent since the token, left out", "a=e1* b=e2", "", "gone a");
        row("sent since the token, listed", "a=e1*", "a=e1", "confirmed a");
        row("sent since the token, listed removed", "a=e1*", "-a", "gone a");
        row("sent since the token, never confirmed", "a=*", "", "");
    }
    void whatIsFetchedAndWhatIsGone() {
        QFETCH(QString, items);
        QFETCH(QString, listing);
        QFETCH(QString, plan);
        QList<ListedCard> listed;
        QStringList removed, fetched, confirmed, made;
        const bool complete = listing.startsWith(u"all"_s);
        for (const QString& entry : listing.mid(complete ? 3 : 0).split(u' ', Qt::SkipEmptyParts))
            entry.startsWith(u'-')
                ? removed.append(entry.mid(1))
                : listed.append({entry.section(u'=', 0, 0), entry.section(u'=', 1).toUtf8()});
        QList<SyncItem> stored;
        for (const QString& pair : items.split(u' ', Qt::SkipEmptyParts))
            stored.append({.id = stored.size() + 1,
                           .href = pair.section(u'=', 0, 0),
                           .etag = pair.section(u'=', 1).remove(u'*'),
                           .sentSinceToken = pair.endsWith(u'*')});
        const FetchPlan result = planFetches(stored, listed, removed, complete);
        for (const ListedCard& card : result.fetch)
            fetched.append(card.href);
        for (qint64 id : result.confirmedSent)
            confirmed.append(stored[id - 1].href);
        for (const auto& [what, hrefs] : {std::pair{u"fetch "_s, fetched},
                                          {u"gone "_s, result.gone},
                                          {u"confirmed "_s, confirmed}})
            if (!hrefs.isEmpty())
                made.append(what + hrefs.join(u' '));
        QCOMPARE(made.join(u"; "_s), plan);
    }

    // One state of a card here (its item and its contact's digest) against
    // a card from the server, a deletion there, and the next upload.
    void whatEachSideDoes_data() {
        // The item's "etag/digest" ("": none) | the contact's ("-": none) | the server's.
        QTest::addColumn<QString>("state");
        QTest::addColumn<QString>("actions"); // on the card, on its deletion (items only), upload
        QTest::newRow("new here") << u"|l|t"_s << u"Add Create"_s;
        QTest::newRow("deleted here") << u"e1/s|-|t"_s << u"Add KeepHere Delete"_s;
        QTest::newRow("unchanged here") << u"e1/s|s|t"_s << u"Replace DeleteHere None"_s;
        QTest::newRow("changed here") << u"e1/s|l|t"_s << u"ReplaceKeepingCopy KeepHere Update"_s;
        QTest::newRow("changed here as there") << u"e1/s|t|t"_s << u"Replace KeepHere Update"_s;
        QTest::newRow("unconfirmed upload")
            << u"/s|s|t"_s << u"ReplaceKeepingCopy KeepHere Update"_s;
        QTest::newRow("unconfirmed, the same there") << u"/s|s|s"_s << u"Replace KeepHere Update"_s;
    }
    void whatEachSideDoes() {
        QFETCH(QString, state);
        QFETCH(QString, actions);
        const QStringList part = state.split(u'|');
        std::optional<SyncItem> stored;
        if (!part[0].isEmpty())
            stored = SyncItem{.id = 1,
                              .contactId = 1,
                              .etag = part[0].section(u'/', 0, 0),
                              .syncedDigest = part[0].section(u'/', 1)};
        const std::optional<QString> local =
            part[1] == u"-"_s ? std::nullopt : std::optional<QString>(part[1]);
        const QStringList onCard{u"Add"_s, u"Replace"_s, u"ReplaceKeepingCopy"_s},
            onGone{u"DeleteHere"_s, u"KeepHere"_s},
            change{u"None"_s, u"Create"_s, u"Update"_s, u"Delete"_s};
        QStringList made{onCard[int(onServerCard(stored, local, part[2]))]};
        if (stored)
            made << onGone[int(onServerGone(*stored, local))];
        made << change[int(localChange(stored, local))];
        QCOMPARE(made.join(u' '), actions);
    }

    // Three devices editing, adding and deleting at random, then syncing to the end.
    void randomHistoriesConverge() {
        for (quint32 seed = 1; seed <= 300; ++seed) {
            Model model(seed, 3);
            for (int i = 0; i < 80; ++i)
                model.step();
            const QString fault = model.settledFault();
            QVERIFY2(fault.isEmpty(), qPrintable(u"seed %1: "_s.arg(seed) + fault));
        }
    }
};

QTEST_MAIN(SyncPlanTest)

#include "SyncPlanTest.moc"
