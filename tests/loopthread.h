#pragma once

#include <QThread>
#include <memory>

// Runs an object's read loop (OnReadDevice) on a thread of its own until stopped.
template <typename Reader> class LoopThread
{
public:
    explicit LoopThread(Reader &reader)
        : m_reader(reader), m_thread(QThread::create([&reader] { reader.OnReadDevice(); }))
    {
        m_thread->start();
    }
    ~LoopThread() { stop(); }

    // Ends the loop; true when it returned in time.
    bool stop()
    {
        m_reader.Stop();
        return m_thread->wait(5000);
    }

private:
    Reader &m_reader;
    std::unique_ptr<QThread> m_thread;
};
