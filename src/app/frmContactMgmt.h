#pragma once

#include "data/CardStore.h"
#include "data/ContactStore.h"
#include "platform/Mail.h"
#include "printing/ContactPrinter.h"

#include <QList>
#include <QMainWindow>
#include <QPointer>

#include <functional>
#include <optional>

class ContactDetailsTabs;
class ContactListView;
class QAction;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class QToolButton;
class SyncCommands;
class ctrContactBook;
class ctrRecord;
class ctrTypeFilter;
class frmAbout;
namespace platform {
class Background;
}

// The program's working window. It holds the store (the connection string
// and the current book), hosts the list, the details tabs, the filter strip,
// the buttons and menus, and shows the record editor or the book pane in
// place of everything else. Its handlers (Commands.cpp) are a few lines of
// glue each: the work is done by the subsystems they call.
class frmContactMgmt : public QMainWindow {
    Q_OBJECT
public:
    explicit frmContactMgmt(const QString& folder, QWidget* parent = nullptr);
    ~frmContactMgmt() override;

    // Runs the load steps: connection string, first list reload, caption,
    // current book, mail sign-on. After start-up has told the user that the
    // file cannot be used, the first reload (which lists nothing) is left
    // out rather than failing with a second message.
    void load(bool fileUsable = true);

    // The contact database: its connection string and the current book.
    ContactStore& store() { return m_store; }
    const QString& ConnectionString() const { return m_store.connectionString(); }
    const QString& CurrentContactBook() const { return m_store.currentBook(); }
    const QString& dataFolder() const { return m_folder; }

    void setWindowCaption(const QString& bookName);

    // Lists the current book's contacts of a type whose last name matches
    // the pattern under a heading naming what is listed, and shows the last
    // one listed. The list is read and ordered off the window's thread; the
    // list, heading and details change when the result arrives, and then
    // `onShown` runs (what else changes with the list); a newer request or
    // Cancel drops it.
    void loadContactList(TypeFilter type, const QString& lastNamePattern,
                         std::function<void()> onShown = {});
    void showContactDetails(qint64 id);
    // The long work of the list: pending while a reload or sort runs.
    platform::Background& background() { return *m_background; }
    // The long work of the commands (import, export, printing, the e-mail's
    // attachment), apart from the list's so a reload does not stop it. While
    // one runs, another command brings its progress dialog up instead of
    // superseding it (which would drop an import unseen); one worker, so a
    // command stopped ends before the next one starts.
    platform::Background& longWork() { return *m_longWork; }

    // exchange/: imports the files, after a question each (a drop, the
    // command line), and reloads the list when contacts came in.
    void importFiles(QStringList paths, bool added = false);

    // The pane scheme: hide all / show all over every member control and
    // menu item, and the two ways in and out of a pane.
    void hideAll();
    void showAll();
    void enterEditorPane();
    void enterBookPane();
    void returnToMainView();
    // True while the editor or the book pane takes the place of the main view.
    bool isPaneOpen() const;

    // Lists the current book's contacts of the type chosen on the filter
    // strip (before any choice, of the type the list holds), every initial:
    // what a save, an import or a sync may have changed.
    void reloadContactList(std::function<void()> onShown = {});

signals:
    // The list was filled afresh, by any reload.
    void contactListReloaded();
    // The main view is back after a pane.
    void mainViewShown();
    // A book and its contacts were deleted in the book pane.
    void contactBookDeleted(const QString& name);

protected:
    void closeEvent(QCloseEvent* event) override;
    // exchange/: vCard files dropped on the window.
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void buildControls();
    void buildMenus();
    void buildSyncMenu();
    void buildKeys();
    void nameForScreenReaders();
    QToolButton* addPictureButton(int index, const QString& tooltip, const QString& iconName);
    void connectHandlers();
    void runLoadSteps(bool fileUsable);
    void setMembersVisible(bool visible, const QList<QWidget*>& leftAlone = {});
    void setMemberWidgetVisible(QWidget* widget, bool visible);
    void setMenuVisible(QMenu* menu, bool visible);
    template <typename T> T* member(T* object, const char* name);

    // Handlers, in Commands.cpp.
    void cmdFind_Click();
    void cmdDeleteRecord_Click();
    void cmdAddRecord_Click();
    void cmdEditRecord_Click();
    void ctrRecord_RecordAddedOrUpdated();
    void createcontactbook_Click();
    void ctrContactBooks_ContactBookChosen(const QString& contactBookName);
    void ctrContactBooks_Closed();
    void showListHeading(TypeFilter listed);
    void dismissHint();
    ContactType typeForNewContact() const;
    void emailcontactbook_Click();
    void cmdCallRecord_Click();
    void callSelected(Phone phone);
    void SSTab1_CallRequested(qint64 id, Phone phone, const QString& calledParty);
    void SSTab1_MailRequested(const QString& address);
    void cmdPrintRecord_Click();
    // `failure`: the message when the printout fails.
    void printWithProgress(const QList<qint64>& ids, bool emptyLineAfterName,
                           const QString& failure);
    void mnuPrintContactBook_Click();
    void mnuAbout_Click();
    void mnuImportContacts_Click();
    void mnuExportVCard_Click();

    // A list reload as asked for: `book` is the book to list, and `onShown`
    // runs once the result is shown (a book change, a selection).
    struct ListRequest {
        TypeFilter type;
        QString lastNamePattern;
        QString book;
        std::function<void()> onShown;
    };
    void requestContactList(ListRequest request);
    void showDetails(const Contact& contact, const std::optional<KeptCard>& card);
    void sortContactList(int column, Qt::SortOrder order);
    // The filter strip's choice that goes with the list shown: Cancel brings
    // it back.
    struct ShownFilter {
        TypeFilter type;
        QString letter;
    };
    void rememberShownFilter();
    void restoreShownFilter();

    QString m_folder;
    ContactStore m_store;
    QList<QObject*> m_members;                  // the control collection, in creation order
    TypeFilter m_listedType = TypeFilter::None; // what the list was last filled with
    bool m_hintWanted = true;                   // lblStart, until contacts are listed
    std::optional<qint64> m_editedId;           // the contact open in the editor, if any
    platform::Background* m_background = nullptr;
    platform::Background* m_longWork = nullptr;
    std::optional<ListRequest> m_pendingList; // while a reload runs
    std::optional<ShownFilter> m_shownFilter;

    // Controls, named as the program names them (also their objectName).
    QFrame* Frame6 = nullptr;
    QList<QToolButton*> Command1; // picture buttons, by index 0..4
    QLineEdit* txtSearchText = nullptr;
    QPushButton* cmdFind = nullptr;
    ctrTypeFilter* ctrTypeFilter1 = nullptr;
    QFrame* Frame1 = nullptr;
    QPushButton* cmdAddRecord = nullptr;
    QPushButton* cmdEditRecord = nullptr;
    QPushButton* cmdDeleteRecord = nullptr;
    QPushButton* cmdPrintRecord = nullptr;
    QPushButton* cmdCallRecord = nullptr;
    QPushButton* cmdEmailRecord = nullptr;
    QLabel* Picture1 = nullptr;
    QGroupBox* Frame7 = nullptr;
    ContactListView* lvContacts = nullptr;
    ContactDetailsTabs* SSTab1 = nullptr;
    QLabel* lblStart = nullptr;
    QFrame* frameContactBooks = nullptr;
    ctrContactBook* ctrContactBooks = nullptr;
    ctrRecord* recordEditor = nullptr; // objectName "ctrRecord"

    QMenu* mnuRootFile = nullptr;
    QAction* createcontactbook = nullptr;
    QAction* sep1 = nullptr;
    QAction* emailcontactbook = nullptr;
    QAction* mnuPrintContactBook = nullptr;
    QAction* sep3 = nullptr;
    QAction* mnuImportContacts = nullptr;
    QAction* mnuExportVCard = nullptr;
    QAction* sepSync = nullptr;
    QAction* mnuSyncSettings = nullptr;
    QAction* mnuSyncNow = nullptr;
    QAction* sep2 = nullptr;
    QAction* mnuExit = nullptr;
    QMenu* mnuCallMenu = nullptr;
    QAction* mnuCallHome = nullptr;
    QAction* mnuCallWork = nullptr;
    QAction* mnuCallCell = nullptr;
    QAction* mnuAbout = nullptr;

    // Keys of the main view that have no menu item; each presses its button.
    QAction* keyAddRecord = nullptr;    // Ctrl+N
    QAction* keyEditRecord = nullptr;   // Ctrl+E
    QAction* keyDeleteRecord = nullptr; // Delete, in the list
    QAction* keyPrintRecord = nullptr;  // Ctrl+P
    QAction* keyFind = nullptr;         // Ctrl+F: to the search box

    platform::MapiSession MAPISession;
    platform::MapiMessages MAPIMessages;

    QPointer<frmAbout> aboutBox;
    SyncCommands* m_sync = nullptr; // a child of the window
};
