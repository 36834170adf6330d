#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>

// Lets a read loop pause while idle and wakes it at once when a flag it waits on is set:
// the flag is stored under the same lock the pause checks it under, so no wake is lost.
class LoopWake
{
public:
    void Set(std::atomic<bool> &flag, bool value)
    {
        {
            std::lock_guard<std::mutex> guard(m_lock);
            flag.store(value);
        }
        m_wake.notify_all();
    }

    // Stores the flag and wakes the waiters before the lock is let go, so that a waiter
    // that then frees this object finds nothing of it still in use by the setter.
    void SetLast(std::atomic<bool> &flag, bool value)
    {
        std::lock_guard<std::mutex> guard(m_lock);
        flag.store(value);
        m_wake.notify_all();
    }

    template <typename Ready> void WaitUntil(Ready ready)
    {
        std::unique_lock<std::mutex> guard(m_lock);
        m_wake.wait(guard, ready);
    }

    // Pauses for up to timeout, returning early once ready() holds.
    template <typename Ready> void PauseUpTo(std::chrono::milliseconds timeout, Ready ready)
    {
        std::unique_lock<std::mutex> guard(m_lock);
        m_wake.wait_for(guard, timeout, ready);
    }

private:
    std::mutex m_lock;
    std::condition_variable m_wake;
};
