#include "platform/ProgressDialog.h"

#include "platform/MessageBoxes.h"
#include "platform/Named.h"

#include <QCoreApplication>
#include <QProgressDialog>

#include <algorithm>

namespace platform {

namespace {

// Often enough for a smooth bar and a window that repaints, rarely enough to
// cost nothing next to the work.
constexpr qint64 eventsEveryMs = 40;
// The clock is read on every so many calls only: a call per contact of a
// fast export would otherwise spend a measurable share on reading it.
constexpr int callsPerClockReading = 16;
constexpr int steps = 1000;

} // namespace

DialogProgress::DialogProgress(QWidget* parent, const QString& label, int delayMs, Label kind)
    : m_parent(parent), m_label(label), m_delayMs(delayMs), m_kind(kind) {
    m_clock.start();
}

DialogProgress::~DialogProgress() = default;

bool DialogProgress::advance(qint64 done, qint64 total) {
    if (m_dialog && m_dialog->wasCanceled())
        return false;
    if (m_calls++ % callsPerClockReading != 0)
        return true;
    const qint64 now = m_clock.elapsed();
    if (m_lastEvents >= 0 && now - m_lastEvents < eventsEveryMs)
        return true;
    m_lastEvents = now;
    const QString label = m_kind == Label::CountsDone ? m_label.arg(done) : m_label;
    if (!m_dialog && now >= m_delayMs) {
        m_dialog = std::make_unique<QProgressDialog>(
            label, QCoreApplication::translate("platform::DialogProgress", "Cancel"), 0,
            total > 0 ? steps : 0, m_parent);
        named(m_dialog.get(), "longWorkProgress");
        m_dialog->setWindowTitle(applicationTitle());
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
    if (m_kind == Label::CountsDone)
        m_dialog->setLabelText(label);
    if (total > 0)
        m_dialog->setValue(int(std::clamp<qint64>(done * steps / total, 0, steps)));
    QCoreApplication::processEvents();
    return !m_dialog->wasCanceled();
}

} // namespace platform
