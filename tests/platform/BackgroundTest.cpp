// The helper for long work: only the newest request's result is applied.
// Cancel is checked where the window uses it (list reload, import, export, print).
#include "platform/Background.h"

#include <QSemaphore>
#include <QSignalSpy>
#include <QTest>
#include <QWidget>

#include <atomic>

using namespace Qt::StringLiterals;

namespace {

// Work that answers when the test lets it, noting whether it ran and saw a stop.
struct HeldWork {
    QSemaphore release;
    std::atomic<bool> ran{false}, sawStop{false};
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

        // Work that fails without a result of its own still ends the request.
        QSignalSpy settled(&background, &platform::Background::settled);
        background.run<QString>(
            u"working"_s, [](const platform::Background::StopFlag&) -> QString { throw 1; }, apply);
        QTRY_VERIFY(!background.pending());
        QCOMPARE(settled.size(), 1);
        QCOMPARE(applied, QStringList{u"newer"_s});
    }
};

QTEST_MAIN(BackgroundTest)
#include "BackgroundTest.moc"
