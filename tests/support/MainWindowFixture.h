#pragma once

#include "app/frmContactMgmt.h"
#include "support/ContactFolder.h"
#include "support/Doubles.h"

#include <QAction>
#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>

#include <memory>

class ContactDetailsTabs;
class ContactListView;
class ctrRecord;
class frmAbout;

template <typename T = QWidget> T* child(const QObject& root, const QString& objectName) {
    return root.findChild<T*>(objectName);
}
ContactListView* contactList(const frmContactMgmt& window);
ContactDetailsTabs* details(const frmContactMgmt& window);
ctrRecord* editor(const frmContactMgmt& window);

// Driving a real main window as a user does, by the names of its widgets; each
// step waits until the window shows the result of the work it started.
void click(QWidget& root, const QString& objectName);   // a button
void trigger(QWidget& root, const QString& objectName); // a menu action
void waitUntilSettled(QWidget& root);
// The list as the user sees it: "First|Last" per entry, in list order.
QStringList listed(frmContactMgmt& window);
// Selects list entries by row (replacing the selection), as clicks would.
void selectRows(frmContactMgmt& window, const QList<int>& rows);
inline void selectRow(frmContactMgmt& window, int row) {
    selectRows(window, {row});
}
// Replaces the box's text by a paste: the way a user gets any character into a box.
void paste(QWidget* box, const QString& text);
void addContact(frmContactMgmt& window, const QString& firstName, const QString& lastName);

// The real main window over a fresh folder, with the doubles installed.
class MainWindowFixture {
public:
    ContactFolder folder;
    InstalledDoubles doors;
    // Built and loaded on first use, so a test can arrange doubles and data first.
    frmContactMgmt& window();
    // The window, made the active one (for tests that drive the focus by keys).
    frmContactMgmt& activeWindow();

    void click(const QString& objectName) { ::click(window(), objectName); }
    void trigger(const QString& objectName) { ::trigger(window(), objectName); }
    QStringList search(const QString& text); // pasted over the search text, then Find
    QStringList listed() { return ::listed(window()); }
    QStringList listed(int column); // that column's text of each entry
    void selectRows(const QList<int>& rows) { ::selectRows(window(), rows); }
    void clickRow(int row) { selectRows({row}); }
    void showPersonal(int row = 0) {
        click(u"cmdPersonal"_s);
        clickRow(row);
    }
    QString frameCaption() { return child<QGroupBox>(window(), u"Frame7"_s)->title(); }
    // File -> contact books, the book chosen in the list, then the button.
    void inBookPane(const QString& book, const QString& button);
    // Help -> About; the one About box open.
    frmAbout* openAbout();

private:
    std::unique_ptr<frmContactMgmt> m_window;
};
