#include "books/ctrContactBook.h"

#include "app/Named.h"
#include "data/Connection.h"
#include "data/DbError.h"
#include "data/SqlQuote.h"
#include "data/UnicodeCase.h"
#include "platform/MessageBoxes.h"

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
      cmdChooseClose(named(new QPushButton(QStringLiteral("Choose and close")), "cmdChooseClose")),
      cmdDelete(named(new QPushButton(QStringLiteral("Delete Selected")), "cmdDelete")),
      cmdAddBook(named(new QPushButton(QStringLiteral("Add New")), "cmdAddBook")),
      frameAddNew(named(new QGroupBox(QStringLiteral("New Contact Book")), "frameAddNew")),
      txtNewBookName(named(new QLineEdit, "txtNewBookName")),
      cmdAddConfirm(named(new QPushButton(QStringLiteral("Confirm add")), "cmdAddConfirm")),
      Frame1(named(new QGroupBox(QStringLiteral("Available contact books")), "Frame1")),
      lstContactBooks(named(new QListWidget, "lstContactBooks")) {
    auto* listLayout = new QVBoxLayout(Frame1);
    listLayout->addWidget(lstContactBooks);

    auto* addLayout = new QVBoxLayout(frameAddNew);
    addLayout->addWidget(new QLabel(QStringLiteral("New contact book's name")));
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
}

void ctrContactBook::refreshData() {
    lstContactBooks->clear();
    try {
        Connection connection(gSconnString);
        RowSet rows = connection.query(QStringLiteral("SELECT * FROM tblContactBook"));
        const int name = rows.column(QStringLiteral("ContactBookName"));
        for (; !rows.atEnd(); rows.moveNext())
            lstContactBooks->addItem(rows.text(name));
    } catch (const DbError&) {
        platform::showMessage(QStringLiteral("There was an error retrieving data"));
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
        refuseNewName(QStringLiteral("Please specify a valid contact book name."),
                      Icon::Information);
        return;
    }
    if (!isStorableText(name)) {
        refuseNewName(QStringLiteral("Please specify a valid contact book name.\r\n"
                                     "The name holds a character that cannot be stored "
                                     "(a NUL character)."),
                      Icon::Exclamation);
        return;
    }
    bool nameInUse = false;
    try {
        Connection connection(gSconnString);
        // The names are compared inside the insert's transaction, so a book
        // another window adds meanwhile counts too; the comparison ignores
        // case for all of Unicode, which the database's own index does not.
        connection.inTransaction([&] {
            nameInUse = isBookNameTaken(connection, name);
            if (!nameInUse)
                connection.execute(
                    QStringLiteral("insert into tblContactBook(ContactBookName) values('") +
                    sqlTextBody(name) + QStringLiteral("')"));
        });
    } catch (const DbError&) {
        platform::showMessage(QStringLiteral("There was an error in adding the new contact book"),
                              Icon::Critical);
        return;
    }
    if (nameInUse) {
        refuseNewName(QStringLiteral("Please specify a valid contact book name.\r\n"
                                     "The provided name is already in use."),
                      Icon::Exclamation);
        return;
    }
    platform::showMessage(QStringLiteral("New Contact book Added successfully"), Icon::Information);
    refreshData();
    txtNewBookName->clear();
}

bool ctrContactBook::isBookNameTaken(Connection& connection, const QString& name) {
    RowSet rows = connection.query(QStringLiteral("SELECT ContactBookName FROM tblContactBook"));
    for (; !rows.atEnd(); rows.moveNext())
        if (sameIgnoringCase(rows.text(0), name))
            return true;
    return false;
}

void ctrContactBook::cmdChooseClose_Click() {
    if (lstContactBooks->selectedItems().isEmpty()) {
        platform::showMessage(QStringLiteral("Please choose a contact book"), Icon::Exclamation);
        return;
    }
    emit ContactBookChosen(selectedBook());
}

void ctrContactBook::cmdDelete_Click() {
    if (lstContactBooks->selectedItems().isEmpty()) {
        platform::showMessage(QStringLiteral("Please choose a contact book"), Icon::Exclamation);
        return;
    }
    const QString name = selectedBook();
    if (name == QLatin1String("Default")) {
        platform::showMessage(QStringLiteral("This book cannot be deleted"), Icon::Exclamation);
        return;
    }
    if (!platform::askYesNo(QStringLiteral("Are you sure you want to delete the contact book ") +
                            name +
                            QStringLiteral("?\r\nAll contacts in this book will be deleted")))
        return;
    if (deleteContactBook(name))
        platform::showMessage(QStringLiteral("Contact book Deleted successfully"),
                              Icon::Information);
    else
        platform::showMessage(QStringLiteral("Contact book could not be deleted"),
                              Icon::Information);
}

bool ctrContactBook::deleteContactBook(const QString& name) {
    try {
        Connection connection(gSconnString);
        // Both deletes or neither: a book is never left emptied but standing,
        // nor contacts left without their book.
        connection.inTransaction([&] {
            connection.execute(
                QStringLiteral("Delete from tblContactDetails where fkContactBookId = ") +
                QStringLiteral("(select pkContactBookId from tblContactBook where "
                               "ContactBookName = '") +
                sqlTextBody(name) + QStringLiteral("')"));
            connection.execute(
                QStringLiteral("Delete from tblContactBook where ContactBookName = '") +
                sqlTextBody(name) + QStringLiteral("'"));
        });
    } catch (const DbError&) {
        return false;
    }
    refreshData();
    return true;
}
