// The helper for long work: results come back to the window's thread, only
// the newest request's result is applied, and Cancel drops it, or stops work
// that reports its progress.
#include "platform/Background.h"

#include <QAbstractButton>
#include <QGuiApplication>
#include <QProgressDialog>
#include <QSemaphore>
#include <QSignalSpy>
#include <QTest>
#include <QWidget>

#include <atomic>
#include <memory>

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

    // Cancel in the dialog that shows once the work takes long: nothing is
    // applied, the busy cursor goes, and the result that comes later is
    // dropped.
    void cancelDropsTheResult() {
        QWidget window;
        window.show();
        platform::Background background(&window, 0);
        QSignalSpy cancelled(&background, &platform::Background::cancelled);
        HeldWork work;
        bool applied = false;
        background.run<QString>(u"Listing"_s, work.answering(u"late"_s),
                                [&](QString&) { applied = true; });
        QVERIFY(QGuiApplication::overrideCursor());
        QProgressDialog* dialog = nullptr;
        QTRY_VERIFY((dialog = window.findChild<QProgressDialog*>(u"longWorkProgress"_s)) &&
                    dialog->isVisible());
        QCOMPARE(dialog->labelText(), u"Listing"_s);
        QTest::mouseClick(dialog->findChild<QAbstractButton*>(), Qt::LeftButton);
        QVERIFY(!background.pending());
        QCOMPARE(cancelled.size(), 1);
        QVERIFY(!QGuiApplication::overrideCursor());
        work.release.release();
        background.waitForWorkers();
        QCoreApplication::processEvents();
        QVERIFY(!applied);
        QVERIFY(work.sawStop);
        QTRY_VERIFY(!window.findChild<QProgressDialog*>(u"longWorkProgress"_s));
    }

    // Work that tells its progress: the dialog counts along, and Cancel tells
    // the work to stop without dropping it; the result it then gives is applied.
    void cancelledReportingWorkStillAnswers() {
        QWidget window;
        window.show();
        platform::Background background(&window, 0);
        QSemaphore atStep, release;
        background.setStepGate([&] {
            atStep.release();
            release.acquire();
        });
        QString applied;
        background.reporting<QString>(
            u"Printing… %1 contacts so far"_s, platform::Background::Label::CountsDone,
            [](platform::Background::WorkProgress& progress) {
                for (int done = 1; progress.advance(done, 0); ++done) {
                }
                return u"stopped at %1"_s.arg(progress.done());
            },
            [&](QString& result) { applied = result; });
        atStep.acquire();
        release.release();
        atStep.acquire(); // the worker holds at its second step
        QProgressDialog* dialog = nullptr;
        QTRY_VERIFY((dialog = window.findChild<QProgressDialog*>(u"longWorkProgress"_s)) &&
                    dialog->labelText() == u"Printing… 2 contacts so far"_s);
        QTest::mouseClick(dialog->findChild<QAbstractButton*>(), Qt::LeftButton);
        QVERIFY(applied.isEmpty());
        QVERIFY(background.showIfPending()); // pending, but Cancel cannot stop it again
        QTRY_VERIFY(!window.findChild<QProgressDialog*>(u"longWorkProgress"_s));
        release.release();
        QTRY_VERIFY(!background.pending());
        QCOMPARE(applied, u"stopped at 2"_s);
        QVERIFY(!QGuiApplication::overrideCursor());
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
