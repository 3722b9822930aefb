// The decisions of a sync, without a network or a database.
#include "sync/SyncPlan.h"

#include <QRandomGenerator>
#include <QSet>
#include <QTest>

#include <functional>

using namespace Qt::StringLiterals;
using namespace carddav;

Q_DECLARE_METATYPE(carddav::ServerCardAction)
Q_DECLARE_METATYPE(carddav::ServerGoneAction)
Q_DECLARE_METATYPE(carddav::LocalChange)

namespace {

// "href=etag" pairs, separated by spaces; an item's digest is not looked at here.
// "href=etag" pairs; a trailing '*' marks an item sent since the token.
QList<SyncItem> itemsOf(const QString& pairs) {
    QList<SyncItem> items;
    for (QString pair : pairs.split(u' ', Qt::SkipEmptyParts)) {
        const bool sent = pair.endsWith(u'*');
        if (sent)
            pair.chop(1);
        items.append({.id = items.size() + 1,
                      .href = pair.section(u'=', 0, 0),
                      .etag = pair.section(u'=', 1),
                      .sentSinceToken = sent});
    }
    return items;
}

// "etag/synced digest"; empty: no item.
std::optional<SyncItem> itemOf(const QString& state) {
    if (state.isEmpty())
        return std::nullopt;
    return SyncItem{.id = 1,
                    .contactId = 1,
                    .href = u"/book/a.vcf"_s,
                    .etag = state.section(u'/', 0, 0),
                    .syncedDigest = state.section(u'/', 1)};
}

// Many devices and one server in memory, each device synced by the plan's
// decisions: a card's text is its contact, so the digest is the text itself.
// Syncs break off at any request, and a request whose answer is lost may
// still have been done by the server.
class Model {
public:
    explicit Model(quint32 seed, int devices) : m_random(seed), m_devices(devices) {}

    void step() {
        Device& d = m_devices[m_random.bounded(int(m_devices.size()))];
        const int what = m_random.bounded(10);
        if (what < 2 || d.contacts.isEmpty())
            add(d);
        else if (what < 5)
            edit(d, d.contacts.keys().at(m_random.bounded(int(d.contacts.size()))));
        else if (what < 6)
            remove(d, d.contacts.keys().at(m_random.bounded(int(d.contacts.size()))));
        else
            sync(d, m_random.bounded(12)); // often broken off
    }
    // Every device syncs to the end, round after round, until nothing changes.
    void settle() {
        for (int round = 0; round < 4; ++round)
            for (Device& d : m_devices)
                sync(d, 1 << 30);
    }

    // Empty when every device holds what the server holds, no text is there
    // twice, and every text made here reached the server (itself or as a
    // conflict copy) unless its own device replaced or deleted it.
    QString fault() const {
        QStringList server;
        for (const Card& card : m_server)
            server.append(card.text);
        server.sort();
        if (QSet<QString>(server.cbegin(), server.cend()).size() != server.size())
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
    struct Card {
        QByteArray etag;
        QString text;
    };
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
    void add(Device& d) { d.contacts.insert(d.nextId++, made(u"t%1"_s.arg(++m_texts))); }
    void edit(Device& d, qint64 id) {
        m_replacedHere.insert(d.contacts.value(id));
        d.contacts.insert(id, made(u"t%1"_s.arg(++m_texts)));
    }
    // As the file's trigger does: the item stays, without its contact.
    void remove(Device& d, qint64 id) {
        m_replacedHere.insert(d.contacts.take(id));
        for (SyncItem& item : d.items)
            if (item.contactId == id)
                item.contactId = 0;
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
        switch (onServerCard(item, local, card.text)) {
        case ServerCardAction::Add:
            next.contactId = d.nextId++;
            break;
        case ServerCardAction::ReplaceKeepingCopy:
            d.contacts.insert(d.nextId++, made(u"copy of "_s + *local));
            break;
        case ServerCardAction::Replace:
            break;
        }
        d.contacts.insert(next.contactId, card.text);
        next.etag = QString::fromLatin1(card.etag);
        next.syncedDigest = card.text;
        d.items.insert(href, next);
    }

    // One sync; `budget` requests, then it breaks off.
    void sync(Device& d, int budget) {
        auto request = [&] { return budget-- > 0; };
        QList<ListedCard> listing;
        for (auto it = m_server.cbegin(); it != m_server.cend(); ++it)
            listing.append({it.key(), it->etag});
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
                !sendDelete(d, item, request))
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
            if (!sendPut(d, *item, text, request))
                return;
        }
    }

    // A request the server may do although its answer never comes.
    bool lostAnswer() { return m_random.bounded(2) == 0; }

    bool sendDelete(Device& d, const SyncItem& item, const std::function<bool()>& request) {
        const bool sent = request();
        const auto card = m_server.constFind(item.href);
        const bool matches =
            card == m_server.cend() || item.etag.isEmpty() || card->etag == item.etag.toLatin1();
        if (!sent) {
            if (lostAnswer() && matches)
                m_server.remove(item.href);
            return false;
        }
        if (!matches) { // changed there: it comes back
            takeCard(d, item.href, *card);
            return true;
        }
        m_server.remove(item.href);
        d.items.remove(item.href);
        return true;
    }

    bool sendPut(Device& d, const SyncItem& item, const QString& text,
                 const std::function<bool()>& request) {
        const bool sent = request();
        const auto card = m_server.constFind(item.href);
        const bool matches = item.etag.isEmpty()
                                 ? card == m_server.cend()
                                 : card != m_server.cend() && card->etag == item.etag.toLatin1();
        if (!sent) {
            if (lostAnswer() && matches)
                store(item.href, text);
            return false;
        }
        if (!matches) {
            if (card == m_server.cend())
                return false; // deleted there: the next listing tells
            takeCard(d, item.href, *card);
            return true;
        }
        store(item.href, text);
        SyncItem done = item;
        done.etag = QString::fromLatin1(m_server.value(item.href).etag);
        done.syncedDigest = text;
        d.items.insert(item.href, done);
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
        QTest::addColumn<QString>("items"); // "href=etag" pairs
        QTest::addColumn<QString>("changed");
        QTest::addColumn<QString>("removed"); // hrefs
        QTest::addColumn<bool>("complete");
        QTest::addColumn<QString>("fetch");
        QTest::addColumn<QString>("gone");
        QTest::addColumn<QString>("confirmedSent");
        const QString none, a = u"a"_s, e1 = u"a=e1"_s;
        QTest::newRow("new there") << none << e1 << none << false << a << none << none;
        QTest::newRow("unchanged") << e1 << e1 << none << true << none << none << none;
        QTest::newRow("changed there") << e1 << u"a=e2"_s << none << false << a << none << none;
        QTest::newRow("listed without an ETag")
            << e1 << u"a="_s << none << false << a << none << none;
        QTest::newRow("removed there") << e1 << none << a << false << none << a << none;
        QTest::newRow("left out of a complete listing")
            << u"a=e1 b=e2"_s << e1 << none << true << none << u"b"_s << none;
        QTest::newRow("left out of a list of changes")
            << u"a=e1 b=e2"_s << e1 << none << false << none << none << none;
        QTest::newRow("an upload never confirmed, not listed")
            << u"a="_s << none << none << true << none << none << none;
        // A card sent since the stored token, then deleted on another device,
        // may be in no list of changes since that token.
        QTest::newRow("sent since the token, left out of a list of changes")
            << u"a=e1* b=e2"_s << none << none << false << none << a << none;
        QTest::newRow("sent since the token, listed")
            << u"a=e1*"_s << e1 << none << false << none << none << a;
        QTest::newRow("sent since the token, listed removed")
            << u"a=e1*"_s << none << a << false << none << a << none;
        QTest::newRow("sent since the token, never confirmed")
            << u"a=*"_s << none << none << false << none << none << none;
    }
    void whatIsFetchedAndWhatIsGone() {
        QFETCH(QString, items);
        QFETCH(QString, changed);
        QFETCH(QString, removed);
        QFETCH(bool, complete);
        QFETCH(QString, fetch);
        QFETCH(QString, gone);
        QFETCH(QString, confirmedSent);
        QList<ListedCard> listed;
        for (const SyncItem& card : itemsOf(changed))
            listed.append({card.href, card.etag.toUtf8()});
        const QList<SyncItem> stored = itemsOf(items);
        const FetchPlan plan =
            planFetches(stored, listed, removed.split(u' ', Qt::SkipEmptyParts), complete);
        QStringList fetched;
        for (const ListedCard& card : plan.fetch)
            fetched.append(card.href);
        QCOMPARE(fetched.join(u' '), fetch);
        QCOMPARE(plan.gone.join(u' '), gone);
        QStringList confirmed;
        for (qint64 id : plan.confirmedSent)
            confirmed.append(stored[id - 1].href);
        QCOMPARE(confirmed.join(u' '), confirmedSent);
    }

    // One state of a card here (its item and its contact's digest) against
    // a card from the server, a deletion there, and the next upload.
    void whatEachSideDoes_data() {
        QTest::addColumn<QString>("item");  // "etag/synced digest"; empty: none
        QTest::addColumn<QString>("local"); // the contact's digest; "-": none
        QTest::addColumn<QString>("server");
        QTest::addColumn<ServerCardAction>("onCard");
        QTest::addColumn<ServerGoneAction>("onGone"); // with an item only
        QTest::addColumn<LocalChange>("change");
        using Card = ServerCardAction;
        using Gone = ServerGoneAction;
        QTest::newRow("new here") << QString() << u"l"_s << u"t"_s << Card::Add << Gone::KeepHere
                                  << LocalChange::Create;
        QTest::newRow("deleted here")
            << u"e1/s"_s << u"-"_s << u"t"_s << Card::Add << Gone::KeepHere << LocalChange::Delete;
        QTest::newRow("unchanged here") << u"e1/s"_s << u"s"_s << u"t"_s << Card::Replace
                                        << Gone::DeleteHere << LocalChange::None;
        QTest::newRow("changed here") << u"e1/s"_s << u"l"_s << u"t"_s << Card::ReplaceKeepingCopy
                                      << Gone::KeepHere << LocalChange::Update;
        QTest::newRow("changed here as there") << u"e1/s"_s << u"t"_s << u"t"_s << Card::Replace
                                               << Gone::KeepHere << LocalChange::Update;
        QTest::newRow("upload never confirmed")
            << u"/s"_s << u"s"_s << u"t"_s << Card::ReplaceKeepingCopy << Gone::KeepHere
            << LocalChange::Update;
        QTest::newRow("upload never confirmed, the same there")
            << u"/s"_s << u"s"_s << u"s"_s << Card::Replace << Gone::KeepHere
            << LocalChange::Update;
    }
    void whatEachSideDoes() {
        QFETCH(QString, item);
        QFETCH(QString, local);
        QFETCH(QString, server);
        QFETCH(ServerCardAction, onCard);
        QFETCH(ServerGoneAction, onGone);
        QFETCH(LocalChange, change);
        const std::optional<SyncItem> stored = itemOf(item);
        const std::optional<QString> digest =
            local == u"-"_s ? std::nullopt : std::optional<QString>(local);
        QCOMPARE(onServerCard(stored, digest, server), onCard);
        if (stored)
            QCOMPARE(onServerGone(*stored, digest), onGone);
        QCOMPARE(localChange(stored, digest), change);
    }

    // Devices editing, adding and deleting at random, syncs broken off at
    // any request, answers lost after the server acted, then every device
    // syncing to the end.
    void randomHistoriesConverge() {
        for (quint32 seed = 1; seed <= 300; ++seed) {
            Model model(seed, 3);
            for (int i = 0; i < 80; ++i)
                model.step();
            model.settle();
            const QString fault = model.fault();
            QVERIFY2(fault.isEmpty(), qPrintable(u"seed %1: "_s.arg(seed) + fault));
        }
    }
};

QTEST_MAIN(SyncPlanTest)

#include "SyncPlanTest.moc"
