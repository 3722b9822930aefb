#pragma once

#include <QElapsedTimer>
#include <QString>

#include <memory>

class QProgressDialog;
class QWidget;

// Long work done in slices on the window's thread: between slices the
// window's events are processed, so it keeps repainting, and once the work
// has taken half a second a progress dialog with Cancel shows.
class LongWork {
public:
    // `label` takes the number of items done as %1.
    LongWork(QWidget* window, const QString& label);
    ~LongWork();

    // Called after each item; false once the user has cancelled.
    bool step(int done);

private:
    QWidget* m_window;
    QString m_label;
    QElapsedTimer m_clock;
    std::unique_ptr<QProgressDialog> m_dialog;
};
