#pragma once

#include <QObject>

#include <functional>

class QThread;

// One piece of work at a time on a thread of its own, with its outcome put in place
// on the owner's thread: start() runs `work` on the thread, and `done` runs here once
// it has ended, from the event loop or from wait(), whichever comes first. The work
// touches only what it was given; `done` may start the next job.
class BackgroundJob : public QObject
{
    Q_OBJECT

public:
    explicit BackgroundJob(QObject *parent = nullptr);
    // Waits for running work; its `done` is dropped.
    ~BackgroundJob() override;

    bool isRunning() const { return m_thread != nullptr; }
    // Finishes the jobs still running first.
    void start(std::function<void()> work, std::function<void()> done);
    // Waits for the running work and runs its `done`; does nothing when none runs.
    void wait();

private:
    QThread *m_thread = nullptr;
    std::function<void()> m_done;
    // Tells the end of the running job from that of one already waited for.
    quint64 m_serial = 0;
};
