#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <QThreadPool>

#include <atomic>
#include <functional>
#include <memory>

class QProgressDialog;
class QWidget;

namespace platform {

// Long work off the window's thread: the window asks, a worker answers.
// run() hands a function to a worker thread; its result comes back to the
// window's thread, where `done` applies it. One request counts at a time: a
// newer one supersedes one still running, whose result is dropped, and so
// does Cancel. While a request is pending the busy cursor shows and the
// window keeps repainting and answering input; once it has taken `delayMs`,
// a dialog with Cancel shows, modal to the window.
class Background : public QObject {
    Q_OBJECT
public:
    // Set once the request's result would be dropped: work that looks at it
    // between steps may give up early.
    using StopFlag = std::atomic<bool>;

    explicit Background(QWidget* window, int delayMs = 500);
    // Stops the workers and waits for them to end.
    ~Background() override;

    template <typename Result>
    void run(const QString& label, std::function<Result(const StopFlag& stop)> work,
             std::function<void(Result& result)> done);
    // Drops the pending request's result; what the window shows stays.
    void cancel();
    bool pending() const { return m_pending; }
    // Waits until no worker runs, not even one whose result is dropped.
    void waitForWorkers();

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

    QPointer<QWidget> m_window;
    int m_delayMs;
    QString m_label;
    quint64 m_generation = 0;
    std::shared_ptr<StopFlag> m_stop;
    bool m_pending = false;
    QPointer<QProgressDialog> m_dialog; // a child of the window
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

} // namespace platform
