#pragma once

#include "platform/Progress.h"

#include <QElapsedTimer>
#include <QPointer>
#include <QString>

#include <memory>

class QProgressDialog;
class QWidget;

namespace platform {

// Long work done in slices on the window's thread. Between slices, a few
// dozen times a second, the window's events are processed, so it keeps
// repainting; user input waits. Once the work has run for `delayMs`, a
// dialog with a bar and Cancel shows, modal to `parent`. Without a total the
// bar shows only that work goes on.
class DialogProgress : public Progress {
public:
    // Whether the label takes the number of items done as %1.
    enum class Label { Fixed, CountsDone };
    DialogProgress(QWidget* parent, const QString& label, int delayMs = 500,
                   Label kind = Label::Fixed);
    ~DialogProgress() override;
    bool advance(qint64 done, qint64 total) override;
    // True once the dialog has been shown.
    bool shown() const { return m_dialog != nullptr; }

private:
    QPointer<QWidget> m_parent;
    QString m_label;
    int m_delayMs;
    Label m_kind;
    QElapsedTimer m_clock;
    qint64 m_lastEvents = -1;
    int m_calls = 0;
    std::unique_ptr<QProgressDialog> m_dialog;
};

} // namespace platform
