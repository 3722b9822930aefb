#include "app/LongWork.h"

#include "platform/Named.h"

#include <QCoreApplication>
#include <QProgressDialog>

namespace {
constexpr int itemsPerSlice = 64;
constexpr qint64 quietMs = 500;
} // namespace

LongWork::LongWork(QWidget* window, const QString& label) : m_window(window), m_label(label) {
    m_clock.start();
}

LongWork::~LongWork() = default;

bool LongWork::step(int done) {
    if (done % itemsPerSlice != 0)
        return true;
    if (!m_dialog && m_clock.elapsed() >= quietMs) {
        m_dialog = std::make_unique<QProgressDialog>(
            m_label.arg(done), QCoreApplication::translate("LongWork", "Cancel"), 0, 0, m_window);
        named(m_dialog.get(), "longWorkProgress");
        m_dialog->setWindowModality(Qt::WindowModal);
        m_dialog->setMinimumDuration(0);
        m_dialog->show();
    }
    if (m_dialog)
        m_dialog->setLabelText(m_label.arg(done));
    QCoreApplication::processEvents();
    return !(m_dialog && m_dialog->wasCanceled());
}
