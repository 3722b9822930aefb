#include "platform/Background.h"

#include "platform/MessageBoxes.h"
#include "platform/Named.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QProgressDialog>
#include <QTimer>
#include <QWidget>

namespace platform {

Background::Background(QWidget* window, int delayMs)
    : QObject(window), m_window(window), m_delayMs(delayMs) {
    // One worker answers the request that counts while another may still
    // be ending one that was superseded.
    m_workers.setMaxThreadCount(2);
}

Background::~Background() {
    if (m_stop)
        m_stop->store(true);
    m_workers.waitForDone();
    delete m_dialog.data();
    if (m_pending)
        QGuiApplication::restoreOverrideCursor();
}

Background::Ticket Background::begin(const QString& label) {
    if (m_stop)
        m_stop->store(true);
    m_stop = std::make_shared<StopFlag>(false);
    m_label = label;
    if (!m_pending)
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    m_pending = true;
    const quint64 generation = ++m_generation;
    if (m_dialog)
        m_dialog->setLabelText(label);
    else
        QTimer::singleShot(m_delayMs, this, [this, generation] { showDialog(generation); });
    return {generation, m_stop};
}

void Background::start(std::function<void()> task) {
    m_workers.start(std::move(task));
}

bool Background::accept(const Ticket& ticket) {
    if (!m_pending || ticket.generation != m_generation)
        return false;
    settle();
    return true;
}

void Background::cancel() {
    if (!m_pending)
        return;
    m_stop->store(true);
    ++m_generation;
    settle();
    emit cancelled();
}

void Background::waitForWorkers() {
    m_workers.waitForDone();
}

void Background::settle() {
    m_pending = false;
    QGuiApplication::restoreOverrideCursor();
    if (QProgressDialog* dialog = m_dialog) {
        m_dialog = nullptr;
        dialog->hide();
        // Deleted later: this may run inside the dialog's own Cancel signal.
        dialog->deleteLater();
    }
    emit settled();
}

void Background::showDialog(quint64 generation) {
    // A newer request started its own timer; a settled one needs none.
    if (!m_pending || generation != m_generation || m_dialog)
        return;
    m_dialog = new QProgressDialog(
        m_label, QCoreApplication::translate("platform::Background", "Cancel"), 0, 0, m_window);
    named(m_dialog.data(), "longWorkProgress");
    m_dialog->setWindowTitle(applicationTitle());
    m_dialog->setWindowModality(Qt::WindowModal);
    m_dialog->setAutoClose(false);
    m_dialog->setAutoReset(false);
    m_dialog->setMinimumDuration(0);
    connect(m_dialog.data(), &QProgressDialog::canceled, this, &Background::cancel);
    m_dialog->show();
}

} // namespace platform
