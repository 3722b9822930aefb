#pragma once

#include "sync/Passwords.h"

#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QTimer>

class QLabel;
class frmContactMgmt;

namespace carddav {
class SyncEngine;
class SyncSettingsDialog;
struct SyncSummary;
} // namespace carddav

// The main window's side of sync: the engine and the passwords of this run,
// the sync at start-up, on "Sync Now" and every 15 minutes, the status bar,
// and the reload of the list after a sync changed the current book.
class SyncCommands : public QObject {
    Q_OBJECT
public:
    explicit SyncCommands(frmContactMgmt& window);
    ~SyncCommands() override;

    // Syncs once the window shows, when a book is linked; then every 15 minutes.
    void startUp();
    // Syncs every linked book now, or right after the sync under way.
    void syncNow();
    void openSettings();

private:
    bool anyBookLinked() const;
    carddav::SyncEngine& engine();
    void showStatus(const QString& text);
    void bookSynced(const carddav::SyncSummary& summary);
    void syncFinished();
    QStringList askForNewPasswords();
    void reloadIfPending();

    frmContactMgmt& m_window;
    carddav::Passwords m_passwords;
    carddav::SyncEngine* m_engine = nullptr;
    QTimer m_timer;
    QTimer m_busyRetry; // the next turn of a sync that met the data folder busy
    QPointer<carddav::SyncSettingsDialog> m_dialog;
    QLabel* m_status = nullptr;
    bool m_again = false;
    bool m_reloadPending = false;
    QStringList m_failures;
    QStringList m_notes;   // the warnings of books that synced
    QStringList m_refused; // books whose password the server refused
    QString m_busy;        // why the sync did not run: another one was under way
};
