#pragma once

#include <thread>

// Runs an object's read loop (OnReadDevice) on a thread of its own until stopped. A
// std::thread, so that ThreadSanitizer sees the join that orders the loop's last
// accesses before the object is destroyed.
template <typename Reader> class LoopThread
{
public:
    explicit LoopThread(Reader &reader)
        : m_reader(reader), m_thread([&reader] { reader.OnReadDevice(); })
    {
    }
    ~LoopThread() { stop(); }

    // Ends the loop and waits for it; true once it has returned.
    bool stop()
    {
        m_reader.Stop();
        if (m_thread.joinable())
            m_thread.join();
        return true;
    }

private:
    Reader &m_reader;
    std::thread m_thread;
};
