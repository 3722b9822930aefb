#include "sync/SyncSettingsDialog.h"

#include "data/DbError.h"
#include "platform/MessageBoxes.h"
#include "sync/Discovery.h"
#include "sync/Passwords.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QLocale>
#include <QPushButton>
#include <QVBoxLayout>

namespace carddav {

namespace {

QString dbMessage(const DbError& e) {
    return QCoreApplication::translate("carddav::SyncSettingsDialog",
                                       "The contact file could not be used: %1")
        .arg(QString::fromUtf8(e.what()));
}

} // namespace

SyncSettingsDialog::SyncSettingsDialog(const QString& connectionString, const QString& book,
                                       Passwords& passwords, QWidget* parent)
    : QDialog(parent), m_connectionString(connectionString), m_book(book), m_passwords(passwords),
      m_discovery(new AddressBookDiscovery(this)) {
    setObjectName(QStringLiteral("SyncSettingsDialog"));
    setWindowTitle(tr("Sync with Server"));

    auto* layout = new QVBoxLayout(this);
    m_linkState = new QLabel(this);
    m_linkState->setObjectName(QStringLiteral("lblSyncLink"));
    m_linkState->setAccessibleName(tr("Link of this book"));
    m_linkState->setWordWrap(true);
    m_linkState->setTextFormat(Qt::PlainText);
    layout->addWidget(m_linkState);

    auto* form = new QFormLayout;
    m_url = new QLineEdit(this);
    m_url->setObjectName(QStringLiteral("txtSyncUrl"));
    m_url->setPlaceholderText(tr("https://contacts.example.org/"));
    m_user = new QLineEdit(this);
    m_user->setObjectName(QStringLiteral("txtSyncUser"));
    m_password = new QLineEdit(this);
    m_password->setObjectName(QStringLiteral("txtSyncPassword"));
    m_password->setEchoMode(QLineEdit::Password);
    form->addRow(tr("Server &address:"), m_url);
    form->addRow(tr("&User name:"), m_user);
    form->addRow(tr("&Password:"), m_password);
    layout->addLayout(form);

    m_plainHttp = new QLabel(this);
    m_plainHttp->setObjectName(QStringLiteral("lblSyncWarning"));
    m_plainHttp->setWordWrap(true);
    m_plainHttp->setTextFormat(Qt::PlainText);
    m_plainHttp->setText(tr("This is a plain http:// address: the password goes to the server "
                            "unencrypted, and anyone on the way can read it."));
    m_plainHttp->hide();
    layout->addWidget(m_plainHttp);

    m_find = new QPushButton(tr("&Find Address Books"), this);
    m_find->setObjectName(QStringLiteral("cmdSyncFind"));
    layout->addWidget(m_find, 0, Qt::AlignRight);

    m_books = new QListWidget(this);
    m_books->setObjectName(QStringLiteral("lstAddressBooks"));
    m_books->setAccessibleName(tr("Address books on the server"));
    layout->addWidget(m_books, 1);

    m_message = new QLabel(this);
    m_message->setObjectName(QStringLiteral("lblSyncMessage"));
    m_message->setAccessibleName(tr("Sync status"));
    m_message->setWordWrap(true);
    m_message->setTextFormat(Qt::PlainText);
    m_message->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(m_message);

    auto* buttons = new QDialogButtonBox(this);
    m_link = buttons->addButton(tr("&Link"), QDialogButtonBox::ActionRole);
    m_link->setObjectName(QStringLiteral("cmdSyncLink"));
    m_unlink = buttons->addButton(tr("&Unlink"), QDialogButtonBox::ActionRole);
    m_unlink->setObjectName(QStringLiteral("cmdSyncUnlink"));
    QPushButton* close = buttons->addButton(QDialogButtonBox::Close);
    close->setObjectName(QStringLiteral("cmdSyncClose"));
    layout->addWidget(buttons);

    connect(m_find, &QPushButton::clicked, this, &SyncSettingsDialog::findAddressBooks);
    connect(m_link, &QPushButton::clicked, this, &SyncSettingsDialog::linkChosen);
    connect(m_unlink, &QPushButton::clicked, this, &SyncSettingsDialog::unlinkBook);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_books, &QListWidget::currentRowChanged, this,
            [this](int row) { m_link->setEnabled(row >= 0 && !m_discovery->isRunning()); });
    connect(m_books, &QListWidget::itemDoubleClicked, this, &SyncSettingsDialog::linkChosen);
    connect(m_discovery, &AddressBookDiscovery::found, this,
            &SyncSettingsDialog::addressBooksFound);
    connect(m_discovery, &AddressBookDiscovery::failed, this, [this](const QString& message) {
        m_find->setEnabled(true);
        say(message);
    });
    // Address books found with other credentials are not offered any more.
    for (QLineEdit* field : {m_url, m_user, m_password})
        connect(field, &QLineEdit::textEdited, this, [this] {
            m_discovery->cancel();
            m_find->setEnabled(true);
            m_books->clear();
            m_link->setEnabled(false);
        });
    connect(this, &QDialog::finished, m_discovery, &AddressBookDiscovery::cancel);
    connect(m_url, &QLineEdit::textChanged, this, [this](const QString& typed) {
        m_plainHttp->setVisible(AddressBookDiscovery::serverUrl(typed).scheme() ==
                                QLatin1String("http"));
    });

    m_link->setEnabled(false);
    showLink();
    resize(520, 440);
}

void SyncSettingsDialog::say(const QString& message) {
    m_message->setText(message);
}

void SyncSettingsDialog::showLink() {
    std::optional<SyncAccount> account;
    try {
        account = SyncStore(m_connectionString).account(m_book);
    } catch (const DbError& e) {
        say(dbMessage(e));
    }
    m_unlink->setEnabled(account.has_value());
    if (!account) {
        m_linkState->setText(tr("The book “%1” is not linked to a server.").arg(m_book));
        return;
    }
    QString state = tr("The book “%1” is linked to %2 as %3.")
                        .arg(m_book, QUrl(account->url).toDisplayString(), account->user);
    if (!account->lastError.isEmpty())
        state += u'\n' + tr("The last sync failed: %1").arg(account->lastError);
    else if (!account->lastSync.isEmpty())
        state += u'\n' +
                 tr("Last sync: %1")
                     .arg(QLocale().toString(QDateTime::fromString(account->lastSync, Qt::ISODate),
                                             QLocale::ShortFormat));
    m_linkState->setText(state);
    if (m_url->text().isEmpty())
        m_url->setText(QUrl(account->url).toDisplayString());
    if (m_user->text().isEmpty())
        m_user->setText(account->user);
}

void SyncSettingsDialog::findAddressBooks() {
    QUrl server = AddressBookDiscovery::serverUrl(m_url->text());
    if (!server.isValid()) {
        say(tr("Enter the server's address, for example https://contacts.example.org/."));
        m_url->setFocus();
        return;
    }
    if (!server.password().isEmpty()) {
        say(tr("The address holds a password; leave it out of the address and enter it "
               "under Password."));
        m_url->setFocus();
        return;
    }
    // A user name in the address is the account's unless one is entered.
    if (m_user->text().isEmpty())
        m_user->setText(server.userName());
    server.setUserInfo(QString());
    if (m_user->text().isEmpty()) {
        say(tr("Enter the user name of your account on the server."));
        m_user->setFocus();
        return;
    }
    m_books->clear();
    m_link->setEnabled(false);
    m_find->setEnabled(false);
    m_foundUser = m_user->text();
    m_foundPassword = m_password->text();
    say(tr("Looking for address books on %1…").arg(server.host()));
    m_discovery->start(server, m_foundUser, m_foundPassword);
}

void SyncSettingsDialog::addressBooksFound(const QList<AddressBookInfo>& books) {
    m_find->setEnabled(true);
    for (const AddressBookInfo& info : books) {
        auto* item = new QListWidgetItem(info.name, m_books);
        item->setData(Qt::UserRole, info.url.toString(QUrl::FullyEncoded));
        item->setToolTip(info.url.toDisplayString());
    }
    m_books->setCurrentRow(0);
    say(tr("Choose the address book to keep the book “%1” in, then click Link.").arg(m_book));
}

void SyncSettingsDialog::forgetUnused(const SyncAccount& account) {
    try {
        for (const SyncAccount& other : SyncStore(m_connectionString).accounts())
            if (other.url == account.url && other.user == account.user)
                return;
    } catch (const DbError&) {
        return; // kept: a password too many is better than one lost
    }
    m_passwords.forget(account.url, account.user);
}

void SyncSettingsDialog::linkChosen() {
    QListWidgetItem* chosen = m_books->currentItem();
    if (!chosen || m_discovery->isRunning()) {
        say(tr("Find the address books first, then choose one."));
        return;
    }
    const QString url = chosen->data(Qt::UserRole).toString();
    emit linkChanging(m_book);
    try {
        const SyncStore store(m_connectionString);
        const std::optional<SyncAccount> before = store.account(m_book);
        if (!store.link(m_book, url, m_foundUser)) {
            say(tr("The book “%1” no longer exists.").arg(m_book));
            return;
        }
        if (before && (before->url != url || before->user != m_foundUser))
            forgetUnused(*before);
    } catch (const DbError& e) {
        say(dbMessage(e));
        return;
    }
    const bool remembered = m_passwords.store(url, m_foundUser, m_foundPassword);
    showLink();
    QString done = tr("The book “%1” is linked to “%2”.").arg(m_book, chosen->text());
    if (!remembered)
        done += u' ' + tr("No keyring is available: the password is kept until the program "
                          "ends and asked for once in each later run.");
    say(done);
    emit linked(m_book);
}

void SyncSettingsDialog::unlinkBook() {
    std::optional<SyncAccount> account;
    try {
        account = SyncStore(m_connectionString).account(m_book);
    } catch (const DbError& e) {
        say(dbMessage(e));
        return;
    }
    if (!account) {
        showLink();
        return;
    }
    if (!platform::askYesNo(tr("Unlink the book “%1” from its address book? Its contacts stay "
                               "in the book, and the address book stays on the server.")
                                .arg(m_book),
                            tr("Unlink book")))
        return;
    emit linkChanging(m_book);
    try {
        SyncStore(m_connectionString).unlink(m_book);
    } catch (const DbError& e) {
        say(dbMessage(e));
        return;
    }
    forgetUnused(*account);
    showLink();
    say(tr("The book “%1” is no longer linked; its contacts stay in it.").arg(m_book));
    emit unlinked(m_book);
}

std::optional<QString> askSyncPassword(QWidget* parent, const SyncAccount& account,
                                       const QString& why) {
    bool ok = false;
    const QString password = QInputDialog::getText(
        parent, QCoreApplication::translate("carddav::SyncSettingsDialog", "Sync Password"),
        why + u'\n' +
            QCoreApplication::translate("carddav::SyncSettingsDialog",
                                        "Password of %1 at %2 for the book “%3”:")
                .arg(account.user, QUrl(account.url).host(), account.book),
        QLineEdit::Password, QString(), &ok);
    if (!ok)
        return std::nullopt;
    return password;
}

} // namespace carddav
