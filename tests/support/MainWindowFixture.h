#pragma once

#include "support/ContactFolder.h"
#include "support/Doubles.h"

#include <QStringList>

#include <memory>

class frmContactMgmt;
class QAbstractButton;
class QAction;

// The real main window over a fresh folder, with the doubles installed, the
// way every GUI test starts. Driving helpers click the named widgets.
class MainWindowFixture {
public:
    MainWindowFixture();
    ~MainWindowFixture();

    ContactFolder folder;
    InstalledDoubles doors;
    // Built and loaded on first use, so a test can arrange doubles and data first.
    frmContactMgmt& window();

    void click(const QString& objectName);   // a button anywhere in the window
    void trigger(const QString& objectName); // a menu action
    void typeSearch(const QString& text);
    // The list as the user sees it: "First|Last" per entry, in list order.
    QStringList listed();
    // Selects list entries by row (replacing the selection), as clicks would.
    void selectRows(const QList<int>& rows);
    void clickRow(int row);
    QString frameCaption();

private:
    std::unique_ptr<frmContactMgmt> m_window;
};
