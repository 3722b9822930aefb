#include "contacts/ContactDetailsTabs.h"
#include "support/MainWindowFixture.h"

#include <QMenu>
#include <QMenuBar>

namespace {

// Goes into a pane and back out the way a user would.
void takeTrip(MainWindowFixture& f, const QString& trip) {
    if (trip == QLatin1String("add, cancel")) {
        f.click("cmdAddRecord");
        f.click("cmdCancel");
    } else if (trip == QLatin1String("edit, save")) {
        f.clickRow(0);
        f.click("cmdEditRecord");
        f.click("cmdSave");
    } else if (trip == QLatin1String("books, choose")) {
        f.trigger("createcontactbook");
        f.click("cmdChooseClose");
    } else {
        QFAIL("unknown trip");
    }
}

const QStringList allTrips{u"add, cancel"_s, u"edit, save"_s, u"books, choose"_s};

} // namespace

// Leaving a pane brings the main view back as it was: one tab page, the menu
// bar's own menus, the window's size.
class PaneTripTest : public QObject {
    Q_OBJECT

private slots:
    void aTripRestoresTheMainView_data() {
        QTest::addColumn<QString>("trip");
        QTest::addColumn<int>("tab");
        for (const QString& trip : allTrips)
            QTest::addRow("%s on Name", qPrintable(trip)) << trip << 0;
        QTest::addRow("add, cancel on Address") << u"add, cancel"_s << 1;
        QTest::addRow("edit, save on Comments") << u"edit, save"_s << 3;
    }

    void aTripRestoresTheMainView() {
        QFETCH(QString, trip);
        QFETCH(int, tab);
        MainWindowFixture f;
        f.folder.addContact({.firstName = "Ann", .lastName = "Lee", .address = "1 Main St"});
        frmContactMgmt& w = f.window();
        f.click("cmdPersonal");
        w.SSTab1->setCurrentIndex(tab);

        takeTrip(f, trip);

        QCOMPARE(w.SSTab1->currentIndex(), tab);
        for (int page = 0; page < w.SSTab1->count(); ++page)
            QVERIFY2(w.SSTab1->widget(page)->isVisible() == (page == tab),
                     qPrintable(w.SSTab1->tabText(page)));
        QCOMPARE(w.SSTab1->lblAddress->isVisible(), tab == 1);
        QCOMPARE(w.SSTab1->txtFName->isVisible(), tab == 0);
        // The call menu belongs to the Call button alone, with all its items.
        for (QAction* entry : w.menuBar()->actions())
            QVERIFY2(!entry->isVisible() || !entry->text().isEmpty(),
                     "a menu without a caption in the menu bar");
        QVERIFY(!w.menuBar()->actions().contains(w.mnuCallMenu->menuAction()) ||
                !w.mnuCallMenu->menuAction()->isVisible());
        for (QAction* item : {w.mnuCallHome, w.mnuCallWork, w.mnuCallCell})
            QVERIFY(item->isVisible());

        // Another tab brings its page, and only its page, forward.
        const int other = (tab + 1) % w.SSTab1->count();
        w.SSTab1->setCurrentIndex(other);
        for (int page = 0; page < w.SSTab1->count(); ++page)
            QCOMPARE(w.SSTab1->widget(page)->isVisible(), page == other);
    }

    void theWindowKeepsItsSizeAcrossPanes() {
        MainWindowFixture f;
        f.folder.addContact({.firstName = "Ann", .lastName = "Lee"});
        frmContactMgmt& w = f.window();
        f.click("cmdPersonal");
        const QSize chosen(1040, 720);
        w.resize(chosen);
        QCOMPARE(w.size(), chosen);
        for (int round = 0; round < 3; ++round)
            for (const QString& trip : allTrips) {
                takeTrip(f, trip);
                QCoreApplication::processEvents(); // the layouts settle
                QVERIFY2(
                    w.size() == chosen,
                    qPrintable(u"%1 in round %2: %3x%4"_s.arg(trip).arg(round).arg(w.width()).arg(
                        w.height())));
            }
    }
};

QTEST_MAIN(PaneTripTest)
#include "PaneTripTest.moc"
