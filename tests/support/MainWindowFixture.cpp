#include "support/MainWindowFixture.h"

#include "app/frmContactMgmt.h"
#include "contacts/ContactListView.h"
#include "support/Typing.h"

#include <QAbstractButton>
#include <QAction>
#include <QGroupBox>
#include <QLineEdit>
#include <QTest>

MainWindowFixture::MainWindowFixture() = default;

MainWindowFixture::~MainWindowFixture() {
    m_window.reset();
}

frmContactMgmt& MainWindowFixture::window() {
    if (!m_window) {
        m_window = std::make_unique<frmContactMgmt>(folder.path());
        m_window->load();
        m_window->show();
    }
    return *m_window;
}

void MainWindowFixture::click(const QString& objectName) {
    auto* button = window().findChild<QAbstractButton*>(objectName);
    if (!button)
        QTest::qFail(qPrintable(QStringLiteral("no button ") + objectName), __FILE__, __LINE__);
    else
        QTest::mouseClick(button, Qt::LeftButton);
}

void MainWindowFixture::trigger(const QString& objectName) {
    auto* action = window().findChild<QAction*>(objectName);
    if (!action)
        QTest::qFail(qPrintable(QStringLiteral("no action ") + objectName), __FILE__, __LINE__);
    else
        action->trigger();
}

void MainWindowFixture::typeSearch(const QString& text) {
    auto* box = window().findChild<QLineEdit*>(QStringLiteral("txtSearchText"));
    box->clear();
    typeText(box, text);
}

QStringList MainWindowFixture::listed() {
    auto* list = window().findChild<ContactListView*>(QStringLiteral("lvContacts"));
    QStringList entries;
    const auto* model = list->model();
    for (int row = 0; row < model->rowCount(); ++row)
        entries << model->index(row, 0).data().toString() + QLatin1Char('|') +
                       model->index(row, 1).data().toString();
    return entries;
}

void MainWindowFixture::selectRows(const QList<int>& rows) {
    auto* list = window().findChild<ContactListView*>(QStringLiteral("lvContacts"));
    list->clearSelection();
    bool first = true;
    for (int row : rows) {
        const QModelIndex index = list->model()->index(row, 0);
        const QRect rect = list->visualRect(index);
        if (first) {
            QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, rect.center());
            first = false;
        } else {
            QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::ControlModifier, rect.center());
        }
    }
}

void MainWindowFixture::clickRow(int row) {
    selectRows({row});
}

QString MainWindowFixture::frameCaption() {
    return window().findChild<QGroupBox*>(QStringLiteral("Frame7"))->title();
}
