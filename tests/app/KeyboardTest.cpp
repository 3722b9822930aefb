#include "about/frmAbout.h"
#include "app/frmContactMgmt.h"
#include "books/ctrContactBook.h"
#include "contacts/ContactListView.h"
#include "editor/ctrRecord.h"
#include "support/MainWindowFixture.h"

#include <QAccessible>
#include <QLineEdit>
#include <QTest>

namespace {

// The window with one listed, selected contact and the focus in the list.
frmContactMgmt& readyWindow(MainWindowFixture& f) {
    f.folder.addContact({.firstName = "Ann", .lastName = "Lee"});
    frmContactMgmt& w = f.window();
    w.activateWindow();
    [[maybe_unused]] const bool active = QTest::qWaitForWindowActive(&w);
    f.click(QStringLiteral("cmdPersonal"));
    f.clickRow(0);
    w.lvContacts->setFocus();
    return w;
}

} // namespace

class KeyboardTest : public QObject {
    Q_OBJECT

private slots:
    // Each key of the main view does what its button or menu item does.
    void mainViewKeys_data() {
        QTest::addColumn<QKeySequence>("key");
        QTest::addColumn<QString>("effect"); // a pane, the focus, or the question asked
        QTest::newRow("Ctrl+N") << QKeySequence(QKeySequence::New) << "editor";
        QTest::newRow("Ctrl+E") << QKeySequence(Qt::CTRL | Qt::Key_E) << "editor";
        QTest::newRow("Delete") << QKeySequence(Qt::Key_Delete)
                                << "Are you sure you want to delete the current Record Ann?";
        QTest::newRow("Ctrl+P") << QKeySequence(QKeySequence::Print)
                                << "Click Yes to Print the current contact details.";
        QTest::newRow("Ctrl+F") << QKeySequence(QKeySequence::Find) << "search";
        QTest::newRow("Ctrl+Q") << QKeySequence(Qt::CTRL | Qt::Key_Q) << "closed";
    }
    void mainViewKeys() {
        QFETCH(QKeySequence, key);
        QFETCH(QString, effect);
        MainWindowFixture f;
        frmContactMgmt& w = readyWindow(f);
        f.doors.boxes.answerNo();
        QTest::keySequence(&w, key);
        if (effect == QLatin1String("editor"))
            QVERIFY(w.recordEditor->isVisible() && !w.lvContacts->isVisible());
        else if (effect == QLatin1String("search"))
            QVERIFY(w.txtSearchText->hasFocus());
        else if (effect == QLatin1String("closed"))
            QVERIFY(!w.isVisible());
        else
            QCOMPARE(f.doors.boxes.texts(), QStringList{effect});
    }

    // In the editor the main view's keys are off; Escape and Ctrl+Return
    // work its buttons. Escape leaves the book pane without choosing.
    void paneKeys() {
        MainWindowFixture f;
        frmContactMgmt& w = readyWindow(f);
        QTest::keySequence(&w, QKeySequence::New);
        auto* box = w.findChild<QLineEdit*>(QStringLiteral("txtFirstName"));
        for (QKeySequence::StandardKey key : {QKeySequence::Delete, QKeySequence::New})
            QTest::keySequence(box, key);
        QVERIFY(f.doors.boxes.texts().isEmpty());
        QTest::keyClick(box, Qt::Key_Escape);
        QVERIFY(!w.recordEditor->isVisible() && w.lvContacts->isVisible());

        QTest::keySequence(&w, QKeySequence::New);
        paste(box, QStringLiteral("Bo"));
        QTest::keyClick(box, Qt::Key_Return, Qt::ControlModifier);
        QCOMPARE(f.doors.boxes.takeTexts(), QStringList{"Record saved sucessfuly"});
        QCOMPARE(f.folder.count(QStringLiteral("tblContactDetails")), 2);

        f.trigger(QStringLiteral("createcontactbook"));
        QTest::keyClick(w.focusWidget(), Qt::Key_Escape);
        QVERIFY(!w.ctrContactBooks->isVisible() && w.lvContacts->isVisible());
        QVERIFY(f.doors.boxes.texts().isEmpty());
    }

    void theListComesBeforeTheLetters() {
        MainWindowFixture f;
        QWidgetList order;
        for (QWidget* at = f.window().nextInFocusChain(); at != &f.window();
             at = at->nextInFocusChain())
            order << at;
        QVERIFY(order.contains(f.window().lvContacts));
        QVERIFY(order.indexOf(f.window().lvContacts) <
                order.indexOf(f.window().findChild<QWidget*>("cmdA_0")));
    }

    // What a screen reader reads for every widget the keyboard can reach,
    // shown or not: the main view, the editor, the book pane, the About box.
    void everyFocusableWidgetHasAName() {
        MainWindowFixture f;
        frmAbout about;
        for (QWidget* root : QWidgetList{&f.window(), &about})
            for (QWidget* widget : root->findChildren<QWidget*>()) {
                if (widget->focusPolicy() == Qt::NoFocus)
                    continue;
                QAccessibleInterface* face = QAccessible::queryAccessibleInterface(widget);
                QVERIFY2(
                    face && !face->text(QAccessible::Name).isEmpty(),
                    qPrintable(widget->objectName() + " " + widget->metaObject()->className()));
            }
    }
};

QTEST_MAIN(KeyboardTest)
#include "KeyboardTest.moc"
