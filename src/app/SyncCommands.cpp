// The main window's sync: menu items, the background syncs, the status bar.
#include "app/SyncCommands.h"

#include "app/frmContactMgmt.h"
#include "data/DbError.h"
#include "data/SyncStore.h"
#include "sync/SyncEngine.h"
#include "sync/SyncSettingsDialog.h"

#include <QDateTime>
#include <QLabel>
#include <QLocale>
#include <QStatusBar>

namespace {

constexpr int syncIntervalMs = 15 * 60 * 1000;
// After a sync that met the data folder busy (another sync, an import).
constexpr int busyRetryMs = 60 * 1000;

} // namespace

SyncCommands::SyncCommands(frmContactMgmt& window)
    : QObject(&window), m_window(window),
      m_passwords([&window](const SyncAccount& account, const QString& why) {
          return carddav::askSyncPassword(&window, account, why);
      }) {
    m_timer.setInterval(syncIntervalMs);
    m_busyRetry.setInterval(busyRetryMs);
    m_busyRetry.setSingleShot(true);
    for (QTimer* timer : {&m_timer, &m_busyRetry})
        connect(timer, &QTimer::timeout, this, [this] {
            if (anyBookLinked())
                syncNow();
        });
    // Any reload of the list shows what a sync brought.
    connect(&m_window, &frmContactMgmt::contactListReloaded, this,
            [this] { m_reloadPending = false; });
    // A pane going away brings the main view back: then the list may reload.
    connect(&m_window, &frmContactMgmt::mainViewShown, this, [this] {
        if (m_reloadPending)
            QTimer::singleShot(0, this, &SyncCommands::reloadIfPending);
    });
    // A book removed here stops its sync at once.
    connect(&m_window, &frmContactMgmt::contactBookDeleted, this, [this](const QString& book) {
        if (m_engine)
            m_engine->stopBook(book);
    });
}

SyncCommands::~SyncCommands() = default;

bool SyncCommands::anyBookLinked() const {
    try {
        const SyncStore store(m_window.ConnectionString());
        return store.hasTables() && !store.accounts().isEmpty();
    } catch (const DbError&) {
        return false;
    }
}

carddav::SyncEngine& SyncCommands::engine() {
    if (!m_engine) {
        m_engine = new carddav::SyncEngine(m_window.ConnectionString(), this);
        // The keyring answers from the event loop: nothing of the window
        // runs again on the sync's stack, and a sync stopped meanwhile drops
        // the answer.
        m_engine->setPasswordRequest(
            [this](const SyncAccount& account, carddav::SyncEngine::PasswordAnswer answer) {
                m_passwords.request(account, m_engine, std::move(answer));
            });
        connect(m_engine, &carddav::SyncEngine::progress, this, &SyncCommands::showStatus);
        connect(m_engine, &carddav::SyncEngine::bookFinished, this, &SyncCommands::bookSynced);
        connect(m_engine, &carddav::SyncEngine::finished, this, &SyncCommands::syncFinished);
    }
    return *m_engine;
}

void SyncCommands::startUp() {
    m_timer.start();
    // Queued: the window shows first.
    QTimer::singleShot(0, this, [this] {
        if (anyBookLinked())
            syncNow();
    });
}

void SyncCommands::syncNow() {
    if (m_engine && m_engine->isRunning()) {
        m_again = true;
        return;
    }
    if (!anyBookLinked()) {
        showStatus(tr("No book is linked to a server: link one with File, Sync with Server…"));
        return;
    }
    m_failures.clear();
    m_refused.clear();
    m_busy.clear();
    m_notes.clear();
    engine().start();
}

void SyncCommands::openSettings() {
    if (m_dialog) {
        m_dialog->raise();
        m_dialog->activateWindow();
        return;
    }
    m_dialog = new carddav::SyncSettingsDialog(
        m_window.ConnectionString(), m_window.CurrentContactBook(), m_passwords, &m_window);
    m_dialog->setAttribute(Qt::WA_DeleteOnClose);
    // A sync of the book stops before its link changes; a new link syncs at once.
    connect(m_dialog, &carddav::SyncSettingsDialog::linkChanging, this, [this] {
        if (m_engine && m_engine->isRunning())
            m_engine->cancel();
    });
    connect(m_dialog, &carddav::SyncSettingsDialog::linked, this, &SyncCommands::syncNow);
    m_dialog->open();
}

void SyncCommands::showStatus(const QString& text) {
    if (!m_status) {
        m_status = new QLabel(&m_window);
        m_status->setObjectName(QStringLiteral("lblSyncStatus"));
        m_status->setTextFormat(Qt::PlainText);
        m_status->setAccessibleName(tr("Sync status"));
        m_window.statusBar()->addWidget(m_status, 1);
    }
    m_status->setText(text);
}

void SyncCommands::bookSynced(const carddav::SyncSummary& summary) {
    // Another program syncing the folder: this sync waits for the next turn.
    if (summary.busy)
        m_busy = summary.message;
    else if (summary.passwordRefused)
        m_refused.append(summary.book);
    else if (!summary.ok)
        m_failures.append(summary.text());
    else
        m_notes += summary.warnings; // what was not taken in or not sent
    const bool changedHere = summary.received + summary.removedHere + summary.conflicts > 0;
    if (!changedHere || summary.book != m_window.CurrentContactBook())
        return;
    m_reloadPending = true;
    if (!m_window.isPaneOpen())
        reloadIfPending();
}

// The books whose password the server refused: the user is asked for the
// new one, and each book given one syncs again. Declining keeps the failure.
QStringList SyncCommands::askForNewPasswords() {
    QStringList again;
    for (const QString& book : std::as_const(m_refused)) {
        std::optional<SyncAccount> account;
        try {
            account = SyncStore(m_window.ConnectionString()).account(book);
        } catch (const DbError&) {
        }
        const std::optional<QString> password =
            account ? carddav::askSyncPassword(
                          &m_window, *account,
                          tr("The server refused the password of %1.").arg(account->user))
                    : std::nullopt;
        if (!password) {
            m_failures.append(tr("%1: the server refused the password.").arg(book));
            continue;
        }
        m_passwords.store(account->url, account->user, *password);
        again.append(book);
    }
    m_refused.clear();
    return again;
}

void SyncCommands::syncFinished() {
    const QStringList again = askForNewPasswords();
    if (!again.isEmpty()) {
        QTimer::singleShot(0, this, [this, again] { engine().start(again); });
        return;
    }
    if (!m_busy.isEmpty()) {
        showStatus(m_busy);
        m_busyRetry.start();
    } else if (m_failures.isEmpty())
        showStatus((QStringList{tr("Last sync: %1")
                                    .arg(QLocale().toString(QDateTime::currentDateTime(),
                                                            QLocale::ShortFormat))} +
                    m_notes)
                       .join(QStringLiteral("  ")));
    else
        showStatus(m_failures.join(QStringLiteral("  ")));
    if (m_again) {
        m_again = false;
        QTimer::singleShot(0, this, &SyncCommands::syncNow);
    }
}

// As after a save: every initial of the type chosen on the filter strip,
// or before any choice of what the list holds.
void SyncCommands::reloadIfPending() {
    if (!m_reloadPending || m_window.isPaneOpen())
        return;
    m_window.reloadContactList();
    m_reloadPending = false;
}
