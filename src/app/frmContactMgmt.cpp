#include "app/frmContactMgmt.h"

#include "about/frmAbout.h"
#include "app/Images.h"
#include "books/ctrContactBook.h"
#include "contacts/ContactDetailsTabs.h"
#include "contacts/ContactListView.h"
#include "contacts/ctrTypeFilter.h"
#include "data/ConnectionString.h"
#include "editor/ctrRecord.h"
#include "platform/MessageBoxes.h"

#include <QCloseEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShortcut>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

#include <limits>

frmContactMgmt::frmContactMgmt(const QString& folder, QWidget* parent)
    : QMainWindow(parent), m_folder(folder) {
    registerProgramImages();
    setObjectName(QStringLiteral("frmContactMgmt"));
    setWindowTitle(platform::applicationTitle());
    setAttribute(Qt::WA_DeleteOnClose, false);
    buildMenus();
    buildControls();
    connectHandlers();
    resize(900, 560);
}

frmContactMgmt::~frmContactMgmt() {
    delete aboutBox;
}

template <typename T> T* frmContactMgmt::member(T* object, const char* name) {
    object->setObjectName(QLatin1String(name));
    m_members << object;
    return object;
}

QToolButton* frmContactMgmt::addPictureButton(int index, const QString& tooltip,
                                              const QString& iconName) {
    auto* button = new QToolButton(Frame6);
    button->setObjectName(QStringLiteral("Command1_%1").arg(index));
    button->setProperty("index", index);
    button->setToolTip(tooltip);
    button->setIcon(QIcon(QStringLiteral(":/images/%1.svg").arg(iconName)));
    button->setIconSize(QSize(24, 24));
    button->setAutoRaise(true);
    m_members << button;
    Command1[index] = button;
    return button;
}

void frmContactMgmt::buildControls() {
    auto* central = new QWidget(this);
    central->setObjectName(QStringLiteral("centralArea"));
    central->setAutoFillBackground(true);
    QPalette white = central->palette();
    white.setColor(QPalette::Window, Qt::white);
    central->setPalette(white);
    setCentralWidget(central);
    auto* layout = new QVBoxLayout(central);

    // Top strip: five picture buttons, the search box and its button.
    Frame6 = member(new QFrame(central), "Frame6");
    auto* top = new QHBoxLayout(Frame6);
    top->setContentsMargins(0, 0, 0, 0);
    Command1.resize(5);
    top->addWidget(addPictureButton(1, QStringLiteral("Add New Contact"), QStringLiteral("add")));
    top->addWidget(addPictureButton(2, QStringLiteral("Delete Contact"), QStringLiteral("delete")));
    top->addWidget(addPictureButton(3, QStringLiteral("Email Contact"), QStringLiteral("email")));
    top->addWidget(addPictureButton(4, QStringLiteral("Call Contact"), QStringLiteral("call")));
    top->addWidget(addPictureButton(0, QStringLiteral("Print Contact"), QStringLiteral("print")));
    top->addStretch(1);
    txtSearchText = member(new QLineEdit(Frame6), "txtSearchText");
    txtSearchText->setMinimumWidth(180);
    txtSearchText->setMaxLength(std::numeric_limits<int>::max()); // never cut short
    top->addWidget(txtSearchText, 2);
    cmdFind = member(new QPushButton(QStringLiteral("Last Name Search"), Frame6), "cmdFind");
    cmdFind->setToolTip(QStringLiteral("Search Database"));
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
    cmdAddRecord = member(new QPushButton(QStringLiteral("Add"), Frame1), "cmdAddRecord");
    cmdEditRecord = member(new QPushButton(QStringLiteral("Edit"), Frame1), "cmdEditRecord");
    cmdDeleteRecord = member(new QPushButton(QStringLiteral("Delete"), Frame1), "cmdDeleteRecord");
    cmdPrintRecord = member(new QPushButton(QStringLiteral("Print"), Frame1), "cmdPrintRecord");
    cmdCallRecord = member(new QPushButton(QStringLiteral("Call"), Frame1), "cmdCallRecord");
    cmdEmailRecord = member(new QPushButton(QStringLiteral("Email"), Frame1), "cmdEmailRecord");
    for (QPushButton* b : {cmdAddRecord, cmdEditRecord, cmdDeleteRecord, cmdPrintRecord,
                           cmdCallRecord, cmdEmailRecord})
        commands->addWidget(b);
    leftColumn->addWidget(Frame1);
    Picture1 = member(new QLabel(central), "Picture1");
    Picture1->setPixmap(QIcon(QStringLiteral(":/images/logo.svg")).pixmap(96, 96));
    Picture1->setAlignment(Qt::AlignCenter);
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
    frameContactBooks->setWindowTitle(QStringLiteral("Contact Books"));
    auto* bookLayout = new QVBoxLayout(frameContactBooks);
    bookLayout->setContentsMargins(0, 0, 0, 0);
    ctrContactBooks = member(new ctrContactBook(frameContactBooks), "ctrContactBooks");
    bookLayout->addWidget(ctrContactBooks);
    middle->addWidget(frameContactBooks, 9);

    ctrRecord = member(new RecordEditor(central), "ctrRecord");
    middle->addWidget(ctrRecord, 9);
    layout->addLayout(middle, 1);

    ctrTypeFilter1->setMainWindowTargets(lblStart, Frame7);
    frameContactBooks->setVisible(false);
    ctrContactBooks->setVisible(false);
    ctrRecord->setVisible(false);
}

void frmContactMgmt::buildMenus() {
    mnuRootFile = member(menuBar()->addMenu(QStringLiteral("&File")), "mnuRootFile");
    createcontactbook =
        member(mnuRootFile->addAction(QStringLiteral("Manage contact books")), "createcontactbook");
    sep1 = member(mnuRootFile->addSeparator(), "sep1");
    emailcontactbook = member(mnuRootFile->addAction(QStringLiteral("EMail current contact book")),
                              "emailcontactbook");
    mnuPrintContactBook =
        member(mnuRootFile->addAction(QStringLiteral("Print current contact book")),
               "mnuPrintContactBook");
    sep3 = member(mnuRootFile->addSeparator(), "sep3");
    mnuImportContacts = member(mnuRootFile->addAction(tr("Import Contacts…")), "mnuImportContacts");
    mnuExportVCard =
        member(mnuRootFile->addAction(tr("Export Contact Book as vCard…")), "mnuExportVCard");
    sep2 = member(mnuRootFile->addSeparator(), "sep2");
    mnuExit = member(mnuRootFile->addAction(QStringLiteral("Exit")), "mnuExit");

    // The call menu has no caption and stays out of the menu bar until the
    // first show all; "Call" pops it up.
    mnuCallMenu = member(menuBar()->addMenu(QString()), "mnuCallMenu");
    mnuCallHome =
        member(mnuCallMenu->addAction(QStringLiteral("Call at Home number")), "mnuCallHome");
    mnuCallWork =
        member(mnuCallMenu->addAction(QStringLiteral("Call at Work number")), "mnuCallWork");
    mnuCallCell =
        member(mnuCallMenu->addAction(QStringLiteral("Call at Cell number")), "mnuCallCell");
    mnuCallMenu->menuAction()->setVisible(false);

    mnuAbout = member(menuBar()->addAction(QStringLiteral("&About")), "mnuAbout");
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
            [this](const QString& sRecordType) {
                loadContactList(sRecordType, ctrTypeFilter1->CurrentRecordFilter);
            });
    connect(ctrTypeFilter1, &ctrTypeFilter::RecordFilterChanged, this,
            [this](const QString& sFilterType) {
                loadContactList(ctrTypeFilter1->CurrentTypeFilter, sFilterType);
            });
    connect(lvContacts, &ContactListView::entryClicked, this,
            [this](const QString& key) { showContactDetails(key.mid(2)); });
    // In the list, a double click or Enter edits the contact and the Delete
    // key deletes it, through the buttons' own handlers.
    connect(lvContacts, &ContactListView::editRequested, cmdEditRecord, &QPushButton::click);
    connect(lvContacts, &ContactListView::deleteRequested, cmdDeleteRecord, &QPushButton::click);
    // Ctrl+F goes to the last-name search.
    auto* findKey = new QShortcut(QKeySequence::Find, this);
    connect(findKey, &QShortcut::activated, txtSearchText, [this] {
        txtSearchText->setFocus(Qt::ShortcutFocusReason);
        txtSearchText->selectAll();
    });

    connect(cmdAddRecord, &QPushButton::clicked, this, &frmContactMgmt::cmdAddRecord_Click);
    connect(cmdEditRecord, &QPushButton::clicked, this, &frmContactMgmt::cmdEditRecord_Click);
    connect(cmdDeleteRecord, &QPushButton::clicked, this, &frmContactMgmt::cmdDeleteRecord_Click);
    connect(cmdPrintRecord, &QPushButton::clicked, this, &frmContactMgmt::cmdPrintRecord_Click);
    connect(cmdCallRecord, &QPushButton::clicked, this, &frmContactMgmt::cmdCallRecord_Click);
    connect(cmdEmailRecord, &QPushButton::clicked, this, &frmContactMgmt::cmdEmailRecord_Click);
    connect(ctrRecord, &RecordEditor::RecordAddedOrUpdated, this,
            &frmContactMgmt::ctrRecord_RecordAddedOrUpdated);
    connect(ctrRecord, &RecordEditor::OperationCancelled, this,
            &frmContactMgmt::ctrRecord_OperationCancelled);
    connect(ctrContactBooks, &ctrContactBook::ContactBookChosen, this,
            &frmContactMgmt::ctrContactBooks_ContactBookChosen);

    connect(createcontactbook, &QAction::triggered, this, &frmContactMgmt::createcontactbook_Click);
    connect(emailcontactbook, &QAction::triggered, this, &frmContactMgmt::emailcontactbook_Click);
    connect(mnuPrintContactBook, &QAction::triggered, this,
            &frmContactMgmt::mnuPrintContactBook_Click);
    connect(mnuImportContacts, &QAction::triggered, this, &frmContactMgmt::mnuImportContacts_Click);
    connect(mnuExportVCard, &QAction::triggered, this, &frmContactMgmt::mnuExportVCard_Click);
    setAcceptDrops(true);
    connect(mnuExit, &QAction::triggered, this, &QWidget::close);
    connect(mnuCallHome, &QAction::triggered, this, &frmContactMgmt::mnuCallHome_Click);
    connect(mnuCallWork, &QAction::triggered, this, &frmContactMgmt::mnuCallWork_Click);
    connect(mnuCallCell, &QAction::triggered, this, &frmContactMgmt::mnuCallCell_Click);
    connect(mnuAbout, &QAction::triggered, this, &frmContactMgmt::mnuAbout_Click);
}

void frmContactMgmt::load(bool fileUsable) {
    try {
        runLoadSteps(fileUsable);
    } catch (const std::exception&) {
        platform::showMessage(QStringLiteral("An error occured during initialization."),
                              platform::Icon::Information);
    }
}

void frmContactMgmt::runLoadSteps(bool fileUsable) {
    ConnectionString = connectionStringFor(m_folder);
    m_store.setConnectionString(ConnectionString);
    ctrContactBooks->gSconnString = ConnectionString;
    ctrRecord->gSconnString = ConnectionString;
    if (fileUsable)
        loadContactList(QStringLiteral("personal"), QStringLiteral("%"));
    setWindowCaption(QString());
    CurrentContactBook = QStringLiteral("Default");
    m_store.setCurrentBook(CurrentContactBook);
    ctrRecord->gScurrentBookName = CurrentContactBook;

    platform::mailService().removeEarlierAttachments();
    MAPISession.LogonUI = true;
    MAPISession.DownLoadMail = false;
    MAPISession.SignOn();
    MAPIMessages.SessionID = MAPISession.SessionID();
    MAPISession.NewSession = true;
}

void frmContactMgmt::setWindowCaption(const QString& bookName) {
    if (bookName.isEmpty())
        setWindowTitle(QStringLiteral("Orvanta Contacts [Default Contact Book]"));
    else
        setWindowTitle(QStringLiteral("Orvanta Contacts [ ") + bookName + QStringLiteral(" ]"));
}

void frmContactMgmt::setMembersVisible(bool visible) {
    for (QObject* m : std::as_const(m_members)) {
        // A menu is shown or hidden through its entry in the menu bar; the
        // menu widget itself is a pop-up and is never shown directly.
        if (auto* menu = qobject_cast<QMenu*>(m))
            menu->menuAction()->setVisible(visible);
        else if (auto* widget = qobject_cast<QWidget*>(m))
            widget->setVisible(visible);
        else if (auto* action = qobject_cast<QAction*>(m))
            action->setVisible(visible);
    }
}

void frmContactMgmt::hideAll() {
    setMembersVisible(false);
}

void frmContactMgmt::showAll() {
    setMembersVisible(true);
}

void frmContactMgmt::enterEditorPane() {
    hideAll();
    ctrRecord->setVisible(true);
}

void frmContactMgmt::enterBookPane() {
    hideAll();
    frameContactBooks->setVisible(true);
    ctrContactBooks->setVisible(true);
}

void frmContactMgmt::returnToMainView() {
    showAll();
    ctrRecord->setVisible(false);
    frameContactBooks->setVisible(false);
    ctrContactBooks->setVisible(false);
}

void frmContactMgmt::closeEvent(QCloseEvent* event) {
    // Unload: sign off from the mail service; nothing here may stop closing.
    try {
        MAPISession.SignOff();
    } catch (const std::exception&) {
    }
    event->accept();
}
