#include "app/frmContactMgmt.h"

#include "about/frmAbout.h"
#include "app/SyncCommands.h"
#include "app/WindowGeometry.h"
#include "books/ctrContactBook.h"
#include "contacts/ContactDetailsTabs.h"
#include "contacts/ContactListModel.h"
#include "contacts/ContactListView.h"
#include "contacts/ctrTypeFilter.h"
#include "data/ConnectionString.h"
#include "editor/ctrRecord.h"
#include "platform/Background.h"
#include "platform/MessageBoxes.h"
#include "platform/Named.h"

#include <QCloseEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStackedWidget>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

frmContactMgmt::frmContactMgmt(const QString& folder, QWidget* parent)
    : QMainWindow(parent), m_folder(folder), m_background(new platform::Background(this)),
      m_longWork(new platform::Background(this, 500, 1)) {
    named(this, "frmContactMgmt");
    setWindowTitle(platform::applicationTitle());
    setAttribute(Qt::WA_DeleteOnClose, false);
    buildMenus();
    buildControls();
    buildKeys();
    nameForScreenReaders();
    connectHandlers();
    resize(900, 560);
}

frmContactMgmt::~frmContactMgmt() {
    // Workers end before the controls their results go to.
    delete m_longWork;
    delete m_background;
    delete aboutBox;
}

template <typename T> T* frmContactMgmt::member(T* object, const char* name) {
    named(object, name);
    m_members << object;
    return object;
}

QToolButton* frmContactMgmt::addPictureButton(int index, const QString& tooltip,
                                              const QString& iconName) {
    auto* button = new QToolButton(Frame6);
    named(button, QStringLiteral("Command1_%1").arg(index));
    button->setProperty("index", index);
    button->setToolTip(tooltip);
    button->setAccessibleName(tooltip);
    button->setIcon(QIcon(QStringLiteral(":/images/%1.svg").arg(iconName)));
    button->setIconSize(QSize(24, 24));
    button->setAutoRaise(true);
    m_members << button;
    Command1[index] = button;
    return button;
}

void frmContactMgmt::buildControls() {
    auto* central = new QWidget(this);
    named(central, "centralArea");
    setCentralWidget(central);
    auto* layout = new QVBoxLayout(central);

    // Top strip: five picture buttons, the search box and its button.
    Frame6 = member(new QFrame(central), "Frame6");
    auto* top = new QHBoxLayout(Frame6);
    top->setContentsMargins(0, 0, 0, 0);
    Command1.resize(5);
    top->addWidget(addPictureButton(1, tr("Add New Contact"), QStringLiteral("add")));
    top->addWidget(addPictureButton(2, tr("Delete Contact"), QStringLiteral("delete")));
    top->addWidget(addPictureButton(3, tr("Email Contact"), QStringLiteral("email")));
    top->addWidget(addPictureButton(4, tr("Call Contact"), QStringLiteral("call")));
    top->addWidget(addPictureButton(0, tr("Print Contact"), QStringLiteral("print")));
    top->addStretch(1);
    txtSearchText = member(new QLineEdit(Frame6), "txtSearchText");
    txtSearchText->setMinimumWidth(180);
    // Far longer than any last name searched for, and short enough that a
    // search through the longest stored names still answers at once.
    txtSearchText->setMaxLength(200);
    top->addWidget(txtSearchText, 2);
    cmdFind = member(new QPushButton(tr("Last Name Search"), Frame6), "cmdFind");
    cmdFind->setToolTip(tr("Search Database"));
    top->addWidget(cmdFind);
    layout->addWidget(Frame6);

    ctrTypeFilter1 = member(new ctrTypeFilter(central), "ctrTypeFilter1");
    layout->addWidget(ctrTypeFilter1);

    // Middle: command column and logo, the list, the details tabs. The two
    // panes sit in the same row and take it over when they are shown.
    auto* middle = new QHBoxLayout;
    auto* leftColumn = new QVBoxLayout;
    Frame1 = member(new QFrame(central), "Frame1");
    auto* commands = new QVBoxLayout(Frame1);
    commands->setContentsMargins(0, 0, 0, 0);
    cmdAddRecord = member(new QPushButton(tr("Add"), Frame1), "cmdAddRecord");
    cmdEditRecord = member(new QPushButton(tr("Edit"), Frame1), "cmdEditRecord");
    cmdDeleteRecord = member(new QPushButton(tr("Delete"), Frame1), "cmdDeleteRecord");
    cmdPrintRecord = member(new QPushButton(tr("Print"), Frame1), "cmdPrintRecord");
    cmdCallRecord = member(new QPushButton(tr("Call"), Frame1), "cmdCallRecord");
    cmdEmailRecord = member(new QPushButton(tr("Email"), Frame1), "cmdEmailRecord");
    for (QPushButton* b : {cmdAddRecord, cmdEditRecord, cmdDeleteRecord, cmdPrintRecord,
                           cmdCallRecord, cmdEmailRecord})
        commands->addWidget(b);
    leftColumn->addWidget(Frame1);
    Picture1 = member(new QLabel(central), "Picture1");
    Picture1->setPixmap(QIcon(QStringLiteral(":/images/logo.svg")).pixmap(96, 96));
    Picture1->setAlignment(Qt::AlignCenter);
    Picture1->setAccessibleName(tr("Orvanta Contacts logo"));
    leftColumn->addWidget(Picture1);
    leftColumn->addStretch(1);
    middle->addLayout(leftColumn);

    Frame7 = member(new QGroupBox(central), "Frame7");
    auto* listLayout = new QVBoxLayout(Frame7);
    lvContacts = member(new ContactListView(Frame7), "lvContacts");
    listLayout->addWidget(lvContacts);
    middle->addWidget(Frame7, 4);

    SSTab1 = member(new ContactDetailsTabs(central), "SSTab1");
    m_members << SSTab1->txtFName << SSTab1->txtMidName << SSTab1->txtLName << SSTab1->txtGName
              << SSTab1->lblStart << SSTab1->lblAddress << SSTab1->lblContactInfo
              << SSTab1->lblComments;
    lblStart = SSTab1->lblStart;
    middle->addWidget(SSTab1, 5);

    frameContactBooks = member(new QFrame(central), "frameContactBooks");
    frameContactBooks->setWindowTitle(tr("Contact Books"));
    auto* bookLayout = new QVBoxLayout(frameContactBooks);
    bookLayout->setContentsMargins(0, 0, 0, 0);
    ctrContactBooks = member(new ctrContactBook(frameContactBooks), "ctrContactBooks");
    ctrContactBooks->setStore(&m_store);
    bookLayout->addWidget(ctrContactBooks);
    middle->addWidget(frameContactBooks, 9);

    recordEditor = member(new ctrRecord(central), "ctrRecord");
    recordEditor->setStore(&m_store);
    middle->addWidget(recordEditor, 9);
    layout->addLayout(middle, 1);

    frameContactBooks->setVisible(false);
    ctrContactBooks->setVisible(false);
    recordEditor->setVisible(false);
}

void frmContactMgmt::buildMenus() {
    mnuRootFile = member(menuBar()->addMenu(tr("&File")), "mnuRootFile");
    createcontactbook =
        member(mnuRootFile->addAction(tr("&Manage contact books")), "createcontactbook");
    sep1 = member(mnuRootFile->addSeparator(), "sep1");
    emailcontactbook =
        member(mnuRootFile->addAction(tr("&EMail current contact book")), "emailcontactbook");
    mnuPrintContactBook =
        member(mnuRootFile->addAction(tr("&Print current contact book")), "mnuPrintContactBook");
    sep3 = member(mnuRootFile->addSeparator(), "sep3");
    mnuImportContacts =
        member(mnuRootFile->addAction(tr("&Import Contacts…")), "mnuImportContacts");
    mnuExportVCard =
        member(mnuRootFile->addAction(tr("Export Contact Book as &vCard…")), "mnuExportVCard");
    buildSyncMenu();
    sep2 = member(mnuRootFile->addSeparator(), "sep2");
    mnuExit = member(mnuRootFile->addAction(tr("E&xit")), "mnuExit");

    // The call menu has no caption and never enters the menu bar: it is the
    // pop-up of the "Call" command.
    mnuCallMenu = member(new QMenu(this), "mnuCallMenu");
    mnuCallHome = member(mnuCallMenu->addAction(tr("Call at &Home number")), "mnuCallHome");
    mnuCallWork = member(mnuCallMenu->addAction(tr("Call at &Work number")), "mnuCallWork");
    mnuCallCell = member(mnuCallMenu->addAction(tr("Call at &Cell number")), "mnuCallCell");
    mnuCallMenu->menuAction()->setVisible(false);

    mnuAbout = member(menuBar()->addAction(tr("&About")), "mnuAbout");
}

// A group of its own in the File menu; SyncCommands does the work.
void frmContactMgmt::buildSyncMenu() {
    sepSync = member(mnuRootFile->addSeparator(), "sepSync");
    mnuSyncSettings = member(mnuRootFile->addAction(tr("&Sync with Server…")), "mnuSyncSettings");
    mnuSyncNow = member(mnuRootFile->addAction(tr("Sync &Now")), "mnuSyncNow");
}

// The keys of the main view. Each is a member, so it is switched off with
// the view while a pane is shown; Delete works in the list alone, where it
// cannot be meant for a text box.
void frmContactMgmt::buildKeys() {
    auto key = [this](const char* name, const QKeySequence& sequence, QPushButton* button) {
        auto* action = member(new QAction(this), name);
        action->setShortcut(sequence);
        addAction(action);
        connect(action, &QAction::triggered, button, &QPushButton::click);
        return action;
    };
    keyAddRecord = key("keyAddRecord", QKeySequence::New, cmdAddRecord);
    keyEditRecord = key("keyEditRecord", QKeySequence(Qt::CTRL | Qt::Key_E), cmdEditRecord);
    keyPrintRecord = key("keyPrintRecord", QKeySequence::Print, cmdPrintRecord);
    keyDeleteRecord = key("keyDeleteRecord", QKeySequence::Delete, cmdDeleteRecord);
    removeAction(keyDeleteRecord);
    lvContacts->addAction(keyDeleteRecord);
    keyDeleteRecord->setShortcutContext(Qt::WidgetWithChildrenShortcut);

    keyFind = member(new QAction(this), "keyFind");
    keyFind->setShortcut(QKeySequence::Find);
    addAction(keyFind);
    connect(keyFind, &QAction::triggered, txtSearchText, [this] {
        txtSearchText->setFocus(Qt::ShortcutFocusReason);
        txtSearchText->selectAll();
    });
    // Ctrl+Q where the desktop names no quit key of its own.
    const QList<QKeySequence> quit = QKeySequence::keyBindings(QKeySequence::Quit);
    mnuExit->setShortcuts(quit.isEmpty() ? QList{QKeySequence(Qt::CTRL | Qt::Key_Q)} : quit);
    // The menu is hidden while a pane is shown; the key still closes the
    // window from there (the editor asks first when something was typed).
    auto* quitInPane = named(new QAction(this), "keyQuitInPane");
    quitInPane->setShortcuts(mnuExit->shortcuts());
    quitInPane->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    recordEditor->addAction(quitInPane);
    frameContactBooks->addAction(quitInPane);
    connect(quitInPane, &QAction::triggered, this, &QWidget::close);

    // The list comes before the filter strip's buttons.
    setTabOrder(cmdFind, lvContacts);
    QWidget* previous = lvContacts;
    for (auto* button : ctrTypeFilter1->findChildren<QPushButton*>(Qt::FindDirectChildrenOnly)) {
        setTabOrder(previous, button);
        previous = button;
    }
}

void frmContactMgmt::nameForScreenReaders() {
    txtSearchText->setAccessibleName(tr("Last name to search for"));
    Frame7->setAccessibleName(tr("Contact list"));
}

void frmContactMgmt::connectHandlers() {
    // Each picture button runs the handler of the button with its purpose.
    const QList<QPushButton*> forwardedTo{cmdPrintRecord, cmdAddRecord, cmdDeleteRecord,
                                          cmdEmailRecord, cmdCallRecord};
    for (int index = 0; index < Command1.size(); ++index)
        connect(Command1[index], &QToolButton::clicked, forwardedTo[index], &QPushButton::click);

    connect(cmdFind, &QPushButton::clicked, this, &frmContactMgmt::cmdFind_Click);
    connect(txtSearchText, &QLineEdit::returnPressed, this, &frmContactMgmt::cmdFind_Click);
    connect(ctrTypeFilter1, &ctrTypeFilter::RecordTypeChanged, this,
            [this](TypeFilter sRecordType) {
                loadContactList(sRecordType, ctrTypeFilter1->CurrentRecordFilter);
                dismissHint();
            });
    connect(ctrTypeFilter1, &ctrTypeFilter::RecordFilterChanged, this,
            [this](const QString& sFilterType) {
                loadContactList(ctrTypeFilter1->CurrentTypeFilter, sFilterType);
            });
    connect(lvContacts->contacts(), &QAbstractItemModel::modelReset, this, [this] {
        if (lvContacts->entryCount() > 0)
            dismissHint();
        emit contactListReloaded();
    });
    connect(lvContacts, &ContactListView::entryClicked, this,
            [this](qint64 id) { showContactDetails(id); });
    connect(lvContacts, &ContactListView::sortRequested, this, &frmContactMgmt::sortContactList);
    connect(m_background, &platform::Background::cancelled, this, [this] {
        m_pendingList.reset();
        lvContacts->showModelOrder();
        restoreShownFilter();
    });
    // In the list, a double click or Enter edits the contact, through the
    // button's own handler.
    connect(lvContacts, &ContactListView::editRequested, cmdEditRecord, &QPushButton::click);

    connect(cmdAddRecord, &QPushButton::clicked, this, &frmContactMgmt::cmdAddRecord_Click);
    connect(cmdEditRecord, &QPushButton::clicked, this, &frmContactMgmt::cmdEditRecord_Click);
    connect(cmdDeleteRecord, &QPushButton::clicked, this, &frmContactMgmt::cmdDeleteRecord_Click);
    connect(cmdPrintRecord, &QPushButton::clicked, this, &frmContactMgmt::cmdPrintRecord_Click);
    connect(cmdCallRecord, &QPushButton::clicked, this, &frmContactMgmt::cmdCallRecord_Click);
    connect(cmdEmailRecord, &QPushButton::clicked, this, &frmContactMgmt::emailcontactbook_Click);
    connect(recordEditor, &ctrRecord::RecordAddedOrUpdated, this,
            &frmContactMgmt::ctrRecord_RecordAddedOrUpdated);
    connect(recordEditor, &ctrRecord::OperationCancelled, this, [this] {
        m_editedId.reset();
        returnToMainView();
    });
    connect(SSTab1, &ContactDetailsTabs::callRequested, this,
            &frmContactMgmt::SSTab1_CallRequested);
    connect(SSTab1, &ContactDetailsTabs::mailRequested, this,
            &frmContactMgmt::SSTab1_MailRequested);
    connect(ctrContactBooks, &ctrContactBook::Closed, this,
            &frmContactMgmt::ctrContactBooks_Closed);
    connect(ctrContactBooks, &ctrContactBook::ContactBookChosen, this,
            &frmContactMgmt::ctrContactBooks_ContactBookChosen);
    connect(ctrContactBooks, &ctrContactBook::ContactBookDeleted, this,
            &frmContactMgmt::contactBookDeleted);

    connect(createcontactbook, &QAction::triggered, this, &frmContactMgmt::createcontactbook_Click);
    connect(emailcontactbook, &QAction::triggered, this, &frmContactMgmt::emailcontactbook_Click);
    connect(mnuPrintContactBook, &QAction::triggered, this,
            &frmContactMgmt::mnuPrintContactBook_Click);
    connect(mnuImportContacts, &QAction::triggered, this, &frmContactMgmt::mnuImportContacts_Click);
    connect(mnuExportVCard, &QAction::triggered, this, &frmContactMgmt::mnuExportVCard_Click);
    setAcceptDrops(true);
    connect(mnuExit, &QAction::triggered, this, &QWidget::close);
    connect(mnuCallHome, &QAction::triggered, this, [this] { callSelected(Phone::Home); });
    connect(mnuCallWork, &QAction::triggered, this, [this] { callSelected(Phone::Work); });
    connect(mnuCallCell, &QAction::triggered, this, [this] { callSelected(Phone::Cell); });
    connect(mnuAbout, &QAction::triggered, this, &frmContactMgmt::mnuAbout_Click);

    m_sync = new SyncCommands(*this);
    connect(mnuSyncSettings, &QAction::triggered, m_sync, &SyncCommands::openSettings);
    connect(mnuSyncNow, &QAction::triggered, m_sync, &SyncCommands::syncNow);
}

void frmContactMgmt::load(bool fileUsable) {
    try {
        runLoadSteps(fileUsable);
    } catch (const std::exception&) {
        platform::showMessage(tr("An error occured during initialization."),
                              platform::Icon::Information);
    }
    if (fileUsable)
        m_sync->startUp();
}

void frmContactMgmt::runLoadSteps(bool fileUsable) {
    m_store.setConnectionString(connectionStringFor(m_folder));
    // Before the current book is set nothing is listed: no heading yet.
    if (fileUsable)
        loadContactList(TypeFilter::Personal, QStringLiteral("%"),
                        [this] { Frame7->setTitle(QString()); });
    Frame7->setTitle(QString());
    setWindowCaption(QString());
    m_store.setCurrentBook(QStringLiteral("Default"));

    platform::mailService().removeEarlierAttachments();
    MAPISession.LogonUI = true;
    MAPISession.DownLoadMail = false;
    MAPISession.SignOn();
    MAPIMessages.SessionID = MAPISession.SessionID();
    MAPISession.NewSession = true;
}

void frmContactMgmt::setWindowCaption(const QString& bookName) {
    if (bookName.isEmpty())
        setWindowTitle(tr("Orvanta Contacts [Default Contact Book]"));
    else
        setWindowTitle(tr("Orvanta Contacts [ %1 ]").arg(bookName));
}

void frmContactMgmt::setMembersVisible(bool visible, const QList<QWidget*>& leftAlone) {
    for (QObject* m : std::as_const(m_members)) {
        if (leftAlone.contains(m))
            continue;
        if (auto* menu = qobject_cast<QMenu*>(m))
            setMenuVisible(menu, visible);
        else if (auto* widget = qobject_cast<QWidget*>(m))
            setMemberWidgetVisible(widget, visible);
        else if (auto* action = qobject_cast<QAction*>(m))
            action->setVisible(visible);
    }
}

void frmContactMgmt::setMemberWidgetVisible(QWidget* widget, bool visible) {
    // A page of a stack (a tab page) is shown by its stack alone: shown here
    // while another page is current, it would be drawn over that page.
    if (auto* stack = qobject_cast<QStackedWidget*>(widget->parentWidget()))
        visible = visible && stack->currentWidget() == widget;
    widget->setVisible(visible);
}

void frmContactMgmt::setMenuVisible(QMenu* menu, bool visible) {
    // A menu is shown or hidden through its entry in the menu bar; the menu
    // widget itself is a pop-up and is never shown directly. A pop-up-only
    // menu has no entry to show.
    if (menuBar()->actions().contains(menu->menuAction()))
        menu->menuAction()->setVisible(visible);
}

void frmContactMgmt::hideAll() {
    setMembersVisible(false);
}

void frmContactMgmt::showAll() {
    setMembersVisible(true);
}

void frmContactMgmt::enterEditorPane() {
    hideAll();
    recordEditor->setVisible(true);
}

void frmContactMgmt::enterBookPane() {
    hideAll();
    frameContactBooks->setVisible(true);
    ctrContactBooks->setVisible(true);
    ctrContactBooks->setFocus(Qt::OtherFocusReason);
}

void frmContactMgmt::returnToMainView() {
    // The panes go first and are left out of the show: visible for a moment
    // beside the main view, they would widen the layout's minimum to the sum
    // of both, and the window would grow to it and stay grown.
    const QList<QWidget*> panes{recordEditor, frameContactBooks, ctrContactBooks};
    for (QWidget* pane : panes)
        pane->setVisible(false);
    setMembersVisible(true, panes);
    lblStart->setVisible(m_hintWanted);
    lvContacts->setFocus(Qt::OtherFocusReason);
    emit mainViewShown();
}

bool frmContactMgmt::isPaneOpen() const {
    return recordEditor->isVisibleTo(this) || frameContactBooks->isVisibleTo(this);
}

// The hint asks for a type to be chosen; once contacts are listed it has
// done its work and does not come back.
void frmContactMgmt::dismissHint() {
    m_hintWanted = false;
    lblStart->setVisible(false);
}

void frmContactMgmt::closeEvent(QCloseEvent* event) {
    if (recordEditor->isVisibleTo(this) && !recordEditor->mayDiscardChanges()) {
        event->ignore();
        return;
    }
    saveWindowGeometry(*this);
    // Unload: sign off from the mail service; nothing here may stop closing.
    try {
        MAPISession.SignOff();
    } catch (const std::exception&) {
    }
    event->accept();
}
