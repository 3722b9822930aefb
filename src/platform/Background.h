#pragma once

#include "platform/Progress.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QThreadPool>

#include <atomic>
#include <functional>
#include <memory>

class QProgressBar;
class QProgressDialog;
class QTimer;
class QWidget;

namespace platform {

// Long work off the window's thread: the window asks, a worker answers.
// run() hands a function to a worker thread; its result comes back to the
// window's thread, where `done` applies it. One request counts at a time: a
// newer one supersedes one still running, whose result is dropped, and so
// does Cancel. While a request is pending the busy cursor shows and the
// window keeps repainting and answering input; once it has taken `delayMs`,
// a dialog with Cancel shows, modal to the window.
//
// Work run with reporting() tells how far it has come through a
// WorkProgress, which the dialog reads a few times a second. Cancel tells
// such work to stop without dropping it: the work ends as it sees fit (an import
// rolls back, an export leaves no file) and its result, which says it was
// cancelled, is applied as any other.
class Background : public QObject {
    Q_OBJECT
public:
    // Set once the request's result would be dropped: work that looks at it
    // between steps may give up early.
    using StopFlag = std::atomic<bool>;

    // Whether the dialog's label takes the number of items done as %1.
    enum class Label { Fixed, CountsDone };

    // What work on a worker tells of its progress: it writes, the window's
    // thread reads. advance() is false once the work should stop.
    class WorkProgress : public Progress {
    public:
        bool advance(qint64 done, qint64 total) override;
        bool stopped() const { return m_stop && m_stop->load(); }
        qint64 done() const { return m_done.load(); }
        qint64 total() const { return m_total.load(); }

    private:
        friend class Background;
        const StopFlag* m_stop = nullptr; // set on the worker before the work starts
        std::function<void()> m_gate;
        std::atomic<qint64> m_done{0};
        std::atomic<qint64> m_total{0};
    };

    // `workers`: how many workers may run at once, one answering the request
    // that counts, the others ending superseded ones. With one, a request
    // starts only once the work it superseded has ended, for work that must
    // not overlap (two writes of the same file, two printouts).
    explicit Background(QWidget* window, int delayMs = 500, int workers = 2);
    // Stops the workers and waits for them to end.
    ~Background() override;

    template <typename Result>
    void run(const QString& label, std::function<Result(const StopFlag& stop)> work,
             std::function<void(Result& result)> done);
    template <typename Result>
    void reporting(const QString& label, Label kind,
                   std::function<Result(WorkProgress& progress)> work,
                   std::function<void(Result& result)> done);
    // Drops the pending request's result; what the window shows stays. Work
    // run with reporting() is told to stop instead, and its result still
    // comes.
    void cancel();
    bool pending() const { return m_pending; }
    // True while a request is pending, whose dialog then shows at once: for
    // the window to start no other work meanwhile.
    bool showIfPending();
    // Waits until no worker runs, not even one whose result is dropped.
    void waitForWorkers();
    // Without, the dialog offers no Cancel: for work that cannot stop half-way.
    void setCancellable(bool cancellable) { m_cancellable = cancellable; }
    // For tests: runs on the worker at each step reporting work tells, before
    // the work learns whether to stop; a test holds the work there.
    void setStepGate(std::function<void()> gate) { m_stepGate = std::move(gate); }

signals:
    // No request is pending any more: its result was applied, or dropped by
    // Cancel.
    void settled();
    void cancelled();

private:
    struct Ticket {
        quint64 generation;
        std::shared_ptr<StopFlag> stop;
    };
    Ticket begin(const QString& label);
    void start(std::function<void()> task);
    // On the window's thread: whether `ticket` is still the request that
    // counts; if so, the request ends.
    bool accept(const Ticket& ticket);
    void settle();
    void showDialog(quint64 generation);
    void closeDialog();
    void showProgress();

    QPointer<QWidget> m_window;
    int m_delayMs;
    QString m_label;
    quint64 m_generation = 0;
    std::shared_ptr<StopFlag> m_stop;
    bool m_pending = false;
    QPointer<QProgressDialog> m_dialog;             // a child of the window
    QPointer<QProgressBar> m_bar;                   // the dialog's
    QTimer* m_poll = nullptr;                       // reads the progress while the dialog shows
    std::shared_ptr<const WorkProgress> m_progress; // of a reporting request
    Label m_labelKind = Label::Fixed;
    bool m_cancellable = true;
    std::function<void()> m_stepGate;
    QThreadPool m_workers;
};

template <typename Result>
void Background::run(const QString& label, std::function<Result(const StopFlag& stop)> work,
                     std::function<void(Result& result)> done) {
    const Ticket ticket = begin(label);
    start([this, ticket, work = std::move(work), done = std::move(done)] {
        std::shared_ptr<Result> result;
        if (!ticket.stop->load()) {
            try {
                result = std::make_shared<Result>(work(*ticket.stop));
            } catch (...) {
                // The work reports its own failures in its result; anything
                // else ends the request without one.
            }
        }
        QMetaObject::invokeMethod(
            this,
            [this, ticket, result, done] {
                if (accept(ticket) && result)
                    done(*result);
            },
            Qt::QueuedConnection);
    });
}

template <typename Result>
void Background::reporting(const QString& label, Label kind,
                           std::function<Result(WorkProgress& progress)> work,
                           std::function<void(Result& result)> done) {
    auto progress = std::make_shared<WorkProgress>();
    progress->m_gate = m_stepGate;
    run<Result>(
        label,
        [progress, work = std::move(work)](const StopFlag& stop) {
            progress->m_stop = &stop;
            return work(*progress);
        },
        std::move(done));
    m_progress = progress;
    m_labelKind = kind;
    showProgress(); // on the dialog a superseded request left
}

} // namespace platform
