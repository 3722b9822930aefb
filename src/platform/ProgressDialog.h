#pragma once

#include "exchange/Progress.h"

#include <QElapsedTimer>
#include <QPointer>
#include <QString>

#include <memory>

class QProgressDialog;
class QWidget;

namespace exchange {

// Progress in a window: once the work has run for `delayMs`, a dialog with a
// bar and Cancel, modal to `parent`, so the window repaints but takes no
// input meanwhile. Until then user input waits; the desktop is answered a
// few dozen times a second all along.
class DialogProgress : public Progress {
public:
    DialogProgress(QWidget* parent, const QString& label, int delayMs = 500);
    ~DialogProgress() override;
    bool advance(qint64 done, qint64 total) override;
    // True once the dialog has been shown.
    bool shown() const { return m_dialog != nullptr; }

private:
    QPointer<QWidget> m_parent;
    QString m_label;
    int m_delayMs;
    QElapsedTimer m_clock;
    qint64 m_lastEvents = -1;
    std::unique_ptr<QProgressDialog> m_dialog;
};

} // namespace exchange
