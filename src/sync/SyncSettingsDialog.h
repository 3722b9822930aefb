#pragma once

#include "data/SyncStore.h"

#include <QDialog>

#include <optional>

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QWidget;

namespace carddav {

class AddressBookDiscovery;
class Passwords;
struct AddressBookInfo;

// Links one book to an address book of a CardDAV server, or unlinks it. The
// user gives the server's address, the user name and the password; the
// dialog finds the account's address books in the background and lists them.
// Every outcome, failures included, is shown in the dialog itself.
class SyncSettingsDialog : public QDialog {
    Q_OBJECT
public:
    SyncSettingsDialog(const QString& connectionString, const QString& book, Passwords& passwords,
                       QWidget* parent = nullptr);

    const QString& book() const { return m_book; }

signals:
    // Before the link of the book changes: a sync of it must stop first.
    void linkChanging(const QString& book);
    void linked(const QString& book);
    void unlinked(const QString& book);

private:
    void findAddressBooks();
    void addressBooksFound(const QList<carddav::AddressBookInfo>& books);
    void linkChosen();
    void unlinkBook();
    void showLink();
    void say(const QString& message);
    // Forgets the password of an account no other book uses.
    void forgetUnused(const SyncAccount& account);

    QString m_connectionString;
    QString m_book;
    Passwords& m_passwords;
    AddressBookDiscovery* m_discovery;
    // What the address books listed were found with.
    QString m_foundUser;
    QString m_foundPassword;

    QLabel* m_linkState;
    QLineEdit* m_url;
    QLineEdit* m_user;
    QLineEdit* m_password;
    QLabel* m_plainHttp; // shown while the address is a plain http:// one
    QPushButton* m_find;
    QListWidget* m_books;
    QLabel* m_message;
    QPushButton* m_link;
    QPushButton* m_unlink;
};

// Asks for the password of an account that the keyring does not hold;
// nullopt when the user cancels.
std::optional<QString> askSyncPassword(QWidget* parent, const SyncAccount& account,
                                       const QString& why);

} // namespace carddav
