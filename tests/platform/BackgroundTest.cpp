// The helper for long work: results come back to the window's thread, and
// only the newest request's result is applied. Cancel is checked where the
// window uses it: a list reload drops its result, an import or export stops
// and tells so, a printout shows its count.
#include "platform/Background.h"

#include <QSemaphore>
#include <QSignalSpy>
#include <QTest>
#include <QWidget>

#include <atomic>

using namespace Qt::StringLiterals;

namespace {

// Work that waits until the test lets it answer, and notes whether it ran
// and whether it was told to stop.
struct HeldWork {
    QSemaphore release;
    std::atomic<bool> ran{false};
    std::atomic<bool> sawStop{false};
    std::function<QString(const platform::Background::StopFlag&)> answering(const QString& text) {
        return [this, text](const platform::Background::StopFlag& stop) {
            ran = true;
            release.acquire();
            sawStop = stop.load();
            return text;
        };
    }
};

} // namespace

class BackgroundTest : public QObject {
    Q_OBJECT
private slots:
    void onlyTheNewestResultIsApplied_data() {
        QTest::addColumn<bool>("newerFirst"); // the newer request answers first
        QTest::newRow("older answers last") << true;
        QTest::newRow("older answers first") << false;
    }
    void onlyTheNewestResultIsApplied() {
        QFETCH(bool, newerFirst);
        QWidget window;
        platform::Background background(&window);
        HeldWork older, newer;
        QStringList applied;
        auto apply = [&](QString& result) { applied << result; };
        background.run<QString>(u"working"_s, older.answering(u"older"_s), apply);
        background.run<QString>(u"working"_s, newer.answering(u"newer"_s), apply);
        QVERIFY(background.pending());
        (newerFirst ? newer : older).release.release();
        (newerFirst ? older : newer).release.release();
        QTRY_VERIFY(!background.pending());
        background.waitForWorkers();
        QCoreApplication::processEvents();
        QCOMPARE(applied, QStringList{u"newer"_s});
        // Superseded before it started, the older work does not run at all.
        QVERIFY(!older.ran || older.sawStop);
        QVERIFY(newer.ran && !newer.sawStop);
    }

    // Work that fails without a result of its own still ends the request.
    void failedWorkEndsTheRequest() {
        QWidget window;
        platform::Background background(&window);
        QSignalSpy settled(&background, &platform::Background::settled);
        bool applied = false;
        background.run<int>(
            u"working"_s, [](const platform::Background::StopFlag&) -> int { throw 1; },
            [&](int&) { applied = true; });
        QTRY_VERIFY(!background.pending());
        QCOMPARE(settled.size(), 1);
        QVERIFY(!applied);
    }
};

QTEST_MAIN(BackgroundTest)
#include "BackgroundTest.moc"
