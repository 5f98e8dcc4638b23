#include "core/BackgroundJob.h"

#include <QThread>

#include <utility>

BackgroundJob::BackgroundJob(QObject *parent) : QObject(parent) {}

BackgroundJob::~BackgroundJob()
{
    if (m_thread) {
        m_thread->wait();
        delete m_thread;
    }
}

void BackgroundJob::start(std::function<void()> work, std::function<void()> done)
{
    // The end of the running job may start another.
    while (isRunning())
        wait();
    m_done = std::move(done);
    m_thread = QThread::create(std::move(work));
    const quint64 serial = ++m_serial;
    connect(m_thread, &QThread::finished, this, [this, serial] {
        if (serial == m_serial)
            wait();
    });
    m_thread->start();
}

void BackgroundJob::wait()
{
    if (!m_thread)
        return;
    m_thread->wait();
    delete std::exchange(m_thread, nullptr);
    std::exchange(m_done, nullptr)();
}
