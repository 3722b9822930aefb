// The main window's handlers: each button and menu item asks, calls the
// subsystem that does the work, and shows what came of it.
#include "app/frmContactMgmt.h"

#include "about/frmAbout.h"
#include "books/ctrContactBook.h"
#include "contacts/ContactDetailsTabs.h"
#include "contacts/ContactListModel.h"
#include "contacts/ContactListView.h"
#include "contacts/ListReload.h"
#include "contacts/ctrTypeFilter.h"
#include "data/CardStore.h"
#include "data/DbError.h"
#include "data/SqlQuote.h"
#include "editor/ctrRecord.h"
#include "formats/CardExtras.h"
#include "platform/Background.h"
#include "platform/BusyCursor.h"
#include "platform/MessageBoxes.h"
#include "platform/Printer.h"
#include "platform/Shell.h"
#include "printing/ContactPrinter.h"
#include "sharing/CallCommand.h"
#include "sharing/EmailCommand.h"

#include <QCoreApplication>
#include <QCursor>
#include <QGroupBox>
#include <QLineEdit>
#include <QMenu>

void frmContactMgmt::loadContactList(TypeFilter type, const QString& lastNamePattern,
                                     std::function<void()> onShown) {
    requestContactList({type, lastNamePattern, m_store.currentBook(), std::move(onShown)});
}

// The window asks, a worker answers: the list, the details and what
// `onShown` changes stay as they are until the result arrives.
void frmContactMgmt::requestContactList(ListRequest request) {
    ContactStore store(m_store.connectionString());
    store.setCurrentBook(request.book);
    const int column = lvContacts->requestedSortColumn();
    const Qt::SortOrder order = lvContacts->requestedSortOrder();
    m_pendingList = request;
    m_background->run<ListReload>(
        tr("Listing contacts…"),
        [store, type = request.type, pattern = request.lastNamePattern, column,
         order](const platform::Background::StopFlag& stop) {
            return readContactList(store, type, pattern, column, order, stop);
        },
        [this, type = request.type, column, order, onShown = request.onShown](ListReload& reload) {
            m_pendingList.reset();
            if (reload.names)
                lvContacts->contacts()->replaceEntries(std::move(reload.names), column, order,
                                                       std::move(reload.order));
            showListHeading(type);
            rememberShownFilter();
            if (reload.failed || reload.shownFailed)
                platform::showMessage(tr("There was an error retrieving data"));
            else if (lvContacts->entryCount() > 0 && !reload.shown)
                platform::showMessage(tr("internal error"));
            else if (reload.shown)
                showDetails(*reload.shown, reload.shownCard);
            if (onShown)
                onShown();
        });
}

// A click on a column's header. While a reload runs, it is asked again in
// the new order; the other way round by the same column is a quick reversal;
// any other order is made off the window's thread.
void frmContactMgmt::sortContactList(int column, Qt::SortOrder order) {
    if (m_pendingList) {
        requestContactList(*m_pendingList);
        return;
    }
    ContactListModel* model = lvContacts->contacts();
    if (column == model->sortColumn()) {
        m_background->cancel();
        if (order != model->sortOrder())
            model->sort(column, order);
        lvContacts->showModelOrder();
        return;
    }
    m_background->run<std::vector<int>>(
        tr("Sorting contacts…"),
        [names = model->names(), column, order](const platform::Background::StopFlag& stop) {
            return ContactListModel::rowOrder(*names, column, order, &stop);
        },
        [this, column, order](std::vector<int>& rows) {
            lvContacts->contacts()->applyOrder(column, order, std::move(rows));
        });
}

void frmContactMgmt::rememberShownFilter() {
    m_shownFilter =
        ShownFilter{ctrTypeFilter1->CurrentTypeFilter, ctrTypeFilter1->CurrentRecordFilter};
}

void frmContactMgmt::restoreShownFilter() {
    if (!m_shownFilter)
        return;
    ctrTypeFilter1->CurrentTypeFilter = m_shownFilter->type;
    ctrTypeFilter1->CurrentRecordFilter = m_shownFilter->letter;
}

// The list's heading names what it holds, whichever command filled it.
void frmContactMgmt::showListHeading(TypeFilter listed) {
    m_listedType = listed;
    switch (listed) {
    case TypeFilter::Personal:
        Frame7->setTitle(QCoreApplication::translate("ctrTypeFilter", "Viewing %1 Contacts")
                             .arg(QCoreApplication::translate("ctrTypeFilter", "PERSONAL")));
        break;
    case TypeFilter::Business:
        Frame7->setTitle(QCoreApplication::translate("ctrTypeFilter", "Viewing %1 Contacts")
                             .arg(QCoreApplication::translate("ctrTypeFilter", "BUSINESS")));
        break;
    case TypeFilter::Both:
        Frame7->setTitle(tr("Searching ALL Contacts"));
        break;
    case TypeFilter::None:
        Frame7->setTitle(QString());
        break;
    }
}

void frmContactMgmt::reloadContactList(std::function<void()> onShown) {
    const TypeFilter chosen = ctrTypeFilter1->CurrentTypeFilter;
    loadContactList(chosen == TypeFilter::None ? m_listedType : chosen, QStringLiteral("%"),
                    std::move(onShown));
}

void frmContactMgmt::showContactDetails(qint64 id) {
    try {
        if (const std::optional<Contact> contact = m_store.contact(id))
            showDetails(*contact, CardStore(m_store.connectionString()).card(id));
        else
            platform::showMessage(tr("internal error"));
    } catch (const DbError&) {
        platform::showMessage(tr("There was an error retrieving data"));
    }
}

void frmContactMgmt::showDetails(const Contact& contact, const std::optional<KeptCard>& card) {
    SSTab1->showContact(contact);
    if (card)
        SSTab1->showExtras(vcard::extrasOf(card->text, contact));
}

void frmContactMgmt::cmdFind_Click() {
    if (!isStorableText(txtSearchText->text())) {
        platform::showMessage(tr("The search text holds a character that cannot be "
                                 "searched for (a NUL character)."),
                              platform::Icon::Exclamation);
        return;
    }
    loadContactList(TypeFilter::Both, QStringLiteral("%") + txtSearchText->text());
}

void frmContactMgmt::cmdDeleteRecord_Click() {
    const std::optional<qint64> id = lvContacts->selectedId();
    if (!id) {
        platform::showMessage(tr("Please select a contact to delete"), platform::Icon::Exclamation);
        return;
    }
    if (!platform::askYesNo(tr("Are you sure you want to delete the current Record %1?")
                                .arg(lvContacts->selectedText())))
        return;
    try {
        const platform::BusyCursor busy;
        m_store.remove(*id);
    } catch (const DbError&) {
        platform::showMessage(tr("Record could not be deleted"), platform::Icon::Information);
        return;
    }
    platform::showMessage(tr("Record Deleted successfully"), platform::Icon::Information);
    SSTab1->showNoContact();
    // The Personal contacts are listed, and the strip says so: a contact added
    // next is Personal, and the reload after its save lists it.
    ctrTypeFilter1->CurrentTypeFilter = TypeFilter::Personal;
    loadContactList(TypeFilter::Personal, QStringLiteral("%"));
}

void frmContactMgmt::cmdAddRecord_Click() {
    m_editedId.reset();
    enterEditorPane();
    recordEditor->startAdding(typeForNewContact());
}

// The type being viewed, so a new contact is listed where it was added;
// Business before any type is chosen.
ContactType frmContactMgmt::typeForNewContact() const {
    const bool personal = ctrTypeFilter1->CurrentTypeFilter != TypeFilter::None &&
                          m_listedType == TypeFilter::Personal;
    return personal ? ContactType::Personal : ContactType::Business;
}

void frmContactMgmt::cmdEditRecord_Click() {
    const std::optional<qint64> id = lvContacts->selectedId();
    if (!id) {
        platform::showMessage(tr("Please select a contact to edit"), platform::Icon::Exclamation);
        return;
    }
    enterEditorPane();
    m_editedId = *id;
    if (!recordEditor->startEditing(*id)) {
        m_editedId.reset();
        returnToMainView();
    }
}

// After every save, successful or not: the list shows every initial of the
// type chosen on the filter strip, and an edited contact stays the one
// selected and shown.
void frmContactMgmt::ctrRecord_RecordAddedOrUpdated() {
    const std::optional<qint64> edited = std::exchange(m_editedId, std::nullopt);
    reloadContactList([this, edited] {
        if (edited && lvContacts->selectContact(*edited))
            showContactDetails(*edited);
    });
    returnToMainView();
}

void frmContactMgmt::createcontactbook_Click() {
    enterBookPane();
    ctrContactBooks->refreshData();
}

void frmContactMgmt::ctrContactBooks_ContactBookChosen(const QString& contactBookName) {
    returnToMainView();
    ctrTypeFilter1->CurrentTypeFilter = TypeFilter::Personal; // as after a delete
    requestContactList(
        {TypeFilter::Personal, QStringLiteral("%"), contactBookName, [this, contactBookName] {
             setWindowCaption(contactBookName);
             m_store.setCurrentBook(contactBookName);
             // Until a contact of this book is shown.
             if (lvContacts->entryCount() == 0)
                 SSTab1->showNoContact();
         }});
}

// Left without a choice. When the current book was deleted in the pane, the
// main view comes back on Default, as if it had been chosen.
void frmContactMgmt::ctrContactBooks_Closed() {
    bool currentBookGone = false;
    try {
        currentBookGone = !m_store.hasBook(m_store.currentBook());
    } catch (const DbError&) {
    }
    if (currentBookGone)
        ctrContactBooks_ContactBookChosen(QStringLiteral("Default"));
    else
        returnToMainView();
}

void frmContactMgmt::emailcontactbook_Click() {
    if (m_longWork->showIfPending())
        return;
    emailContacts(m_store, lvContacts->selectedIds(), m_folder, MAPIMessages, *m_longWork, this);
}

void frmContactMgmt::cmdCallRecord_Click() {
    mnuCallMenu->popup(QCursor::pos());
}

// Without a selection no call is requested.
void frmContactMgmt::callSelected(Phone phone) {
    if (const std::optional<qint64> id = lvContacts->selectedId())
        callContact(m_store, *id, phone, lvContacts->selectedText());
}

// The links on the Contact tab: a number calls as the call menu does, the
// address goes to the mail program.
void frmContactMgmt::SSTab1_CallRequested(qint64 id, Phone phone, const QString& calledParty) {
    callContact(m_store, id, phone, calledParty);
}

void frmContactMgmt::SSTab1_MailRequested(const QString& address) {
    platform::shell().openUrl(platform::mailtoUrl(address));
}

void frmContactMgmt::cmdPrintRecord_Click() {
    if (m_longWork->showIfPending())
        return;
    const QList<qint64> ids = lvContacts->selectedIds();
    if (ids.isEmpty()) {
        platform::showMessage(tr("Please select a contact to print"), platform::Icon::Exclamation);
        return;
    }
    if (!platform::askYesNo(tr("Click Yes to Print the current contact details."),
                            tr("Print selected contact")))
        return;
    printWithProgress(ids, true, tr("An error occured while printing the selected records."));
}

// Without a printer the printout goes to a PDF file the user names first;
// cancelling that prints nothing. An empty book writes no file. The pages
// are drawn on a worker, which painting on a printer or a PDF file allows;
// the window hears how it went once the document is handed over or dropped.
void frmContactMgmt::printWithProgress(const QList<qint64>& ids, bool emptyLineAfterName,
                                       const QString& failure) {
    const std::optional<QString> pdfFile = choosePrintDestination(platform::printer());
    if (!pdfFile)
        return;
    struct Printout {
        PrintOutcome outcome;
        int printed;
    };
    m_longWork->reporting<Printout>(
        tr("Printing… %1 contacts so far"), platform::Background::Label::CountsDone,
        [store = m_store, ids, emptyLineAfterName](platform::Background::WorkProgress& progress) {
            Printout printout{PrintOutcome::Printed, 0};
            printout.outcome =
                printContacts(store, ids, emptyLineAfterName, platform::printer(), [&](int count) {
                    printout.printed = count;
                    return progress.advance(count, 0);
                });
            return printout;
        },
        [pdfFile = *pdfFile, failure](Printout& printout) {
            if (printout.outcome == PrintOutcome::Failed)
                platform::showMessage(failure, platform::Icon::Critical);
            else if (printout.outcome == PrintOutcome::Printed && printout.printed > 0 &&
                     !pdfFile.isEmpty())
                tellPrintedToFile(pdfFile);
        });
}

void frmContactMgmt::mnuPrintContactBook_Click() {
    if (m_longWork->showIfPending())
        return;
    if (!platform::askYesNo(tr("Print the complete contact book?"), tr("Print contact book")))
        return;
    printWithProgress({}, false, tr("An error occured while printing the contact book."));
}

// Opens the About box without an owner and without blocking the main window.
// There is one box at a time: choosing the item again brings it forward.
void frmContactMgmt::mnuAbout_Click() {
    if (!aboutBox)
        aboutBox = new frmAbout();
    aboutBox->show();
    aboutBox->raise();
    aboutBox->activateWindow();
}
