#include "books/ctrContactBook.h"

#include "data/ContactStore.h"
#include "data/DbError.h"
#include "data/SqlQuote.h"
#include "platform/MessageBoxes.h"
#include "platform/Named.h"

#include <QAction>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include <limits>

using platform::Icon;

ctrContactBook::ctrContactBook(QWidget* parent)
    : QWidget(parent),
      cmdChooseClose(named(new QPushButton(tr("Choose and close")), "cmdChooseClose")),
      cmdDelete(named(new QPushButton(tr("Delete Selected")), "cmdDelete")),
      cmdAddBook(named(new QPushButton(tr("Add New")), "cmdAddBook")),
      frameAddNew(named(new QGroupBox(tr("New Contact Book")), "frameAddNew")),
      txtNewBookName(named(new QLineEdit, "txtNewBookName")),
      cmdAddConfirm(named(new QPushButton(tr("Confirm add")), "cmdAddConfirm")),
      Frame1(named(new QGroupBox(tr("Available contact books")), "Frame1")),
      lstContactBooks(named(new QListWidget, "lstContactBooks")) {
    auto* listLayout = new QVBoxLayout(Frame1);
    listLayout->addWidget(lstContactBooks);

    auto* addLayout = new QVBoxLayout(frameAddNew);
    auto* nameLabel = new QLabel(tr("New contact book's name"));
    nameLabel->setBuddy(txtNewBookName);
    addLayout->addWidget(nameLabel);
    addLayout->addWidget(txtNewBookName);
    addLayout->addWidget(cmdAddConfirm, 0, Qt::AlignRight);
    addLayout->addStretch(1);
    frameAddNew->setEnabled(false);
    txtNewBookName->setMaxLength(std::numeric_limits<int>::max()); // never cut a name short

    auto* buttons = new QVBoxLayout;
    for (QPushButton* button : {cmdAddBook, cmdDelete, cmdChooseClose}) {
        button->setAutoDefault(false);
        buttons->addWidget(button);
    }
    buttons->addStretch(1);

    auto* right = new QVBoxLayout;
    right->addWidget(frameAddNew, 1);
    right->addLayout(buttons, 1);
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(Frame1, 3);
    layout->addLayout(right, 2);

    setTabOrder(lstContactBooks, txtNewBookName);
    setTabOrder(txtNewBookName, cmdAddConfirm);
    setTabOrder(cmdAddConfirm, cmdAddBook);
    setTabOrder(cmdAddBook, cmdDelete);
    setTabOrder(cmdDelete, cmdChooseClose);

    connect(cmdAddBook, &QPushButton::clicked, this, &ctrContactBook::cmdAddBook_Click);
    connect(cmdAddConfirm, &QPushButton::clicked, this, &ctrContactBook::cmdAddConfirm_Click);
    connect(txtNewBookName, &QLineEdit::returnPressed, this, &ctrContactBook::cmdAddConfirm_Click);
    connect(cmdChooseClose, &QPushButton::clicked, this, &ctrContactBook::cmdChooseClose_Click);
    connect(lstContactBooks, &QListWidget::itemDoubleClicked, this,
            &ctrContactBook::cmdChooseClose_Click);
    connect(cmdDelete, &QPushButton::clicked, this, &ctrContactBook::cmdDelete_Click);

    setFocusProxy(lstContactBooks);
    // Escape leaves the pane without choosing a book.
    auto* keyClose = named(new QAction(this), "keyClose");
    keyClose->setShortcut(QKeySequence::Cancel);
    keyClose->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    addAction(keyClose);
    connect(keyClose, &QAction::triggered, this, &ctrContactBook::Closed);

    lstContactBooks->setAccessibleName(tr("Contact books"));
    txtNewBookName->setAccessibleName(tr("New contact book's name"));
}

void ctrContactBook::refreshData() {
    lstContactBooks->clear();
    try {
        lstContactBooks->addItems(m_store->books());
    } catch (const DbError&) {
        platform::showMessage(tr("There was an error retrieving data"));
        return;
    }
    if (lstContactBooks->count() > 0)
        lstContactBooks->setCurrentRow(0);
}

QString ctrContactBook::selectedBook() const {
    const QList<QListWidgetItem*> selected = lstContactBooks->selectedItems();
    return selected.isEmpty() ? QString() : selected.first()->text();
}

void ctrContactBook::cmdAddBook_Click() {
    frameAddNew->setEnabled(true);
    txtNewBookName->setFocus();
}

void ctrContactBook::refuseNewName(const QString& message, Icon icon) {
    platform::showMessage(message, icon);
    txtNewBookName->clear();
    txtNewBookName->setFocus();
}

void ctrContactBook::cmdAddConfirm_Click() {
    const QString name = txtNewBookName->text();
    if (name.isEmpty()) {
        refuseNewName(tr("Please specify a valid contact book name."), Icon::Information);
        return;
    }
    if (!isStorableText(name)) {
        refuseNewName(tr("Please specify a valid contact book name.\r\n"
                         "The name holds a character that cannot be stored "
                         "(a NUL character)."),
                      Icon::Exclamation);
        return;
    }
    bool nameInUse = false;
    try {
        nameInUse = !m_store->addBook(name);
    } catch (const DbError&) {
        platform::showMessage(tr("There was an error in adding the new contact book"),
                              Icon::Critical);
        return;
    }
    if (nameInUse) {
        refuseNewName(tr("Please specify a valid contact book name.\r\n"
                         "The provided name is already in use."),
                      Icon::Exclamation);
        return;
    }
    platform::showMessage(tr("New Contact book Added successfully"), Icon::Information);
    refreshData();
    txtNewBookName->clear();
}

void ctrContactBook::cmdChooseClose_Click() {
    if (lstContactBooks->selectedItems().isEmpty()) {
        platform::showMessage(tr("Please choose a contact book"), Icon::Exclamation);
        return;
    }
    emit ContactBookChosen(selectedBook());
}

void ctrContactBook::cmdDelete_Click() {
    if (lstContactBooks->selectedItems().isEmpty()) {
        platform::showMessage(tr("Please choose a contact book"), Icon::Exclamation);
        return;
    }
    const QString name = selectedBook();
    if (name == QLatin1String("Default")) {
        platform::showMessage(tr("This book cannot be deleted"), Icon::Exclamation);
        return;
    }
    if (!platform::askYesNo(
            tr("Are you sure you want to delete the contact book %1?\r\nAll contacts in this "
               "book will be deleted")
                .arg(name)))
        return;
    if (deleteContactBook(name))
        platform::showMessage(tr("Contact book Deleted successfully"), Icon::Information);
    else
        platform::showMessage(tr("Contact book could not be deleted"), Icon::Information);
}

bool ctrContactBook::deleteContactBook(const QString& name) {
    try {
        m_store->removeBook(name);
    } catch (const DbError&) {
        return false;
    }
    emit ContactBookDeleted(name);
    refreshData();
    return true;
}
