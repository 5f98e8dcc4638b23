#include "core/BackgroundJob.h"

#include "core/ThreadPriority.h"

#include <QThread>

#include <utility>

BackgroundJob::BackgroundJob(QObject *parent) : QObject(parent) {}

BackgroundJob::~BackgroundJob()
{
    if (m_thread) {
        m_overtaken->store(true);
        m_thread->wait();
        takeOver();
        delete m_thread;
    }
}

void BackgroundJob::start(std::function<Task()> make)
{
    m_next = std::move(make);
    if (m_thread) {
        m_overtaken->store(true);
        return;
    }
    launch();
}

void BackgroundJob::start(std::function<void()> work, std::function<void()> done)
{
    start([work = std::move(work), done = std::move(done)] {
        return Task{[work](const Overtaken &) { work(); }, done};
    });
}

void BackgroundJob::launch()
{
    const Task task = std::exchange(m_next, nullptr)();
    m_done = task.done;
    m_overtaken = std::make_shared<Overtaken>(false);
    m_workEnded = std::make_shared<std::atomic_bool>(false);
    m_thread = QThread::create(
        [work = task.work, overtaken = m_overtaken, workEnded = m_workEnded]() mutable {
            ThreadPriority::lowerCurrent();
            work(*overtaken);
            // What the work holds goes here, before its end is told.
            work = nullptr;
            workEnded->store(true, std::memory_order_release);
        });
    // Found among the owner's children while it runs.
    m_thread->setParent(this);
    const quint64 serial = ++m_serial;
    connect(m_thread, &QThread::finished, this, [this, serial] {
        if (serial == m_serial && m_thread)
            ended();
    });
    m_thread->start();
}

void BackgroundJob::ended()
{
    m_thread->wait();
    takeOver();
    delete std::exchange(m_thread, nullptr);
    const std::function<void()> done = std::exchange(m_done, nullptr);
    if (!m_overtaken->load() && done)
        done();
    // `done` may have started the next job itself.
    if (m_next && !m_thread)
        launch();
}

void BackgroundJob::takeOver() const
{
    // Pairs with the store at the end of the work, so that all the work wrote is seen
    // here in plain C++ terms, not only through QThread::wait(), whose futexes inside
    // QtCore a thread checker cannot follow.
    [[maybe_unused]] const bool workEnded = m_workEnded->load(std::memory_order_acquire);
}

void BackgroundJob::finish()
{
    while (m_thread)
        ended();
}
