#pragma once

#include "platform/MessageBoxes.h"

#include <QString>
#include <QWidget>

class ContactStore;
class QGroupBox;
class QLineEdit;
class QListWidget;
class QPushButton;

// The book chooser pane: lists the contact books, adds and deletes them
// (a book together with its contacts), and reports the one the user chooses.
// It knows nothing of the current book; its owner decides what a choice means.
class ctrContactBook : public QWidget {
    Q_OBJECT
public:
    explicit ctrContactBook(QWidget* parent = nullptr);

    // The store whose books it shows and changes; set before first use.
    void setStore(const ContactStore* store) { m_store = store; }

    // Reloads the list from the database and selects its first entry.
    void refreshData();

signals:
    void ContactBookChosen(const QString& contactBookName);
    // The user left the pane without choosing (Escape).
    void Closed();
    // A book and its contacts were deleted.
    void ContactBookDeleted(const QString& contactBookName);

private:
    void cmdAddBook_Click();
    void cmdAddConfirm_Click();
    void cmdChooseClose_Click();
    void cmdDelete_Click();
    bool deleteContactBook(const QString& name);
    void refuseNewName(const QString& message, platform::Icon icon);
    QString selectedBook() const;

    const ContactStore* m_store = nullptr;
    QPushButton* cmdChooseClose;
    QPushButton* cmdDelete;
    QPushButton* cmdAddBook;
    QGroupBox* frameAddNew;
    QLineEdit* txtNewBookName;
    QPushButton* cmdAddConfirm;
    QGroupBox* Frame1;
    QListWidget* lstContactBooks;
};
