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

const QString deleteQuestion =
    QStringLiteral("Are you sure you want to delete the current Record Ann?");
const QString printQuestion = QStringLiteral("Click Yes to Print the current contact details.");

// The window with one listed, selected contact and the focus in the list.
frmContactMgmt& readyWindow(MainWindowFixture& f) {
    f.folder.addContact({.firstName = "Ann", .lastName = "Lee"});
    frmContactMgmt& w = f.window();
    w.activateWindow();
    if (!QTest::qWaitForWindowActive(&w))
        qWarning("the window did not become active");
    f.click(QStringLiteral("cmdPersonal"));
    f.clickRow(0);
    w.lvContacts->setFocus();
    return w;
}

bool editorShown(frmContactMgmt& w) {
    return w.recordEditor->isVisible() && !w.lvContacts->isVisible();
}

} // namespace

class KeyboardTest : public QObject {
    Q_OBJECT

private slots:
    // Each key of the main view does what its button or menu item does.
    void mainViewKeys_data() {
        QTest::addColumn<QKeySequence>("key");
        QTest::addColumn<QString>("effect");
        QTest::newRow("Ctrl+N adds") << QKeySequence(QKeySequence::New) << "editor";
        QTest::newRow("Ctrl+E edits") << QKeySequence(Qt::CTRL | Qt::Key_E) << "editor";
        QTest::newRow("Delete deletes") << QKeySequence(Qt::Key_Delete) << deleteQuestion;
        QTest::newRow("Ctrl+P prints") << QKeySequence(QKeySequence::Print) << printQuestion;
        QTest::newRow("Ctrl+F finds") << QKeySequence(QKeySequence::Find) << "search";
        QTest::newRow("Ctrl+Q quits") << QKeySequence(Qt::CTRL | Qt::Key_Q) << "closed";
    }
    void mainViewKeys() {
        QFETCH(QKeySequence, key);
        QFETCH(QString, effect);
        MainWindowFixture f;
        frmContactMgmt& w = readyWindow(f);
        f.doors.boxes.answerNo();
        QTest::keySequence(&w, key);
        if (effect == QLatin1String("editor"))
            QVERIFY(editorShown(w));
        else if (effect == QLatin1String("search"))
            QVERIFY(w.txtSearchText->hasFocus());
        else if (effect == QLatin1String("closed"))
            QVERIFY(!w.isVisible());
        else
            QCOMPARE(f.doors.boxes.texts(), QStringList{effect});
        QCOMPARE(f.folder.count(QStringLiteral("tblContactDetails")), 1);
    }

    // Keys of the main view do nothing while the editor is shown; Escape
    // and Ctrl+Return work the editor's buttons, Escape leaves the book pane.
    void paneKeys() {
        MainWindowFixture f;
        frmContactMgmt& w = readyWindow(f);
        QTest::keySequence(&w, QKeySequence(Qt::CTRL | Qt::Key_E));
        QVERIFY(editorShown(w));
        QWidget* box = w.findChild<QLineEdit*>(QStringLiteral("txtFirstName"));
        for (const QKeySequence& key :
             {QKeySequence(Qt::Key_Delete), QKeySequence(QKeySequence::New),
              QKeySequence(QKeySequence::Print)})
            QTest::keySequence(box, key);
        QVERIFY(f.doors.boxes.texts().isEmpty());
        QVERIFY(editorShown(w));

        QTest::keyClick(box, Qt::Key_Escape);
        QVERIFY(!w.recordEditor->isVisible());
        QVERIFY(w.lvContacts->isVisible());
        QCOMPARE(f.listed(), QStringList{"Ann|Lee"});

        QTest::keySequence(&w, QKeySequence::New);
        paste(w.findChild<QLineEdit*>(QStringLiteral("txtFirstName")), QStringLiteral("Bo"));
        QTest::keyClick(w.focusWidget(), Qt::Key_Return, Qt::ControlModifier);
        QCOMPARE(f.doors.boxes.takeTexts(), QStringList{"Record saved sucessfuly"});
        QVERIFY(!w.recordEditor->isVisible());
        QCOMPARE(f.folder.count(QStringLiteral("tblContactDetails")), 2);

        const QString caption = w.windowTitle();
        f.trigger(QStringLiteral("createcontactbook"));
        QVERIFY(w.ctrContactBooks->isVisible());
        QVERIFY(w.ctrContactBooks->isAncestorOf(w.focusWidget()));
        QTest::keyClick(w.focusWidget(), Qt::Key_Escape);
        QVERIFY(!w.ctrContactBooks->isVisible());
        QVERIFY(w.lvContacts->isVisible());
        QCOMPARE(w.windowTitle(), caption);
        QVERIFY(f.doors.boxes.texts().isEmpty());
    }

    void theListComesBeforeTheLetters() {
        MainWindowFixture f;
        frmContactMgmt& w = f.window();
        QWidgetList order;
        for (QWidget* at = w.nextInFocusChain(); at != &w; at = at->nextInFocusChain())
            order << at;
        QVERIFY(order.indexOf(w.lvContacts) >= 0);
        QVERIFY(order.indexOf(w.lvContacts) < order.indexOf(w.findChild<QWidget*>("cmdA_0")));
    }

    // What a screen reader reads for every widget the keyboard can reach.
    void everyFocusableWidgetHasAName() {
        MainWindowFixture f;
        frmAbout about;
        for (QWidget* root : {static_cast<QWidget*>(&f.window()), static_cast<QWidget*>(&about)}) {
            QWidgetList widgets = root->findChildren<QWidget*>();
            widgets << root;
            for (QWidget* widget : std::as_const(widgets)) {
                if (widget->focusPolicy() == Qt::NoFocus)
                    continue;
                QAccessibleInterface* face = QAccessible::queryAccessibleInterface(widget);
                QVERIFY2(
                    face && !face->text(QAccessible::Name).isEmpty(),
                    qPrintable(widget->objectName() + " " + widget->metaObject()->className()));
            }
        }
    }
};

QTEST_MAIN(KeyboardTest)
#include "KeyboardTest.moc"
