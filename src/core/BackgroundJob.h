#pragma once

#include <QObject>

#include <atomic>
#include <functional>
#include <memory>

class QThread;

// One piece of work at a time on a thread of its own, with its outcome put in place
// on the owner's thread, always from the event loop: a result never arrives in the
// middle of another operation.
//
// The latest request wins: a job asked for while one runs waits for it, and replaces
// any job that was waiting; the running job is told that it has been overtaken, and
// its `done` is dropped. A job's `make` runs when the job starts, so what it copies
// (the rows, the number asked for) is what holds then, not what held when it was
// asked for.
class BackgroundJob : public QObject
{
    Q_OBJECT

public:
    // Set once a later request has overtaken the job; work may look at it to end early.
    using Overtaken = std::atomic_bool;
    struct Task
    {
        std::function<void(const Overtaken &)> work;
        std::function<void()> done;
    };

    explicit BackgroundJob(QObject *parent = nullptr);
    // Waits for running work; its `done` and a waiting job are dropped.
    ~BackgroundJob() override;

    // Whether a job runs or waits for its turn.
    bool isRunning() const { return m_thread != nullptr; }
    void start(std::function<Task()> make);
    // A job whose work needs nothing taken at its start.
    void start(std::function<void()> work, std::function<void()> done);

    // Waits until no job runs or waits, running their `done` here. For the end of the
    // program and for tests only: everything else waits for `done`.
    void finish();

private:
    void launch();
    void ended();
    // Once the thread has ended: takes over what its work wrote.
    void takeOver() const;

    QThread *m_thread = nullptr;
    std::function<void()> m_done;
    std::shared_ptr<Overtaken> m_overtaken;
    // Set by the thread once the work has returned and let go of what it held.
    std::shared_ptr<std::atomic_bool> m_workEnded;
    std::function<Task()> m_next;
    // Tells the end of the running job from that of one already finished.
    quint64 m_serial = 0;
};
