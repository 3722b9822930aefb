// The decisions of a sync, without a network or a database.
#include "sync/SyncPlan.h"

#include <QTest>

using namespace Qt::StringLiterals;
using namespace carddav;

Q_DECLARE_METATYPE(carddav::ServerCardAction)
Q_DECLARE_METATYPE(carddav::ServerGoneAction)
Q_DECLARE_METATYPE(carddav::LocalChange)

namespace {

// "href=etag" each; an item's digest is not looked at here.
QList<SyncItem> itemsOf(const QStringList& pairs) {
    QList<SyncItem> items;
    for (const QString& pair : pairs)
        items.append({.href = pair.section(u'=', 0, 0), .etag = pair.section(u'=', 1)});
    return items;
}

QList<ListedCard> listedOf(const QStringList& pairs) {
    QList<ListedCard> cards;
    for (const QString& pair : pairs)
        cards.append({pair.section(u'=', 0, 0), pair.section(u'=', 1).toUtf8()});
    return cards;
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
        QTest::addColumn<QStringList>("items");
        QTest::addColumn<QStringList>("changed");
        QTest::addColumn<QStringList>("removed");
        QTest::addColumn<bool>("complete");
        QTest::addColumn<QStringList>("fetch");
        QTest::addColumn<QStringList>("gone");
        const QStringList none;
        QTest::newRow("new there")
            << none << QStringList{u"a=e1"_s} << none << false << QStringList{u"a"_s} << none;
        QTest::newRow("unchanged")
            << QStringList{u"a=e1"_s} << QStringList{u"a=e1"_s} << none << true << none << none;
        QTest::newRow("changed there") << QStringList{u"a=e1"_s} << QStringList{u"a=e2"_s} << none
                                       << false << QStringList{u"a"_s} << none;
        QTest::newRow("listed without an ETag") << QStringList{u"a=e1"_s} << QStringList{u"a="_s}
                                                << none << false << QStringList{u"a"_s} << none;
        QTest::newRow("removed there") << QStringList{u"a=e1"_s} << none << QStringList{u"a"_s}
                                       << false << none << QStringList{u"a"_s};
        QTest::newRow("left out of a complete listing")
            << QStringList{u"a=e1"_s, u"b=e2"_s} << QStringList{u"a=e1"_s} << none << true << none
            << QStringList{u"b"_s};
        QTest::newRow("left out of a list of changes")
            << QStringList{u"a=e1"_s, u"b=e2"_s} << QStringList{u"a=e1"_s} << none << false << none
            << none;
        QTest::newRow("an upload never confirmed, not listed")
            << QStringList{u"a="_s} << none << none << true << none << none;
    }
    void whatIsFetchedAndWhatIsGone() {
        QFETCH(QStringList, items);
        QFETCH(QStringList, changed);
        QFETCH(QStringList, removed);
        QFETCH(bool, complete);
        QFETCH(QStringList, fetch);
        QFETCH(QStringList, gone);
        const FetchPlan plan = planFetches(itemsOf(items), listedOf(changed), removed, complete);
        QStringList fetched;
        for (const ListedCard& card : plan.fetch)
            fetched.append(card.href);
        QCOMPARE(fetched, fetch);
        QCOMPARE(plan.gone, gone);
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
