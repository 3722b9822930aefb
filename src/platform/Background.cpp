#include "platform/Background.h"

#include "platform/MessageBoxes.h"
#include "platform/Named.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QProgressBar>
#include <QProgressDialog>
#include <QTimer>
#include <QWidget>

#include <algorithm>

namespace platform {

namespace {
constexpr int pollMs = 100;
constexpr int steps = 1000;
} // namespace

bool Background::WorkProgress::advance(qint64 done, qint64 total) {
    m_done.store(done, std::memory_order_relaxed);
    m_total.store(total, std::memory_order_relaxed);
    if (m_gate)
        m_gate();
    return !stopped();
}

Background::Background(QWidget* window, int delayMs, int workers)
    : QObject(window), m_window(window), m_delayMs(delayMs), m_poll(new QTimer(this)) {
    m_workers.setMaxThreadCount(workers);
    m_poll->setInterval(pollMs);
    connect(m_poll, &QTimer::timeout, this, &Background::showProgress);
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
    m_progress.reset();
    m_labelKind = Label::Fixed;
    if (!m_pending)
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    m_pending = true;
    const quint64 generation = ++m_generation;
    if (m_dialog) {
        m_dialog->setLabelText(label);
        m_bar->setRange(0, 0);
    } else
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
    if (m_progress) {
        // The work answers with a result that says it was cancelled.
        closeDialog();
        return;
    }
    ++m_generation;
    settle();
    emit cancelled();
}

bool Background::showIfPending() {
    if (!m_pending)
        return false;
    showDialog(m_generation);
    return true;
}

void Background::waitForWorkers() {
    m_workers.waitForDone();
}

void Background::settle() {
    m_pending = false;
    m_progress.reset();
    QGuiApplication::restoreOverrideCursor();
    closeDialog();
    emit settled();
}

void Background::closeDialog() {
    m_poll->stop();
    if (QProgressDialog* dialog = m_dialog) {
        m_dialog = nullptr;
        dialog->hide();
        // Deleted later: this may run inside the dialog's own Cancel signal.
        dialog->deleteLater();
    }
}

// The bar is set directly: the dialog's own setValue() would process events
// while it is modal, running the window's handlers inside this one.
void Background::showProgress() {
    if (!m_dialog || !m_progress)
        return;
    if (!m_poll->isActive())
        m_poll->start();
    const qint64 done = m_progress->done();
    const qint64 total = m_progress->total();
    if (m_labelKind == Label::CountsDone)
        m_dialog->setLabelText(m_label.arg(done));
    if (total > 0) {
        m_bar->setRange(0, steps);
        m_bar->setValue(int(std::clamp<qint64>(done * steps / total, 0, steps)));
    }
}

void Background::showDialog(quint64 generation) {
    // A newer request started its own timer; a settled one needs none, nor
    // does work told to stop, which Cancel cannot stop any more.
    if (!m_pending || generation != m_generation || m_dialog || m_stop->load())
        return;
    m_dialog = new QProgressDialog(m_labelKind == Label::CountsDone ? m_label.arg(0) : m_label,
                                   QCoreApplication::translate("platform::Background", "Cancel"), 0,
                                   0, m_window);
    named(m_dialog.data(), "longWorkProgress");
    m_dialog->setWindowTitle(applicationTitle());
    m_dialog->setWindowModality(Qt::WindowModal);
    m_dialog->setAutoClose(false);
    m_dialog->setAutoReset(false);
    m_dialog->setMinimumDuration(0);
    m_bar = new QProgressBar(m_dialog);
    m_bar->setRange(0, 0);
    m_dialog->setBar(m_bar);
    if (m_cancellable)
        connect(m_dialog.data(), &QProgressDialog::canceled, this, &Background::cancel);
    else
        m_dialog->setCancelButton(nullptr);
    showProgress();
    m_dialog->show();
}

} // namespace platform
