// The decisions of a sync, without a network or a database.
#include "sync/SyncPlan.h"

#include <QTest>

using namespace Qt::StringLiterals;
using namespace carddav;

Q_DECLARE_METATYPE(carddav::ServerCardAction)
Q_DECLARE_METATYPE(carddav::ServerGoneAction)
Q_DECLARE_METATYPE(carddav::LocalChange)

namespace {

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
};

QTEST_MAIN(SyncPlanTest)

#include "SyncPlanTest.moc"
