#include "support/MainWindowFixture.h"

#include "about/frmAbout.h"
#include "app/frmContactMgmt.h"
#include "contacts/ContactDetailsTabs.h"
#include "contacts/ContactListView.h"
#include "editor/ctrRecord.h"
#include "platform/Background.h"

#include <QAbstractButton>
#include <QClipboard>

ContactListView* contactList(const frmContactMgmt& window) {
    return child<ContactListView>(window, u"lvContacts"_s);
}

ContactDetailsTabs* details(const frmContactMgmt& window) {
    return child<ContactDetailsTabs>(window, u"SSTab1"_s);
}

ctrRecord* editor(const frmContactMgmt& window) {
    return child<ctrRecord>(window, u"ctrRecord"_s);
}

void click(QWidget& root, const QString& objectName) {
    auto* button = root.findChild<QAbstractButton*>(objectName);
    QVERIFY2(button, qPrintable(objectName));
    QTest::mouseClick(button, Qt::LeftButton);
    waitUntilSettled(root);
}

void waitUntilSettled(QWidget& root) {
    auto* window = qobject_cast<frmContactMgmt*>(root.window());
    if (!window)
        return;
    QVERIFY(QTest::qWaitFor(
        [window] { return !window->background().pending() && !window->longWork().pending(); },
        60'000));
}

void trigger(QWidget& root, const QString& objectName) {
    auto* action = root.findChild<QAction*>(objectName);
    QVERIFY2(action, qPrintable(objectName));
    action->trigger();
    waitUntilSettled(root);
}

QStringList listed(frmContactMgmt& window) {
    waitUntilSettled(window);
    const auto* model = contactList(window)->model();
    QStringList entries;
    for (int row = 0; row < model->rowCount(); ++row)
        entries << model->index(row, 0).data().toString() + u'|' +
                       model->index(row, 1).data().toString();
    return entries;
}

void selectRows(frmContactMgmt& window, const QList<int>& rows) {
    waitUntilSettled(window);
    ContactListView* list = contactList(window);
    list->clearSelection();
    Qt::KeyboardModifiers modifiers;
    for (int row : rows) {
        const QRect rect = list->visualRect(list->model()->index(row, 0));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, modifiers, rect.center());
        modifiers = Qt::ControlModifier;
    }
}

void paste(QWidget* box, const QString& text) {
    QGuiApplication::clipboard()->setText(text);
    box->setFocus();
    if (auto* line = qobject_cast<QLineEdit*>(box))
        line->selectAll();
    else
        static_cast<QPlainTextEdit*>(box)->selectAll();
    QTest::keyClick(box, Qt::Key_V, Qt::ControlModifier);
}

void addContact(frmContactMgmt& window, const QString& firstName, const QString& lastName) {
    click(window, "cmdAddRecord");
    paste(window.findChild<QLineEdit*>("txtFirstName"), firstName);
    paste(window.findChild<QLineEdit*>("txtLastName"), lastName);
    click(window, "cmdSave");
}

frmContactMgmt& MainWindowFixture::window() {
    if (!m_window) {
        m_window = std::make_unique<frmContactMgmt>(folder.path());
        m_window->load();
        m_window->show();
        waitUntilSettled(*m_window);
    }
    return *m_window;
}

frmContactMgmt& MainWindowFixture::activeWindow() {
    window().activateWindow();
    [&] { QVERIFY(QTest::qWaitForWindowActive(&window())); }();
    return window();
}

QStringList MainWindowFixture::search(const QString& text) {
    paste(child<QLineEdit>(window(), u"txtSearchText"_s), text);
    click(u"cmdFind"_s);
    return listed();
}

QStringList MainWindowFixture::listed(int column) {
    QStringList cells;
    for (const QString& entry : listed())
        cells << entry.section(u'|', column, column);
    return cells;
}

void MainWindowFixture::inBookPane(const QString& book, const QString& button) {
    trigger(u"createcontactbook"_s);
    auto* books = child<QListWidget>(window(), u"lstContactBooks"_s);
    books->setCurrentItem(books->findItems(book, Qt::MatchExactly).value(0));
    click(button);
}

frmAbout* MainWindowFixture::openAbout() {
    trigger(u"mnuAbout"_s);
    QList<frmAbout*> open;
    for (QWidget* top : QApplication::topLevelWidgets())
        if (auto* box = qobject_cast<frmAbout*>(top); box && box->isVisible())
            open << box;
    return open.size() == 1 ? open.first() : nullptr;
}
