// The main window's import and export commands, and vCard files dropped on it.
#include "app/frmContactMgmt.h"

#include "contacts/ContactListView.h"
#include "editor/ctrRecord.h"
#include "exchange/ExchangeCommands.h"
#include "platform/Background.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QTimer>

namespace {

// The local vCard files a drag brings; empty when it brings anything else.
QStringList droppedVCardFiles(const QMimeData* data) {
    QStringList paths;
    for (const QUrl& url : data->urls()) {
        if (!url.isLocalFile() || !exchange::isVCardFileName(url.toLocalFile()))
            return {};
        paths << url.toLocalFile();
    }
    return paths;
}

} // namespace

void frmContactMgmt::mnuImportContacts_Click() {
    if (m_longWork->showIfPending())
        return;
    exchange::importChosenFile(store(), *m_longWork, [this](bool added) {
        if (added)
            ctrRecord_RecordAddedOrUpdated();
    });
}

void frmContactMgmt::mnuExportVCard_Click() {
    if (m_longWork->showIfPending())
        return;
    exchange::exportToChosenFile(store(), lvContacts->selectedIds(), *m_longWork);
}

// One file after the other: the next question comes once the import before
// it has ended.
void frmContactMgmt::importFiles(QStringList paths, bool added) {
    if (m_longWork->showIfPending())
        return;
    while (!paths.isEmpty()) {
        const QString path = paths.takeFirst();
        if (exchange::importAfterQuestion(
                store(), path, *m_longWork,
                [this, paths, added](bool addedNow) { importFiles(paths, added || addedNow); }))
            return;
    }
    if (added)
        ctrRecord_RecordAddedOrUpdated();
}

void frmContactMgmt::dragEnterEvent(QDragEnterEvent* event) {
    // Only the main view takes a drop: not the editor or the book pane.
    const bool mainView = !isPaneOpen();
    if (mainView && !droppedVCardFiles(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void frmContactMgmt::dropEvent(QDropEvent* event) {
    const QStringList paths = droppedVCardFiles(event->mimeData());
    if (paths.isEmpty())
        return;
    event->acceptProposedAction();
    // The questions wait until the drag has ended, so its source is not kept waiting.
    QTimer::singleShot(0, this, [this, paths] { importFiles(paths); });
}
