#pragma once

#include "data/ContactStore.h"
#include "platform/Mail.h"

#include <QList>
#include <QMainWindow>
#include <QPointer>

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
class ctrContactBook;
class ctrRecord;
class ctrTypeFilter;
class frmAbout;

// The editor pane's member carries the class's own name.
using RecordEditor = ctrRecord;

// The program's working window. It owns the state the rest of the program
// shares (the connection string and the current book), hosts the list, the
// details tabs, the filter strip, the buttons and menus, and shows the record
// editor or the book pane in place of everything else.
//
// The handlers of each subsystem are members of this class but live in that
// subsystem's folder (contacts/, editor/, books/, sharing/, printing/,
// about/); this folder holds the shell: start-up, controls, caption, panes.
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

    QString ConnectionString;
    QString CurrentContactBook;
    // The contact database, on the same connection string and current book.
    ContactStore& store() { return m_store; }
    const QString& dataFolder() const { return m_folder; }

    void setWindowCaption(const QString& bookName);

    // contacts/: the list reload, the details, deleting.
    void loadContactList(const QString& typeFilter, const QString& lastNamePattern);
    void showContactDetails(const QString& contactId);
    bool deleteContact(const QString& contactId);

    // sharing/: export, calling.
    bool ExportContactBook(const QString& path);
    bool ExportSelectedContacts(const QString& path);
    QString GetContactField(const QString& id, const QString& column);
    void CallSelectedContact(const QString& column);

    // printing/
    bool PrintContactBook();
    bool PrintSelectedContacts();

    // exchange/: imports the files, after a question each (a drop, the
    // command line), and reloads the list when contacts came in.
    void importFiles(const QStringList& paths);

    // The pane scheme: hide all / show all over every member control and
    // menu item, and the two ways in and out of a pane.
    void hideAll();
    void showAll();
    void enterEditorPane();
    void enterBookPane();
    void returnToMainView();

protected:
    void closeEvent(QCloseEvent* event) override;
    // exchange/: vCard files dropped on the window.
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void buildControls();
    void buildMenus();
    QToolButton* addPictureButton(int index, const QString& tooltip, const QString& iconName);
    void connectHandlers();
    void runLoadSteps(bool fileUsable);
    void setMembersVisible(bool visible);
    template <typename T> T* member(T* object, const char* name);

    // Handlers, each in the folder of its subsystem.
    void cmdFind_Click();
    void cmdDeleteRecord_Click();
    void cmdAddRecord_Click();
    void cmdEditRecord_Click();
    void ctrRecord_RecordAddedOrUpdated();
    void ctrRecord_OperationCancelled();
    void createcontactbook_Click();
    void ctrContactBooks_ContactBookChosen(const QString& contactBookName);
    void cmdEmailRecord_Click();
    void emailcontactbook_Click();
    void cmdCallRecord_Click();
    void mnuCallHome_Click();
    void mnuCallWork_Click();
    void mnuCallCell_Click();
    void cmdPrintRecord_Click();
    void mnuPrintContactBook_Click();
    void mnuAbout_Click();
    void mnuImportContacts_Click();
    void mnuExportVCard_Click();

    QString m_folder;
    ContactStore m_store;
    QList<QObject*> m_members; // the control collection, in creation order

public:
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
    RecordEditor* ctrRecord = nullptr;

    QMenu* mnuRootFile = nullptr;
    QAction* createcontactbook = nullptr;
    QAction* sep1 = nullptr;
    QAction* emailcontactbook = nullptr;
    QAction* mnuPrintContactBook = nullptr;
    QAction* sep3 = nullptr;
    QAction* mnuImportContacts = nullptr;
    QAction* mnuExportVCard = nullptr;
    QAction* sep2 = nullptr;
    QAction* mnuExit = nullptr;
    QMenu* mnuCallMenu = nullptr;
    QAction* mnuCallHome = nullptr;
    QAction* mnuCallWork = nullptr;
    QAction* mnuCallCell = nullptr;
    QAction* mnuAbout = nullptr;

    platform::MapiSession MAPISession;
    platform::MapiMessages MAPIMessages;

private:
    QPointer<frmAbout> aboutBox;
};
