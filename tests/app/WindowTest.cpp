// The window itself: keys, panes, layout, colours, language and place.
#include "app/Translations.h"
#include "app/WindowGeometry.h"
#include "contacts/ContactDetailsTabs.h"
#include "contacts/ContactListView.h"
#include "contacts/ctrTypeFilter.h"
#include "editor/ctrRecord.h"
#include "support/MainWindowFixture.h"

#include <QAbstractScrollArea>
#include <QAccessible>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QLibraryInfo>
#include <QMenu>
#include <QMenuBar>
#include <QScopeGuard>
#include <QSettings>

class WindowTest : public QObject {
    Q_OBJECT

private slots:

    // In a pane the main view's keys are off, Escape and Ctrl+Return work its
    // buttons; back, the main view is as it was, the window's size too.
    void panesAndTheirKeys() {
        MainWindowFixture f;
        f.folder.addContact({.firstName = "Ann", .lastName = "Lee", .address = "1 Main St"});
        frmContactMgmt& w = f.window();
        w.activateWindow();
        (void)QTest::qWaitForWindowActive(&w);
        const QSize chosen(1040, 720);
        w.resize(chosen);
        f.click(u"cmdPersonal"_s);
        f.clickRow(0);
        w.SSTab1->setCurrentIndex(1);
        QTest::keySequence(&w, Qt::CTRL | Qt::Key_E);
        QVERIFY(w.recordEditor->isVisible() && !w.lvContacts->isVisible());
        auto* box = w.findChild<QLineEdit*>(u"txtFirstName"_s);
        for (QKeySequence::StandardKey key : {QKeySequence::Delete, QKeySequence::New})
            QTest::keySequence(box, key);
        QTest::keyClick(box, Qt::Key_Escape);
        QVERIFY(!w.recordEditor->isVisible() && w.lvContacts->isVisible());
        QTest::keySequence(&w, QKeySequence::New);
        paste(box, u"Bo"_s);
        QTest::keyClick(box, Qt::Key_Return, Qt::ControlModifier);
        QCOMPARE(f.doors.boxes.takeTexts(), QStringList{"Record saved sucessfuly"});
        f.trigger(u"createcontactbook"_s);
        QTest::keyClick(w.focusWidget(), Qt::Key_Escape);
        QVERIFY(!w.frameContactBooks->isVisible() && w.lvContacts->isVisible());
        QCoreApplication::processEvents(); // the layouts settle
        QCOMPARE(w.size(), chosen);
        for (int page = 0; page < w.SSTab1->count(); ++page)
            QCOMPARE(w.SSTab1->widget(page)->isVisible(), page == 1);
        QVERIFY(!w.menuBar()->actions().contains(w.mnuCallMenu->menuAction()) ||
                !w.mnuCallMenu->menuAction()->isVisible());
        for (QAction* item : {w.mnuCallHome, w.mnuCallWork, w.mnuCallCell})
            QVERIFY(item->isVisible());
    }

    // 640 pixels wide, dark palette: nothing cut off or overlapping, every text
    // stands out from what it is drawn on, every focusable widget named.
    void aNarrowDarkWindowKeepsEverythingInViewAndReadable() {
        const QPalette saved = QApplication::palette();
        const auto restore = qScopeGuard([&] { QApplication::setPalette(saved); });
        QPalette dark(QColor(0x30, 0x30, 0x30), QColor(0x20, 0x20, 0x20));
        dark.setColor(QPalette::Link, QColor(0x8a, 0xb4, 0xf8));
        QApplication::setPalette(dark);
        MainWindowFixture f;
        f.folder.addContact({.firstName = "Ann"});
        frmContactMgmt& w = f.window();
        f.click(u"cmdPersonal"_s); // gives the list its heading
        w.resize(640, 560);
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QCoreApplication::processEvents();
        QCOMPARE(w.width(), 640);
        int texts = 0;
        for (QWidget* child : w.findChildren<QWidget*>()) {
            const QString name = child->objectName() + " " + child->metaObject()->className();
            QAccessibleInterface* face = QAccessible::queryAccessibleInterface(child);
            QVERIFY2(child->focusPolicy() == Qt::NoFocus ||
                         (face && !face->text(QAccessible::Name).isEmpty()),
                     qPrintable(name));
            QWidget* parent = child->parentWidget();
            // What scrolls inside a viewport may be larger than the viewport.
            if (!child->isVisible() || child->isWindow() ||
                qobject_cast<QAbstractScrollArea*>(parent->parentWidget()))
                continue;
            QVERIFY2(parent->rect().contains(child->geometry()), qPrintable(name));
            const bool button = qobject_cast<QAbstractButton*>(child);
            const char* text = qobject_cast<QGroupBox*>(child) ? "title" : "text";
            if (child->property(text).toString().isEmpty())
                continue;
            const QWidget* back = child;
            while (!button && !back->autoFillBackground() && !back->isWindow())
                back = back->parentWidget();
            const QColor fore = child->palette().color(child->foregroundRole());
            const QColor ground = back->palette().color(back->backgroundRole());
            QVERIFY2(qAbs(qGray(fore.rgb()) - qGray(ground.rgb())) >= 64,
                     qPrintable(name + " " + fore.name() + " on " + ground.name()));
            ++texts;
        }
        QVERIFY(texts > 20);
        const QList<QPushButton*> buttons = w.ctrTypeFilter1->findChildren<QPushButton*>();
        for (QPushButton* button : buttons) {
            QVERIFY2(button->width() >= button->minimumSizeHint().width(),
                     qPrintable(button->text()));
            for (QPushButton* other : buttons)
                QVERIFY2(button == other || !button->geometry().intersects(other->geometry()),
                         qPrintable(button->text() + " " + other->text()));
        }
        // Too narrow for one row: the type buttons above, the letters below.
        QVERIFY(w.findChild<QWidget*>(u"cmdPersonal"_s)->y() <
                w.findChild<QWidget*>(u"cmdA_0"_s)->y());
        QWidgetList order{&w};
        while (order.size() == 1 || order.last() != &w)
            order << order.last()->nextInFocusChain();
        QVERIFY(order.contains(w.lvContacts));
        QVERIFY(order.indexOf(w.lvContacts) < order.indexOf(w.findChild<QWidget*>(u"cmdA_0"_s)));
    }

    // The program's texts in the user's language, loaded as at start-up.
    void theWindowSpeaksTheLocalesLanguage() {
        QVERIFY(installTranslations(QLocale(QLocale::German, QLocale::Germany)));
        MainWindowFixture f;
        frmContactMgmt& w = f.window();
        f.click(u"cmdDeleteRecord"_s);
        QCOMPARE((QStringList{w.mnuRootFile->title(), w.mnuPrintContactBook->text(),
                              w.cmdAddRecord->text()} +
                  f.doors.boxes.takeTexts()),
                 (QStringList{"&Datei", "Aktuelles Adressbuch &drucken", "Hinzufügen",
                              "Bitte wählen Sie einen Kontakt zum Löschen aus"}));
        // Qt's own translation comes along, for the standard buttons.
        if (!QFile::exists(QLibraryInfo::path(QLibraryInfo::TranslationsPath) + "/qtbase_de.qm"))
            QSKIP("Qt's German translation is not installed (qt6-translations-l10n)");
        QDialogButtonBox buttons(QDialogButtonBox::Cancel);
        QCOMPARE(buttons.button(QDialogButtonBox::Cancel)->text(), u"Abbrechen"_s);
    }

    // The place is saved on close (in the test settings) and restored.
    void thePlaceIsRemembered() {
        QSettings settings;
        QVERIFY(settings.fileName().contains(QLatin1String("qttest")));
        settings.clear();
        QRect place;
        {
            MainWindowFixture f;
            QVERIFY(!restoreWindowGeometry(f.window()));
            f.window().setGeometry(40, 50, 700, 520);
            place = f.window().geometry();
            f.window().close();
        }
        MainWindowFixture f;
        QVERIFY(restoreWindowGeometry(f.window()));
        QCOMPARE(f.window().geometry(), place);
        const QRect screen(0, 24, 1920, 1056); // a place off it is moved and shrunk onto it
        QCOMPARE(fittedOnto(QRect(1500, 10, 3000, 500), screen), QRect(0, 24, 1920, 500));
    }
};

QTEST_MAIN(WindowTest)
#include "WindowTest.moc"
