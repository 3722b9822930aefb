#pragma once

#include "app/frmContactMgmt.h"
#include "support/ContactFolder.h"
#include "support/CsvReading.h"
#include "support/Doubles.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

class ContactDetailsTabs;
class ContactListView;
class ctrRecord;
class frmAbout;
class QWidget;

// A child of the window by its objectName (null when there is none).
template <typename T = QWidget> T* child(const QObject& root, const QString& objectName) {
    return root.findChild<T*>(objectName);
}
// The window's parts the tests look into most.
ContactListView* contactList(const frmContactMgmt& window);
ContactDetailsTabs* details(const frmContactMgmt& window);
ctrRecord* editor(const frmContactMgmt& window);

// Driving a real main window as a user does, by the names of its widgets.
// Each step waits until the window has shown the result of the work it
// started off the window's thread (a list reload, a sort, an import, ...).
void click(QWidget& root, const QString& objectName);   // a button
void trigger(QWidget& root, const QString& objectName); // a menu action
// Waits until the main window `root` belongs to has no work pending.
void waitUntilSettled(QWidget& root);
// The list as the user sees it: "First|Last" per entry, in list order.
QStringList listed(frmContactMgmt& window);
// Selects list entries by row (replacing the selection), as clicks would.
void selectRows(frmContactMgmt& window, const QList<int>& rows);
inline void selectRow(frmContactMgmt& window, int row) {
    selectRows(window, {row});
}
// Puts the text into the box as a paste from the clipboard would, replacing
// what it held: the way a user gets any character into a box.
void paste(QWidget* box, const QString& text);
// Add, paste a first and a last name, Save.
void addContact(frmContactMgmt& window, const QString& firstName, const QString& lastName);

// The real main window over a fresh folder, with the doubles installed, the
// way every GUI test starts.
class MainWindowFixture {
public:
    MainWindowFixture();
    ~MainWindowFixture();

    ContactFolder folder;
    InstalledDoubles doors;
    // Built and loaded on first use, so a test can arrange doubles and data first.
    frmContactMgmt& window();
    // The window, made the active one (for tests that drive the focus by keys).
    frmContactMgmt& activeWindow();

    void click(const QString& objectName);
    void trigger(const QString& objectName);
    QStringList search(const QString& text); // pasted over the search text, then Find
    QStringList listed();
    QStringList listed(int column); // that column's text of each entry
    void selectRows(const QList<int>& rows);
    void clickRow(int row) { selectRows({row}); }
    // Personal, then the entry in that row.
    void showPersonal(int row = 0) {
        click(u"cmdPersonal"_s);
        clickRow(row);
    }
    QString frameCaption();
    // File -> contact books, the book chosen in the list, then the button.
    void inBookPane(const QString& book, const QString& button);
    // Help -> About; the one About box open, or null.
    frmAbout* openAbout();

private:
    std::unique_ptr<frmContactMgmt> m_window;
};
