#include "exchange/ProgressDialog.h"

#include "platform/MessageBoxes.h"

#include <QCoreApplication>
#include <QProgressDialog>

#include <algorithm>

namespace exchange {

namespace {

// Often enough for a smooth bar and a window that repaints, rarely enough to
// cost nothing next to the work.
constexpr qint64 eventsEveryMs = 40;
constexpr int steps = 1000;

} // namespace

DialogProgress::DialogProgress(QWidget* parent, const QString& label, int delayMs)
    : m_parent(parent), m_label(label), m_delayMs(delayMs) {
    m_clock.start();
}

DialogProgress::~DialogProgress() = default;

bool DialogProgress::advance(qint64 done, qint64 total) {
    if (m_dialog && m_dialog->wasCanceled())
        return false;
    const qint64 now = m_clock.elapsed();
    if (m_lastEvents >= 0 && now - m_lastEvents < eventsEveryMs)
        return true;
    m_lastEvents = now;
    if (!m_dialog && now >= m_delayMs) {
        m_dialog = std::make_unique<QProgressDialog>(
            m_label, QCoreApplication::translate("exchange::DialogProgress", "Cancel"), 0, steps,
            m_parent);
        m_dialog->setWindowTitle(platform::applicationTitle());
        m_dialog->setWindowModality(Qt::WindowModal);
        m_dialog->setAutoClose(false);
        m_dialog->setAutoReset(false);
        m_dialog->setMinimumDuration(0);
        m_dialog->show();
    }
    if (!m_dialog) {
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        return true;
    }
    m_dialog->setValue(total > 0 ? int(std::clamp<qint64>(done * steps / total, 0, steps)) : 0);
    QCoreApplication::processEvents();
    return !m_dialog->wasCanceled();
}

} // namespace exchange
