#include "app/WindowGeometry.h"
#include "app/frmContactMgmt.h"
#include "contacts/ctrTypeFilter.h"
#include "support/MainWindowFixture.h"

#include <QAbstractScrollArea>
#include <QPushButton>
#include <QSettings>
#include <QTest>

class WindowLayoutTest : public QObject {
    Q_OBJECT

private slots:
    // At 640 pixels wide nothing is cut off and the filter strip's buttons
    // neither overlap nor shrink below what they need.
    void aNarrowWindowKeepsEverythingInView() {
        MainWindowFixture f;
        frmContactMgmt& w = f.window();
        w.resize(640, 560);
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QCoreApplication::processEvents();
        QCOMPARE(w.width(), 640);
        for (QWidget* child : w.findChildren<QWidget*>()) {
            QWidget* parent = child->parentWidget();
            // What scrolls inside a viewport may be larger than the viewport.
            if (!child->isVisible() || child->isWindow() ||
                qobject_cast<QAbstractScrollArea*>(parent ? parent->parentWidget() : nullptr))
                continue;
            QVERIFY2(parent->rect().contains(child->geometry()),
                     qPrintable(child->objectName() + " " + child->metaObject()->className()));
        }
        const QList<QPushButton*> buttons = w.ctrTypeFilter1->findChildren<QPushButton*>();
        for (QPushButton* button : buttons) {
            QVERIFY2(button->width() >= button->minimumSizeHint().width(),
                     qPrintable(button->text()));
            for (QPushButton* other : buttons)
                QVERIFY2(button == other || !button->geometry().intersects(other->geometry()),
                         qPrintable(button->text() + " " + other->text()));
        }
    }

    void aSavedPlaceIsFittedOntoTheScreen_data() {
        QTest::addColumn<QRect>("saved");
        QTest::addColumn<QRect>("fitted");
        QTest::newRow("fits") << QRect(100, 50, 700, 500) << QRect(100, 50, 700, 500);
        QTest::newRow("off the right") << QRect(1500, 50, 700, 500) << QRect(1220, 50, 700, 500);
        QTest::newRow("too large") << QRect(10, 30, 3000, 2000) << QRect(0, 24, 1920, 1056);
    }
    void aSavedPlaceIsFittedOntoTheScreen() {
        QFETCH(QRect, saved);
        QFETCH(QRect, fitted);
        QCOMPARE(fittedOnto(saved, QRect(0, 24, 1920, 1056)), fitted);
    }

    // The place is saved on close and restored by the next window, in the
    // test area of the settings.
    void thePlaceIsRemembered() {
        QVERIFY(QSettings().fileName().contains(QLatin1String("qttest")));
        QRect place;
        {
            MainWindowFixture f;
            f.window().setGeometry(40, 50, 700, 520);
            place = f.window().geometry();
            f.window().close();
        }
        MainWindowFixture f;
        QVERIFY(restoreWindowGeometry(f.window()));
        QCOMPARE(f.window().geometry(), place);
    }
};

QTEST_MAIN(WindowLayoutTest)
#include "WindowLayoutTest.moc"
